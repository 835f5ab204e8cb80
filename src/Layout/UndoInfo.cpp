#include "Layout/UndoInfo.h"

#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <algorithm>

int GetItemDirection(const CLayoutItem* item)
{
    if (const auto* text = dynamic_cast<const CStringItem*>(item))
        return text->GetDirection();
    if (const auto* macro = dynamic_cast<const CMacroStringItem*>(item))
        return macro->GetDirection();
    if (const auto* frame = dynamic_cast<const CImageFrameItem*>(item))
        return frame->GetImageRotation();
    return -1;
}

bool SetItemDirection(CLayoutItem* item, int direction)
{
    if (auto* text = dynamic_cast<CStringItem*>(item)) {
        if (direction != -1)
            text->SetDirection(direction);
        return true;
    }
    if (auto* macro = dynamic_cast<CMacroStringItem*>(item)) {
        if (direction != -1)
            macro->SetDirection(direction);
        return true;
    }
    if (auto* frame = dynamic_cast<CImageFrameItem*>(item)) {
        if (direction != -1)
            frame->SetImageRotation(direction);
        return true;
    }
    return false;
}

namespace {
template <class Kind> std::unique_ptr<CLayoutItem> CloneAs(const Kind& source)
{
    auto copy = std::make_unique<Kind>();
    copy->CopyFrom(source);
    return copy;
}
} // namespace

std::unique_ptr<CLayoutItem> CloneLayoutItem(const CLayoutItem* source)
{
    if (!source)
        return nullptr;
    if (const auto* line = dynamic_cast<const CLineItem*>(source))
        return CloneAs(*line);
    if (const auto* text = dynamic_cast<const CStringItem*>(source))
        return CloneAs(*text);
    if (const auto* macro = dynamic_cast<const CMacroStringItem*>(source))
        return CloneAs(*macro);
    if (const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(source))
        return CloneAs(*background);
    if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(source)) {
        auto copy = std::make_unique<CInsertImageFrameItem>();
        copy->CopyFrom(*frame);
        // The chain leaves these two behind; a restored frame needs them.
        copy->SetInfoOption(frame->GetInfoOption());
        copy->SetAspectKind(frame->GetAspectKind());
        return copy;
    }
    return nullptr;
}

bool CAddUndoInfo::Contains(const CLayoutItem* item) const
{
    return std::find(m_items.begin(), m_items.end(), item) != m_items.end();
}

bool CDeleteUndoInfo::Add(int index, const CLayoutItem* item)
{
    std::unique_ptr<CLayoutItem> copy = CloneLayoutItem(item);
    if (!copy)
        return false;
    Entry entry;
    entry.index = index;
    if (auto* frameCopy = dynamic_cast<CInsertImageFrameItem*>(copy.get())) {
        const auto* frame = static_cast<const CInsertImageFrameItem*>(item);
        const CMacroStringItem* links[3] = {frame->GetLinkedText1(), frame->GetLinkedText2(),
                                            frame->GetLinkedText3()};
        entry.hasSnapshot = true;
        for (std::size_t k = 0; k < 3; ++k) {
            if (!links[k])
                continue;
            entry.snapshot.present[k] = true;
            links[k]->GetRect(&entry.snapshot.rects[k], false);
            entry.snapshot.directions[k] = links[k]->GetDirection();
        }
        // The live texts go with the frame: the copy must not point at them.
        frameCopy->SetLinkedText1(nullptr);
        frameCopy->SetLinkedText2(nullptr);
        frameCopy->SetLinkedText3(nullptr);
    }
    entry.copy = std::move(copy);
    m_entries.push_back(std::move(entry));
    return true;
}

void CDeleteUndoInfo::AddIndex(unsigned number)
{
    const auto at = std::lower_bound(m_removedNumbers.begin(), m_removedNumbers.end(), number);
    if (at == m_removedNumbers.end() || *at != number)
        m_removedNumbers.insert(at, number);
}

bool CChangeStateUndoInfo::Add(CLayoutItem* item)
{
    if (!item)
        return false;
    m_entries.push_back(Entry{item, item->IsVisible()});
    return true;
}

bool CChangeRectUndoInfo::Add(CLayoutItem* item)
{
    if (!item)
        return false;
    Entry entry;
    entry.item = item;
    item->GetRect(&entry.rect, false);
    entry.direction = GetItemDirection(item);
    if (const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(item))
        entry.aspectFixed = background->IsAspectFixed();
    if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item))
        entry.aspectKind = frame->GetAspectKind();
    m_entries.push_back(entry);
    return true;
}

bool CChangeLineUndoInfo::Add(CLineItem* line)
{
    if (!line)
        return false;
    Entry entry;
    entry.line = line;
    line->GetRect(&entry.rect, false);
    entry.color = line->GetColor();
    entry.width = line->GetWidth(false, -1.0f);
    m_entries.push_back(entry);
    return true;
}

bool CChangeStringUndoInfo::Add(CStringItem* item)
{
    if (!item)
        return false;
    Entry entry;
    entry.item = item;
    item->GetRect(&entry.rect, false);
    entry.text = item->GetText();
    item->GetLogFont(&entry.font);
    entry.textColor = item->GetTextColor();
    entry.shadowOffset = item->GetShadowOffset();
    entry.shadowColor = item->GetShadowColor();
    entry.shadow = item->HasShadow();
    entry.backColor = item->GetBackColor();
    entry.backColorOn = item->HasBackColor();
    entry.vertical = item->IsVerticalText();
    entry.direction = item->GetDirection();
    m_entries.push_back(std::move(entry));
    return true;
}

CChangeImageFrameUndoInfo::CChangeImageFrameUndoInfo(CImageFrameItem* item) : m_item(item)
{
    std::unique_ptr<CLayoutItem> copy = CloneLayoutItem(item);
    if (auto* frame = dynamic_cast<CImageFrameItem*>(copy.get())) {
        copy.release();
        m_copy.reset(frame);
    }
}

CChangeImageFrameUndoInfo::~CChangeImageFrameUndoInfo() = default;

void CChangeImageFrameUndoInfo::Replace(CImageFrameItem* item, std::unique_ptr<CImageFrameItem> copy)
{
    m_item = item;
    m_copy = std::move(copy);
}

bool CChangeInsertImageFrameUndoInfo::Add(CImageFrameItem* frame)
{
    if (!frame)
        return false;
    Entry entry;
    entry.frame = frame;
    frame->GetImageRange(&entry.range);
    entry.rotation = frame->GetImageRotation();
    entry.placement = frame->GetImagePlacement();
    m_entries.push_back(entry);
    return true;
}

CChangeMacroStringUndoInfo::Entry::Entry() = default;
CChangeMacroStringUndoInfo::Entry::~Entry() = default;
CChangeMacroStringUndoInfo::Entry::Entry(Entry&&) noexcept = default;
CChangeMacroStringUndoInfo::Entry& CChangeMacroStringUndoInfo::Entry::operator=(Entry&&) noexcept = default;

bool CChangeMacroStringUndoInfo::Add(CInsertImageFrameItem* frame, const CMacroStringItem* first,
                                     const CMacroStringItem* second, const CMacroStringItem* third)
{
    if (!frame)
        return false;
    Entry entry;
    entry.frame = frame;
    const CMacroStringItem* texts[3] = {first, second, third};
    for (std::size_t k = 0; k < 3; ++k) {
        if (!texts[k])
            continue;
        auto copy = std::make_unique<CMacroStringItem>();
        copy->CopyFrom(*texts[k]);
        entry.texts[k] = std::move(copy);
    }
    entry.settings = ReadSettings(*frame);
    m_entries.push_back(std::move(entry));
    return true;
}

CChangeMacroStringUndoInfo::InfoSettings
CChangeMacroStringUndoInfo::ReadSettings(const CInsertImageFrameItem& frame)
{
    InfoSettings s;
    s.showExposureTime = frame.ShowsExposureTime();
    s.showFNumber = frame.ShowsFNumber();
    s.showISO = frame.ShowsISO();
    s.showCameraName = frame.ShowsCameraName();
    s.showFlash = frame.ShowsFlash();
    s.showFullPath = frame.ShowsFullPath();
    s.infoText = frame.GetInfoFontKey();
    s.fontName = frame.GetInfoFontName();
    s.fontSize = frame.GetInfoFontSize();
    s.infoValue2 = frame.GetInfoTextColor();
    s.infoOption = frame.GetInfoOption();
    return s;
}

void CChangeMacroStringUndoInfo::ApplySettings(CInsertImageFrameItem& frame, const InfoSettings& s)
{
    frame.SetShowExposureTime(s.showExposureTime);
    frame.SetShowFNumber(s.showFNumber);
    frame.SetShowISO(s.showISO);
    frame.SetShowCameraName(s.showCameraName);
    frame.SetShowFlash(s.showFlash);
    frame.SetShowFullPath(s.showFullPath);
    frame.SetInfoFontKey(s.infoText);
    frame.SetInfoFontName(s.fontName);
    frame.SetInfoFontSize(s.fontSize);
    frame.SetInfoTextColor(s.infoValue2);
    frame.SetInfoOption(s.infoOption);
}
