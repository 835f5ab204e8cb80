// The keys of the page: arrows nudge the selection, Delete removes it, Shift re-shapes a drag at once.
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LayoutServices.h"
#include "Layout/MacroStringItem.h"
#include "Layout/UndoInfo.h"

#include <algorithm>

namespace {
ILayoutView* ActiveView()
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    return host ? host->GetActiveEditorView() : nullptr;
}

// One layout unit, or one screen pixel's worth when the zoom is below 1.
int Step(float zoom)
{
    const int pixel = zoom > 0.0f ? static_cast<int>(1.0f / zoom) : 1;
    return std::max(1, pixel);
}
} // namespace

void CLayoutManager::ResendMouseMove() const
{
    if (ILayoutView* view = ActiveView())
        view->SendMouseMove(view->GetKeyFlags() & (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL),
                            view->GetCursorClientPos());
}

void CLayoutManager::OnKeyDown(int key, int repeat, int flags)
{
    (void)repeat;
    (void)flags;
    ILayoutView* view = ActiveView();
    if (m_drag.dragging) {
        const bool boxTool =
            m_drag.toolFrame && m_drag.toolFrame->GetHandleKind() == CEditItem::KindRubberBand;
        if (key == VK_SHIFT && (boxTool || m_drag.dragMode == 2))
            ResendMouseMove();
        return;
    }
    // While the button is held the press's item must stay where the drag will find it.
    if (m_drag.pressed)
        return;
    if (view && (view->GetKeyFlags() & (MK_SHIFT | MK_CONTROL)) != 0)
        return;

    bool movable = GetItemCount(1, -1, nullptr) > 0;
    bool deletable = movable && !IsSelectionOfClass(&IsKindOf<CMacroStringItem>, true, false, true);
    if (IsActiveDocumentDSCLayout() &&
        IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, true))
        movable = deletable = false;

    int dx = 0;
    int dy = 0;
    const int step = Step(GetScale());
    switch (key) {
    case VK_LEFT:
        dx = -step;
        break;
    case VK_RIGHT:
        dx = step;
        break;
    case VK_UP:
        dy = -step;
        break;
    case VK_DOWN:
        dy = step;
        break;
    case VK_DELETE:
        if (deletable)
            DeleteSelection();
        return;
    default:
        return;
    }
    if (!movable)
        return;

    RECT u{};
    bool first = true;
    for (const auto& item : m_items) {
        if (!item->IsSelected())
            continue;
        const RECT r = WidenedRect(item.get());
        u = first ? r
                  : RECT{std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
                         std::max(u.bottom, r.bottom)};
        first = false;
    }
    if (u.left == 0 && u.top == 0 && u.right == 0 && u.bottom == 0)
        return;
    const RECT p = GetPrintableRect();
    auto inside = [&](int x, int y) { return x >= p.left && x <= p.right && y >= p.top && y <= p.bottom; };
    if (!inside(u.left + dx, u.top + dy) || !inside(u.right + dx, u.bottom + dy))
        return;

    DeletePendingUndo();
    auto record = std::make_unique<CChangeRectUndoInfo>();
    bool moved = false;
    for (auto& item : m_items) {
        if (!item->IsSelected())
            continue;
        record->Add(item.get());
        RECT r;
        item->GetRect(&r, false);
        item->SetRect(RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy});
        moved = true;
    }
    SetPendingUndo(std::move(record));
    if (moved) {
        Notify(LayoutChangeSelection);
        Notify(LayoutChangeContent);
    }
}

void CLayoutManager::OnKeyUp(int key, int repeat, int flags)
{
    (void)repeat;
    (void)flags;
    const bool boxTool = m_drag.toolFrame && m_drag.toolFrame->GetHandleKind() == CEditItem::KindRubberBand;
    if (m_drag.dragging && key == VK_SHIFT && (boxTool || m_drag.dragMode == 2))
        ResendMouseMove();
}
