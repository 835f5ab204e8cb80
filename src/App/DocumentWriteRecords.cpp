// The page written back as draw records, with its pictures as numbered frame
// images in the layout's companion folder.
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Script/ShiftJisText.h"
#include "Script/ZAVScript.h"

#include <climits>
#include <cstdio>
#include <filesystem>

namespace {

constexpr std::size_t kFaceNameField = 32;
constexpr std::size_t kCharTextField = 260;
constexpr std::size_t kFontKeyField = 32;
constexpr int kBoldWeight = 700;

// The page as orientation 0 lays it; a value beyond 32 bits fails the save.
struct StoredRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

std::int32_t Narrow(std::int64_t value)
{
    BoolCheck(value >= INT_MIN && value <= INT_MAX, 0);
    return static_cast<std::int32_t>(value);
}

std::int64_t TurnHeight(const CLayoutManager& layout)
{
    const PageMargins margins = layout.GetMargins();
    return std::int64_t{layout.GetPaperSize().cy} - margins.top - margins.bottom;
}

StoredRect StoreRect(const RECT& r, int orientation, std::int64_t h)
{
    if (orientation != 1)
        return StoredRect{r.left, r.top, r.right, r.bottom};
    return StoredRect{Narrow(h - r.bottom), r.left, Narrow(h - r.top), r.right};
}

RECT UnscaledRect(const CLayoutItem& item)
{
    RECT r{};
    item.GetRect(&r, false);
    return r;
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

std::string FrameImageName(const std::string& imageBase, int number, const char* extension)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return imageBase + "/Image" + digits + extension;
}

void CopyOver(const std::string& from, const std::string& to)
{
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    BoolCheck(!error, 0);
}

// The 32-bit working picture of a background as an EFF with its mask.
void WriteBackgroundEff(const CImageFrameItem& item, const std::string& target)
{
    CBMPFile reader;
    std::uint8_t* raw = nullptr;
    SIZE size{};
    const int read = reader.ReadRaw32(item.GetImageFileName2(), &raw, &size);
    PageBuffer pixels(raw);
    BoolCheck(read == ImageFileOk && pixels && size.cx > 0 && size.cy > 0, 0);
    PageBuffer plane(ExtractAlphaPlane(pixels.get(), size.cx * 4, size.cy));
    NullCheck(plane.get(), 0);
    CEFFFile writer;
    BoolCheck(writer.WriteBuffer(target, pixels.get(), plane.get(), size.cx, size.cy) == ImageFileOk, 0);
}

void ClearReadOnly(const std::string& path)
{
    std::error_code error;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, error);
}

std::string NewTempImage()
{
    std::string path = GetTempSaveImageFileName(true);
    BoolCheck(!path.empty(), 0);
    return path;
}

} // namespace

int CZAVEditorDoc::ExportZvdFrameImages(const std::string& imageBase, std::vector<std::string>* images)
{
    (void)imageBase;
    try {
        const int count = m_layout.GetItemCount(-1, -1, nullptr);
        for (int index = 0; index < count; ++index) {
            CLayoutItem* item = m_layout.GetItemAt(index);
            NullCheck(item, 0);
            auto* frame = dynamic_cast<CImageFrameItem*>(item);
            if (!frame || frame->GetImageFileName().empty())
                continue;
            const std::string path = NewTempImage();
            if (dynamic_cast<CInsertImageFrameItem*>(frame))
                CopyOver(frame->GetImageFileName2(), path);
            else
                WriteBackgroundEff(*frame, path);
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
    std::vector<FrameImageRename> applied;
    try {
        NullCheck(images, 0);
        const int n = static_cast<int>(images->size());
        const std::string imageBase = StripExtension(layoutPath);
        const std::string scriptFolder = GetFolderFromPath(layoutPath);
        script.Clear();
        script.SetDSCFlag(IsDSCLayout() ? 1 : 0);
        CLayoutManager& layout = m_layout;
        const int total = layout.GetItemCount(-1, -1, nullptr);
        const int orientation = layout.GetOrientation();
        const std::int64_t h = TurnHeight(layout);

        BoolCheck(script.SetPaperSize(layout.GetPaperSizeIndex()), 0);
        BoolCheck(script.SetDirection(orientation), 0);
        BoolCheck(script.SetMarginMode(layout.GetPaperMode()), 0);
        BoolCheck(script.SetAuthor(m_author), 0);
        BoolCheck(script.SetTitle(m_title), 0);
        BoolCheck(script.SetComment(m_comment), 0);
        BoolCheck(script.SetRollPaperLength(static_cast<std::uint16_t>(layout.GetRollLength())), 0);

        std::vector<ZAVDrawRecord> records;
        records.reserve(static_cast<std::size_t>(total));
        int used = 0;
        for (int index = total - 1; index >= 0; --index) {
            CLayoutItem* item = layout.GetItemAt(index);
            NullCheck(item, 0);
            const std::uint8_t visible = item->IsVisible() ? 1 : 0;
            ZAVDrawRecord record;
            const RECT rect = UnscaledRect(*item);
            if (auto* frame = dynamic_cast<CImageFrameItem*>(item)) {
                auto* insert = dynamic_cast<CInsertImageFrameItem*>(frame);
                ZAVPicturePart& picture = record.picture;
                record.type = ZAVDrawPicture;
                if (!frame->GetImageFileName().empty()) {
                    BoolCheck(used < n, 0);
                    const std::string target = FrameImageName(imageBase, used, insert ? ".jpg" : ".eff");
                    const std::string& source = (*images)[static_cast<std::size_t>(n - used - 1)];
                    const std::string copy =
                        stagingFolder.empty() ? target
                                              : CombinePath(stagingFolder, GetFileNameFromPath(target, true));
                    CopyOver(source, copy);
                    ForceDeleteFile(source);
                    applied.push_back(FrameImageRename{frame, target});
                    picture.fileName = MakeDotRelativePath(scriptFolder, target);
                    ++used;
                }
                if (insert) {
                    picture.frameNumber = insert->GetFrameNumber();
                    RECT range{};
                    insert->GetImageRange(&range);
                    picture.rangeLeft = range.left;
                    picture.rangeTop = range.top;
                    picture.rangeRight = range.right;
                    picture.rangeBottom = range.bottom;
                }
                const StoredRect stored = StoreRect(rect, orientation, h);
                picture.left = stored.left;
                picture.top = stored.top;
                picture.right = stored.right;
                picture.bottom = stored.bottom;
                ReadTurned(*frame, orientation, [&] { picture.rotation = frame->GetImageRotation(); });
                if (insert && IsDSCLayout())
                    picture.rotation = 1;
                picture.placement = frame->GetImagePlacement();
                picture.imageMode = frame->GetImageMode();
                picture.visible = visible;
            } else if (auto* line = dynamic_cast<CLineItem*>(item)) {
                record.type = ZAVDrawLine;
                ZAVLinePart& part = record.line;
                const int width = line->GetWidth(false, 0.0f);
                const std::int64_t lineH = rect.top == rect.bottom ? h - (std::int64_t{width} - 1) : h;
                const StoredRect stored = StoreRect(rect, orientation, lineH);
                part.x1 = stored.left;
                part.y1 = stored.top;
                part.x2 = stored.right;
                part.y2 = stored.bottom;
                part.width = width;
                const COLORREF color = line->GetColor();
                part.red = static_cast<std::uint8_t>(GetRValue(color));
                part.green = static_cast<std::uint8_t>(GetGValue(color));
                part.blue = static_cast<std::uint8_t>(GetBValue(color));
                part.visible = visible;
            } else if (auto* text = dynamic_cast<CMacroStringItem*>(item)) {
                // A text whose frame is gone has nothing to name it by.
                const CInsertImageFrameItem* owner = text->GetOwnerFrame();
                if (!owner)
                    continue;
                record.type = ZAVDrawMacroString;
                ZAVMacroStringPart& part = record.macroString;
                part.ownerFrameNumber = owner->GetFrameNumber();
                part.macroText = text->GetMacroText();
                const StoredRect stored = StoreRect(rect, orientation, h);
                part.left = stored.left;
                part.top = stored.top;
                part.right = stored.right;
                part.bottom = stored.bottom;
                ReadTurned(*text, orientation, [&] { part.direction = text->GetDirection(); });
                part.fontKey = owner->GetInfoFontKey();
                BoolCheck(FitsShiftJisField(part.fontKey, kFontKeyField), 0);
                part.fontSize = owner->GetInfoFontSize();
                const COLORREF color = owner->GetInfoTextColor();
                part.red = static_cast<std::uint8_t>(GetRValue(color));
                part.green = static_cast<std::uint8_t>(GetGValue(color));
                part.blue = static_cast<std::uint8_t>(GetBValue(color));
                part.visible = visible;
            } else if (auto* chars = dynamic_cast<CStringItem*>(item)) {
                record.type = ZAVDrawString;
                ZAVCharPart& part = record.chars;
                LOGFONT font;
                BoolCheck(chars->GetLogFont(&font), 0);
                part.faceName = font.lfFaceName;
                if (!part.faceName.empty() && part.faceName.front() == '@')
                    part.faceName.erase(0, 1);
                // A longer face or text would be cut into another one: refuse it.
                BoolCheck(FitsShiftJisField(part.faceName, kFaceNameField), 0);
                part.text = chars->GetText();
                BoolCheck(FitsShiftJisField(part.text, kCharTextField), 0);
                const StoredRect stored = StoreRect(rect, orientation, h);
                part.left = stored.left;
                part.top = stored.top;
                part.right = stored.right;
                part.bottom = stored.bottom;
                ReadTurned(*chars, orientation, [&] { part.direction = chars->GetDirection(); });
                part.fixedValue = 3;
                const auto split = [](COLORREF c, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
                    r = static_cast<std::uint8_t>(GetRValue(c));
                    g = static_cast<std::uint8_t>(GetGValue(c));
                    b = static_cast<std::uint8_t>(GetBValue(c));
                };
                split(chars->GetTextColor(), part.textRed, part.textGreen, part.textBlue);
                split(chars->GetShadowColor(), part.shadowRed, part.shadowGreen, part.shadowBlue);
                split(chars->GetBackColor(), part.backRed, part.backGreen, part.backBlue);
                part.noBackground = chars->HasBackColor() ? 0 : 1;
                if (chars->HasShadow()) {
                    const POINT offset = chars->GetShadowOffset();
                    part.shadowX = offset.x;
                    part.shadowY = offset.y;
                }
                part.fontHeight = font.lfHeight;
                part.style = (font.lfWeight == kBoldWeight ? 1 : 0) | (font.lfItalic ? 2 : 0);
                part.vertical = chars->IsVerticalText() ? 1 : 0;
                part.charSet = font.lfCharSet;
                part.visible = visible;
            } else {
                continue;
            }
            records.push_back(std::move(record));
        }
        script.SetDrawRecords(std::move(records));
    } catch (int) {
        return 0;
    }
    if (stagingFolder.empty()) {
        for (const FrameImageRename& rename : applied)
            rename.item->SetImageFileName(rename.path);
    } else if (renames) {
        *renames = std::move(applied);
    }
    return 1;
}
