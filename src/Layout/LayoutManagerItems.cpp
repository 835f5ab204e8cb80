// The item list and the queries the menus, tool box and read-out ask.
#include "Core/Files.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"

#include <algorithm>

namespace {
bool InRect(POINT p, const RECT& r)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
} // namespace

RECT CLayoutManager::WidenedRect(const CLayoutItem* item)
{
    RECT r;
    item->GetRect(&r, false);
    if (const auto* line = dynamic_cast<const CLineItem*>(item)) {
        const int width = line->GetWidth(false, -1.0f);
        if (r.left == r.right)
            r.right += width - 1;
        else
            r.bottom += width - 1;
    }
    return r;
}

bool CLayoutManager::IsPinnedText(const CLayoutItem* item) const
{
    const auto* text = dynamic_cast<const CMacroStringItem*>(item);
    return text && text->GetOwnerFrame() && text->GetOwnerFrame()->GetInfoOption() != 0;
}

bool CLayoutManager::CountsAsSelected(const CLayoutItem* item) const
{
    if (!item->IsSelected())
        return false;
    const auto* text = dynamic_cast<const CMacroStringItem*>(item);
    return !text || !text->GetOwnerFrame() || text->GetOwnerFrame()->IsSelected();
}

LayoutItemList::iterator CLayoutManager::FindNode(const CLayoutItem* item)
{
    return std::find_if(m_items.begin(), m_items.end(),
                        [item](const std::unique_ptr<CLayoutItem>& node) { return node.get() == item; });
}

LayoutItemList::iterator CLayoutManager::FirstUnpinned()
{
    return std::find_if(m_items.begin(), m_items.end(), [this](const std::unique_ptr<CLayoutItem>& node) {
        return !IsPinnedText(node.get());
    });
}

CLayoutItem* CLayoutManager::GetItemAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return std::next(m_items.begin(), index)->get();
}

int CLayoutManager::GetItemCount(int selected, int visible, ItemClass kind) const
{
    int count = 0;
    for (const auto& item : m_items) {
        if (selected != -1 && item->IsSelected() != (selected != 0))
            continue;
        if (visible != -1 && item->IsVisible() != (visible != 0))
            continue;
        if (kind && !kind(item.get()))
            continue;
        ++count;
    }
    return count;
}

CLayoutItem* CLayoutManager::GetFirstSelectedItem(ItemClass kind) const
{
    for (const auto& item : m_items)
        if (item->IsSelected() && (!kind || kind(item.get())))
            return item.get();
    return nullptr;
}

int CLayoutManager::GetItemIndex(const CLayoutItem* item) const
{
    if (!item)
        return -1;
    int index = 0;
    for (const auto& node : m_items) {
        if (node.get() == item)
            return index;
        ++index;
    }
    return -2;
}

bool CLayoutManager::IsSelectionOfClass(ItemClass kind, bool exclusive, bool visibleOnly, bool strict) const
{
    int count = 0;
    for (const auto& item : m_items) {
        if (!item->IsSelected() || (visibleOnly && !item->IsVisible()))
            continue;
        if (!kind || kind(item.get())) {
            ++count;
            continue;
        }
        if (!exclusive)
            continue;
        const auto* text = dynamic_cast<const CMacroStringItem*>(item.get());
        const bool ownedText = text && text->GetOwnerFrame() && text->GetOwnerFrame()->IsSelected();
        if (ownedText && kind == &IsKindOf<CInsertImageFrameItem> && !strict)
            continue;
        return false;
    }
    return count > 0;
}

bool CLayoutManager::IsOneInsertFrameSelected() const
{
    const CInsertImageFrameItem* frame = nullptr;
    bool any = false;
    for (const auto& item : m_items) {
        if (!item->IsSelected())
            continue;
        const CInsertImageFrameItem* owner = nullptr;
        if (const auto* f = dynamic_cast<const CInsertImageFrameItem*>(item.get()))
            owner = f;
        else if (const auto* text = dynamic_cast<const CMacroStringItem*>(item.get()))
            owner = text->GetOwnerFrame();
        if (!owner || (frame && frame != owner))
            return false;
        frame = owner;
        any = true;
    }
    return any;
}

bool CLayoutManager::AllSelectedFramesHavePlacement(int placement) const
{
    bool any = false;
    for (const auto& item : m_items) {
        const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get());
        if (!frame || !frame->IsSelected())
            continue;
        if (frame->GetImagePlacement() != placement)
            return false;
        any = true;
    }
    return any;
}

bool CLayoutManager::AllSelectedFramesHaveRotation(int rotation) const
{
    bool any = false;
    for (const auto& item : m_items) {
        const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get());
        if (!frame || !frame->IsSelected())
            continue;
        if (frame->GetImageRotation() != rotation)
            return false;
        any = true;
    }
    return any;
}

bool CLayoutManager::AllSelectedBackgroundsAspectFixed() const
{
    bool any = false;
    for (const auto& item : m_items) {
        const auto* frame = dynamic_cast<const CBackgroundImageFrameItem*>(item.get());
        if (!frame || !frame->IsSelected())
            continue;
        if (!frame->IsAspectFixed())
            return false;
        any = true;
    }
    return any;
}

bool CLayoutManager::IsAutoRotateSelected() const
{
    for (const auto& item : m_items) {
        const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get());
        if (frame && frame->IsSelected() && frame->GetImageRotation() == CImageFrameItem::kAutomaticRotation)
            return true;
    }
    return false;
}

int CLayoutManager::GetSelectedLineWidth() const
{
    int width = 0;
    bool any = false;
    for (const auto& item : m_items) {
        const auto* line = dynamic_cast<const CLineItem*>(item.get());
        if (!line || !line->IsSelected())
            continue;
        const int w = line->GetWidth(false, -1.0f);
        if (any && w != width)
            return 0;
        width = w;
        any = true;
    }
    return width;
}

COLORREF CLayoutManager::GetSelectedLineColor() const
{
    COLORREF color = 0;
    bool any = false;
    for (const auto& item : m_items) {
        const auto* line = dynamic_cast<const CLineItem*>(item.get());
        if (!line || !line->IsSelected())
            continue;
        if (any && line->GetColor() != color)
            return 0;
        color = line->GetColor();
        any = true;
    }
    return any ? color : static_cast<COLORREF>(-1);
}

bool CLayoutManager::GetSelectionInfo(RECT* out) const
{
    if (!out)
        return false;
    if (!m_drag.dragging) {
        const CLayoutItem* item = nullptr;
        if (GetItemCount(1, -1, nullptr) == 1)
            item = GetFirstSelectedItem(&IsKindOf<CLayoutItem>);
        else if (IsOneInsertFrameSelected())
            item = GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>);
        if (!item)
            return false;
        *out = WidenedRect(item);
        return true;
    }
    switch (m_drag.dragMode) {
    case 1:
        if (GetItemCount(1, -1, nullptr) != 1 && !IsOneInsertFrameSelected())
            return false;
        *out = GetEditFrameRect(false, true);
        return true;
    case 2: {
        const CEditItem* frame = m_drag.resizeFrame.get();
        if (!frame)
            return false;
        frame->GetRect(out, false);
        if (const auto* line = dynamic_cast<const CLineItem*>(frame->GetTargetItem())) {
            const int width = line->GetWidth(false, -1.0f);
            if (out->left == out->right)
                out->right += width - 1;
            else
                out->bottom += width - 1;
        }
        return true;
    }
    case 3:
        m_rubberBand.GetRect(out, false);
        return true;
    default: {
        const CEditItem* frame = m_drag.toolFrame.get();
        if (!frame)
            return false;
        frame->GetRect(out, false);
        if (m_drag.dragMode == 4) {
            const int a = (m_itemDefaults.lineWidth - 1) / 2;
            const int b = (m_itemDefaults.lineWidth - 1) - a;
            *out = RECT{out->left - a, out->top - a, out->right + b, out->bottom + b};
        }
        return true;
    }
    }
}

bool CLayoutManager::CheckItemImageFiles() const
{
    for (const auto& item : m_items) {
        const auto* frame = dynamic_cast<const CImageFrameItem*>(item.get());
        if (!frame || frame->GetImageFileName().empty())
            continue;
        if (!IsFile(frame->GetImageFileName2()))
            return false;
    }
    return true;
}

int CLayoutManager::HitTestItems(POINT point, CLayoutItem** out)
{
    for (auto& item : m_items) {
        if (!item->IsVisible() || !item->IsSelected())
            continue;
        const int code = item->HitTest(point);
        if (code >= 2 && code <= 9) {
            if (out)
                *out = item.get();
            return code;
        }
    }
    const bool camera = IsActiveDocumentDSCLayout();
    CLayoutItem* remembered = nullptr;
    int rememberedCode = 0;
    auto search = [&](bool selectedOnly) -> std::pair<CLayoutItem*, int> {
        for (auto& item : m_items) {
            if (!item->IsVisible() || (selectedOnly && !item->IsSelected()))
                continue;
            const int code = item->HitTest(point);
            if (code == 0)
                continue;
            if (camera && IsKindOf<CInsertImageFrameItem>(item.get())) {
                remembered = item.get();
                rememberedCode = code;
                continue;
            }
            return {item.get(), code};
        }
        return {nullptr, 0};
    };
    auto [hit, code] = search(true);
    if (!hit)
        std::tie(hit, code) = search(false);
    if (!hit && remembered) {
        hit = remembered;
        code = rememberedCode;
    }
    if (!hit)
        return 0;
    if (out)
        *out = hit;
    return code;
}

bool CLayoutManager::CanSetSelectedLineWidth(int width) const
{
    if (width > kMaxLineWidth)
        return false;
    RECT p = GetPrintableRect();
    p.right += 1;
    p.bottom += 1;
    const int a = (width - 1) / 2;
    const int b = (width - 1) - a;
    for (const auto& item : m_items) {
        const auto* line = dynamic_cast<const CLineItem*>(item.get());
        if (!line || !line->IsSelected())
            continue;
        RECT bounds;
        line->GetLineBounds(&bounds, false);
        bounds = RECT{bounds.left - a, bounds.top - a, bounds.right + b, bounds.bottom + b};
        if (!InRect(POINT{bounds.left, bounds.top}, p) || !InRect(POINT{bounds.right, bounds.bottom}, p))
            return false;
    }
    return true;
}

bool CLayoutManager::AddItem(int index, std::unique_ptr<CLayoutItem> item)
{
    if (!item)
        return false;
    AdoptItem(*item);
    if (index == 0) {
        const auto at = IsPinnedText(item.get()) ? m_items.begin() : FirstUnpinned();
        m_items.insert(at, std::move(item));
        return true;
    }
    if (index < 0 || index >= static_cast<int>(m_items.size())) {
        m_items.push_back(std::move(item));
        return true;
    }
    m_items.insert(std::next(m_items.begin(), index), std::move(item));
    return true;
}

bool CLayoutManager::DeleteItem(CLayoutItem* item)
{
    if (!item)
        return false;
    auto node = FindNode(item);
    if (node == m_items.end())
        return false;
    if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item))
        frame->RemoveLinkedTexts(&m_items);
    m_items.erase(FindNode(item));
    return true;
}

void CLayoutManager::DeleteAllItems()
{
    m_items.clear();
}

int CLayoutManager::SelectAll(bool flag)
{
    for (auto& item : m_items)
        if (item->IsSelected() != flag)
            item->SetSelected(flag);
    return 1;
}

int CLayoutManager::SelectInRect(const RECT& rect)
{
    for (auto& item : m_items) {
        RECT r;
        item->GetRect(&r, false);
        if (InRect(POINT{r.left, r.top}, rect) && InRect(POINT{r.right, r.bottom}, rect) &&
            !item->IsSelected() && item->IsVisible())
            item->SetSelected(true);
    }
    return 1;
}

bool CLayoutManager::CloneItem(std::unique_ptr<CLayoutItem>* out, const CLayoutItem* source) const
{
    if (!out || !source)
        return false;
    std::unique_ptr<CLayoutItem> copy = CloneLayoutItem(source);
    if (!copy)
        return false;
    *out = std::move(copy);
    return true;
}
