// CPictureTransparencyDialog: the resizable dialog in which the user paints
// the transparent parts of a background or frame picture. It hosts the
// transparency view with its fifteen tools, the blur and transparency
// sliders, the set/cancel switch, the checker and the undo, keeps its values
// in the settings (also when cancelled) and on OK writes the mask into the item.
#pragma once

#include "Dialogs/PictureToolDialog.h"

#include <string>

class CImageFrameItem;
class CTransparencyDrawingView;
class QLabel;
class QSlider;
class QToolButton;

class CPictureTransparencyDialog : public CPictureToolDialog
{
    Q_OBJECT
public:
    static constexpr int kDialogId = 137;
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
    // Keys and presses meant for the dialog while a polygon or stroke holds the grab.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;
    // The separator follows the width too.
    void LayoutControls() override;
    Rect ReadWindowRect() const override;
    void WriteWindowRect(const Rect& rect) override;
    // The view ignores it during a gesture.
    void ScrollPage(bool down) override;

private:
    void InitDialog();
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
    int m_tool = 0;
    int m_blur = 50;
    int m_ratio = 100;
    bool m_checker = false;
    int m_mode = 0;
    bool m_stored = false;
    bool m_filtering = false;
};
