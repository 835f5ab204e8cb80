// How each kind of item maps to and from its draw records in the editor
// document, the layout script and the camera set's members: every field of a
// record is filled here and read here, once. The two files' parts are distinct
// types that name their shared fields alike; CaptionFields names the few
// caption fields they call differently.
#pragma once

#include "App/DocumentBuildGeometry.h"
#include "App/DocumentBuildMacro.h"
#include "Core/ErrorCheck.h"
#include "Core/LocalizeScript.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Script/ObjectFields.h"
#include "Script/ShiftJisText.h"
#include "Script/UDLDrawRecord.h"
#include "Script/ZAVDrawRecord.h"

#include <cstdint>
#include <memory>
#include <string>

class CStringItem;

// ---- Items to records -------------------------------------------------------

// The quarter turn of a page of orientation 1 into the records' portrait page
// (records hold the page laid in orientation 0); a value beyond 32 bits throws
// int 0 (the save fails).
class PageTurn
{
public:
    PageTurn(int orientation, std::int64_t height) : m_orientation(orientation), m_height(height) {}
    explicit PageTurn(const CLayoutManager& layout)
        : PageTurn(layout.GetOrientation(), PageTurnHeight(layout))
    {
    }
    int Orientation() const { return m_orientation; }
    RECT Store(const RECT& r) const { return Store(r, m_height); }
    // A horizontal line is stored as far in as its width reaches.
    RECT StoreLine(const RECT& r, int width) const
    {
        return Store(r, r.top == r.bottom ? m_height - (std::int64_t{width} - 1) : m_height);
    }

private:
    RECT Store(const RECT& r, std::int64_t height) const;

    int m_orientation;
    std::int64_t m_height;
};

RECT UnscaledRect(const CLayoutItem& item);
void SplitColor(COLORREF color, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b);

template <class Part> void SetBox(Part& part, const RECT& r)
{
    part.left = r.left;
    part.top = r.top;
    part.right = r.right;
    part.bottom = r.bottom;
}

// Only the editor document keeps hidden items, with their flag.
template <class Part> void StoreVisible(Part& part, const CLayoutItem& item)
{
    if constexpr (requires { part.visible; })
        part.visible = item.IsVisible() ? 1 : 0;
}

// Runs `read` with the item turned a quarter to the right, as the page of
// orientation 0 sees it, and turns it back whatever happens.
template <class Item, class Read> void ReadTurned(Item& item, int orientation, Read read)
{
    if (orientation != 1) {
        read();
        return;
    }
    item.Rotate(true);
    try {
        read();
    } catch (...) {
        item.Rotate(false);
        throw;
    }
    item.Rotate(false);
}

// A framed item's rectangle, rotation, placement and mode; an insert-photo
// frame's used range where the record has one. The layout script has no free
// placement (2): it stores 0.
template <class Picture>
void StoreFramePicture(CImageFrameItem& frame, Picture& picture, const PageTurn& turn)
{
    SetBox(picture, turn.Store(UnscaledRect(frame)));
    ReadTurned(frame, turn.Orientation(), [&] { picture.rotation = frame.GetImageRotation(); });
    const int placement = frame.GetImagePlacement();
    constexpr bool keepsFreePlacement = requires
    {
        picture.rangeLeft;
    };
    picture.placement = keepsFreePlacement || placement != 2 ? placement : 0;
    picture.imageMode = frame.GetImageMode();
    if constexpr (requires { picture.rangeLeft; }) {
        if (const auto* insert = dynamic_cast<const CInsertImageFrameItem*>(&frame)) {
            RECT range{};
            insert->GetImageRange(&range);
            picture.rangeLeft = range.left;
            picture.rangeTop = range.top;
            picture.rangeRight = range.right;
            picture.rangeBottom = range.bottom;
        }
    }
    StoreVisible(picture, frame);
}

// A picture the save renders (a text, a camera set's frame image): image mode
// 4, over `box`, marked turned on a page of orientation 1.
void StoreRenderedPicture(UDLPicturePart& picture, const RECT& box, int orientation);

template <class Line> void StoreLine(const CLineItem& item, Line& part, const PageTurn& turn)
{
    const int width = item.GetWidth(false, 0.0f);
    const RECT r = turn.StoreLine(UnscaledRect(item), width);
    part.x1 = r.left;
    part.y1 = r.top;
    part.x2 = r.right;
    part.y2 = r.bottom;
    part.width = width;
    SplitColor(item.GetColor(), part.red, part.green, part.blue);
    StoreVisible(part, item);
}

// The caption (image-information text) fields the two files name differently.
template <class Text> struct CaptionFields;
template <> struct CaptionFields<ZAVMacroStringPart>
{
    static constexpr auto ownerNumber = &ZAVMacroStringPart::ownerFrameNumber;
    static constexpr auto fontKey = &ZAVMacroStringPart::fontKey;
    static constexpr auto fontSize = &ZAVMacroStringPart::fontSize;
};
template <> struct CaptionFields<UDLTextPart>
{
    static constexpr auto ownerNumber = &UDLTextPart::frameNumber;
    static constexpr auto fontKey = &UDLTextPart::name;
    static constexpr auto fontSize = &UDLTextPart::flag;
};

// The frame a caption is written for. A caption whose frame is gone has
// nothing to name it by and nothing to take its settings from: every file kind
// leaves it out, as every reader drops a caption record without its frame.
const CInsertImageFrameItem* CaptionOwner(const CMacroStringItem& text);

// The caption with its owner's number and shared text settings; a font key too
// long for its field throws int 0 (the save fails).
template <class Text>
void StoreCaption(CMacroStringItem& text, const CInsertImageFrameItem& owner, Text& part,
                  const PageTurn& turn)
{
    using Fields = CaptionFields<Text>;
    part.*Fields::ownerNumber = owner.GetFrameNumber();
    part.macroText = text.GetMacroText();
    SetBox(part, turn.Store(UnscaledRect(text)));
    ReadTurned(text, turn.Orientation(), [&] { part.direction = text.GetDirection(); });
    part.*Fields::fontKey = owner.GetInfoFontKey();
    BoolCheck(FitsShiftJisField(part.*Fields::fontKey, kShortNameField), 0);
    part.*Fields::fontSize = owner.GetInfoFontSize();
    SplitColor(owner.GetInfoTextColor(), part.red, part.green, part.blue);
    StoreVisible(part, text);
}

// A text item of the editor document; a face or text too long for its field
// throws int 0 (the save fails).
void StoreChars(CStringItem& item, ZAVCharPart& part, const PageTurn& turn);

// ---- Records to items -------------------------------------------------------

template <class Part> void TakeVisible(const Part& part, CLayoutItem& item)
{
    if constexpr (requires { part.visible; })
        item.SetVisible(part.visible != 0);
}

template <class Picture> WideRect RecordRect(const Picture& p)
{
    return WideRect{p.left, p.top, p.right, p.bottom};
}

// A bottom of -1 (left open by the file) becomes a square one, held within
// the printable area.
template <class Picture> void CloseOpenBottom(Picture& picture, const RECT& printable, int orientation)
{
    std::int64_t bottom = std::int64_t{picture.top} + picture.right - picture.left;
    const std::int64_t edge = orientation == 1 ? printable.right : printable.bottom;
    bottom = std::max<std::int64_t>(std::min(bottom, edge), INT32_MIN + 1);
    picture.bottom = static_cast<std::int32_t>(bottom);
    if (picture.top >= picture.bottom)
        picture.top = picture.bottom - 1;
}

// The placement and image mode the editor takes of a picture record; true
// when one was changed, or the rotation of a background is left to the build.
template <class Picture> bool CorrectPictureSettings(Picture& picture, bool camera)
{
    constexpr int kAutomaticRotation = 4;
    bool corrected = false;
    const bool background = picture.frameNumber == 0;
    if (background ? picture.placement != 0
                   : (camera && picture.placement != 0) || (!camera && picture.placement == 2)) {
        picture.placement = 0;
        corrected = true;
    }
    if (picture.imageMode != 4) {
        picture.imageMode = 4;
        corrected = true;
    }
    return corrected || (background && picture.rotation == kAutomaticRotation);
}

// Mode, placement and rotation of a built picture, turned back a quarter on a
// page of orientation 1.
void TakePictureSettings(CImageFrameItem& frame, int imageMode, int placement, int rotation, int orientation);

// The rotation of a background whose record leaves it to the build (4): the
// picture turned when its shape crosses the frame's.
int AutomaticRotation(int orientation, const WideRect& frame, std::int64_t imageWidth,
                      std::int64_t imageHeight);

// A background or frame image; null when the record's file is missing (the
// record is dropped). Throws int 0 for a rectangle off the printable area or
// a picture that does not load.
template <class Picture>
std::unique_ptr<CBackgroundImageFrameItem> BackgroundFromRecord(const CLayoutManager& layout,
                                                                const Picture& picture);

// An insert-photo frame with its record's settings (and the used range its
// record holds): in a photo-application layout with the record's number and
// rectangle, in a camera layout frame 1 over the printable area. Throws int 0
// for a rectangle off the printable area or a used range outside the picture.
template <class Picture>
std::unique_ptr<CInsertImageFrameItem> InsertFrameFromRecord(const CLayoutManager& layout,
                                                             const std::string& localizeIniPath,
                                                             const Picture& picture, bool camera);

// Throws 0 (the build fails) for a slanted line, a missing name text or a line
// off the printable area; null when its width is out of range (the record is
// dropped); else the item, not yet on the page.
template <typename LinePart>
std::unique_ptr<CLineItem> LineItemFromRecord(const CLayoutManager& layout,
                                              const std::string& localizeIniPath, const LinePart& line,
                                              int number)
{
    BoolCheck(line.x1 == line.x2 || line.y1 == line.y2, 0);
    std::string format;
    BoolCheck(CLocalizeScript(localizeIniPath).GetCaption(7, format), 0);
    auto item = std::make_unique<CLineItem>();
    item->SetLabel(FormatNumberedName(format, number));
    WideRect rect{line.x1, line.y1, line.x2, line.y2};
    const std::int64_t grow = std::int64_t{line.width} - 1;
    if (layout.GetOrientation() == 1) {
        const std::int64_t h = PageTurnHeight(layout);
        const std::int64_t shift = line.x1 == line.x2 ? grow : 0;
        rect = WideRect{line.y1, h - line.x2 - shift, line.y2, h - line.x1 - shift};
    }
    WideRect extent = rect;
    (rect.left == rect.right ? extent.right : extent.bottom) += grow;
    BoolCheck(FitsPrintable(layout, rect) && FitsPrintable(layout, extent), 0);
    item->SetRect(NarrowRect(rect));
    if (line.width < 1 || line.width > CLayoutManager::kMaxLineWidth)
        return nullptr;
    item->SetWidth(line.width);
    item->SetColor(ColorOf(line.red, line.green, line.blue));
    item->SetLineNumber(static_cast<std::uint16_t>(number));
    TakeVisible(line, *item);
    return item;
}

// Adds the picture of the record to the page: a background at the top, an
// insert-photo frame at the top, or last in a camera layout. Nothing for a
// background whose file is missing.
template <class Picture>
void AddPictureFromRecord(CLayoutManager& layout, const std::string& localizeIniPath, const Picture& picture,
                          bool camera)
{
    if (picture.frameNumber == 0) {
        if (auto frame = BackgroundFromRecord(layout, picture))
            BoolCheck(layout.AddItem(0, std::move(frame)), 0);
        return;
    }
    const int position = camera ? layout.GetItemCount(-1, -1, nullptr) : 0;
    BoolCheck(layout.AddItem(position, InsertFrameFromRecord(layout, localizeIniPath, picture, camera)), 0);
}

// Adds the line of the record to the page; nothing for a width out of range.
template <typename LinePart>
void AddLineFromRecord(CLayoutManager& layout, const std::string& localizeIniPath, const LinePart& line,
                       int number)
{
    std::unique_ptr<CLineItem> item = LineItemFromRecord(layout, localizeIniPath, line, number);
    if (!item)
        return;
    item->SetDrawSuppressed(false);
    BoolCheck(layout.AddItem(0, std::move(item)), 0);
}

// The frame a caption record attaches to: the run's owner when the record names
// it. A record without its frame is dropped (null); one naming another frame
// also ends the run.
CInsertImageFrameItem* CaptionRecordOwner(CInsertImageFrameItem*& runOwner, std::int32_t recordOwnerNumber);

// Adds the caption of the record to the page, linked to its owner; nothing when
// the owner has no place for it or its font key has no face (the record is
// dropped). Throws int 0 for a rectangle off the printable area or a failed add.
template <class Text>
void AddCaptionFromRecord(CLayoutManager& layout, const std::string& localizeIniPath, const Text& text,
                          CInsertImageFrameItem& owner);

// A record builder's boundary: 1 when the record was built or dropped by rule,
// 0 when a check failed.
template <class Build> int RecordBuildResult(Build build)
{
    try {
        build();
        return 1;
    } catch (int) {
        return 0;
    }
}
