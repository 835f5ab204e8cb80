// The page written back as draw records, with its pictures as numbered frame
// images in the layout's companion folder.
#include "App/CtfFile.h"
#include "App/ItemRecords.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Geometry.h"
#include "Core/Path.h"
#include "Core/PictureLimits.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/PaperTable.h"
#include "Layout/StringItem.h"
#include "Platform/AtomicFileWriter.h"
#include "Platform/FileSystem.h"
#include "Script/DSCPaperVariant.h"
#include "Script/ObjectFields.h"
#include "Script/ShiftJisText.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr int kHandOverSide = kMinPictureSide;
constexpr int kMaxHandOverSide = kMaxPictureSide;
constexpr int kHandOverQuality = 100;
constexpr int kEffQuality = 90;
constexpr std::size_t kCopyChunk = 1 << 16;

std::string FrameImageName(const std::string& imageBase, int number, const char* extension)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return imageBase + "/Image" + digits + extension;
}

// Through the atomic writer, so that a picture is whole or absent and every
// write is checked.
void CopyOver(const std::string& from, const std::string& to)
{
    std::ifstream source(from, std::ios::binary);
    BoolCheck(source.is_open(), 0);
    AtomicFileWriter target;
    BoolCheck(target.Open(to), 0);
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        source.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = source.gcount();
        if (got > 0)
            BoolCheck(target.Write(buffer.data(), static_cast<std::size_t>(got)), 0);
        if (!source)
            break;
    }
    BoolCheck(source.eof() && !source.bad(), 0);
    BoolCheck(target.Commit(), 0);
}

// The file the item carries named `target` too, when it lies in the layout's
// own companion folder: the save that replaces that folder needs no copy.
bool LinkCarried(const CImageFrameItem& item, const std::string& ownFolder, const std::string& target)
{
    if (ownFolder.empty() || !item.GetCarriedPicture().IsSet())
        return false;
    if (IsFile(target))
        ForceDeleteFile(target); // the temporary folder reserves a name as an empty file
    return item.LinkCarriedPicture(ownFolder, target);
}

// The 32-bit working picture of a background as an EFF with its mask; a
// picture still as its EFF file gave it keeps that file's bytes, so that
// saving again never loses quality.
void WriteBackgroundEff(const CImageFrameItem& item, const std::string& target, const std::string& ownFolder)
{
    if (LinkCarried(item, ownFolder, target))
        return;
    if (const auto carried = item.TakeCarriedPicture()) {
        BoolCheck(WriteFileAtomically(target, carried->data(), carried->size()), 0);
        return;
    }
    // The working copy is read a batch of rows at a time as the encoder takes
    // them: the picture is never held whole.
    CEFFFile writer;
    const int written =
        CBMPFile().ReadRaw32Rows(item.GetImageFileName2(), [&](int width, int height, IJpegBatchSource& rows) {
            return writer.WriteRows(target, width, height, rows, 0, kEffQuality);
        });
    BoolCheck(written == ImageFileOk, 0);
}

void ClearReadOnly(const std::string& path)
{
    std::error_code error;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, error);
}

std::string NewTempImage(const std::string& workFolder)
{
    if (workFolder.empty()) {
        std::string path = GetTempSaveImageFileName(true);
        BoolCheck(!path.empty(), 0);
        return path;
    }
    // A free name in the save's own folder, the file made by its writer so
    // that it takes the umask's mode as every file of a save does.
    std::string path = CreateUniqueFile(workFolder, "zvd", ".tmp");
    BoolCheck(!path.empty() && ForceDeleteFile(path), 0);
    return path;
}

// The used range of the photo for the print hand-over: the photo itself, a
// cut, or, when the range is small, the range stretched to fill 160 x 160.
void WriteHandOverPhoto(const CInsertImageFrameItem& frame, const std::string& target)
{
    const std::string photo = frame.GetImageFileName2();
    RECT range{};
    frame.GetImageRange(&range);
    if (range.right <= range.left || range.bottom <= range.top) {
        CopyOver(photo, target);
        return;
    }
    const int width = range.right - range.left;
    const int height = range.bottom - range.top;
    if (width >= kHandOverSide && height >= kHandOverSide) {
        BoolCheck(CropJpegFile(photo, target, range) == 1, 0);
        return;
    }
    const Rect fill = CalcAspectFitRect(width, height, kHandOverSide, kHandOverSide, false);
    BoolCheck(fill.Width() > 0 && fill.Height() > 0, 0);
    BoolCheck(fill.Width() <= kMaxHandOverSide && fill.Height() <= kMaxHandOverSide, 0);
    CImage source;
    SIZE pictureSize{};
    double scale = 0.0;
    const SIZE maximum{kMaxHandOverSide, kMaxHandOverSide};
    BoolCheck(CJpegFile().ReadScaled(photo, &source, kMaxHandOverSide, kMaxHandOverSide, &pictureSize, &scale,
                                     RGB(255, 255, 255), 1, &maximum) == ImageFileOk,
              0);
    BoolCheck(scale > 0.0, 0);
    const auto at = [scale](int v) { return static_cast<int>(v * scale + 0.5); };
    CImage picture;
    BoolCheck(picture.Create(fill.Width(), fill.Height()), 0);
    BoolCheck(source.StretchBltTo(&picture, 0, 0, fill.Width(), fill.Height(), at(range.left), at(range.top),
                                  std::max(1, at(width)), std::max(1, at(height)), SRCCOPY) != 0,
              0);
    BoolCheck(picture.SaveAsJpeg(target, 0, kHandOverQuality) == ImageFileOk, 0);
}

// Frames renumbered for a save get their numbers and names back however the
// save ends.
class KeptFrameNumbers
{
public:
    explicit KeptFrameNumbers(CLayoutManager& layout) : m_layout(layout) {}
    ~KeptFrameNumbers()
    {
        if (!m_renumbered)
            return;
        for (const Kept& kept : m_kept) {
            kept.frame->SetFrameNumber(kept.number);
            kept.frame->SetLabel(kept.label);
        }
    }
    KeptFrameNumbers(const KeptFrameNumbers&) = delete;
    KeptFrameNumbers& operator=(const KeptFrameNumbers&) = delete;

    // The visible frames become 1, 2, ... when a hidden one would leave a gap.
    void RenumberVisible()
    {
        bool hidden = false;
        for (const auto& item : m_layout.GetItems())
            if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get())) {
                m_kept.push_back(Kept{frame, frame->GetFrameNumber(), frame->GetLabel()});
                hidden = hidden || !frame->IsVisible();
            }
        if (hidden)
            m_renumbered = m_layout.RenumberInsertFrames(true);
    }

private:
    struct Kept
    {
        CInsertImageFrameItem* frame;
        int number;
        std::string label;
    };
    CLayoutManager& m_layout;
    std::vector<Kept> m_kept;
    bool m_renumbered = false;
};

template <class Script>
void SetRecordHeader(Script& script, int paperCode, int direction, int marginMode, const std::string& author,
                     const std::string& title, const std::string& comment, int rollLength)
{
    BoolCheck(script.SetPaperSize(paperCode), 0);
    BoolCheck(script.SetDirection(direction), 0);
    BoolCheck(script.SetMarginMode(marginMode), 0);
    BoolCheck(script.SetAuthor(author), 0);
    BoolCheck(script.SetTitle(title), 0);
    BoolCheck(script.SetComment(comment), 0);
    BoolCheck(rollLength >= 0 && rollLength <= UINT16_MAX, 0);
    BoolCheck(script.SetRollPaperLength(static_cast<std::uint16_t>(rollLength)), 0);
}

// Where the builders put the pictures: the companion folder, or a staging
// folder whose names the caller applies after its commit.
class PicturePlacer
{
public:
    PicturePlacer(std::string imageBase, std::string scriptFolder, std::string staging)
        : m_imageBase(std::move(imageBase)), m_scriptFolder(std::move(scriptFolder)),
          m_staging(std::move(staging))
    {
    }
    std::string Target(int number, const char* extension) const
    {
        return FrameImageName(m_imageBase, number, extension);
    }
    // Where the file of the target is written now.
    std::string WritePath(const std::string& target) const
    {
        return m_staging.empty() ? target : CombinePath(m_staging, GetFileNameFromPath(target, true));
    }
    std::string RecordPath(const std::string& target) const
    {
        return MakeDotRelativePath(m_scriptFolder, target);
    }
    // The temporary file moved to the target; the item, if any, takes its name.
    // Into a staging folder of the save's own it is renamed where both lie on
    // one file system, so a picture is written once.
    std::string Place(const std::string& source, const std::string& target, CImageFrameItem* item)
    {
        const std::string path = WritePath(target);
        if (m_staging.empty() || std::rename(source.c_str(), path.c_str()) != 0) {
            CopyOver(source, path);
            ForceDeleteFile(source);
        }
        if (item) {
            item->CarryStoredPicture(path);
            m_renames.push_back(FrameImageRename{item, target});
        }
        return RecordPath(target);
    }
    void Finish(std::vector<FrameImageRename>* renames)
    {
        if (m_staging.empty()) {
            for (const FrameImageRename& rename : m_renames) {
                rename.item->SetImageFileName(rename.path);
                rename.item->FollowCarriedPicture(rename.path);
            }
        } else if (renames) {
            *renames = std::move(m_renames);
        }
    }

private:
    std::string m_imageBase;
    std::string m_scriptFolder;
    std::string m_staging;
    std::vector<FrameImageRename> m_renames;
};

} // namespace

int CZAVEditorDoc::ExportZvdFrameImages(const std::string& imageBase, std::vector<std::string>* images,
                                        const std::string& workFolder)
{
    try {
        const int count = m_layout.GetItemCount(-1, -1, nullptr);
        for (int index = 0; index < count; ++index) {
            CLayoutItem* item = m_layout.GetItemAt(index);
            NullCheck(item, 0);
            auto* frame = dynamic_cast<CImageFrameItem*>(item);
            if (!frame || frame->GetImageFileName().empty())
                continue;
            const std::string path = NewTempImage(workFolder);
            if (!dynamic_cast<CInsertImageFrameItem*>(frame))
                WriteBackgroundEff(*frame, path, imageBase);
            else if (!LinkCarried(*frame, imageBase, path))
                CopyOver(frame->GetImageFileName2(), path);
            ClearReadOnly(path);
            if (images)
                images->push_back(path);
        }
    } catch (int) {
        return 0;
    }
    return 1;
}

int CZAVEditorDoc::BuildZvdRecords(CZAVScript& script, const std::string& layoutPath,
                                   std::vector<std::string>* images, const std::string& stagingFolder,
                                   std::vector<FrameImageRename>* renames)
{
    PicturePlacer placer(StripExtension(layoutPath), GetFolderFromPath(layoutPath), stagingFolder);
    try {
        NullCheck(images, 0);
        const int n = static_cast<int>(images->size());
        script.Clear();
        script.SetDSCFlag(IsDSCLayout() ? 1 : 0);
        CLayoutManager& layout = m_layout;
        const int total = layout.GetItemCount(-1, -1, nullptr);
        const PageTurn turn(layout);

        SetRecordHeader(script, layout.GetPaperSizeIndex(), turn.Orientation(), layout.GetPaperMode(),
                        m_author, m_title, m_comment, layout.GetRollLength());

        std::vector<ZAVDrawRecord> records;
        records.reserve(static_cast<std::size_t>(total));
        int used = 0;
        for (int index = total - 1; index >= 0; --index) {
            CLayoutItem* item = layout.GetItemAt(index);
            NullCheck(item, 0);
            ZAVDrawRecord record;
            if (auto* frame = dynamic_cast<CImageFrameItem*>(item)) {
                auto* insert = dynamic_cast<CInsertImageFrameItem*>(frame);
                ZAVPicturePart& picture = record.picture;
                record.type = ZAVDrawPicture;
                if (!frame->GetImageFileName().empty()) {
                    BoolCheck(used < n, 0);
                    picture.fileName = placer.Place((*images)[static_cast<std::size_t>(n - used - 1)],
                                                    placer.Target(used, insert ? ".jpg" : ".eff"), frame);
                    ++used;
                }
                if (insert)
                    picture.frameNumber = insert->GetFrameNumber();
                StoreFramePicture(*frame, picture, turn);
                if (insert && IsDSCLayout())
                    picture.rotation = 1;
            } else if (auto* line = dynamic_cast<CLineItem*>(item)) {
                record.type = ZAVDrawLine;
                StoreLine(*line, record.line, turn);
            } else if (auto* text = dynamic_cast<CMacroStringItem*>(item)) {
                const CInsertImageFrameItem* owner = CaptionOwner(*text);
                if (!owner)
                    continue;
                record.type = ZAVDrawMacroString;
                StoreCaption(*text, *owner, record.macroString, turn);
            } else if (auto* chars = dynamic_cast<CStringItem*>(item)) {
                record.type = ZAVDrawString;
                StoreChars(*chars, record.chars, turn);
            } else {
                continue;
            }
            records.push_back(std::move(record));
        }
        script.SetDrawRecords(std::move(records));
    } catch (int) {
        return 0;
    }
    placer.Finish(renames);
    return 1;
}

int CZAVEditorDoc::ExportUsdFrameImages(const std::string& imageBase, std::vector<std::string>* images,
                                        int printHandOver, const std::string& workFolder)
{
    try {
        const bool camera = IsDSCLayout();
        const int count = m_layout.GetItemCount(-1, -1, nullptr);
        for (int index = 0; index < count; ++index) {
            CLayoutItem* item = m_layout.GetItemAt(index);
            NullCheck(item, 0);
            if (!item->IsVisible())
                continue;
            std::string path;
            if (auto* insert = dynamic_cast<CInsertImageFrameItem*>(item)) {
                if (!printHandOver || insert->GetImageFileName().empty())
                    continue;
                path = NewTempImage(workFolder);
                WriteHandOverPhoto(*insert, path);
            } else if (auto* frame = dynamic_cast<CImageFrameItem*>(item)) {
                if (camera || frame->GetImageFileName().empty())
                    continue;
                path = NewTempImage(workFolder);
                WriteBackgroundEff(*frame, path, imageBase);
            } else if (auto* text = dynamic_cast<CStringItem*>(item)) {
                if (camera)
                    continue;
                path = NewTempImage(workFolder);
                BoolCheck(text->SaveTextImage(path), 0);
            } else {
                continue;
            }
            ClearReadOnly(path);
            if (images)
                images->push_back(path);
        }
    } catch (int) {
        return 0;
    }
    return 1;
}

int CZAVEditorDoc::BuildUsdRecords(CUDLScript& script, const std::string& layoutPath,
                                   std::vector<std::string>* images, int printHandOver,
                                   const std::string& stagingFolder, std::vector<FrameImageRename>* renames)
{
    CLayoutManager& layout = m_layout;
    KeptFrameNumbers kept(layout);
    PicturePlacer placer(StripExtension(layoutPath), GetFolderFromPath(layoutPath), stagingFolder);
    try {
        NullCheck(images, 0);
        script.Clear();
        const int total = layout.GetItemCount(-1, -1, nullptr);
        const bool handOver = printHandOver != 0;
        // Frames without a photo and texts without a frame or photo print nothing.
        const auto leftOut = [handOver](const CLayoutItem& item) {
            if (const auto* insert = dynamic_cast<const CInsertImageFrameItem*>(&item))
                return handOver && insert->GetImageFileName().empty();
            if (const auto* text = dynamic_cast<const CMacroStringItem*>(&item)) {
                const CInsertImageFrameItem* owner = CaptionOwner(*text);
                return !owner || (handOver && owner->GetImageFileName().empty());
            }
            return false;
        };
        int written = 0;
        for (int index = 0; index < total; ++index) {
            const CLayoutItem* item = layout.GetItemAt(index);
            NullCheck(item, 0);
            if (item->IsVisible() && !leftOut(*item))
                ++written;
        }
        if (!handOver)
            kept.RenumberVisible();

        const PageTurn turn(layout);
        SetRecordHeader(script, layout.GetPaperSizeIndex(), turn.Orientation(), layout.GetPaperMode(),
                        m_author, m_title, m_comment, layout.GetRollLength());

        std::vector<UDLDrawRecord> records(static_cast<std::size_t>(written));
        const int n = static_cast<int>(images->size());
        int used = 0;
        int slot = written;
        const auto nextPicture = [&](const char* extension, CImageFrameItem* renamed) {
            BoolCheck(used < n, 0);
            const std::string target = placer.Target(n - used - 1, extension);
            const std::string path = placer.Place((*images)[static_cast<std::size_t>(used)], target, renamed);
            ++used;
            return path;
        };
        for (int index = 0; index < total; ++index) {
            CLayoutItem* item = layout.GetItemAt(index);
            NullCheck(item, 0);
            if (!item->IsVisible() || leftOut(*item))
                continue;
            BoolCheck(--slot >= 0, 0);
            UDLDrawRecord& record = records[static_cast<std::size_t>(slot)];
            if (auto* frame = dynamic_cast<CImageFrameItem*>(item)) {
                auto* insert = dynamic_cast<CInsertImageFrameItem*>(frame);
                UDLPicturePart& picture = record.picture;
                record.type = UDLDrawPicture;
                if (!insert && !frame->GetImageFileName().empty())
                    picture.fileName = nextPicture(".eff", handOver ? nullptr : frame);
                else if (insert && handOver)
                    picture.fileName = nextPicture(".jpg", nullptr);
                picture.frameNumber = insert && !handOver ? insert->GetFrameNumber() : 0;
                StoreFramePicture(*frame, picture, turn);
            } else if (dynamic_cast<CStringItem*>(item)) {
                record.type = UDLDrawPicture;
                record.picture.fileName = nextPicture(".eff", nullptr);
                StoreRenderedPicture(record.picture, turn.Store(UnscaledRect(*item)), turn.Orientation());
            } else if (auto* line = dynamic_cast<CLineItem*>(item)) {
                record.type = UDLDrawLine;
                StoreLine(*line, record.line, turn);
            } else if (auto* text = dynamic_cast<CMacroStringItem*>(item)) {
                const CInsertImageFrameItem* owner = CaptionOwner(*text);
                NullCheck(owner, 0);
                record.type = UDLDrawText;
                UDLTextPart& part = record.text;
                StoreCaption(*text, *owner, part, turn);
                // The hand-over names the photo the caption is printed from.
                if (handOver) {
                    BoolCheck(n - used - 1 >= 0, 0);
                    part.frameNumber = 0;
                    part.imageFileName = placer.RecordPath(placer.Target(n - used - 1, ".jpg"));
                }
            }
        }
        BoolCheck(slot == 0, 0);
        script.SetDrawRecords(std::move(records));
    } catch (int) {
        return 0;
    }
    placer.Finish(renames);
    return 1;
}

int CZAVEditorDoc::BuildDscUsdRecords(CUDLScript& script, const std::string& layoutPath,
                                      std::vector<std::string>* images, int printHandOver,
                                      const std::string& stagingFolder,
                                      std::vector<FrameImageRename>* renames)
{
    // Paper code and margin mode of the hand-over by paper mode 2 .. 9.
    constexpr int kCameraPaper = kCameraPaperVariants[0].paperSize;
    constexpr int kCameraMargin = kCameraPaperVariants[0].marginMode;
    CLayoutManager& layout = m_layout;
    KeptFrameNumbers kept(layout);
    PicturePlacer placer(StripExtension(layoutPath), GetFolderFromPath(layoutPath), stagingFolder);
    try {
        NullCheck(images, 0);
        script.Clear();
        const bool handOver = printHandOver != 0;
        const int total = layout.GetItemCount(-1, -1, nullptr);
        int visible = 0;
        for (int index = 0; index < total; ++index) {
            const CLayoutItem* item = layout.GetItemAt(index);
            NullCheck(item, 0);
            if (item->IsVisible())
                ++visible;
        }
        if (!handOver)
            kept.RenumberVisible();

        int paperCode = kCameraPaper;
        int marginMode = kCameraMargin;
        if (handOver) {
            // Print offers the camera papers only in modes 2 to 9.
            BoolCheck(m_paperMode >= 2 && m_paperMode <= 9, 0);
            paperCode = kCameraPaperVariants[static_cast<std::size_t>(m_paperMode - 2)].paperSize;
            marginMode = kCameraPaperVariants[static_cast<std::size_t>(m_paperMode - 2)].marginMode;
        }
        const int orientation = layout.GetOrientation();
        SetRecordHeader(script, paperCode, orientation, marginMode, m_author, m_title, m_comment,
                        layout.GetRollLength());

        const SIZE paper = GetPaperSizeFromTable(paperCode, orientation, layout.GetRollLength());
        const PageMargins margins = GetModeMargins(marginMode, orientation);
        const RECT printable = CalcPrintableRect(paper.cx, paper.cy, orientation, margins);
        const PageTurn turn(orientation, std::int64_t{paper.cy} - margins.top - margins.bottom);
        const RECT area = turn.Store(printable);
        const int n = static_cast<int>(images->size());

        // The photo frame first, then the one frame image of everything else.
        std::vector<UDLDrawRecord> records;
        auto* last = total > 0 ? dynamic_cast<CInsertImageFrameItem*>(layout.GetItemAt(total - 1)) : nullptr;
        if (last && (!handOver || !last->GetImageFileName().empty())) {
            UDLDrawRecord record;
            UDLPicturePart& picture = record.picture;
            record.type = UDLDrawPicture;
            if (handOver) {
                BoolCheck(n > 0, 0);
                picture.fileName = placer.Place(images->front(), placer.Target(n, ".jpg"), nullptr);
            } else {
                picture.frameNumber = 1;
            }
            // The camera lays the photo over the whole printable area.
            StoreFramePicture(*last, picture, turn);
            SetBox(picture, area);
            records.push_back(std::move(record));
        }
        // A camera set renders its text image only from content the camera
        // does not fill in itself; its members must not name one it lacks.
        if (handOver ? visible > 1 : HasCameraDrawnContent(layout)) {
            UDLDrawRecord record;
            UDLPicturePart& picture = record.picture;
            record.type = UDLDrawPicture;
            std::string target;
            if (handOver) {
                target = placer.Target(n, ".eff");
                int quality = kEffQuality;
                BoolCheck(layout.RenderStringItems(placer.WritePath(target), std::string(), 0, &quality, 0) >=
                              0,
                          0);
            } else {
                target = StripExtension(layoutPath) + "/" + m_cameraSetPrefix + ".eff";
            }
            picture.fileName = placer.RecordPath(target);
            StoreRenderedPicture(picture, area, orientation);
            records.push_back(std::move(record));
        }
        script.SetDrawRecords(std::move(records));
    } catch (int) {
        return 0;
    }
    placer.Finish(renames);
    return 1;
}
