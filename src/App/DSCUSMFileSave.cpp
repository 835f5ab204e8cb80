// Writing a camera layout set: the text image and the camera thumbnail in the
// set's temporary folder, the members and the index beside it, the byte total,
// and the staged copy to the destination that keeps the previous set whole
// until the new one is complete.
#include "App/CarriedFrameImage.h"
#include "App/CtfFile.h"
#include "App/DSCUSMFile.h"
#include "App/SaveChecks.h"
#include "App/SaveFileSystem.h"
#include "App/SaveJournal.h"
#include "App/StagedSave.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegFile.h"
#include "Platform/AtomicFileWriter.h"
#include "Platform/FileSystem.h"
#include "Platform/ProfileReader.h"
#include "Platform/ProfileWriter.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace {

constexpr const char* kThumbnailName = "THUMB.USF";
constexpr int kFirstTextImageQuality = 100;
constexpr int kTextImageSampling = 1;
constexpr int kCtfQuality = 70;
constexpr int kThumbSampling = 1;
constexpr int kThumbQuality = 90;
// Raised when no quality brings the text image under the limit.
constexpr int kTextImageTooLarge = 2;

void Require(int result)
{
    if (result != 1)
        throw int{result};
}

std::string InFolder(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : CombinePath(folder, name);
}

// Through the atomic writer, so that a full or pulled card fails the copy
// without leaving a part of the file.
bool CopyWholeFile(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return false;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        return false;
    return WriteFileAtomically(to, bytes.data(), bytes.size());
}

bool IsSetImageFile(const std::string& name)
{
    const std::string extension = AsciiLower(GetFileExtension(name));
    return extension == ".eff" || extension == ".ctf" || extension == ".usf";
}

// The files (not folders) directly in the folder whose names pass, sorted.
std::vector<std::string> FileNamesIn(const std::string& folder, bool (*wanted)(const std::string&))
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kind;
        if (!it->is_regular_file(kind))
            continue;
        const std::string name = it->path().filename().string();
        if (wanted(name))
            names.push_back(name);
    }
    BoolCheck(!error, 0);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

int CDSCUSMFile::Save()
{
    int result = 1;
    try {
        NullCheck(m_editorDocument, 0);
        std::string temp;
        Require(GetTempFolder(temp));
        if (!IsDirectory(temp))
            BoolCheck(CreateFolderPath(temp), 0);
        int quality = kFirstTextImageQuality;
        if (m_renderFlag == 1)
            RenderTextImage(std::string(), quality);
        std::string ctfName;
        BoolCheck(MakeCtfFileName(ctfName), 0);
        m_cameraThumbnailPath = CombinePath(temp, ctfName);
        BoolCheck(WriteCtf(m_cameraThumbnailPath, kCtfQuality) == 1, 0);
        BoolCheck(WriteThumbIndex() == 1, 0);
        // The shared steps, with the total required too: an index left at 0
        // would tell the camera nothing of the set's size.
        Require(Export());
        Require(TakeTitleAndComment());
        Require(WriteIndex());
        Require(FinishIndex());

        if (ReadProfileInt(m_tempIndexPath, "HEADER", "HdCapability", 0) > kCameraSetSizeLimit) {
            if (m_renderFlag == 1) {
                RenderTextImage(m_tempIndexPath, quality);
                // Each member's total counted the first, larger text image.
                for (const std::string& member : m_header.fileNames)
                    Require(UpdateUsdCapacity(member));
            }
            Require(FinishIndex());
        }
        Require(CopyPackageFiles());
    } catch (int code) {
        result = code == kTextImageTooLarge ? -1 : 0;
    } catch (enumErrorID) {
        result = 0;
    } catch (const std::bad_alloc&) {
        result = 0;
    }
    const std::string exportFolder = GetFolderFromPath(m_tempIndexPath);
    if (!m_tempIndexPath.empty() && IsDirectory(exportFolder))
        DeleteFolderTree(exportFolder);
    return result;
}

void CDSCUSMFile::RenderTextImage(const std::string& indexPath, int& quality)
{
    NullCheck(m_editorDocument, 0);
    // A set reopened unchanged keeps its frame image; the file was within the
    // limit when it was written, and a set over it now is rendered smaller.
    if (indexPath.empty()) {
        if (const auto carried = CarriedFrameImage(*m_editorDocument->GetLayoutManager())) {
            BoolCheck(WriteFileAtomically(m_textImagePath, carried->data(), carried->size()), 0);
            return;
        }
    }
    const int rendered = m_editorDocument->GetLayoutManager()->RenderStringItems(
        m_textImagePath, indexPath, kTextImageSampling, &quality, 1);
    if (rendered == -3)
        throw int{kTextImageTooLarge};
    BoolCheck(rendered >= 0, 0);
}

int CDSCUSMFile::FinishIndex()
{
    try {
        BoolCheck(!m_tempIndexPath.empty(), 0);
        BoolCheck(WriteProfileValue(m_tempIndexPath, "HEADER", "HdCapability", "0"), 0);
        std::string temp;
        Require(GetTempFolder(temp));
        std::uint64_t total = GetFolderFilesSize(temp) + GetFileSizeOfPath(m_tempIndexPath);
        for (const std::string& member : m_header.fileNames)
            total += GetFileSizeOfPath(member);
        // The number replaces the one character "0", as in the members.
        const std::string first = std::to_string(total);
        const std::string second = std::to_string(total + first.size() - 1);
        total += second.size() - 1;
        BoolCheck(total <= static_cast<std::uint64_t>(INT32_MAX), 0);
        BoolCheck(WriteProfileValue(m_tempIndexPath, "HEADER", "HdCapability", std::to_string(total)), 0);
    } catch (int code) {
        return code;
    }
    return 1;
}

int CDSCUSMFile::WriteCtf(const std::string& path, int quality)
{
    if (!m_editorDocument || path.empty())
        return 0;
    if (IsFile(path) && !ForceDeleteFile(path))
        return 0;
    if (const auto carried =
            m_editorDocument->TakeOpenedCameraThumbnail(m_renderFlag == 1 ? m_textImagePath : std::string()))
        return WriteFileAtomically(path, carried->data(), carried->size()) ? 1 : 0;
    CCtfFile ctf;
    ctf.Init(m_editorDocument->GetLayoutManager(), path, m_textImagePath, quality);
    return ctf.Make() == 1 ? 1 : 0;
}

int CDSCUSMFile::WriteThumbIndex()
{
    std::string temp;
    if (GetTempFolder(temp) != 1 || m_sourceScriptPath.empty() || !m_editorDocument)
        return 0;
    // Decoding and encoding again would change a thumbnail the page still matches.
    if (const auto carried = m_editorDocument->TakeOpenedThumbnail(CZAVEditorDoc::ThumbnailKind::CameraSet))
        return WriteFileAtomically(CombinePath(temp, kThumbnailName), carried->data(), carried->size()) ? 1
                                                                                                        : 0;
    // The thumbnail the document wrote beside the source script.
    const std::string source = CombinePath(CZAVEditorDoc::StripExtension(m_sourceScriptPath), kThumbnailName);
    CImage image;
    if (image.LoadJpeg(source) != ImageFileOk || !image.IsValid())
        return 0;
    return CJpegFile().WriteImage(CombinePath(temp, kThumbnailName), &image, kThumbSampling, kThumbQuality) ==
                   ImageFileOk
               ? 1
               : 0;
}

int CDSCUSMFile::CopyPackageFiles()
{
    ISaveFileSystem& files = m_files ? *m_files : SystemSaveFileSystem();
    try {
        std::string temp;
        Require(GetTempFolder(temp));
        BoolCheck(IsDirectory(temp), 0);
        std::string imageFolder;
        BoolCheck(GetMemberFolder(imageFolder), 0);
        const std::string destination = GetFolderFromPath(m_indexPath);

        // Everything is copied under staging names first: a card that fills
        // up or is pulled out meanwhile costs only the staging.
        StagingFolder staging(files);
        BoolCheck(staging.Make(m_indexPath), 0);
        // An image folder reached through a symbolic link is replaced where
        // the link leads, staged beside it on its own file system.
        const std::string imageTarget = FollowSymbolicLinks(imageFolder);
        BoolCheck(!imageTarget.empty(), 0);
        std::optional<StagingFolder> imageStaging;
        std::string imageBase = staging.Path();
        if (GetFolderFromPath(imageTarget) != GetFolderFromPath(imageFolder)) {
            imageStaging.emplace(files);
            BoolCheck(imageStaging->Make(imageTarget), 0);
            imageBase = imageStaging->Path();
        }
        const std::string stagedImages = CombinePath(imageBase, GetFileNameFromPath(imageFolder, true));
        BoolCheck(CreateFolderPath(stagedImages), 0);
        for (const std::string& name : FileNamesIn(temp, IsSetImageFile))
            BoolCheck(CopyWholeFile(CombinePath(temp, name), CombinePath(stagedImages, name)), 0);
        // The members, then the index: only what this set wrote goes to the card.
        std::vector<std::string> setFiles;
        for (const std::string& member : m_header.fileNames)
            setFiles.push_back(GetFileNameFromPath(member, true));
        setFiles.push_back(GetFileNameFromPath(m_tempIndexPath, true));
        const std::string exportFolder = GetFolderFromPath(m_tempIndexPath);
        for (const std::string& name : setFiles)
            BoolCheck(CopyWholeFile(InFolder(exportFolder, name), CombinePath(staging.Path(), name)), 0);

        // Into place: the image folder first and the index last, so that no
        // index names files that are not there yet; all recorded beside the
        // index first, so that a card pulled or a crash mid-way is completed
        // or undone when the set is next opened or registered. A member
        // reached through a symbolic link is replaced where the link leads,
        // from a copy staged beside it on its own file system.
        std::vector<std::unique_ptr<StagingFolder>> besideLinks;
        SaveSwap swap(files, SaveJournalPath(m_indexPath));
        BoolCheck(swap.Add(stagedImages, imageTarget), 0);
        for (const std::string& name : setFiles) {
            const std::string target = InFolder(destination, name);
            const std::string real = FollowSymbolicLinks(target);
            BoolCheck(!real.empty(), 0);
            std::string staged = CombinePath(staging.Path(), name);
            if (real != target) {
                auto& beside = besideLinks.emplace_back(std::make_unique<StagingFolder>(files));
                BoolCheck(beside->Make(real), 0);
                const std::string copy = CombinePath(beside->Path(), GetFileNameFromPath(real, true));
                BoolCheck(CopyWholeFile(staged, copy), 0);
                swap.RemoveWhenDone(beside->Path());
                staged = copy;
            }
            BoolCheck(swap.Add(staged, real), 0);
        }
        swap.RemoveWhenDone(staging.Path());
        if (imageStaging)
            swap.RemoveWhenDone(imageStaging->Path());
        BoolCheck(swap.Swap(), 0);
        const bool asideRemoved = swap.Finish();
        staging.Keep();
        if (imageStaging)
            imageStaging->Keep();
        // The set is in place, but a copy of the previous one that stays
        // beside it must not pass for a clean save.
        BoolCheck(asideRemoved, 0);
    } catch (int code) {
        return code;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int CDSCUSMFile::MakeCameraFileNames()
{
    try {
        BoolCheck(IsFile(m_indexPath), 0);
        std::vector<std::string> names;
        Require(MakeUsdFileName(names));
        const std::string destination = GetFolderFromPath(m_indexPath);
        for (const std::string& name : names)
            BoolCheck(IsFile(InFolder(destination, name)), 0);
        std::string imageFolder;
        BoolCheck(GetMemberFolder(imageFolder), 0);
        // A set without drawn content has no text image.
        if (m_renderFlag == 1)
            BoolCheck(IsFile(CombinePath(imageFolder, GetSetPrefix() + ".eff")), 0);
        std::string ctfName;
        BoolCheck(MakeCtfFileName(ctfName), 0);
        BoolCheck(IsFile(CombinePath(imageFolder, ctfName)), 0);
        BoolCheck(IsFile(CombinePath(imageFolder, kThumbnailName)), 0);
    } catch (int code) {
        return code;
    }
    return 1;
}
