// The page built from a layout script's draw records.
#include "App/DocumentBuildGeometry.h"
#include "App/DocumentBuildLine.h"
#include "App/DocumentBuildMacro.h"
#include "App/DocumentBuildMessages.h"
#include "App/DocumentHost.h"
#include "App/PaperNames.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/LocalizeScript.h"
#include "Core/Path.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Script/UDLScript.h"

#include <climits>
#include <memory>

namespace {

constexpr int kMaxBuiltPictures = CLayoutManager::kMaxOtherItems;
constexpr int kMaxBuiltLines = CLayoutManager::kMaxLines;
constexpr int kAutomaticRotation = 4;
constexpr int kCameraLayoutChanged = 3;

WideRect PictureRect(const UDLPicturePart& picture)
{
    return WideRect{picture.left, picture.top, picture.right, picture.bottom};
}

bool WiderThanHigh(std::int64_t width, std::int64_t height)
{
    return width > height;
}

} // namespace

int CZAVEditorDoc::BuildFromLayoutScript(CUDLScript& script)
{
    BuildMessages messages;
    try {
        CLayoutManager& layout = m_layout;
        BoolCheck(SetAuthor(script.GetAuthor()), 0);
        BoolCheck(SetTitle(script.GetTitle()), 0);
        BoolCheck(SetComment(script.GetComment()), 0);
        BoolCheck(SetLayoutPaper(script.GetPaperSize(), script.GetDirection(), script.GetMarginMode(),
                                 script.GetRollPaperLength(), false),
                  0);
        const bool camera = IsDSCLayout();
        const int orientation = layout.GetOrientation();
        const RECT printable = layout.GetPrintableRect();
        bool adjusted = false;
        CInsertImageFrameItem* owner = nullptr;
        int backgrounds = 0;
        int frames = 0;
        int pictures = 0;
        int lines = 0;
        int nextLine = 1;
        const int count = script.GetDrawRecordCount();
        for (int index = 0; index < count; ++index) {
            UDLDrawRecord* found = script.GetDrawRecord(index);
            NullCheck(found, 0);
            UDLDrawRecord record = *found;
            const int before = layout.GetItemCount(-1, -1, nullptr);
            switch (record.type) {
            case UDLDrawPicture: {
                UDLPicturePart& picture = record.picture;
                if (picture.bottom == -1) {
                    std::int64_t bottom = std::int64_t{picture.top} + picture.right - picture.left;
                    const std::int64_t edge = orientation == 1 ? printable.right : printable.bottom;
                    bottom = std::max<std::int64_t>(std::min(bottom, edge), INT_MIN + 1);
                    picture.bottom = static_cast<std::int32_t>(bottom);
                    if (picture.top >= picture.bottom)
                        picture.top = picture.bottom - 1;
                    adjusted = true;
                }
                if (picture.imageMode != 4) {
                    picture.imageMode = 4;
                    adjusted = true;
                }
                if (picture.frameNumber == 0) {
                    if (picture.placement != 0) {
                        picture.placement = 0;
                        adjusted = true;
                    }
                    if (picture.rotation == kAutomaticRotation)
                        adjusted = true;
                } else if ((camera && picture.placement != 0) || (!camera && picture.placement == 2)) {
                    picture.placement = 0;
                    adjusted = true;
                }
                const bool background = picture.frameNumber == 0;
                if (!camera) {
                    BoolCheck(AddPictureRecord(record), 0);
                } else if ((picture.rotation == 0 || picture.rotation == 1) &&
                           (background ? backgrounds == 0 : frames == 0)) {
                    BoolCheck(AddPictureRecord(record), 0);
                } else {
                    adjusted = true;
                }
                if (layout.GetItemCount(-1, -1, nullptr) != before + 1) {
                    adjusted = true;
                    break;
                }
                CLayoutItem* item = layout.GetItemAt(0);
                ++(background ? backgrounds : frames);
                owner = dynamic_cast<CInsertImageFrameItem*>(item);
                if (owner && !picture.fileName.empty() && owner->GetImageFileName().empty())
                    adjusted = true;
                BoolCheck(++pictures <= kMaxBuiltPictures, 0);
                break;
            }
            case UDLDrawLine:
                owner = nullptr;
                if (camera) {
                    adjusted = true;
                    break;
                }
                BoolCheck(AddLineRecord(record, nextLine++) == 1, 0);
                if (layout.GetItemCount(-1, -1, nullptr) != before + 1) {
                    adjusted = true;
                    break;
                }
                BoolCheck(++lines <= kMaxBuiltLines, 0);
                break;
            case UDLDrawText: {
                if (!owner) {
                    adjusted = true;
                    break;
                }
                if (owner->GetFrameNumber() != record.text.frameNumber) {
                    adjusted = true;
                    owner = nullptr;
                    break;
                }
                BoolCheck(AddMacroStringRecord(record, owner), 0);
                if (layout.GetItemCount(-1, -1, nullptr) != before + 1) {
                    adjusted = true;
                    break;
                }
                const auto* text = dynamic_cast<CMacroStringItem*>(layout.GetItemAt(0));
                NullCheck(text, 0);
                if (text->GetMacroKind() == 0)
                    owner = nullptr;
                break;
            }
            default:
                BoolCheck(0, 0);
            }
        }
        const RECT imageRect = layout.GetItemImageRect();
        const float imageScale = layout.GetItemImageScale();
        for (const auto& item : layout.GetItems()) {
            item->SetItemImageRect(imageRect);
            item->SetItemImageScale(imageScale);
        }
        RefreshView(true);
        if (adjusted) {
            BoolCheck(!camera, kCameraLayoutChanged);
            messages.corrected = true;
        }
        if (!camera)
            messages.paperRefused =
                !IsPaperOffered(GetPaperSizeName(m_host.GetLocalizeIniPath(), layout.GetPaperSizeIndex()),
                                layout.GetPaperSizeIndex(), layout.GetPaperMode());
    } catch (int code) {
        return code == 0 ? 1 : code;
    }
    messages.Show();
    return 0;
}

int CZAVEditorDoc::AddPictureRecord(const UDLDrawRecord& record)
{
    std::unique_ptr<CImageFrameItem> created;
    try {
        const UDLPicturePart& picture = record.picture;
        const int orientation = m_layout.GetOrientation();
        const WideRect rect = TurnRecordRect(PictureRect(picture), orientation, PageTurnHeight(m_layout));
        const bool exists = !picture.fileName.empty() && IsFile(picture.fileName);
        if (picture.frameNumber == 0) {
            if (!exists)
                return 1;
            auto item = std::make_unique<CBackgroundImageFrameItem>();
            CBackgroundImageFrameItem& frame = *item;
            created = std::move(item);
            frame.SetLabel(GetFileNameFromPath(picture.fileName, true));
            BoolCheck(FitsPrintable(m_layout, rect), 0);
            frame.SetRect(NarrowRect(rect));
            BoolCheck(frame.LoadImage(picture.fileName) == 0, 0);
            frame.SetImageMode(picture.imageMode);
            frame.SetImagePlacement(picture.placement);
            if (picture.rotation != kAutomaticRotation) {
                frame.SetImageRotation(picture.rotation);
                if (orientation == 1)
                    frame.Rotate(false);
            } else {
                const std::int64_t w = rect.right - rect.left;
                const std::int64_t h = rect.bottom - rect.top;
                const CImage* image = frame.GetImageBuffer1();
                const std::int64_t imageW = image->GetWidth();
                const std::int64_t imageH = image->GetHeight();
                const bool crossed = (WiderThanHigh(w, h) && WiderThanHigh(imageH, imageW)) ||
                                     (WiderThanHigh(h, w) && WiderThanHigh(imageW, imageH));
                const bool same = (WiderThanHigh(w, h) && WiderThanHigh(imageW, imageH)) ||
                                  (WiderThanHigh(h, w) && WiderThanHigh(imageH, imageW));
                frame.SetImageRotation(orientation == 0 ? (crossed ? 1 : 0) : (same ? 0 : 3));
            }
        } else {
            std::string format;
            BoolCheck(CLocalizeScript(m_host.GetLocalizeIniPath()).GetCaption(11, format), 0);
            auto item = std::make_unique<CInsertImageFrameItem>();
            CInsertImageFrameItem& frame = *item;
            created = std::move(item);
            frame.SetFrameNumber(picture.frameNumber);
            if (exists)
                frame.LoadImage(picture.fileName);
            frame.SetLabel(FormatNumberedName(format, picture.frameNumber));
            BoolCheck(FitsPrintable(m_layout, rect), 0);
            frame.SetRect(NarrowRect(rect));
            if (exists)
                frame.LoadImage(picture.fileName);
            frame.SetImageMode(picture.imageMode);
            frame.SetImagePlacement(picture.placement);
            frame.SetImageRotation(picture.rotation);
            if (orientation == 1)
                frame.Rotate(false);
            frame.SetImageRange(RECT{0, 0, 0, 0});
        }
        created->SetDrawSuppressed(false);
        BoolCheck(m_layout.AddItem(0, std::move(created)), 0);
        return 1;
    } catch (int) {
        return 0;
    }
}

int CZAVEditorDoc::AddLineRecord(const UDLDrawRecord& record, int number)
{
    try {
        const UDLLinePart& line = record.line;
        std::unique_ptr<CLineItem> item =
            LineItemFromRecord(m_layout, m_host.GetLocalizeIniPath(), line, number);
        if (!item)
            return 1;
        item->SetDrawSuppressed(false);
        BoolCheck(m_layout.AddItem(0, std::move(item)), 0);
        return 1;
    } catch (int) {
        return 0;
    }
}

int CZAVEditorDoc::AddMacroStringRecord(const UDLDrawRecord& record, CInsertImageFrameItem* frame)
{
    try {
        const UDLTextPart& text = record.text;
        if (!frame || text.frameNumber == 0 || text.frameNumber != frame->GetFrameNumber())
            return 1;
        const std::string& macro = text.macroText;
        const int kind = ChooseMacroKind(*frame, macro);
        if (kind < 0)
            return 1;
        std::string face;
        if (!CLocalizeScript(m_host.GetLocalizeIniPath()).GetDrawStringFont(text.name, face))
            return 1;
        const WideRect rect = TurnRecordRect(WideRect{text.left, text.top, text.right, text.bottom},
                                             m_layout.GetOrientation(), PageTurnHeight(m_layout));
        BoolCheck(FitsPrintable(m_layout, rect), 0);
        auto item = std::make_unique<CMacroStringItem>();
        CMacroStringItem* added = item.get();
        item->SetRect(NarrowRect(rect));
        item->SetMacroKind(kind);
        item->SetOwnerFrame(frame);
        item->SetDirection(text.direction);
        if (m_layout.GetOrientation() == 1)
            item->Rotate(false);
        item->SetDrawSuppressed(false);
        BoolCheck(m_layout.AddItem(0, std::move(item)), 0);
        LinkMacroString(*frame, added, kind, macro,
                        MacroTextSettings{text.name, ColorOf(text.red, text.green, text.blue), text.flag});
        return 1;
    } catch (int) {
        return 0;
    }
}
