// The press and the moves of the left button: hit testing, the drag modes and their feedback.
#include "Layout/DragGeometry.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LayoutServices.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/UndoInfo.h"

#include <algorithm>
#include <cstdlib>

using namespace drag_geometry;

namespace {
ILayoutView* ActiveView()
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    return host ? host->GetActiveEditorView() : nullptr;
}

bool OnlyFramesSelected(const CLayoutManager& manager)
{
    return manager.IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, true);
}
} // namespace

POINT CLayoutManager::ToItemPoint(POINT canvasPoint) const
{
    const POINT offset = GetMarginOffset(true);
    return POINT{canvasPoint.x - offset.x, canvasPoint.y - offset.y};
}

POINT CLayoutManager::Unscaled(POINT point) const
{
    UnscalePoint(&point, GetScale());
    return point;
}

bool CLayoutManager::InScaledPrintable(POINT itemPoint) const
{
    RECT printable = GetPrintableRect();
    ScaleRect(&printable, GetScale());
    return itemPoint.x >= printable.left && itemPoint.x < printable.right && itemPoint.y >= printable.top &&
           itemPoint.y < printable.bottom;
}

bool CLayoutManager::IsShiftHeld() const
{
    ILayoutView* view = ActiveView();
    return view && (view->GetKeyFlags() & MK_SHIFT) != 0;
}

bool CLayoutManager::IsOnPage(const CLayoutItem* item) const
{
    if (!item)
        return false;
    for (const auto& held : m_items)
        if (held.get() == item)
            return true;
    return false;
}

void CLayoutManager::DropRemovedTargets()
{
    std::erase_if(m_editFrames, [this](const std::unique_ptr<CEditItem>& frame) {
        return !frame || !IsOnPage(frame->GetTargetItem());
    });
    if (m_drag.resizeFrame && !IsOnPage(m_drag.resizeFrame->GetTargetItem()))
        m_drag.resizeFrame.reset();
}

int CLayoutManager::CursorOf(int mode) const
{
    switch (mode) {
    case 1:
    case 2:
        return IsOnPage(m_drag.hitItem) ? m_drag.hitItem->GetHandleCursor(m_drag.hitCode) : 0;
    case 3:
        return 308;
    case 4:
        return 304;
    case 5:
        return 305;
    case 6:
        return 306;
    case 7:
        return 307;
    default:
        return 0;
    }
}

bool CLayoutManager::ShowCursor(int id) const
{
    if (id == 0)
        return false;
    if (ILayoutView* view = ActiveView())
        view->SetCursorId(id);
    return true;
}

int CLayoutManager::GetHoverCursor() const
{
    return CursorOf(m_drag.currentTool);
}

bool CLayoutManager::SetHoverCursor() const
{
    return ShowCursor(GetHoverCursor());
}

int CLayoutManager::GetDragCursor() const
{
    return CursorOf(m_drag.dragMode);
}

bool CLayoutManager::SetDragCursor() const
{
    return ShowCursor(GetDragCursor());
}

void CLayoutManager::InvertFeedback()
{
    ILayoutView* view = ActiveView();
    CImage* image = view ? view->GetKeptImage() : nullptr;
    if (!image)
        return;
    const POINT scroll = view->GetScrollPosition();
    const POINT origin{m_origin.x - scroll.x, m_origin.y - scroll.y};
    DrawItems(image, &origin);
}

void CLayoutManager::ClearEditFrames()
{
    m_drag.pressed = false;
    m_drag.dragging = false;
    m_drag.toolFrame.reset();
    m_drag.resizeFrame.reset();
    DeleteItemList(&m_editFrames);
    m_dragRect = RECT{};
    m_editRegion.DeleteObject();
    m_rubberBand.SetRect(RECT{0, 0, 0, 0});
}

bool CLayoutManager::CreateEditFrames(bool line)
{
    m_drag.toolFrame = std::make_unique<CEditItem>();
    m_drag.toolFrame->SetScale(GetScale());
    m_drag.toolFrame->SetOrientation(GetOrientation());
    m_drag.toolFrame->SetHandleKind(line ? CEditItem::KindNewLine : CEditItem::KindRubberBand);
    return true;
}

bool CLayoutManager::RefuseByLimit()
{
    const int mode = m_drag.dragMode;
    const int lines = GetItemCount(-1, -1, &IsKindOf<CLineItem>);
    const int frames = GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>);
    const int all = GetItemCount(-1, -1, nullptr);
    const int texts = GetItemCount(-1, -1, &IsKindOf<CMacroStringItem>);
    int message = 0;
    if (mode == 4) {
        if (lines >= kMaxLines)
            message = 179;
    } else if (mode == 6 && IsActiveDocumentDSCLayout() && frames >= 1) {
        message = 241;
    } else if (all - lines - texts >= kMaxOtherItems) {
        message = 156;
    }
    if (message == 0)
        return false;
    m_drag.dragMode = 0;
    if (ILayoutView* view = ActiveView())
        view->ShowLocalizedMessage(message, MB_ICONHAND);
    return true;
}

void CLayoutManager::OnLButtonDown(int flags, POINT point)
{
    if (m_drag.dragging)
        return;
    point = ToItemPoint(point);
    ClearEditFrames();
    bool changed = false;
    const bool shift = (flags & MK_SHIFT) != 0;
    const bool camera = IsActiveDocumentDSCLayout();

    if (m_drag.currentTool == 3) {
        m_drag.hitItem = nullptr;
        m_drag.hitCode = HitTestItems(point, &m_drag.hitItem);
        CLayoutItem* item = m_drag.hitCode != 0 ? m_drag.hitItem : nullptr;
        if (item) {
            m_drag.dragMode = m_drag.hitCode == 1 ? 1 : 2;
            const bool frame = IsKindOf<CInsertImageFrameItem>(item);
            const bool forced = camera && ((m_drag.dragMode == 1 && (frame || OnlyFramesSelected(*this))) ||
                                           (m_drag.dragMode == 2 && frame));
            if (forced)
                m_drag.dragMode = 3;
            if (item->IsSelected() && !forced) {
                if (shift) {
                    item->SetSelected(false);
                    changed = true;
                }
            } else {
                if (!shift) {
                    SelectAll(false);
                    changed = true;
                }
                if (!(camera && frame)) {
                    item->SetSelected(true);
                    NotifyToolBox(item);
                    changed = true;
                }
            }
        } else {
            m_drag.hitCode = 0;
            if (!shift) {
                SelectAll(false);
                changed = true;
            }
            m_drag.dragMode = 3;
        }
    } else {
        SelectAll(false);
        changed = true;
        m_drag.dragMode = InScaledPrintable(point) ? m_drag.currentTool : 0;
    }

    if (m_drag.dragMode >= 4 && m_drag.dragMode <= 7 && !RefuseByLimit())
        CreateEditFrames(m_drag.dragMode == 4);
    if (m_drag.dragMode != 0) {
        m_drag.pressPoint = point;
        m_drag.pressed = true;
        if (ILayoutView* view = ActiveView())
            view->SetCapture();
    }
    if (!SetDragCursor() && (m_drag.currentTool == 3 || InScaledPrintable(point)))
        SetHoverCursor();
    if (changed)
        Notify(LayoutChangeSelection);
}

void CLayoutManager::BeginDrag()
{
    if (m_drag.dragMode == 1)
        BeginMoveDrag();
    else if (m_drag.dragMode == 2)
        BeginResizeDrag();
    if (m_drag.dragMode >= 1 && m_drag.dragMode <= 7)
        m_drag.dragging = true;
    m_drag.pressed = false;
}

bool CLayoutManager::BeginMoveDrag()
{
    if (m_drag.hitCode != 1 || GetItemCount(1, -1, nullptr) == 0)
        return false;
    DeleteItemList(&m_editFrames);
    DeletePendingUndo();
    auto record = std::make_unique<CChangeRectUndoInfo>();
    m_dragRect = RECT{};
    m_editRegion.DeleteObject();
    bool first = true;
    for (auto& item : m_items) {
        if (!item->IsSelected())
            continue;
        auto frame = std::make_unique<CEditItem>();
        RECT r;
        item->GetRect(&r, false);
        frame->SetRect(r);
        frame->SetScale(item->GetScale());
        frame->SetOrientation(item->GetOrientation());
        frame->SetHandleFromCode(m_drag.hitCode);
        frame->SetTargetItem(item.get());
        item->SetDrawSuppressed(true);
        m_editFrames.push_back(std::move(frame));

        const RECT widened = WidenedRect(item.get());
        if (first) {
            m_dragRect = widened;
            first = false;
        } else {
            m_dragRect =
                RECT{std::min(m_dragRect.left, widened.left), std::min(m_dragRect.top, widened.top),
                     std::max(m_dragRect.right, widened.right), std::max(m_dragRect.bottom, widened.bottom)};
        }

        // The outline that moves in place of the item, in scaled item coordinates.
        CRgn outline;
        if (IsKindOf<CLineItem>(item.get())) {
            RECT band = widened;
            ScaleRect(&band, GetScale());
            band.right = std::max(band.right, band.left + 1);
            band.bottom = std::max(band.bottom, band.top + 1);
            outline.CreateRectRgnIndirect(&band);
        } else {
            RECT s;
            item->GetRect(&s, true);
            CRgn strip;
            const RECT strips[4] = {{s.left, s.top, s.left + 1, s.bottom},
                                    {s.left, s.top, s.right, s.top + 1},
                                    {s.right - 1, s.top, s.right, s.bottom},
                                    {s.left, s.bottom - 1, s.right, s.bottom}};
            for (const RECT& one : strips) {
                strip.CreateRectRgnIndirect(&one);
                outline.CombineRgn(&outline, &strip, RGN_OR);
            }
        }
        m_editRegion.CombineRgn(&m_editRegion, &outline, RGN_OR);
        record->Add(item.get());
    }
    SetPendingUndo(std::move(record));
    Notify(LayoutChangeSelection);
    return true;
}

bool CLayoutManager::BeginResizeDrag()
{
    CLayoutItem* item = m_drag.hitItem;
    if (!IsOnPage(item))
        return false;
    auto frame = std::make_unique<CEditItem>();
    RECT r;
    item->GetRect(&r, false);
    frame->SetRect(r);
    frame->SetScale(item->GetScale());
    frame->SetOrientation(item->GetOrientation());
    frame->SetHandleFromCode(m_drag.hitCode);
    frame->SetTargetItem(item);
    m_drag.resizeFrame = std::move(frame);
    item->SetDrawSuppressed(true);
    item->SetSelected(true);
    DeletePendingUndo();
    auto record = std::make_unique<CChangeRectUndoInfo>();
    record->Add(item);
    SetPendingUndo(std::move(record));
    Notify(LayoutChangeSelection);
    return true;
}

bool CLayoutManager::ResizeRectFor(POINT point, RECT* rect, bool* swapped) const
{
    const CEditItem* frame = m_drag.resizeFrame.get();
    if (!frame || !IsOnPage(frame->GetTargetItem()))
        return false;
    if (const auto* line = dynamic_cast<const CLineItem*>(frame->GetTargetItem()))
        *rect = CalcLineDragRect(line, frame->GetHandleKind(), point, swapped);
    else
        *rect = CalcResizeRect(frame, &point, swapped);
    return true;
}

void CLayoutManager::OnMouseMove(int flags, POINT point)
{
    (void)flags;
    point = ToItemPoint(point);
    bool first = false;
    if (m_drag.pressed) {
        if (point.x == m_drag.pressPoint.x && point.y == m_drag.pressPoint.y)
            return;
        BeginDrag();
        first = true;
    }
    if (!m_drag.dragging) {
        CLayoutItem* item = nullptr;
        int code = 0;
        if (m_drag.currentTool == 3) {
            code = HitTestItems(point, &item);
            const bool camera = IsActiveDocumentDSCLayout();
            if (code == 0 || (camera && IsKindOf<CInsertImageFrameItem>(item)) ||
                (camera && code == 1 && OnlyFramesSelected(*this)))
                item = nullptr;
            m_drag.hitCode = code;
            m_drag.hitItem = item;
        }
        if (item && ShowCursor(item->GetHandleCursor(code)))
            return;
        if (m_drag.currentTool == 3 || InScaledPrintable(point))
            SetHoverCursor();
        return;
    }

    DropRemovedTargets();
    SetDragCursor();
    const POINT p0 = Unscaled(m_drag.pressPoint);
    const POINT p1 = Unscaled(point);
    const bool needsFrame = m_drag.dragMode >= 4;
    if ((m_drag.dragMode == 1 && m_editFrames.empty()) || (m_drag.dragMode == 2 && !m_drag.resizeFrame) ||
        (needsFrame && !m_drag.toolFrame))
        return;
    if (!first)
        InvertFeedback();

    switch (m_drag.dragMode) {
    case 1: {
        const POINT offset = MoveEditFrames(POINT{p1.x - p0.x, p1.y - p0.y});
        for (auto& frame : m_editFrames) {
            if (!frame || !IsOnPage(frame->GetTargetItem()))
                continue;
            RECT r;
            frame->GetTargetItem()->GetRect(&r, false);
            frame->SetRect(Moved(r, offset.x, offset.y));
        }
        const CEditItem* front = m_editFrames.front().get();
        if (!front || !ShowCursor(front->GetCursorForKind(front->GetHandleKind(), false)))
            SetHoverCursor();
        break;
    }
    case 2: {
        RECT r;
        bool swapped = false;
        if (!ResizeRectFor(p1, &r, &swapped))
            break;
        m_drag.resizeFrame->SetRect(r);
        if (!ShowCursor(m_drag.resizeFrame->GetCursorForKind(m_drag.resizeFrame->GetHandleKind(), swapped)))
            SetHoverCursor();
        break;
    }
    case 3:
        m_rubberBand.SetRect(Normalized(p0, p1));
        break;
    case 4:
        m_drag.toolFrame->SetRect(GetLineToolRect(
            p0, p1, std::abs(m_drag.pressPoint.x - point.x) < std::abs(m_drag.pressPoint.y - point.y)));
        break;
    default:
        m_drag.toolFrame->SetRect(GetBoxToolRect(p0, p1));
        break;
    }
    InvertFeedback();
    Notify(LayoutChangeTracking);
    if (ILayoutView* view = ActiveView()) {
        view->InvalidateNoErase();
        view->UpdateWindow();
    }
}
