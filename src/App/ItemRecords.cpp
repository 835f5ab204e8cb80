#include "App/ItemRecords.h"

#include "Core/Files.h"
#include "Core/Path.h"
#include "Layout/StringItem.h"

#include <climits>

namespace {

constexpr int kBoldWeight = 700;
constexpr int kRenderedImageMode = 4;
constexpr int kAutomaticRotation = 4;

std::int32_t Narrow(std::int64_t value)
{
    BoolCheck(value >= INT_MIN && value <= INT_MAX, 0);
    return static_cast<std::int32_t>(value);
}

bool WiderThanHigh(std::int64_t width, std::int64_t height)
{
    return width > height;
}

template <class Picture> bool PictureFileExists(const Picture& picture)
{
    return !picture.fileName.empty() && IsFile(picture.fileName);
}

template <class Picture> WideRect TurnedRecordRect(const CLayoutManager& layout, const Picture& picture)
{
    return TurnRecordRect(RecordRect(picture), layout.GetOrientation(), PageTurnHeight(layout));
}

} // namespace

RECT PageTurn::Store(const RECT& r, std::int64_t height) const
{
    if (m_orientation != 1)
        return RECT{r.left, r.top, r.right, r.bottom};
    return RECT{Narrow(height - r.bottom), r.left, Narrow(height - r.top), r.right};
}

RECT UnscaledRect(const CLayoutItem& item)
{
    RECT r{};
    item.GetRect(&r, false);
    return r;
}

void SplitColor(COLORREF color, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b)
{
    r = static_cast<std::uint8_t>(GetRValue(color));
    g = static_cast<std::uint8_t>(GetGValue(color));
    b = static_cast<std::uint8_t>(GetBValue(color));
}

void StoreRenderedPicture(UDLPicturePart& picture, const RECT& box, int orientation)
{
    SetBox(picture, box);
    picture.rotation = orientation == 1 ? 1 : 0;
    picture.imageMode = kRenderedImageMode;
}

const CInsertImageFrameItem* CaptionOwner(const CMacroStringItem& text)
{
    return text.GetOwnerFrame();
}

void StoreChars(CStringItem& item, ZAVCharPart& part, const PageTurn& turn)
{
    LOGFONT font;
    BoolCheck(item.GetLogFont(&font), 0);
    part.faceName = font.lfFaceName;
    if (!part.faceName.empty() && part.faceName.front() == '@')
        part.faceName.erase(0, 1);
    // A longer face or text would be cut into another one: refuse it.
    BoolCheck(FitsShiftJisField(part.faceName, kShortNameField), 0);
    part.text = item.GetText();
    BoolCheck(FitsShiftJisField(part.text, kCharTextField), 0);
    SetBox(part, turn.Store(UnscaledRect(item)));
    ReadTurned(item, turn.Orientation(), [&] { part.direction = item.GetDirection(); });
    part.fixedValue = 3;
    SplitColor(item.GetTextColor(), part.textRed, part.textGreen, part.textBlue);
    SplitColor(item.GetShadowColor(), part.shadowRed, part.shadowGreen, part.shadowBlue);
    SplitColor(item.GetBackColor(), part.backRed, part.backGreen, part.backBlue);
    part.noBackground = item.HasBackColor() ? 0 : 1;
    if (item.HasShadow()) {
        const POINT offset = item.GetShadowOffset();
        part.shadowX = offset.x;
        part.shadowY = offset.y;
    }
    part.fontHeight = font.lfHeight;
    part.style = (font.lfWeight == kBoldWeight ? 1 : 0) | (font.lfItalic ? 2 : 0);
    part.vertical = item.IsVerticalText() ? 1 : 0;
    part.charSet = font.lfCharSet;
    StoreVisible(part, item);
}

void TakePictureSettings(CImageFrameItem& frame, int imageMode, int placement, int rotation, int orientation)
{
    frame.SetImageMode(imageMode);
    frame.SetImagePlacement(placement);
    frame.SetImageRotation(rotation);
    if (orientation == 1)
        frame.Rotate(false);
}

int AutomaticRotation(int orientation, const WideRect& frame, std::int64_t imageWidth,
                      std::int64_t imageHeight)
{
    const std::int64_t w = frame.right - frame.left;
    const std::int64_t h = frame.bottom - frame.top;
    if (orientation == 0) {
        const bool crossed = (WiderThanHigh(w, h) && WiderThanHigh(imageHeight, imageWidth)) ||
                             (WiderThanHigh(h, w) && WiderThanHigh(imageWidth, imageHeight));
        return crossed ? 1 : 0;
    }
    const bool same = (WiderThanHigh(w, h) && WiderThanHigh(imageWidth, imageHeight)) ||
                      (WiderThanHigh(h, w) && WiderThanHigh(imageHeight, imageWidth));
    return same ? 0 : 3;
}

template <class Picture>
std::unique_ptr<CBackgroundImageFrameItem> BackgroundFromRecord(const CLayoutManager& layout,
                                                                const Picture& picture)
{
    if (!PictureFileExists(picture))
        return nullptr;
    const int orientation = layout.GetOrientation();
    const WideRect rect = TurnedRecordRect(layout, picture);
    auto frame = std::make_unique<CBackgroundImageFrameItem>();
    frame->SetLabel(GetFileNameFromPath(picture.fileName, true));
    BoolCheck(FitsPrintable(layout, rect), 0);
    frame->SetRect(NarrowRect(rect));
    BoolCheck(frame->LoadImage(picture.fileName) == 0, 0);
    if (picture.rotation != kAutomaticRotation) {
        TakePictureSettings(*frame, picture.imageMode, picture.placement, picture.rotation, orientation);
    } else {
        frame->SetImageMode(picture.imageMode);
        frame->SetImagePlacement(picture.placement);
        const CImage* image = frame->GetImageBuffer1();
        frame->SetImageRotation(AutomaticRotation(orientation, rect, image->GetWidth(), image->GetHeight()));
    }
    TakeVisible(picture, *frame);
    frame->SetDrawSuppressed(false);
    return frame;
}

template <class Picture>
std::unique_ptr<CInsertImageFrameItem> InsertFrameFromRecord(const CLayoutManager& layout,
                                                             const std::string& localizeIniPath,
                                                             const Picture& picture, bool camera)
{
    const CLocalizeScript texts(localizeIniPath);
    auto frame = std::make_unique<CInsertImageFrameItem>();
    WideRect rect;
    if (!camera) {
        std::string format;
        BoolCheck(texts.GetCaption(11, format), 0);
        frame->SetFrameNumber(picture.frameNumber);
        frame->SetLabel(FormatNumberedName(format, picture.frameNumber));
        rect = TurnedRecordRect(layout, picture);
    } else {
        std::string name;
        texts.GetCaption(54, name);
        frame->SetFrameNumber(1);
        frame->SetLabel(name);
        const RECT p = layout.GetPrintableRect();
        rect = WideRect{p.left, p.top, p.right, p.bottom};
    }
    BoolCheck(FitsPrintable(layout, rect), 0);
    frame->SetRect(NarrowRect(rect));
    // A picture that does not load leaves the frame empty; the build reports it.
    if (PictureFileExists(picture))
        frame->LoadImage(picture.fileName);
    TakePictureSettings(*frame, picture.imageMode, picture.placement, picture.rotation,
                        layout.GetOrientation());
    if constexpr (requires { picture.rangeLeft; }) {
        frame->SetImageRange(
            RECT{picture.rangeLeft, picture.rangeTop, picture.rangeRight, picture.rangeBottom});
        RECT range{};
        frame->GetImageRange(&range);
        const SIZE size = frame->GetPictureSize();
        const auto inside = [&](std::int64_t x, std::int64_t y) {
            return x >= 0 && y >= 0 && x < std::int64_t{size.cx} + 1 && y < std::int64_t{size.cy} + 1;
        };
        BoolCheck(inside(range.left, range.top) && inside(range.right, range.bottom), 0);
    } else {
        frame->SetImageRange(RECT{0, 0, 0, 0});
    }
    TakeVisible(picture, *frame);
    frame->SetDrawSuppressed(false);
    return frame;
}

CInsertImageFrameItem* CaptionRecordOwner(CInsertImageFrameItem*& runOwner, std::int32_t recordOwnerNumber)
{
    if (!runOwner)
        return nullptr;
    if (runOwner->GetFrameNumber() != recordOwnerNumber) {
        runOwner = nullptr;
        return nullptr;
    }
    return runOwner;
}

template <class Text>
void AddCaptionFromRecord(CLayoutManager& layout, const std::string& localizeIniPath, const Text& text,
                          CInsertImageFrameItem& owner)
{
    using Fields = CaptionFields<Text>;
    const std::int32_t ownerNumber = text.*Fields::ownerNumber;
    if (ownerNumber == 0 || ownerNumber != owner.GetFrameNumber())
        return;
    const int kind = ChooseMacroKind(owner, text.macroText);
    if (kind < 0)
        return;
    const std::string& fontKey = text.*Fields::fontKey;
    std::string face;
    if (!CLocalizeScript(localizeIniPath).GetDrawStringFont(fontKey, face))
        return;
    const WideRect rect = TurnedRecordRect(layout, text);
    BoolCheck(FitsPrintable(layout, rect), 0);
    auto item = std::make_unique<CMacroStringItem>();
    CMacroStringItem* added = item.get();
    item->SetRect(NarrowRect(rect));
    item->SetMacroKind(kind);
    item->SetOwnerFrame(&owner);
    item->SetDirection(text.direction);
    if (layout.GetOrientation() == 1)
        item->Rotate(false);
    TakeVisible(text, *item);
    item->SetDrawSuppressed(false);
    BoolCheck(layout.AddItem(0, std::move(item)), 0);
    LinkMacroString(
        owner, added, kind, text.macroText,
        MacroTextSettings{fontKey, ColorOf(text.red, text.green, text.blue), text.*Fields::fontSize});
}

template std::unique_ptr<CBackgroundImageFrameItem> BackgroundFromRecord(const CLayoutManager&,
                                                                         const ZAVPicturePart&);
template std::unique_ptr<CBackgroundImageFrameItem> BackgroundFromRecord(const CLayoutManager&,
                                                                         const UDLPicturePart&);
template std::unique_ptr<CInsertImageFrameItem>
InsertFrameFromRecord(const CLayoutManager&, const std::string&, const ZAVPicturePart&, bool);
template std::unique_ptr<CInsertImageFrameItem>
InsertFrameFromRecord(const CLayoutManager&, const std::string&, const UDLPicturePart&, bool);
template void AddCaptionFromRecord(CLayoutManager&, const std::string&, const ZAVMacroStringPart&,
                                   CInsertImageFrameItem&);
template void AddCaptionFromRecord(CLayoutManager&, const std::string&, const UDLTextPart&,
                                   CInsertImageFrameItem&);
