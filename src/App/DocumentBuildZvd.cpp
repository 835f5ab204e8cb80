// The page built from an editor document's draw records.
#include "App/DocumentBuildGeometry.h"
#include "App/DocumentBuildMessages.h"
#include "App/DocumentHost.h"
#include "App/FontCatalogue.h"
#include "App/ItemRecords.h"
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
constexpr int kMaxPoints = 999;
constexpr int kDefaultPixelsPerInch = 96;
constexpr std::uint8_t kProofQuality = 2;

int ScreenPixelsPerInch()
{
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    return dialogs ? dialogs->GetScreenLogPixelsY() : kDefaultPixelsPerInch;
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
                const bool cameraFrame = camera && !background;
                corrected = CorrectPictureSettings(picture, camera) || corrected;
                if (cameraFrame && picture.rotation != 1) {
                    picture.rotation = 1;
                    corrected = true;
                }
                if (picture.bottom == -1) {
                    if (cameraFrame) {
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
                if (cameraFrame && !SameRect(RecordRect(picture), CameraRecordRect(printable, orientation)))
                    corrected = true;
                if (!cameraFrame) {
                    BoolCheck(BuildPictureItem(record) == 1, 0);
                } else if (cameraFrames == 0) {
                    picture.visible = 1;
                    BoolCheck(BuildPictureItem(record) == 1, 0);
                } else {
                    corrected = true;
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
                // A camera layout has no captions.
                CInsertImageFrameItem* frame =
                    camera ? nullptr : CaptionRecordOwner(owner, record.macroString.ownerFrameNumber);
                if (!frame) {
                    corrected = true;
                    break;
                }
                BoolCheck(BuildMacroStringItem(record, frame) == 1, 0);
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
    return RecordBuildResult(
        [&] { AddPictureFromRecord(m_layout, m_host.GetLocalizeIniPath(), record.picture, IsDSCLayout()); });
}

int CZAVEditorDoc::BuildLineItem(const ZAVDrawRecord& record, int number)
{
    return RecordBuildResult(
        [&] { AddLineFromRecord(m_layout, m_host.GetLocalizeIniPath(), record.line, number); });
}

int CZAVEditorDoc::BuildMacroStringItem(const ZAVDrawRecord& record, CInsertImageFrameItem* owner)
{
    return RecordBuildResult([&] {
        if (owner)
            AddCaptionFromRecord(m_layout, m_host.GetLocalizeIniPath(), record.macroString, *owner);
    });
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
