// The page built from an editor document's draw records.
#include "App/DocumentBuildGeometry.h"
#include "App/DocumentBuildLine.h"
#include "App/DocumentBuildMacro.h"
#include "App/DocumentBuildMessages.h"
#include "App/DocumentHost.h"
#include "App/FontCatalogue.h"
#include "App/PaperNames.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/LocalizeScript.h"
#include "Core/Path.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Script/ZAVScript.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kMaxBuiltPicturesAndStrings = CLayoutManager::kMaxOtherItems;
constexpr int kMaxBuiltLines = CLayoutManager::kMaxLines;
constexpr int kAutomaticRotation = 4;
constexpr int kMaxPoints = 999;
constexpr int kDefaultPixelsPerInch = 96;
constexpr std::uint8_t kProofQuality = 2;

int ScreenPixelsPerInch()
{
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    return dialogs ? dialogs->GetScreenLogPixelsY() : kDefaultPixelsPerInch;
}

WideRect PictureRect(const ZAVPicturePart& picture)
{
    return WideRect{picture.left, picture.top, picture.right, picture.bottom};
}

// An open bottom becomes a square one, held within the printable area.
void CloseOpenBottom(ZAVPicturePart& picture, const RECT& printable, int orientation)
{
    std::int64_t bottom = std::int64_t{picture.top} + picture.right - picture.left;
    const std::int64_t edge = orientation == 1 ? printable.right : printable.bottom;
    bottom = std::max<std::int64_t>(std::min(bottom, edge), INT_MIN + 1);
    picture.bottom = static_cast<std::int32_t>(bottom);
    if (picture.top >= picture.bottom)
        picture.top = picture.bottom - 1;
}

// The camera frame's rectangle as a record holds it.
WideRect CameraRecordRect(const RECT& p, int orientation)
{
    if (orientation == 1)
        return WideRect{p.top, p.left, p.bottom, p.right};
    return WideRect{p.left, p.top, p.right, p.bottom};
}

bool SameRect(const WideRect& a, const WideRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t{a} * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(std::int64_t{c}) / 2) / std::llabs(c);
    const std::int64_t result = ((product < 0) != (c < 0)) ? -magnitude : magnitude;
    if (result < INT_MIN || result > INT_MAX)
        return -1;
    return static_cast<int>(result);
}

int CZAVEditorDoc::BuildFromZvdScript(CZAVScript& script)
{
    BuildMessages messages;
    try {
        CLayoutManager& layout = m_layout;
        BoolCheck(SetAuthor(script.GetAuthor()), 0);
        BoolCheck(SetTitle(script.GetTitle()), 0);
        BoolCheck(SetComment(script.GetComment()), 0);
        const bool camera = script.GetDSCFlag() != 0;
        if (!camera) {
            SetDSCLayout(0);
            BoolCheck(SetLayoutPaper(script.GetPaperSize(), script.GetDirection(), script.GetMarginMode(),
                                     script.GetRollPaperLength(), false),
                      0);
        } else {
            SetDSCLayout(1);
            BoolCheck(layout.SetPaperOrientation(script.GetDirection(), false), 0);
        }
        const RECT printable = layout.GetPrintableRect();
        const int orientation = layout.GetOrientation();
        bool corrected = false;
        bool itemBeforeFrame = false;
        CInsertImageFrameItem* owner = nullptr;
        int cameraFrames = 0;
        int picturesAndStrings = 0;
        int lines = 0;
        int nextLine = 1;
        const int count = script.GetDrawRecordCount();
        for (int index = 0; index < count; ++index) {
            const ZAVDrawRecord* found = script.GetDrawRecord(index);
            NullCheck(found, 0);
            ZAVDrawRecord record = *found;
            const int before = layout.GetItemCount(-1, -1, nullptr);
            const auto grew = [&] { return layout.GetItemCount(-1, -1, nullptr) == before + 1; };
            switch (record.type) {
            case ZAVDrawPicture: {
                ZAVPicturePart& picture = record.picture;
                const bool background = picture.frameNumber == 0;
                if (background) {
                    if (picture.placement != 0) {
                        picture.placement = 0;
                        corrected = true;
                    }
                    if (picture.imageMode != 4) {
                        picture.imageMode = 4;
                        corrected = true;
                    }
                    if (picture.rotation == kAutomaticRotation)
                        corrected = true;
                    if (picture.bottom == -1) {
                        CloseOpenBottom(picture, printable, orientation);
                        corrected = true;
                    }
                    BoolCheck(BuildPictureItem(record) == 1, 0);
                } else {
                    if ((camera && picture.placement != 0) || (!camera && picture.placement == 2)) {
                        picture.placement = 0;
                        corrected = true;
                    }
                    if (picture.imageMode != 4) {
                        picture.imageMode = 4;
                        corrected = true;
                    }
                    if (camera && picture.rotation != 1) {
                        picture.rotation = 1;
                        corrected = true;
                    }
                    if (picture.bottom == -1) {
                        if (camera) {
                            const WideRect r = CameraRecordRect(printable, orientation);
                            picture.left = static_cast<std::int32_t>(r.left);
                            picture.top = static_cast<std::int32_t>(r.top);
                            picture.right = static_cast<std::int32_t>(r.right);
                            picture.bottom = static_cast<std::int32_t>(r.bottom);
                        } else {
                            CloseOpenBottom(picture, printable, orientation);
                        }
                        corrected = true;
                    }
                    if (camera && !SameRect(PictureRect(picture), CameraRecordRect(printable, orientation)))
                        corrected = true;
                    if (!camera) {
                        BoolCheck(BuildPictureItem(record) == 1, 0);
                    } else if (cameraFrames == 0) {
                        picture.visible = 1;
                        BoolCheck(BuildPictureItem(record) == 1, 0);
                    } else {
                        corrected = true;
                    }
                }
                if (!grew()) {
                    corrected = true;
                    break;
                }
                if (!camera) {
                    owner = dynamic_cast<CInsertImageFrameItem*>(layout.GetItemAt(0));
                    if (owner && !picture.fileName.empty() && owner->GetImageFileName().empty())
                        corrected = true;
                } else if (background) {
                    if (cameraFrames == 0)
                        itemBeforeFrame = true;
                } else {
                    const auto* frame = dynamic_cast<CInsertImageFrameItem*>(
                        layout.GetItemAt(layout.GetItemCount(-1, -1, nullptr) - 1));
                    if (frame && !picture.fileName.empty() && frame->GetImageFileName().empty())
                        corrected = true;
                    ++cameraFrames;
                }
                BoolCheck(++picturesAndStrings <= kMaxBuiltPicturesAndStrings, 0);
                break;
            }
            case ZAVDrawLine:
                owner = nullptr;
                BoolCheck(BuildLineItem(record, nextLine++) == 1, 0);
                if (!grew()) {
                    corrected = true;
                    break;
                }
                BoolCheck(++lines <= kMaxBuiltLines, 0);
                if (camera && cameraFrames == 0)
                    itemBeforeFrame = true;
                break;
            case ZAVDrawMacroString: {
                if (camera || !owner) {
                    corrected = true;
                    break;
                }
                if (owner->GetFrameNumber() != record.macroString.ownerFrameNumber) {
                    corrected = true;
                    owner = nullptr;
                    break;
                }
                BoolCheck(BuildMacroStringItem(record, owner) == 1, 0);
                if (!grew()) {
                    corrected = true;
                    break;
                }
                const auto* text = dynamic_cast<CMacroStringItem*>(layout.GetItemAt(0));
                NullCheck(text, 0);
                if (text->GetMacroKind() == 0)
                    owner = nullptr;
                break;
            }
            case ZAVDrawString: {
                owner = nullptr;
                ZAVCharPart& chars = record.chars;
                const int dpi = ScreenPixelsPerInch();
                const std::int64_t points = -std::int64_t{MulDiv(chars.fontHeight, 72, dpi)};
                if (points > kMaxPoints) {
                    chars.fontHeight = -MulDiv(kMaxPoints, dpi, 72);
                    corrected = true;
                }
                BoolCheck(BuildStringItem(record) == 1, 0);
                if (!grew()) {
                    corrected = true;
                    break;
                }
                BoolCheck(++picturesAndStrings <= kMaxBuiltPicturesAndStrings, 0);
                if (camera && cameraFrames == 0)
                    itemBeforeFrame = true;
                if (const auto* item = dynamic_cast<CStringItem*>(layout.GetItemAt(0))) {
                    LOGFONT font;
                    item->GetLogFont(&font);
                    const bool replaced = chars.vertical == 1 ? font.lfFaceName != "@" + chars.faceName &&
                                                                    font.lfFaceName != chars.faceName
                                                              : font.lfFaceName != chars.faceName;
                    if (replaced)
                        messages.fontReplaced = true;
                }
                break;
            }
            default:
                owner = nullptr;
                break;
            }
        }
        if (camera) {
            if (cameraFrames == 0) {
                BoolCheck(AddCameraInsertFrame(), 0);
                corrected = true;
            } else if (itemBeforeFrame) {
                corrected = true;
            }
        }
        const RECT imageRect = layout.GetItemImageRect();
        const float imageScale = layout.GetItemImageScale();
        for (const auto& item : layout.GetItems()) {
            item->SetItemImageRect(imageRect);
            item->SetItemImageScale(imageScale);
        }
        RefreshView(true);
        messages.corrected = corrected;
        if (!camera)
            messages.paperRefused =
                !IsPaperOffered(GetPaperSizeName(m_host.GetLocalizeIniPath(), layout.GetPaperSizeIndex()),
                                layout.GetPaperSizeIndex(), layout.GetPaperMode());
    } catch (int) {
        return 0;
    }
    messages.Show();
    return 1;
}

int CZAVEditorDoc::BuildPictureItem(const ZAVDrawRecord& record)
{
    try {
        const ZAVPicturePart& picture = record.picture;
        const int orientation = m_layout.GetOrientation();
        const bool exists = !picture.fileName.empty() && IsFile(picture.fileName);
        const WideRect turned = TurnRecordRect(PictureRect(picture), orientation, PageTurnHeight(m_layout));
        if (picture.frameNumber == 0) {
            if (!exists)
                return 1;
            auto frame = std::make_unique<CBackgroundImageFrameItem>();
            frame->SetLabel(GetFileNameFromPath(picture.fileName, true));
            BoolCheck(FitsPrintable(m_layout, turned), 0);
            frame->SetRect(NarrowRect(turned));
            BoolCheck(frame->LoadImage(picture.fileName) == 0, 0);
            frame->SetImageMode(picture.imageMode);
            frame->SetImagePlacement(picture.placement);
            if (picture.rotation != kAutomaticRotation) {
                frame->SetImageRotation(picture.rotation);
                if (orientation == 1)
                    frame->Rotate(false);
            } else {
                const std::int64_t w = turned.right - turned.left;
                const std::int64_t h = turned.bottom - turned.top;
                const std::int64_t iw = frame->GetImageBuffer1()->GetWidth();
                const std::int64_t ih = frame->GetImageBuffer1()->GetHeight();
                int rotation = 0;
                if (orientation == 0)
                    rotation = (w > h && iw < ih) || (w < h && iw > ih) ? 1 : 0;
                else
                    rotation = (w < h && iw < ih) || (w > h && iw > ih) ? 0 : 3;
                frame->SetImageRotation(rotation);
            }
            frame->SetVisible(picture.visible != 0);
            frame->SetDrawSuppressed(false);
            BoolCheck(m_layout.AddItem(0, std::move(frame)), 0);
            return 1;
        }
        const bool camera = IsDSCLayout();
        auto frame = std::make_unique<CInsertImageFrameItem>();
        WideRect rect = turned;
        if (!camera) {
            std::string format;
            BoolCheck(CLocalizeScript(m_host.GetLocalizeIniPath()).GetCaption(11, format), 0);
            frame->SetFrameNumber(picture.frameNumber);
            frame->SetLabel(FormatNumberedName(format, picture.frameNumber));
        } else {
            std::string name;
            CLocalizeScript(m_host.GetLocalizeIniPath()).GetCaption(54, name);
            frame->SetFrameNumber(1);
            frame->SetLabel(name);
            const RECT p = m_layout.GetPrintableRect();
            rect = WideRect{p.left, p.top, p.right, p.bottom};
        }
        BoolCheck(FitsPrintable(m_layout, rect), 0);
        frame->SetRect(NarrowRect(rect));
        if (exists)
            frame->LoadImage(picture.fileName);
        frame->SetImageMode(picture.imageMode);
        frame->SetImagePlacement(picture.placement);
        frame->SetImageRotation(picture.rotation);
        if (orientation == 1)
            frame->Rotate(false);
        frame->SetImageRange(
            RECT{picture.rangeLeft, picture.rangeTop, picture.rangeRight, picture.rangeBottom});
        RECT range{};
        frame->GetImageRange(&range);
        const SIZE size = frame->GetPictureSize();
        const auto inside = [&](std::int64_t x, std::int64_t y) {
            return x >= 0 && y >= 0 && x < std::int64_t{size.cx} + 1 && y < std::int64_t{size.cy} + 1;
        };
        BoolCheck(inside(range.left, range.top) && inside(range.right, range.bottom), 0);
        frame->SetVisible(picture.visible != 0);
        frame->SetDrawSuppressed(false);
        const int position = camera ? m_layout.GetItemCount(-1, -1, nullptr) : 0;
        BoolCheck(m_layout.AddItem(position, std::move(frame)), 0);
        return 1;
    } catch (int) {
        return 0;
    }
}

int CZAVEditorDoc::BuildLineItem(const ZAVDrawRecord& record, int number)
{
    try {
        const ZAVLinePart& line = record.line;
        std::unique_ptr<CLineItem> item =
            LineItemFromRecord(m_layout, m_host.GetLocalizeIniPath(), line, number);
        if (!item)
            return 1;
        item->SetVisible(line.visible != 0);
        item->SetDrawSuppressed(false);
        BoolCheck(m_layout.AddItem(0, std::move(item)), 0);
        return 1;
    } catch (int) {
        return 0;
    }
}

int CZAVEditorDoc::BuildMacroStringItem(const ZAVDrawRecord& record, CInsertImageFrameItem* owner)
{
    try {
        const ZAVMacroStringPart& text = record.macroString;
        if (!owner || text.ownerFrameNumber == 0 || text.ownerFrameNumber != owner->GetFrameNumber())
            return 1;
        const int kind = ChooseMacroKind(*owner, text.macroText);
        if (kind < 0)
            return 1;
        std::string face;
        if (!CLocalizeScript(m_host.GetLocalizeIniPath()).GetDrawStringFont(text.fontKey, face))
            return 1;
        const WideRect rect = TurnRecordRect(WideRect{text.left, text.top, text.right, text.bottom},
                                             m_layout.GetOrientation(), PageTurnHeight(m_layout));
        BoolCheck(FitsPrintable(m_layout, rect), 0);
        auto item = std::make_unique<CMacroStringItem>();
        CMacroStringItem* added = item.get();
        item->SetRect(NarrowRect(rect));
        item->SetMacroKind(kind);
        item->SetOwnerFrame(owner);
        item->SetDirection(text.direction);
        if (m_layout.GetOrientation() == 1)
            item->Rotate(false);
        item->SetVisible(text.visible != 0);
        item->SetDrawSuppressed(false);
        BoolCheck(m_layout.AddItem(0, std::move(item)), 0);
        LinkMacroString(
            *owner, added, kind, text.macroText,
            MacroTextSettings{text.fontKey, ColorOf(text.red, text.green, text.blue), text.fontSize});
        return 1;
    } catch (int) {
        return 0;
    }
}

int CZAVEditorDoc::BuildStringItem(const ZAVDrawRecord& record)
{
    try {
        const ZAVCharPart& chars = record.chars;
        const WideRect rect = TurnRecordRect(WideRect{chars.left, chars.top, chars.right, chars.bottom},
                                             m_layout.GetOrientation(), PageTurnHeight(m_layout));
        auto item = std::make_unique<CStringItem>();
        item->SetLabel(chars.text);
        BoolCheck(FitsPrintable(m_layout, rect), 0);
        item->SetRect(NarrowRect(rect));
        if (chars.text.empty())
            return 1;
        item->SetText(chars.text);
        LOGFONT font;
        font.lfHeight = chars.fontHeight;
        font.lfWeight = (chars.style & 1) ? 700 : 400;
        font.lfItalic = (chars.style & 2) ? 1 : 0;
        font.lfFaceName = chars.faceName;
        font.lfCharSet = chars.charSet;
        font.lfQuality = kProofQuality;
        IFontCatalogue& fonts = GetFontCatalogue();
        if (!fonts.HasOutlineFamily(font.lfFaceName)) {
            font.lfFaceName = fonts.DefaultInterfaceFace();
            if (!fonts.HasOutlineFamily(font.lfFaceName)) {
                const std::vector<std::string> names = fonts.SortedOutlineNames();
                if (!names.empty())
                    font.lfFaceName = names.front();
            }
        }
        if (chars.vertical == 1 && fonts.HasFamily("@" + font.lfFaceName))
            font.lfFaceName = "@" + font.lfFaceName;
        item->SetLogFont(&font);
        item->SetTextColor(ColorOf(chars.textRed, chars.textGreen, chars.textBlue));
        item->SetShadowColor(ColorOf(chars.shadowRed, chars.shadowGreen, chars.shadowBlue));
        item->SetShadow(chars.shadowX != 0 || chars.shadowY != 0);
        item->SetBackColorOn(chars.noBackground == 0);
        item->SetBackColor(ColorOf(chars.backRed, chars.backGreen, chars.backBlue));
        item->SetShadowOffset(POINT{chars.shadowX, chars.shadowY});
        item->SetDirection(chars.direction);
        if (m_layout.GetOrientation() == 1)
            item->Rotate(false);
        item->SetVerticalText(chars.vertical == 1);
        item->SetVisible(chars.visible != 0);
        item->SetDrawSuppressed(false);
        BoolCheck(m_layout.AddItem(0, std::move(item)), 0);
        return 1;
    } catch (int) {
        return 0;
    }
}
