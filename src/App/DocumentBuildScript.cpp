// The page built from a layout script's draw records.
#include "App/DocumentBuildGeometry.h"
#include "App/DocumentBuildMessages.h"
#include "App/DocumentHost.h"
#include "App/ItemRecords.h"
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
constexpr int kCameraLayoutChanged = 3;

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
                    CloseOpenBottom(picture, printable, orientation);
                    adjusted = true;
                }
                adjusted = CorrectPictureSettings(picture, camera) || adjusted;
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
                CInsertImageFrameItem* frame = CaptionRecordOwner(owner, record.text.frameNumber);
                if (!frame) {
                    adjusted = true;
                    break;
                }
                BoolCheck(AddMacroStringRecord(record, frame), 0);
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
    return RecordBuildResult(
        [&] { AddPictureFromRecord(m_layout, m_host.GetLocalizeIniPath(), record.picture, false); });
}

int CZAVEditorDoc::AddLineRecord(const UDLDrawRecord& record, int number)
{
    return RecordBuildResult(
        [&] { AddLineFromRecord(m_layout, m_host.GetLocalizeIniPath(), record.line, number); });
}

int CZAVEditorDoc::AddMacroStringRecord(const UDLDrawRecord& record, CInsertImageFrameItem* frame)
{
    return RecordBuildResult([&] {
        if (frame)
            AddCaptionFromRecord(m_layout, m_host.GetLocalizeIniPath(), record.text, *frame);
    });
}
