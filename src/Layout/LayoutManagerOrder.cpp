// The z-order commands. Pinned texts stay at the front; a frame's linked
// texts stay directly in front of it.
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/MacroStringItem.h"
#include "Layout/UndoInfo.h"

#include <iterator>

void CLayoutManager::RecordOrder(CChangeOrderUndoInfo& record) const
{
    record.Order().clear();
    for (const auto& item : m_items)
        record.Order().push_back(item.get());
}

namespace {
std::vector<CLayoutItem*> OrderOf(const LayoutItemList& items)
{
    std::vector<CLayoutItem*> order;
    for (const auto& item : items)
        order.push_back(item.get());
    return order;
}
} // namespace

// Every order command: the old order becomes the held record, and the view
// hears of it only when the order really changed.
int CLayoutManager::ReorderUnderRecord(const std::function<void()>& reorder)
{
    DeletePendingUndo();
    auto record = std::make_unique<CChangeOrderUndoInfo>();
    RecordOrder(*record);
    reorder();
    const bool moved = OrderOf(m_items) != record->Order();
    SetPendingUndo(std::move(record));
    if (moved) {
        Notify(LayoutChangeOrder);
        Notify(LayoutChangeContent);
    }
    return 1;
}

// Pinned texts keep their place at the front whatever is selected.
bool CLayoutManager::IsMovableInOrder(const CLayoutItem* item) const
{
    return CountsAsSelected(item) && !IsPinnedText(item);
}

int CLayoutManager::BringToFront()
{
    return ReorderUnderRecord([&] {
        auto insertAt = FirstUnpinned();
        std::vector<LayoutItemList::iterator> chosen;
        for (auto it = insertAt; it != m_items.end(); ++it)
            if (IsMovableInOrder(it->get()))
                chosen.push_back(it);
        for (auto node : chosen) {
            if (node == insertAt)
                ++insertAt;
            else
                m_items.splice(insertAt, m_items, node);
        }
    });
}

int CLayoutManager::SendToBack()
{
    return ReorderUnderRecord([&] {
        if (!m_items.empty()) {
            // A camera page keeps its backmost item (the frame picture) at the back.
            const bool camera = IsActiveDocumentDSCLayout();
            const auto last = std::prev(m_items.end());
            const auto target = camera ? last : m_items.end();
            std::vector<LayoutItemList::iterator> chosen;
            for (auto it = m_items.begin(); it != m_items.end(); ++it) {
                if (camera && it == last)
                    break;
                if (IsMovableInOrder(it->get()))
                    chosen.push_back(it);
            }
            for (auto node : chosen)
                m_items.splice(target, m_items, node);
        }
    });
}

int CLayoutManager::BringForward()
{
    return ReorderUnderRecord([&] {
        auto front = m_items.end();
        auto it = m_items.begin();
        auto chosen = [this](const LayoutItemList::iterator& node) { return IsMovableInOrder(node->get()); };
        while (it != m_items.end()) {
            if (IsPinnedText(it->get())) {
                ++it;
                continue;
            }
            if (!chosen(it)) {
                front = it;
                ++it;
                continue;
            }
            auto runEnd = it;
            while (runEnd != m_items.end() && chosen(runEnd))
                ++runEnd;
            if (front != m_items.end()) {
                auto insertAt = front;
                const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(front->get());
                if (frame && frame->GetInfoOption() == 0) {
                    for (const CMacroStringItem* link :
                         {frame->GetLinkedText3(), frame->GetLinkedText2(), frame->GetLinkedText1()}) {
                        auto node = link ? FindNode(link) : m_items.end();
                        if (node != m_items.end())
                            insertAt = node;
                    }
                }
                m_items.splice(insertAt, m_items, it, runEnd);
            }
            it = runEnd;
        }
    });
}

int CLayoutManager::SendBackward()
{
    return ReorderUnderRecord([&] {
        const bool camera = IsActiveDocumentDSCLayout();
        auto chosen = [this](const LayoutItemList::iterator& node) { return IsMovableInOrder(node->get()); };
        auto behind = m_items.end();
        bool more = !m_items.empty();
        auto node = more ? std::prev(m_items.end()) : m_items.end();
        const auto last = node;
        while (more) {
            if (IsPinnedText(node->get()))
                break;
            if (!chosen(node)) {
                if (!(camera && node == last))
                    behind = node;
                more = node != m_items.begin();
                if (more)
                    --node;
                continue;
            }
            auto runStart = node;
            while (runStart != m_items.begin() && chosen(std::prev(runStart)))
                --runStart;
            const auto runEnd = std::next(node);
            const bool atHead = runStart == m_items.begin();
            const auto nextNode = atHead ? m_items.end() : std::prev(runStart);
            if (behind != m_items.end()) {
                auto insertAfter = behind;
                if (const auto* text = dynamic_cast<const CMacroStringItem*>(behind->get())) {
                    auto owner = text->GetOwnerFrame() ? FindNode(text->GetOwnerFrame()) : m_items.end();
                    if (owner != m_items.end() &&
                        std::distance(m_items.begin(), owner) > std::distance(m_items.begin(), behind))
                        insertAfter = owner;
                }
                m_items.splice(std::next(insertAfter), m_items, runStart, runEnd);
            }
            more = !atHead;
            node = nextNode;
        }
    });
}

int CLayoutManager::MoveItemInOrder(CLayoutItem* target)
{
    if (!target)
        return SendToBack();
    const CLayoutItem* reference = target;
    if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(target)) {
        for (const CMacroStringItem* link :
             {frame->GetLinkedText3(), frame->GetLinkedText2(), frame->GetLinkedText1()})
            if (link && FindNode(link) != m_items.end())
                reference = link;
    } else if (IsKindOf<CMacroStringItem>(target)) {
        auto node = FindNode(target);
        while (node != m_items.end() && IsPinnedText(node->get()))
            ++node;
        if (node == m_items.end())
            return SendToBack();
        reference = node->get();
    }
    auto referenceNode = FindNode(reference);
    if (referenceNode == m_items.end())
        return 1;
    if (referenceNode == m_items.begin())
        return BringToFront();

    return ReorderUnderRecord([&] {
        std::vector<LayoutItemList::iterator> chosen;
        for (auto it = m_items.begin(); it != m_items.end(); ++it)
            if (IsMovableInOrder(it->get()))
                chosen.push_back(it);
        bool behindTarget = false;
        auto anchor = FindNode(target);
        for (auto node : chosen) {
            if (node == referenceNode) {
                behindTarget = true;
                continue;
            }
            if (!behindTarget) {
                m_items.splice(referenceNode, m_items, node);
            } else if (anchor != m_items.end() && node != anchor) {
                m_items.splice(std::next(anchor), m_items, node);
                anchor = node;
            }
        }
    });
}
