// CPictureToolDialog: what the resizable picture dialogs (range, transparency)
// share. Tool buttons over a picture view, OK and Cancel kept at their margins
// from the bottom-right corner as the window is resized, the window rectangle
// kept inside the work area and stored in the settings, the wheel paging the
// picture, and a failure while the dialog runs ending it with 3.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "Platform/DialogLayoutTarget.h"

#include <string>

class CImageFrameItem;
class QButtonGroup;
class QIcon;
class QToolButton;
struct Rect;

class CPictureToolDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    // Results: 1 OK, 2 Cancel, 3 failure.
    static constexpr int kFailed = 3;

    // The picture last shown and its zoom, kept for the next run of the same dialog.
    struct LastPicture
    {
        std::string name;
        int zoom = 0;

        // The zoom to show the named picture at again; 0 for another picture.
        int ZoomFor(const std::string& pictureName) const;
    };

    // The exclusive group of the tool buttons, each with its tool's number.
    QButtonGroup* ToolGroup() const { return m_tools; }

protected:
    CPictureToolDialog(IDialogShell& shell, int dialogId, QWidget* parent);

    static QIcon ResourceIcon(int id);
    // The icon sized to the button and the button's text, cut short, as its tool tip.
    static void DressToolButton(QToolButton* button, bool withToolTip = true);

    // The control with the id among those of its kind; null without one.
    template <typename Widget> Widget* FindControl(int controlId) const
    {
        for (Widget* widget : findChildren<Widget*>())
            if (GetControlId(widget) == controlId)
                return widget;
        return nullptr;
    }

    // An item whose picture is loaded: the dialog has something to show.
    static bool HasPicture(CImageFrameItem* item);
    // The modal loop's result as IDOK, IDCANCEL or 3.
    int RunModal();
    // A failure while the dialog runs: reported, and the dialog ends with 3.
    void Fail(int errorId);

    // The hidden control that gives the view's place.
    QWidget* AddDrawArea();
    // OK and Cancel's margins as the localisation file placed them; before the view exists.
    void KeepButtonMargins();
    // The view that follows the window's size; set once it exists.
    void SetPictureView(QWidget* view) { m_pictureView = view; }
    // The size so far becomes the least; then the stored rectangle, and the layout.
    void PlaceWindow();
    virtual void LayoutControls();

    virtual Rect ReadWindowRect() const = 0;
    virtual void WriteWindowRect(const Rect& rect) = 0;
    // A wheel turn: a page down or up.
    virtual void ScrollPage(bool down) = 0;

    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    QButtonGroup* m_tools;
    // Where the view goes, as the localisation file places it.
    QWidget* m_drawArea = nullptr;
    bool m_initialised = false;
    bool m_failed = false;

private:
    void PlaceFromSettings();
    void StoreWindowRect();

    QWidget* m_pictureView = nullptr;
    int m_rightMargin = 0;
    int m_bottomMargin = 0;
    int m_buttonGap = 0;
    int m_initialWidth = 0;
    int m_initialHeight = 0;
};
