// The release of the left button: the drag's result, new items of the creation tools.
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/DragGeometry.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LayoutServices.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"

#include <cstdlib>

using namespace drag_geometry;

namespace {
ILayoutView* ActiveView()
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    return host ? host->GetActiveEditorView() : nullptr;
}
} // namespace

void CLayoutManager::FinishMove(POINT p0, POINT p1)
{
    const POINT offset = MoveEditFrames(POINT{p1.x - p0.x, p1.y - p0.y});
    for (auto& frame : m_editFrames) {
        CLayoutItem* item = frame ? frame->GetTargetItem() : nullptr;
        if (!IsOnPage(item))
            continue;
        RECT r;
        item->GetRect(&r, false);
        r = Moved(r, offset.x, offset.y);
        item->SetRect(r);
        item->SetDrawSuppressed(false);
        frame->SetRect(r);
    }
    DeleteItemList(&m_editFrames);
}

void CLayoutManager::FinishResize(POINT p1)
{
    CLayoutItem* item = m_drag.resizeFrame->GetTargetItem();
    RECT r;
    ResizeRectFor(p1, &r, nullptr);
    const RECT p = GetPrintableRect();
    if (const auto* line = dynamic_cast<const CLineItem*>(item)) {
        if (r.Width() == 0 && r.Height() == 0) {
            const int w = line->GetWidth(false, -1.0f) - 1;
            const int k = w - w / 2;
            if (r.top + k >= p.bottom)
                r.top = p.bottom - k - 1;
            r.bottom = r.top + 1;
        }
    } else {
        if (r.Width() == 0) {
            if (r.left >= p.right)
                r.left = p.right - 1;
            r.right = r.left + 1;
        }
        if (r.Height() == 0) {
            if (r.top >= p.bottom)
                r.top = p.bottom - 1;
            r.bottom = r.top + 1;
        }
    }
    item->SetRect(r);
    item->SetDrawSuppressed(false);
}

bool CLayoutManager::AdoptNewItem(std::unique_ptr<CLayoutItem> item)
{
    CLayoutItem* raw = item.get();
    if (!AddItem(0, std::move(item)))
        return false;
    raw->SetDrawSuppressed(false);
    raw->SetSelected(true);
    DeletePendingUndo();
    auto record = std::make_unique<CAddUndoInfo>();
    record->Add(raw);
    SetPendingUndo(std::move(record));
    return true;
}

bool CLayoutManager::CreateLine(POINT p0, POINT p1, bool vertical)
{
    const RECT r = GetLineToolRect(p0, p1, vertical);
    if (r.Width() <= 0 && r.Height() <= 0)
        return false;
    auto line = std::make_unique<CLineItem>();
    const int w = m_itemDefaults.lineWidth - 1;
    const int h = w / 2;
    if (r.Height() > r.Width())
        line->SetRect(RECT{r.left - h, r.top - h, r.left - h, r.bottom + w - h});
    else
        line->SetRect(RECT{r.left - h, r.top - h, r.right + w - h, r.top - h});
    line->SetWidth(m_itemDefaults.lineWidth);
    line->SetColor(m_itemDefaults.lineColor);
    const std::uint16_t number = GetFreeLineNumber();
    line->SetLineNumber(number);
    line->SetLabel(FormatNumberedName(m_newItemName, number));
    return AdoptNewItem(std::move(line));
}

bool CLayoutManager::RunNewItemDialog(CLayoutItem* item)
{
    if (auto* text = dynamic_cast<CStringItem*>(item))
        return EditStringItem(text);
    if (auto* background = dynamic_cast<CBackgroundImageFrameItem*>(item))
        return ApplyImageToFrame(background);
    return item != nullptr;
}

bool CLayoutManager::CreateBox(POINT p0, POINT p1)
{
    const RECT r = GetBoxToolRect(p0, p1);
    if (r.Width() <= 0 || r.Height() <= 0)
        return false;
    std::unique_ptr<CLayoutItem> item;
    switch (m_drag.dragMode) {
    case 5: {
        auto text = std::make_unique<CStringItem>();
        text->SetRect(r);
        text->SetLogFont(&m_itemDefaults.font);
        text->SetTextColor(m_itemDefaults.textColor);
        item = std::move(text);
        break;
    }
    case 6: {
        auto frame = std::make_unique<CInsertImageFrameItem>();
        frame->SetRect(r);
        const int number = GetFreeFrameNumber();
        frame->SetFrameNumber(number);
        if (IsActiveDocumentDSCLayout())
            frame->SetImagePlacement(0);
        frame->SetLabel(FormatFrameName(number));
        item = std::move(frame);
        break;
    }
    default: {
        auto background = std::make_unique<CBackgroundImageFrameItem>();
        background->SetRect(r);
        item = std::move(background);
        break;
    }
    }
    if (m_drag.dragMode != 6 && !RunNewItemDialog(item.get())) {
        item.reset();
        InvertFeedback();
        Notify(LayoutChangeTracking);
        if (ILayoutView* view = ActiveView()) {
            view->InvalidateNoErase();
            view->UpdateWindow();
        }
        return false;
    }
    // The item list names a text by its text, as it does once the layout is reopened.
    if (auto* text = dynamic_cast<CStringItem*>(item.get()))
        text->SetLabel(text->GetText());
    return AdoptNewItem(std::move(item));
}

void CLayoutManager::OnLButtonUp(int flags, POINT point)
{
    (void)flags;
    bool changed = false;
    bool created = false;
    point = ToItemPoint(point);
    if (m_drag.dragging) {
        DropRemovedTargets();
        const POINT p0 = Unscaled(m_drag.pressPoint);
        const POINT p1 = Unscaled(point);
        switch (m_drag.dragMode) {
        case 1:
            if (m_editFrames.empty()) {
                ClearEditFrames();
                return;
            }
            FinishMove(p0, p1);
            changed = true;
            break;
        case 2:
            if (!m_drag.resizeFrame || !IsOnPage(m_drag.resizeFrame->GetTargetItem())) {
                ClearEditFrames();
                return;
            }
            FinishResize(p1);
            changed = true;
            break;
        case 3:
            m_rubberBand.SetRect(Normalized(p0, p1));
            SelectInRect(Normalized(p0, p1));
            changed = true;
            break;
        case 4:
            created = CreateLine(
                p0, p1, std::abs(m_drag.pressPoint.x - point.x) < std::abs(m_drag.pressPoint.y - point.y));
            changed = true;
            break;
        case 5:
        case 6:
        case 7: {
            const RECT box = GetBoxToolRect(p0, p1);
            created = CreateBox(p0, p1);
            // A cancelled dialog leaves the page as it was; an empty box still reports.
            changed = created || box.Width() <= 0 || box.Height() <= 0;
            break;
        }
        default:
            break;
        }
        if (created) {
            m_drag.currentTool = 3;
            if (ILayoutManagerHost* host = GetLayoutManagerHost())
                if (ILayoutToolBox* toolBox = host->GetToolBox())
                    toolBox->SelectTool(3);
        }
    }
    ClearEditFrames();
    if (m_drag.currentTool == 3 || InScaledPrintable(point))
        SetHoverCursor();
    if (changed) {
        Notify(created ? LayoutChangeItems : LayoutChangeSelection);
        Notify(LayoutChangeContent);
        if (created)
            RefreshToolBox();
    }
}
