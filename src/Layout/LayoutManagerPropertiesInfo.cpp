// The image-information texts of an insert-photo frame, edited through their
// dialog, and the renumbering of the frames.
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/MacroStringItem.h"
#include "Layout/UndoInfo.h"

#include <algorithm>
#include <array>

namespace {

CMacroStringItem* LinkedText(const CInsertImageFrameItem& frame, int kind)
{
    if (kind == 0)
        return frame.GetLinkedText1();
    if (kind == 1)
        return frame.GetLinkedText2();
    return frame.GetLinkedText3();
}

void SetLinkedText(CInsertImageFrameItem& frame, int kind, CMacroStringItem* text)
{
    if (kind == 0)
        frame.SetLinkedText1(text);
    else if (kind == 1)
        frame.SetLinkedText2(text);
    else
        frame.SetLinkedText3(text);
}

struct ShootingFlags
{
    bool exposure, fNumber, iso, camera, flash;
    bool Any() const { return exposure || fNumber || iso || camera || flash; }
    bool operator==(const ShootingFlags&) const = default;
};

ShootingFlags FlagsOf(const CInsertImageFrameItem& frame)
{
    return ShootingFlags{frame.ShowsExposureTime(), frame.ShowsFNumber(), frame.ShowsISO(),
                         frame.ShowsCameraName(), frame.ShowsFlash()};
}

// The text's size from its sample in the frame's font, at its current top-left.
SIZE SampleSize(const CMacroStringItem& text)
{
    RECT fitted;
    text.FitRectToText(&fitted, true);
    return SIZE{fitted.right - fitted.left, fitted.bottom - fitted.top};
}

} // namespace

void CLayoutManager::PlaceInfoText(CMacroStringItem& text, const RECT& printable, int left, int top) const
{
    const SIZE size = SampleSize(text);
    RECT r{left, top, left + size.cx, top + size.cy};
    if (r.right > printable.right) {
        r.right = printable.right;
        r.left = std::max(printable.left, printable.right - size.cx);
    }
    if (r.bottom > printable.bottom) {
        r.bottom = printable.bottom;
        r.top = std::max(printable.top, printable.bottom - size.cy);
    }
    text.SetRect(r);
}

bool CLayoutManager::EditImageInfo(CInsertImageFrameItem* frame)
{
    if (!frame) {
        frame = dynamic_cast<CInsertImageFrameItem*>(GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>));
        if (!frame)
            if (auto* text =
                    dynamic_cast<CMacroStringItem*>(GetFirstSelectedItem(&IsKindOf<CMacroStringItem>)))
                frame = text->GetOwnerFrame();
        if (!frame)
            return false;
    }
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    if (!dialogs)
        return false;
    ImageInfoValues values;
    values.showDateTime = frame->GetLinkedText1() != nullptr;
    values.showExposureTime = frame->ShowsExposureTime();
    values.showFNumber = frame->ShowsFNumber();
    values.showISO = frame->ShowsISO();
    values.showCameraName = frame->ShowsCameraName();
    values.showFlash = frame->ShowsFlash();
    values.showFileName = frame->GetLinkedText3() != nullptr;
    values.fullPath = frame->ShowsFullPath();
    values.fontFace = frame->GetInfoFontName();
    values.fontSize = frame->GetInfoFontSize();
    values.infoValue = static_cast<int>(frame->GetInfoTextColor());
    if (dialogs->RunSetImageInfoDialog(values) != IDOK)
        return false;

    DeletePendingUndo();
    auto record = std::make_unique<CChangeMacroStringUndoInfo>();
    record->Add(frame, frame->GetLinkedText1(), frame->GetLinkedText2(), frame->GetLinkedText3());

    const bool fontChanged =
        values.fontFace != frame->GetInfoFontName() || values.fontSize != frame->GetInfoFontSize();
    frame->ApplyInfoFontFace(values.fontFace);
    frame->SetInfoFontSize(values.fontSize);
    frame->SetInfoTextColor(static_cast<COLORREF>(values.infoValue));
    const ShootingFlags before = FlagsOf(*frame);
    frame->SetShowExposureTime(values.showExposureTime);
    frame->SetShowFNumber(values.showFNumber);
    frame->SetShowISO(values.showISO);
    frame->SetShowCameraName(values.showCameraName);
    frame->SetShowFlash(values.showFlash);
    frame->SetShowFullPath(values.fullPath);
    const ShootingFlags after = FlagsOf(*frame);

    const RECT printable = GetPrintableRect();
    RECT frameRect;
    frame->GetRect(&frameRect, false);
    int below = frameRect.bottom;
    bool deleted = false;
    const std::array<bool, 3> wanted{values.showDateTime, after.Any(), values.showFileName};
    for (int kind = 0; kind < 3; ++kind) {
        CMacroStringItem* existing = LinkedText(*frame, kind);
        if (!wanted[kind]) {
            if (existing) {
                SetLinkedText(*frame, kind, nullptr);
                DeleteItem(existing);
                deleted = true;
            }
            continue;
        }
        std::unique_ptr<CLayoutItem> node;
        CMacroStringItem* text = existing;
        if (!existing) {
            auto made = std::make_unique<CMacroStringItem>();
            text = made.get();
            text->SetMacroKind(kind);
            text->SetOwnerFrame(frame);
            const int left = std::max(printable.left, frameRect.left);
            const int top = std::max(printable.top, below + 1);
            text->SetRect(RECT{left, top, left, top});
            PlaceInfoText(*text, printable, left, top);
            RECT placed;
            text->GetRect(&placed, false);
            below = placed.bottom;
            text->SetDrawSuppressed(false);
            text->SetVisible(frame->IsVisible());
            text->SetSelected(true);
            node = std::move(made);
        } else {
            if (fontChanged || (kind == 1 && before != after)) {
                RECT r;
                text->GetRect(&r, false);
                PlaceInfoText(*text, printable, r.left, r.top);
            }
            auto at = FindNode(text);
            node = std::move(*at);
            m_items.erase(at);
        }
        AddItem(frame->GetInfoOption() == 0 ? GetItemIndex(frame) : 0, std::move(node));
        SetLinkedText(*frame, kind, text);
    }

    SetPendingUndo(std::move(record));
    const bool hasText = frame->GetLinkedText1() || frame->GetLinkedText2() || frame->GetLinkedText3();
    if (hasText || deleted) {
        Notify(LayoutChangeItems);
        Notify(LayoutChangeContent);
    }
    return true;
}

bool CLayoutManager::RenumberInsertFrames(bool visibleOnly)
{
    std::vector<CInsertImageFrameItem*> frames;
    for (auto& item : m_items)
        if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get()))
            if (!visibleOnly || frame->IsVisible())
                frames.push_back(frame);
    const int count = static_cast<int>(frames.size());
    int wanted = 1;
    int next = 1;
    int done = 0;
    while (done < count && wanted < 65535) {
        bool found = false;
        for (CInsertImageFrameItem* frame : frames) {
            if (frame->GetFrameNumber() != wanted)
                continue;
            ++done;
            found = true;
            if (wanted > next) {
                frame->SetFrameNumber(next);
                frame->SetLabel(FormatFrameName(next));
            }
        }
        if (found)
            ++next;
        ++wanted;
    }
    return wanted > next;
}
