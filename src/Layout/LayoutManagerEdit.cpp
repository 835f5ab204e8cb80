// Editing commands on the selection: delete, centre, quarter turns, line
// width and colour, and the frame numbers that deleting closes up.
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"

#include <algorithm>
#include <functional>

namespace {

int ExistingLinks(const CInsertImageFrameItem& frame)
{
    return (frame.GetLinkedText1() ? 1 : 0) + (frame.GetLinkedText2() ? 1 : 0) +
           (frame.GetLinkedText3() ? 1 : 0);
}

// The frame numbers of the chosen frames that no other frame carries.
void RecordNumbers(const LayoutItemList& items, CDeleteUndoInfo& record,
                   const std::function<bool(const CLayoutItem*)>& chosen)
{
    for (const auto& item : items) {
        const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get());
        if (!frame || !chosen(frame))
            continue;
        const int number = frame->GetFrameNumber();
        const bool sharedWithOther = std::any_of(items.begin(), items.end(), [&](const auto& other) {
            const auto* o = dynamic_cast<const CInsertImageFrameItem*>(other.get());
            return o && !chosen(o) && o->GetFrameNumber() == number;
        });
        if (!sharedWithOther)
            record.AddIndex(static_cast<unsigned>(number));
    }
}

} // namespace

void CLayoutManager::RecordRemovedFrameNumbers(CDeleteUndoInfo& record) const
{
    RecordNumbers(m_items, record, [](const CLayoutItem* item) { return item->IsSelected(); });
}

void CLayoutManager::CloseFrameNumberGaps(const CDeleteUndoInfo& record)
{
    const std::vector<unsigned>& removed = record.RemovedNumbers();
    if (removed.empty())
        return;
    for (auto& item : m_items) {
        auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get());
        if (!frame)
            continue;
        const int number = frame->GetFrameNumber();
        const auto below = std::count_if(removed.begin(), removed.end(),
                                         [number](unsigned r) { return static_cast<long>(r) < number; });
        if (below == 0)
            continue;
        frame->SetFrameNumber(number - static_cast<int>(below));
        frame->SetLabel(FormatFrameName(frame->GetFrameNumber()));
    }
}

bool CLayoutManager::RemoveItemsInto(CDeleteUndoInfo& record, const CAddUndoInfo* only)
{
    bool removed = false;
    int index = static_cast<int>(m_items.size()) - 1;
    auto it = m_items.end();
    while (it != m_items.begin()) {
        --it;
        CLayoutItem* item = it->get();
        bool take = only ? only->Contains(item) : item->IsSelected();
        if (auto* text = dynamic_cast<CMacroStringItem*>(item)) {
            // A frame's texts go with it.
            if (!only || (text->GetOwnerFrame() && only->Contains(text->GetOwnerFrame())))
                take = false;
        }
        if (take) {
            auto* frame = dynamic_cast<CInsertImageFrameItem*>(item);
            if (frame)
                index -= ExistingLinks(*frame);
            record.Add(index, item);
            if (frame)
                frame->RemoveLinkedTexts(&m_items);
            it = m_items.erase(it);
            removed = true;
        }
        --index;
    }
    return removed;
}

int CLayoutManager::DeleteSelection()
{
    DeletePendingUndo();
    auto record = std::make_unique<CDeleteUndoInfo>();
    RecordRemovedFrameNumbers(*record);
    const bool removed = RemoveItemsInto(*record, nullptr);
    CloseFrameNumberGaps(*record);
    SetPendingUndo(std::move(record));
    if (removed) {
        Notify(LayoutChangeItems);
        Notify(LayoutChangeContent);
        NotifyToolBox(nullptr);
    }
    return 1;
}

void CLayoutManager::UndoAdd(CAddUndoInfo& record)
{
    if (record.Items().empty())
        return;
    auto inverse = std::make_unique<CDeleteUndoInfo>();
    RecordNumbers(m_items, *inverse, [&record](const CLayoutItem* item) { return record.Contains(item); });
    RemoveItemsInto(*inverse, &record);
    CloseFrameNumberGaps(*inverse);
    SetPendingUndo(std::move(inverse));
}

bool CLayoutManager::CenterSelection(int axis)
{
    bool any = false;
    RECT u{0, 0, 0, 0};
    for (const auto& item : m_items) {
        if (!CountsAsSelected(item.get()))
            continue;
        const RECT r = WidenedRect(item.get());
        u = any ? RECT{std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
                       std::max(u.bottom, r.bottom)}
                : r;
        any = true;
    }
    if (u == RECT{0, 0, 0, 0})
        return false;
    const RECT p = GetPrintableRect();
    const int cx = (p.right - p.left - u.right + u.left) / 2 + p.left;
    const int cy = (p.bottom - p.top - u.bottom + u.top) / 2 + p.top;
    if (cx == u.left && cy == u.top)
        return false;
    const POINT by = axis == 0 ? POINT{cx - u.left, 0} : POINT{0, cy - u.top};
    DeletePendingUndo();
    auto record = std::make_unique<CChangeRectUndoInfo>();
    for (auto& item : m_items) {
        if (!CountsAsSelected(item.get()))
            continue;
        record->Add(item.get());
        RECT r;
        item->GetRect(&r, false);
        item->SetRect(RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y});
    }
    SetPendingUndo(std::move(record));
    Notify(LayoutChangeSelection);
    Notify(LayoutChangeContent);
    return true;
}

bool CLayoutManager::RotateSelection(bool clockwise)
{
    const RECT p = GetPrintableRect();
    for (const auto& item : m_items) {
        if (!CountsAsSelected(item.get()))
            continue;
        const RECT turned = RotateRect90(WidenedRect(item.get()));
        if (turned.Width() > p.Width() || turned.Height() > p.Height()) {
            ILayoutManagerHost* host = GetLayoutManagerHost();
            if (ILayoutView* view = host ? host->GetActiveEditorView() : nullptr)
                view->ShowLocalizedMessage(155, MB_ICONHAND);
            return false;
        }
    }
    DeletePendingUndo();
    auto record = std::make_unique<CChangeRectUndoInfo>();
    bool turnedAny = false;
    for (auto& item : m_items) {
        if (!CountsAsSelected(item.get()))
            continue;
        record->Add(item.get());
        RECT before;
        item->GetRect(&before, false);
        RECT r = RotateRect90(WidenedRect(item.get()));
        if (IsKindOf<CLineItem>(item.get())) {
            if (before.left == before.right)
                r.bottom = r.top;
            else
                r.right = r.left;
        }
        if (r.left < p.left) {
            const int d = p.left - r.left;
            r.left += d;
            r.right += d;
        } else if (r.right > p.right) {
            const int d = r.right - p.right;
            r.left -= d;
            r.right -= d;
        }
        if (r.top < p.top) {
            const int d = p.top - r.top;
            r.top += d;
            r.bottom += d;
        } else if (r.bottom > p.bottom) {
            const int d = r.bottom - p.bottom;
            r.top -= d;
            r.bottom -= d;
        }
        item->SetRect(r);
        if (auto* text = dynamic_cast<CStringItem*>(item.get()))
            text->Rotate(clockwise);
        else if (auto* macro = dynamic_cast<CMacroStringItem*>(item.get()))
            macro->Rotate(clockwise);
        else if (auto* frame = dynamic_cast<CImageFrameItem*>(item.get()))
            frame->Rotate(clockwise);
        turnedAny = true;
    }
    SetPendingUndo(std::move(record));
    if (turnedAny) {
        Notify(LayoutChangeSelection);
        Notify(LayoutChangeContent);
    }
    return true;
}

void CLayoutManager::ChangeSelectedLines(bool width, bool color)
{
    if (!width && !color)
        return;
    DeletePendingUndo();
    auto record = std::make_unique<CChangeLineUndoInfo>();
    bool changed = false;
    for (auto& item : m_items) {
        auto* line = dynamic_cast<CLineItem*>(item.get());
        if (!line || !line->IsSelected())
            continue;
        record->Add(line);
        if (width) {
            RECT b;
            line->GetLineBounds(&b, false);
            const int d = m_itemDefaults.lineWidth - 1;
            const int a = d / 2;
            const int c = d - a;
            if (b.left == b.right)
                line->SetRect(RECT{b.left - a, b.top - a, b.left - a, b.bottom + c});
            else
                line->SetRect(RECT{b.left - a, b.top - a, b.right + c, b.top - a});
            line->SetWidth(m_itemDefaults.lineWidth);
        }
        if (color)
            line->SetColor(m_itemDefaults.lineColor);
        changed = true;
    }
    SetPendingUndo(std::move(record));
    if (changed) {
        Notify(LayoutChangeSelection);
        Notify(LayoutChangeContent);
    }
}
