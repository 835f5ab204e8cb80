// Undo: runs the held record and holds the record that reverses it.
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

using Links = std::array<CMacroStringItem*, 3>;

Links LinksOf(const CInsertImageFrameItem& frame)
{
    return Links{frame.GetLinkedText1(), frame.GetLinkedText2(), frame.GetLinkedText3()};
}

void SetLink(CInsertImageFrameItem& frame, std::size_t k, CMacroStringItem* text)
{
    if (k == 0)
        frame.SetLinkedText1(text);
    else if (k == 1)
        frame.SetLinkedText2(text);
    else
        frame.SetLinkedText3(text);
}

} // namespace

int CLayoutManager::Undo()
{
    CUndoInfo* record = m_pendingUndo.get();
    if (!record)
        return 1;
    if (auto* add = dynamic_cast<CAddUndoInfo*>(record))
        UndoAdd(*add);
    else if (auto* del = dynamic_cast<CDeleteUndoInfo*>(record))
        UndoDelete(*del);
    else if (auto* order = dynamic_cast<CChangeOrderUndoInfo*>(record))
        UndoOrder(*order);
    else if (auto* state = dynamic_cast<CChangeStateUndoInfo*>(record))
        UndoState(*state);
    else if (auto* rect = dynamic_cast<CChangeRectUndoInfo*>(record))
        UndoRect(*rect);
    else if (auto* line = dynamic_cast<CChangeLineUndoInfo*>(record))
        UndoLine(*line);
    else if (auto* text = dynamic_cast<CChangeStringUndoInfo*>(record))
        UndoString(*text);
    else if (auto* image = dynamic_cast<CChangeImageFrameUndoInfo*>(record))
        UndoImageFrame(*image);
    else if (auto* insert = dynamic_cast<CChangeInsertImageFrameUndoInfo*>(record))
        UndoInsertImageFrame(*insert);
    else if (auto* macro = dynamic_cast<CChangeMacroStringUndoInfo*>(record))
        UndoMacroString(*macro);
    else
        return 0;
    Notify(LayoutChangeItems);
    Notify(LayoutChangeContent, 1);
    return 1;
}

void CLayoutManager::UndoDelete(CDeleteUndoInfo& record)
{
    for (unsigned removed : record.RemovedNumbers()) {
        for (auto& item : m_items) {
            auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get());
            if (!frame || frame->GetFrameNumber() < static_cast<long>(removed))
                continue;
            frame->SetFrameNumber(frame->GetFrameNumber() + 1);
            frame->SetLabel(FormatFrameName(frame->GetFrameNumber()));
        }
    }
    auto inverse = std::make_unique<CAddUndoInfo>();
    auto& entries = record.Entries();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        CLayoutItem* item = entry->copy.get();
        if (!item)
            continue;
        AddItem(entry->index, std::move(entry->copy));
        inverse->Add(item);
        auto* frame = dynamic_cast<CInsertImageFrameItem*>(item);
        if (!frame || !entry->hasSnapshot)
            continue;
        for (std::size_t k = 3; k-- > 0;) {
            if (!entry->snapshot.present[k])
                continue;
            auto text = std::make_unique<CMacroStringItem>();
            text->SetMacroKind(static_cast<int>(k));
            text->SetOwnerFrame(frame);
            text->SetRect(entry->snapshot.rects[k]);
            text->SetDirection(entry->snapshot.directions[k]);
            text->SetDrawSuppressed(false);
            text->SetVisible(frame->IsVisible());
            text->SetSelected(frame->IsSelected());
            CMacroStringItem* placed = text.get();
            AddItem(entry->index, std::move(text));
            SetLink(*frame, k, placed);
            inverse->Add(placed);
        }
    }
    SetPendingUndo(std::move(inverse)); // the delete record goes with it
}

void CLayoutManager::UndoOrder(CChangeOrderUndoInfo& record)
{
    std::vector<CLayoutItem*> current;
    for (const auto& item : m_items)
        current.push_back(item.get());
    for (CLayoutItem* item : record.Order()) {
        auto node = FindNode(item);
        if (node != m_items.end())
            m_items.splice(m_items.end(), m_items, node);
    }
    record.Order() = std::move(current);
}

void CLayoutManager::UndoState(CChangeStateUndoInfo& record)
{
    for (auto& item : m_items)
        for (auto& entry : record.Entries())
            if (entry.item == item.get()) {
                const bool visible = item->IsVisible();
                item->SetVisible(entry.visible);
                entry.visible = visible;
            }
}

void CLayoutManager::UndoRect(CChangeRectUndoInfo& record)
{
    for (auto& item : m_items) {
        for (auto& entry : record.Entries()) {
            if (entry.item != item.get())
                continue;
            CChangeRectUndoInfo::Entry now;
            item->GetRect(&now.rect, false);
            now.direction = GetItemDirection(item.get());
            item->SetRect(entry.rect);
            SetItemDirection(item.get(), entry.direction);
            if (auto* background = dynamic_cast<CBackgroundImageFrameItem*>(item.get())) {
                now.aspectFixed = background->IsAspectFixed();
                background->SetAspectFixed(entry.aspectFixed);
            }
            if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get())) {
                now.aspectKind = frame->GetAspectKind();
                frame->SetAspectKind(entry.aspectKind);
            }
            entry.rect = now.rect;
            entry.direction = now.direction;
            entry.aspectFixed = now.aspectFixed;
            entry.aspectKind = now.aspectKind;
        }
    }
}

void CLayoutManager::UndoLine(CChangeLineUndoInfo& record)
{
    for (auto& item : m_items) {
        auto* line = dynamic_cast<CLineItem*>(item.get());
        if (!line)
            continue;
        for (auto& entry : record.Entries()) {
            if (entry.line != line)
                continue;
            RECT rect;
            line->GetRect(&rect, false);
            const COLORREF color = line->GetColor();
            const int width = line->GetWidth(false, -1.0f);
            line->SetRect(entry.rect);
            line->SetColor(entry.color);
            line->SetWidth(entry.width);
            entry.rect = rect;
            entry.color = color;
            entry.width = width;
        }
    }
}

void CLayoutManager::UndoString(CChangeStringUndoInfo& record)
{
    for (auto& item : m_items) {
        auto* text = dynamic_cast<CStringItem*>(item.get());
        if (!text)
            continue;
        for (auto& entry : record.Entries()) {
            if (entry.item != text)
                continue;
            CChangeStringUndoInfo scratch;
            scratch.Add(text);
            CChangeStringUndoInfo::Entry now = std::move(scratch.Entries().front());
            text->SetRect(entry.rect);
            text->SetText(entry.text);
            text->SetLogFont(&entry.font);
            text->SetTextColor(entry.textColor);
            text->SetShadowOffset(entry.shadowOffset);
            text->SetShadowColor(entry.shadowColor);
            text->SetShadow(entry.shadow);
            text->SetBackColor(entry.backColor);
            text->SetBackColorOn(entry.backColorOn);
            text->SetVerticalText(entry.vertical);
            text->SetDirection(entry.direction);
            entry = std::move(now);
        }
    }
}

void CLayoutManager::UndoImageFrame(CChangeImageFrameUndoInfo& record)
{
    auto node = FindNode(record.GetItem());
    if (node == m_items.end() || !record.GetCopy())
        return;
    std::unique_ptr<CLayoutItem> fresh = CloneLayoutItem(record.GetCopy());
    auto* frame = dynamic_cast<CImageFrameItem*>(fresh.get());
    if (!frame)
        return;
    CLayoutItem* old = node->get();
    frame->SetVisible(old->IsVisible());
    AdoptItem(*frame);
    if (auto* insert = dynamic_cast<CInsertImageFrameItem*>(frame)) {
        // The live texts stay with the frame in the list.
        const Links links = LinksOf(*static_cast<CInsertImageFrameItem*>(old));
        for (std::size_t k = 0; k < 3; ++k) {
            SetLink(*insert, k, links[k]);
            if (!links[k])
                continue;
            links[k]->SetOwnerFrame(insert);
            links[k]->SetSelected(insert->IsSelected());
            links[k]->SetVisible(insert->IsVisible());
        }
    }
    fresh.release();
    std::unique_ptr<CLayoutItem> previous(node->release());
    node->reset(frame);
    record.Replace(frame,
                   std::unique_ptr<CImageFrameItem>(static_cast<CImageFrameItem*>(previous.release())));
}

void CLayoutManager::UndoInsertImageFrame(CChangeInsertImageFrameUndoInfo& record)
{
    for (auto& item : m_items) {
        auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get());
        if (!frame)
            continue;
        for (auto& entry : record.Entries()) {
            if (entry.frame != frame)
                continue;
            RECT range;
            frame->GetImageRange(&range);
            const int rotation = frame->GetImageRotation();
            const int placement = frame->GetImagePlacement();
            frame->SetImageRange(entry.range);
            frame->SetImageRotation(entry.rotation);
            frame->SetImagePlacement(entry.placement);
            entry.range = range;
            entry.rotation = rotation;
            entry.placement = placement;
        }
    }
}

void CLayoutManager::UndoMacroString(CChangeMacroStringUndoInfo& record)
{
    std::vector<CInsertImageFrameItem*> frames;
    for (auto& item : m_items)
        if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get()))
            frames.push_back(frame);
    for (CInsertImageFrameItem* frame : frames) {
        for (auto& entry : record.Entries()) {
            if (entry.frame != frame)
                continue;
            const CChangeMacroStringUndoInfo::InfoSettings now =
                CChangeMacroStringUndoInfo::ReadSettings(*frame);
            CChangeMacroStringUndoInfo::ApplySettings(*frame, entry.settings);
            entry.settings = now;

            std::array<std::unique_ptr<CMacroStringItem>, 3> former;
            const Links links = LinksOf(*frame);
            for (std::size_t k = 0; k < 3; ++k) {
                if (!links[k])
                    continue;
                former[k] = std::make_unique<CMacroStringItem>();
                former[k]->CopyFrom(*links[k]);
            }
            for (std::size_t k = 0; k < 3; ++k) {
                if (!entry.texts[k]) {
                    if (links[k]) {
                        SetLink(*frame, k, nullptr);
                        DeleteItem(links[k]);
                    }
                    continue;
                }
                if (links[k]) {
                    links[k]->CopyFrom(*entry.texts[k]);
                    links[k]->SetOwnerFrame(frame);
                    AdoptItem(*links[k]);
                    continue;
                }
                auto text = std::make_unique<CMacroStringItem>();
                text->CopyFrom(*entry.texts[k]);
                text->SetOwnerFrame(frame);
                text->SetVisible(frame->IsVisible());
                text->SetSelected(frame->IsSelected());
                CMacroStringItem* placed = text.get();
                AddItem(GetItemIndex(frame), std::move(text));
                SetLink(*frame, k, placed);
            }
            entry.texts = std::move(former);
        }
    }
}
