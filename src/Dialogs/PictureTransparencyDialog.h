// CPictureTransparencyDialog: the resizable dialog in which the user paints
// the transparent parts of a background or frame picture. It hosts the
// transparency view with its fifteen tools, the blur and transparency
// sliders, the set/cancel switch, the checker and the undo, keeps its values
// in the settings (also when cancelled) and on OK writes the mask into the item.
#pragma once

#include "Dialogs/SettingsDialog.h"

#include <string>

class CImageFrameItem;
class CTransparencyDrawingView;
class QButtonGroup;
class QLabel;
class QSlider;
class QToolButton;

class CPictureTransparencyDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    static constexpr int kDialogId = 137;
    // Results: 1 OK, 2 Cancel, 3 failure.
    static constexpr int kFailed = 3;
    static constexpr int kBlurSliderId = 1400;
    static constexpr int kRatioSliderId = 1401;
    static constexpr int kModeButtonId = 1103;
    static constexpr int kCheckerButtonId = 1100;
    static constexpr int kUndoButtonId = 1201;
    static constexpr int kRatioLabelId = 2052;

    CPictureTransparencyDialog(IDialogShell& shell, QWidget* parent = nullptr);
    ~CPictureTransparencyDialog() override;

    // 3 without an item or a loaded picture; else the dialog's result.
    int DoModalForItem(CImageFrameItem* item);
    // The dialog runs only for an item: a plain run gives 3 at once.
    int exec() override;
    void accept() override;

    CTransparencyDrawingView* View() const { return m_view; }
    QToolButton* Button(int controlId) const;
    QSlider* Slider(int controlId) const;
    QLabel* Label(int controlId) const;
    QButtonGroup* ToolGroup() const { return m_tools; }
    int GetTool() const { return m_tool; }
    int GetBlur() const { return m_blur; }
    int GetRatio() const { return m_ratio; }
    int GetMode() const { return m_mode; }
    // The tool tip a control shows.
    QString ToolTipFor(int controlId) const;

    // The picture and zoom remembered for the next run, shared by every run in the process.
    static std::string LastPictureName();
    static int LastZoom();
    static void ForgetLastPicture();

protected:
    void OnInitDialog() override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Keys and presses meant for the dialog while a polygon or stroke holds the grab.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void InitDialog();
    void Fail(int errorId);
    void LayoutControls();
    void StoreWindowRect();
    void PlaceFromSettings();
    // The controls' values into the members, and the tool, ratio and blur to the view.
    void SaveControls();
    void LoadControls();
    void SetModeIcons(int mode);
    void OnToolCommand();
    void OnModeSwitch();
    void OnUndo();
    void OnChecker();
    // Ends a polygon or stroke in progress without applying it.
    void CancelGesture();
    void StoreSettings();
    bool IsCameraDocument() const;

    CTransparencyDrawingView* m_view = nullptr;
    CImageFrameItem* m_item = nullptr;
    QButtonGroup* m_tools;
    QWidget* m_drawArea;
    int m_rightMargin = 0;
    int m_bottomMargin = 0;
    int m_buttonGap = 0;
    int m_initialWidth = 0;
    int m_initialHeight = 0;
    bool m_initialised = false;
    int m_tool = 0;
    int m_blur = 50;
    int m_ratio = 100;
    bool m_checker = false;
    int m_mode = 0;
    bool m_failed = false;
    bool m_stored = false;
    bool m_filtering = false;
};
