// What the layout manager asks of the application shell and the tool box
// beyond the items' services: the active view (layout-change messages and
// message boxes) and the tool box's item list.
// The shell installs its implementation; without one nothing is sent or shown.
#pragma once

#include "Layout/LayoutServices.h"

class CImage;
struct MenuModel;
class CLayoutItem;

// The kinds (wParam) of the layout-change message.
enum LayoutChange : int {
    LayoutChangeContent = 1,
    LayoutChangePageSize = 2,
    LayoutChangeItems = 3,
    LayoutChangeOrder = 4,
    LayoutChangeSelection = 5,
    LayoutChangeTracking = 6,
};

constexpr unsigned MB_ICONHAND = 0x10;

// Mouse editing: the key flags of mouse messages and the virtual keys the editing reads.
constexpr int MK_LBUTTON = 0x01;
constexpr int MK_RBUTTON = 0x02;
constexpr int MK_SHIFT = 0x04;
constexpr int MK_CONTROL = 0x08;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_DELETE = 0x2E;

class ILayoutView
{
public:
    virtual ~ILayoutView() = default;
    // Handled before it returns (sent, not posted).
    virtual void SendLayoutChanged(int kind, int lParam) = 0;
    // A message box with the localisation text of the id; its answer.
    virtual int ShowLocalizedMessage(int textId, unsigned style) = 0;

    // Mouse editing
    // A drag holds the capture from the press; the view releases it.
    virtual void SetCapture() = 0;
    virtual void InvalidateNoErase() = 0;
    virtual void UpdateWindow() = 0;
    // The kept offscreen image the page is rendered into; drag feedback is inverted into it.
    virtual CImage* GetKeptImage() = 0;
    virtual POINT GetScrollPosition() = 0;
    // A cursor resource id (loaded by the view with LoadLayoutCursor).
    virtual void SetCursorId(int id) = 0;
    // MK_ flags of the buttons, Shift and Control as they are now.
    virtual int GetKeyFlags() = 0;
    // The pointer's position in client coordinates.
    virtual POINT GetCursorClientPos() = 0;
    // Delivers a mouse move to the view as if the pointer had moved.
    virtual void SendMouseMove(int flags, POINT clientPoint) = 0;

    // Menus and dialogs
    // Shows the menu at the screen point with right-button tracking; the chosen
    // command goes to the view. Returns its id, 0 when none was chosen.
    virtual int TrackPopupMenu(const MenuModel& menu, POINT screenPoint) = 0;
    virtual POINT ScreenToClient(POINT screenPoint) = 0;
    virtual bool IsFitToPaperWidth() = 0;
    virtual bool IsFitWholePaper() = 0;
};

class ILayoutToolBox
{
public:
    virtual ~ILayoutToolBox() = default;
    virtual void SetCurrentItem(CLayoutItem* item) = 0;
    virtual CLayoutItem* FindFirstSelectedItem() = 0;
    // Mouse editing: presses the tool's button (3..7).
    virtual void SelectTool(int tool) = 0;
};

class ILayoutManagerHost
{
public:
    virtual ~ILayoutManagerHost() = default;
    // Null when there is no view.
    virtual ILayoutView* GetActiveEditorView() = 0;
    virtual bool HasMainWindow() = 0;
    // Null when the main frame has no tool box.
    virtual ILayoutToolBox* GetToolBox() = 0;
};

// Not owned; null removes it.
void SetLayoutManagerHost(ILayoutManagerHost* host);
ILayoutManagerHost* GetLayoutManagerHost();
// The active document, or null.
ILayoutDocument* GetActiveDocument();
