// What the layout manager asks of the application shell and the tool box
// beyond the items' services: the active view (layout-change messages and
// message boxes) and the tool box's item list.
// The shell installs its implementation; without one nothing is sent or shown.
#pragma once

#include "Layout/LayoutServices.h"

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

class ILayoutView
{
public:
    virtual ~ILayoutView() = default;
    // Handled before it returns (sent, not posted).
    virtual void SendLayoutChanged(int kind, int lParam) = 0;
    // A message box with the localisation text of the id; its answer.
    virtual int ShowLocalizedMessage(int textId, unsigned style) = 0;

    // Menus and dialogs
    // Shows the menu at the screen point with right-button tracking; the chosen
    // command goes to the view. Returns its id, 0 when none was chosen.
    virtual int TrackPopupMenu(const MenuModel& menu, POINT screenPoint) = 0;
    virtual POINT ScreenToClient(POINT screenPoint) = 0;
    virtual POINT GetScrollPosition() = 0;
    virtual bool IsFitToPaperWidth() = 0;
    virtual bool IsFitWholePaper() = 0;
    // End of menus and dialogs
};

class ILayoutToolBox
{
public:
    virtual ~ILayoutToolBox() = default;
    virtual void SetCurrentItem(CLayoutItem* item) = 0;
    virtual CLayoutItem* FindFirstSelectedItem() = 0;
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
