// The document's side of camera layout sets: checking and building a camera
// layout script, the thumbnails a set opened unchanged keeps, and the byte
// total of a written set.
#include "App/CameraSetLoad.h"
#include "App/CarriedFrameImage.h"
#include "App/CtfFile.h"
#include "App/DSCUSMFile.h"
#include "App/SaveChecks.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/PictureLimits.h"
#include "ImageProcessing/Image.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/PaperTable.h"
#include "Script/UDLScript.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

bool IsCameraPictureSize(const SIZE& size)
{
    return (size.cx == 1024 && size.cy == 704) || (size.cx == 704 && size.cy == 1024);
}

// Both corners within the rectangle grown by one unit at the right and bottom.
bool CornersInside(const UDLPicturePart& p, const RECT& area)
{
    const auto inside = [&area](std::int32_t x, std::int32_t y) {
        return x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
    };
    return inside(p.left, p.top) && inside(p.right, p.bottom);
}

bool SameRect(const UDLPicturePart& p, const RECT& r)
{
    return p.left == r.left && p.top == r.top && p.right == r.right && p.bottom == r.bottom;
}

// The existing file a picture names, found without regard to case, and, for
// a set, only inside its folder; empty otherwise.
std::string PictureInSet(const std::string& path, const CameraSetPictures* set)
{
    if (path.empty())
        return {};
    const std::string normal = std::filesystem::path(path).lexically_normal().string();
    const auto existing = [&normal] {
        std::string found = LookUpStoredReference(std::string_view(), normal).path;
        return IsFile(found) ? found : std::string();
    };
    if (!set)
        return existing();
    std::string folder = std::filesystem::path(set->folder).lexically_normal().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    if (normal.size() <= folder.size() || normal.compare(0, folder.size(), folder) != 0)
        return {};
    return existing();
}

} // namespace

int CZAVEditorDoc::CheckCameraLayoutScript(CUDLScript* script, std::vector<std::string>* seen,
                                           const CameraSetPictures* set)
{
    ScaledPictureProbe scaled;
    ICameraPictureProbe& pictures = set && set->probe ? *set->probe : scaled;
    bool corrected = false;
    try {
        NullCheck(script, 0);
        const std::pair<int, int> pair{script->GetPaperSize(), script->GetMarginMode()};
        BoolCheck(std::find(kCameraPaperVariants.begin(), kCameraPaperVariants.end(),
                            DSCPaperVariant{pair.first, pair.second}) != kCameraPaperVariants.end(),
                  0);
        BoolCheck(script->GetDirection() == 0 || script->GetDirection() == 1, 0);
        const SIZE paper = GetPaperSizeFromTable(pair.first, 0, script->GetRollPaperLength());
        const RECT printable = CalcPrintableRect(paper.cx, paper.cy, 0, GetModeMargins(pair.second, 0));
        int counted = 0;
        for (int i = 0; i < script->GetDrawRecordCount(); ++i) {
            UDLDrawRecord* record = script->GetDrawRecord(i);
            NullCheck(record, 0);
            if (record->type == UDLDrawText) {
                corrected = true;
                continue;
            }
            BoolCheck(record->type == UDLDrawPicture, 0);
            UDLPicturePart& picture = record->picture;
            BoolCheck(counted < 2, 0);
            BoolCheck(picture.frameNumber == (counted == 0 ? 1 : 0), 0);
            const bool background = picture.frameNumber == 0;
            if (picture.placement != 0) {
                picture.placement = 0;
                corrected = true;
            }
            if (picture.imageMode != 4) {
                picture.imageMode = 4;
                corrected = true;
            }
            if (background && picture.rotation != 0 && picture.rotation != 1) {
                corrected = true;
            } else if (!background && picture.rotation != 1) {
                picture.rotation = 1;
                corrected = true;
            }
            if (picture.bottom == -1) {
                if (m_layout.GetOrientation() == 1) {
                    picture.left = printable.top;
                    picture.top = printable.left;
                    picture.right = printable.bottom;
                    picture.bottom = printable.right;
                } else {
                    picture.left = printable.left;
                    picture.top = printable.top;
                    picture.right = printable.right;
                    picture.bottom = printable.bottom;
                }
                corrected = true;
            }
            BoolCheck(CornersInside(picture, printable), 0);
            if (!SameRect(picture, printable))
                corrected = true;
            const std::string file = PictureInSet(picture.fileName, set);
            if (background && file.empty()) {
                corrected = true;
                continue;
            }
            if (!picture.fileName.empty()) {
                BoolCheck(!file.empty(), 0);
                const std::string folded = AsciiLower(picture.fileName);
                if (!seen || std::find(seen->begin(), seen->end(), folded) == seen->end()) {
                    SIZE size{0, 0};
                    BoolCheck(pictures.ReadPictureSize(file, size), 0);
                    BoolCheck(!IsPictureTooSmall(size.cx, size.cy), 0);
                    if (!IsCameraPictureSize(size))
                        corrected = true;
                    if (seen)
                        seen->push_back(folded);
                }
            }
            ++counted;
        }
        BoolCheck(counted > 0, 0);
    } catch (int code) {
        return code == CameraScriptCorrected ? CameraScriptCorrected : CameraScriptFailed;
    }
    return corrected ? CameraScriptCorrected : CameraScriptAccepted;
}

int CZAVEditorDoc::BuildFromCameraLayoutScript(CUDLScript* script, const CameraSetPictures* set)
{
    bool corrected = false;
    try {
        NullCheck(script, 0);
        CLayoutManager& layout = m_layout;
        BoolCheck(SetAuthor(script->GetAuthor()), 0);
        layout.SetPaperOrientation(script->GetDirection(), false);
        const RECT printable = layout.GetPrintableRect();
        int pictures = 0;
        for (int i = 0; i < script->GetDrawRecordCount(); ++i) {
            const UDLDrawRecord* record = script->GetDrawRecord(i);
            NullCheck(record, 0);
            if (record->type == UDLDrawText) {
                corrected = true;
                continue;
            }
            BoolCheck(record->type == UDLDrawPicture, 0);
            const UDLPicturePart& picture = record->picture;
            BoolCheck(pictures < 2, 0);
            if (pictures++ == 0) {
                BoolCheck(picture.frameNumber == 1, 0);
                BoolCheck(AddCameraInsertFrame(), 0);
                continue;
            }
            BoolCheck(picture.frameNumber == 0, 0);
            const std::string file = PictureInSet(picture.fileName, set);
            if ((picture.rotation != 0 && picture.rotation != 1) || file.empty()) {
                corrected = true;
                continue;
            }
            auto item = std::make_unique<CBackgroundImageFrameItem>();
            item->SetLabel(GetFileNameFromPath(file, true));
            item->SetRect(printable);
            BoolCheck(item->LoadImage(file) == 0, 0);
            if (!IsCameraPictureSize(item->GetPictureSize())) {
                corrected = true;
                continue;
            }
            item->SetImageMode(picture.imageMode);
            item->SetImagePlacement(picture.placement);
            item->SetImageRotation(picture.rotation);
            if (layout.GetOrientation() == 1)
                item->Rotate(false);
            item->SetDrawSuppressed(false);
            BoolCheck(layout.AddItem(0, std::move(item)), 0);
        }
        BoolCheck(pictures > 0, 0);
        const RECT imageRect = layout.GetItemImageRect();
        const float imageScale = layout.GetItemImageScale();
        for (const auto& item : layout.GetItems()) {
            item->SetItemImageRect(imageRect);
            item->SetItemImageScale(imageScale);
        }
        RefreshView(true);
    } catch (int code) {
        return code == CameraScriptCorrected ? CameraScriptCorrected : CameraScriptFailed;
    }
    return corrected ? CameraScriptCorrected : CameraScriptAccepted;
}

std::optional<std::vector<char>> CZAVEditorDoc::TakeOpenedThumbnail(ThumbnailKind kind)
{
    if (kind != m_openedThumbnailKind)
        return std::nullopt;
    CImage image;
    if (!DrawLayoutThumbnail(image))
        return std::nullopt;
    return m_openedThumbnail.Take(image);
}

void CZAVEditorDoc::RememberCameraThumbnail(const std::string& path)
{
    m_openedCameraThumbnail.Forget();
    // A frame image drawn anew would not be the bytes the thumbnail was made from.
    std::vector<char> frameImage;
    if (HasCameraDrawnContent(m_layout)) {
        auto carried = CarriedFrameImage(m_layout);
        if (!carried)
            return;
        frameImage = std::move(*carried);
    }
    m_openedCameraThumbnail.Remember(path, CtfSourceDigest(m_layout, frameImage));
}

std::optional<std::vector<char>>
CZAVEditorDoc::TakeOpenedCameraThumbnail(const std::string& frameImagePath) const
{
    std::vector<char> frameImage;
    if (!frameImagePath.empty()) {
        std::ifstream in(frameImagePath, std::ios::binary);
        if (!in)
            return std::nullopt;
        frameImage.assign(std::istreambuf_iterator<char>(in), {});
        if (in.bad())
            return std::nullopt;
    }
    return m_openedCameraThumbnail.Take(CtfSourceDigest(m_layout, frameImage));
}

long long CZAVEditorDoc::GetUsmTotalFileSize(const std::string& path) const
{
    // Added as unsigned 32-bit numbers: a set is far below the limit.
    auto total = static_cast<std::uint32_t>(GetFileSizeOfPath(path));
    CDSCUSMFile set;
    std::vector<std::string> names;
    // Naming the members only reads the document.
    if (set.Init(const_cast<CZAVEditorDoc*>(this), std::string(), path) == 1 &&
        set.MakeUsdFileName(names) == 1) {
        const std::string folder = GetFolderFromPath(path);
        for (const std::string& name : names) {
            const std::string member = folder.empty() ? name : CombinePath(folder, name);
            if (IsFile(member))
                total += static_cast<std::uint32_t>(GetFileSizeOfPath(member));
        }
    }
    total += static_cast<std::uint32_t>(GetFolderFilesSize(StripExtension(path)));
    return total;
}
