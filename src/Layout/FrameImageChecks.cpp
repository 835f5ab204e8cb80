// The checks made before a page is rendered into its frame image or printed.
#include "Core/PictureLimits.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <vector>

namespace {

constexpr int kMaxItemsOnALine = 20;

} // namespace

int CLayoutManager::GetPrintLineExtent() const
{
    if (GetItemCount(-1, 1, nullptr) <= kMaxItemsOnALine)
        return 1;
    const RECT printable = GetPrintableRect();
    const bool across = GetOrientation() == 1;
    const int positions = across ? printable.right - printable.left : printable.bottom - printable.top;
    std::vector<std::pair<int, int>> spans;
    for (const auto& item : m_items) {
        if (!item->IsVisible())
            continue;
        RECT r;
        item->GetRect(&r, false);
        if (const auto* line = dynamic_cast<const CLineItem*>(item.get())) {
            const int extra = line->GetWidth(false, 1.0f) - 1;
            if (r.left == r.right)
                r.right += extra;
            else
                r.bottom += extra;
        }
        spans.emplace_back(across ? r.left : r.top, across ? r.right : r.bottom);
    }
    for (int position = 0; position < positions; ++position) {
        int count = 0;
        for (const auto& [first, last] : spans)
            if (first <= position && position <= last)
                ++count;
        if (count > kMaxItemsOnALine)
            return 0;
    }
    return 1;
}

int CLayoutManager::GetPrintStringExtent() const
{
    for (const auto& item : m_items) {
        if (!item->IsVisible() || !IsKindOf<CStringItem>(item.get()))
            continue;
        RECT r;
        item->GetRect(&r, false);
        // Asked of the size the text is rendered at, so the check and the
        // rendering cannot disagree.
        if (!FitsPictureLimits(r.right - r.left, r.bottom - r.top))
            return 0;
    }
    return 1;
}

int CLayoutManager::CheckAppliedImages() const
{
    int visible = 0;
    int empty = 0;
    for (const auto& item : m_items) {
        if (!item->IsVisible())
            continue;
        ++visible;
        if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get())) {
            if (frame->GetImageFileName().empty())
                ++empty;
        } else if (const auto* text = dynamic_cast<const CMacroStringItem*>(item.get())) {
            if (!text->GetOwnerFrame() || text->GetOwnerFrame()->GetImageFileName().empty())
                ++empty;
        }
    }
    return visible == empty ? -1 : visible;
}
