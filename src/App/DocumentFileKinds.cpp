#include "App/DocumentFileKinds.h"

#include "App/AppSettings.h"
#include "App/CameraSetLoad.h"
#include "App/DSCUSMFile.h"
#include "App/SaveFileSystem.h"
#include "App/SaveJournal.h"
#include "App/StagedSave.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "Layout/ImageFrameItem.h"
#include "Platform/FileSystem.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <climits>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr const char* kThumbnailName = "THUMB.USF";
constexpr const char* kPictureWorkFolder = ".pictures";
constexpr int kCameraSetRefused = 2;

// Removes the frame-image staging of the editor's temporary folder at the end
// of a save, whatever the outcome.
class SaveImageCleanup
{
public:
    SaveImageCleanup() = default;
    ~SaveImageCleanup()
    {
        const std::string folder = GetTempSaveImageFolder(false);
        if (IsDirectory(folder))
            DeleteFolderTree(folder);
    }
    SaveImageCleanup(const SaveImageCleanup&) = delete;
    SaveImageCleanup& operator=(const SaveImageCleanup&) = delete;
};

// Writes the layout file P and its companion folder: pictures, thumbnail and
// script are made under fresh names beside them and swapped in together, so a
// failure at any step leaves the previous save as it was. 0 saved, 1 failed.
template <class Script, class Export, class Build>
int SaveWithCompanion(CZAVEditorDoc& document, ISaveFileSystem& files, const std::string& path,
                      Export exportImages, Build buildRecords)
{
    const SaveImageCleanup cleanup;
    try {
        const CLayoutManager* layout = document.GetLayoutManager();
        NullCheck(layout, 0);
        BoolCheck(layout->CheckItemImageFiles(), 0);
        const std::string companion = CZAVEditorDoc::StripExtension(path);
        BoolCheck(!companion.empty() && companion != path, 0);

        // Through a symbolic link the link's target is replaced and the link
        // stays; each staging lies beside its own target, on its file system.
        const std::string companionTarget = FollowSymbolicLinks(companion);
        const std::string fileTarget = FollowSymbolicLinks(path);
        BoolCheck(!companionTarget.empty() && !fileTarget.empty(), 0);

        StagingFolder staging(files);
        BoolCheck(staging.Make(companionTarget), 0);
        std::optional<StagingFolder> scriptStaging;
        StagingFolder* scriptBeside = &staging;
        if (GetFolderFromPath(fileTarget) != GetFolderFromPath(companionTarget)) {
            scriptStaging.emplace(files);
            BoolCheck(scriptStaging->Make(fileTarget), 0);
            scriptBeside = &*scriptStaging;
        }
        // The pictures are made inside the staging folder, on the target's
        // file system, so that placing one is a rename and an unchanged one
        // can be a link to the file it replaces.
        const std::string work = CombinePath(staging.Path(), kPictureWorkFolder);
        BoolCheck(CreateFolderPath(work), 0);
        std::vector<std::string> images;
        BoolCheck(exportImages(companion, images, work) == 1, 0);
        Script script;
        std::vector<FrameImageRename> renames;
        BoolCheck(buildRecords(script, images, staging.Path(), renames) == 1, 0);
        DeleteFolderTree(work);
        BoolCheck(!PathExists(work), 0);
        BoolCheck(document.WriteLayoutThumbnail(CombinePath(staging.Path(), kThumbnailName)) == 1, 0);
        const std::uint64_t capacity = GetFolderFilesSize(staging.Path());
        BoolCheck(capacity <= INT32_MAX, 0);
        script.SetCapacity(static_cast<std::int32_t>(capacity));
        script.SetThumbnail(CombinePath(companion, kThumbnailName));
        const std::string stagedScript = scriptBeside->SiblingFile(GetFileExtension(path));
        BoolCheck(!IsFile(stagedScript) && script.Write(stagedScript) == 1, 0);
        script.Clear();

        // The folder first and the script last, both recorded beside the
        // layout before either moves.
        SaveSwap swap(files, SaveJournalPath(path));
        BoolCheck(swap.Add(staging.Path(), companionTarget), 0);
        BoolCheck(swap.Add(stagedScript, fileTarget), 0);
        swap.RemoveWhenDone(staging.Path());
        if (scriptStaging)
            swap.RemoveWhenDone(scriptStaging->Path());
        BoolCheck(swap.Swap(), 0);
        const bool asideRemoved = swap.Finish();
        staging.Keep();
        if (scriptStaging)
            scriptStaging->Keep();
        for (const FrameImageRename& rename : renames) {
            rename.item->SetImageFileName(rename.path);
            rename.item->FollowCarriedPicture(rename.path);
        }
        // The new save is in place, but a copy of the previous one that stays
        // beside it must not pass for a clean save.
        BoolCheck(asideRemoved, 0);
    } catch (int) {
        return 1;
    }
    return 0;
}

struct KeptImageName
{
    CImageFrameItem* frame;
    std::string name;
};

std::vector<KeptImageName> NamedImageFrames(const CLayoutManager& layout)
{
    std::vector<KeptImageName> named;
    for (const auto& item : layout.GetItems())
        if (auto* frame = dynamic_cast<CImageFrameItem*>(item.get()))
            if (!frame->GetImageFileName().empty())
                named.push_back(KeptImageName{frame, frame->GetImageFileName()});
    return named;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return text;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void RemovePath(const std::string& path)
{
    if (IsDirectory(path))
        DeleteFolderTree(path);
    else if (IsFile(path))
        ForceDeleteFile(path);
}

// A name the kit gives for a file of the package, which must stay inside the
// folder it is joined to.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace

DocumentFileKinds::DocumentFileKinds() : DocumentFileKinds(MakeFramePackageKit, SystemSaveFileSystem())
{
}

DocumentFileKinds::DocumentFileKinds(PackageKitFactory kits, ISaveFileSystem& files)
    : m_kits(std::move(kits)), m_files(files)
{
}

void DocumentFileKinds::RecoverInterruptedSave(const std::string& path)
{
    const std::string extension = AsciiLower(GetFileExtension(path));
    std::vector<std::string> targets{path};
    if (extension == ".fdp") {
        targets.push_back(GetTempDecodeFolder(false));
    } else {
        targets.push_back(CZAVEditorDoc::StripExtension(path));
        if (extension == ".usm")
            for (const std::string& member : CameraSetScriptPaths(path))
                targets.push_back(member);
    }
    FinishInterruptedSave(m_files, path, targets);
}

int DocumentFileKinds::SaveZvdDocument(CZAVEditorDoc& document, const std::string& path)
{
    RecoverInterruptedSave(path);
    return SaveWithCompanion<CZAVScript>(
        document, m_files, path,
        [&](const std::string& companion, std::vector<std::string>& images, const std::string& work) {
            return document.ExportZvdFrameImages(companion, &images, work);
        },
        [&](CZAVScript& script, std::vector<std::string>& images, const std::string& staging,
            std::vector<FrameImageRename>& renames) {
            return document.BuildZvdRecords(script, path, &images, staging, &renames);
        });
}

int DocumentFileKinds::SaveUsdLayout(CZAVEditorDoc& document, const std::string& path, int printHandOver)
{
    RecoverInterruptedSave(path);
    return SaveWithCompanion<CUDLScript>(
        document, m_files, path,
        [&](const std::string& companion, std::vector<std::string>& images, const std::string& work) {
            return document.ExportUsdFrameImages(companion, &images, printHandOver, work);
        },
        [&](CUDLScript& script, std::vector<std::string>& images, const std::string& staging,
            std::vector<FrameImageRename>& renames) {
            if (document.IsDSCLayout())
                return document.BuildDscUsdRecords(script, path, &images, printHandOver, staging, &renames);
            return document.BuildUsdRecords(script, path, &images, printHandOver, staging, &renames);
        });
}

int DocumentFileKinds::LoadZvdDocument(CZAVEditorDoc& document, const std::string& path)
{
    try {
        CZAVScript script;
        if (!script.Read(path))
            return 0;
        const int editable = document.Settings().GetEditableFrameType();
        const bool camera = script.GetDSCFlag() != 0;
        if ((editable == 1 && !camera) || (editable == 2 && camera))
            return -1;
        const int built = document.BuildFromZvdScript(script);
        script.Clear();
        if (built != 1)
            return 0;
        document.RememberLayoutThumbnail(CombinePath(CZAVEditorDoc::StripExtension(path), kThumbnailName));
        return 1;
    } catch (int) {
        return 0;
    }
}

int DocumentFileKinds::LoadUsdLayout(CZAVEditorDoc& document, const std::string& path)
{
    try {
        CUDLScript script;
        if (!script.Read(path))
            return 0;
        const int built = document.BuildFromLayoutScript(script);
        script.Clear();
        if (built != 0)
            return 0;
        document.RememberLayoutThumbnail(CombinePath(CZAVEditorDoc::StripExtension(path), kThumbnailName));
        return 1;
    } catch (int) {
        return 0;
    }
}

int DocumentFileKinds::SaveFdpLayout(CZAVEditorDoc& document, const std::string& path)
{
    CLayoutManager* layout = document.GetLayoutManager();
    if (!layout)
        return 1;
    RecoverInterruptedSave(path);
    const std::vector<KeptImageName> kept = NamedImageFrames(*layout);
    const std::string encode = GetTempEncodeFolder(false);
    RemovePath(encode);
    CreateFolderPath(encode);

    int result = 0;
    try {
        const bool camera = document.IsDSCLayout();
        const std::string layoutPath =
            CombinePath(encode, GetFileNameFromPath(path, false) + (camera ? ".usm" : ".usd"));
        const int saved = camera ? document.SaveUsmLayout(layoutPath) : document.SaveUsdLayout(layoutPath, 0);
        if (saved != 0)
            throw saved == kCameraSetRefused ? kCameraSetRefused : 1;

        // The package is made beside the target and takes its place only when
        // complete, so the previous package stays until then.
        // Through a symbolic link the link's target is replaced and the link stays.
        const std::string target = FollowSymbolicLinks(path);
        BoolCheck(!target.empty(), 1);
        StagingFolder staging(m_files);
        BoolCheck(staging.Make(target), 1);
        const std::string package = CombinePath(staging.Path(), GetFileNameFromPath(path, true));
        const std::unique_ptr<IPackageKit> kit = m_kits();
        NullCheck(kit.get(), 1);
        // A camera set's index is named "_0" whatever the digit of the
        // package's name; the kit reads the index that was written.
        const int packed = camera ? kit->PackageDSC(CameraSetIndexPath(layoutPath), package)
                                  : kit->Package({layoutPath}, package);
        BoolCheck(packed == 0, 1);
        BoolCheck(IsFile(package), 1);

        // The work folder is the program's own and every open builds it
        // anew: its swap needs no journal. The package replaces the previous
        // one in a single rename.
        const std::string decode = document.GetDecodeFolder();
        SaveSwap swap(m_files, std::string());
        BoolCheck(swap.Add(encode, decode), 1);
        swap.RemoveWhenDone(staging.Path());
        BoolCheck(swap.Swap(), 1);
        BoolCheck(m_files.Rename(package, target), 1);
        m_files.SyncFolder(GetFolderFromPath(target));
        const bool asideRemoved = swap.Finish();
        staging.Keep();
        // The files the layout was opened with lay in the folder just
        // replaced; what is carried is read from the new save from now on.
        for (const KeptImageName& named : NamedImageFrames(*layout)) {
            named.frame->SetImageFileName(ReplaceAll(named.frame->GetImageFileName(), encode, decode));
            named.frame->FollowCarriedPicture(named.frame->GetImageFileName());
        }
        if (!camera)
            document.FollowLayoutThumbnail(CombinePath(
                CZAVEditorDoc::StripExtension(CombinePath(decode, GetFileNameFromPath(layoutPath, true))),
                kThumbnailName));
        if (!asideRemoved)
            return 1;
    } catch (int code) {
        result = code == kCameraSetRefused ? kCameraSetRefused : 1;
    }
    if (result != 0) {
        for (const KeptImageName& named : kept)
            named.frame->SetImageFileName(named.name);
        RemovePath(encode);
    }
    return result;
}

int DocumentFileKinds::LoadFdpLayout(CZAVEditorDoc& document, const std::string& path)
{
    const std::string decode = document.GetDecodeFolder();
    if (IsDirectory(decode))
        DeleteFolderTree(decode);
    CreateFolderPath(decode);

    const std::unique_ptr<IPackageKit> kit = m_kits();
    if (!kit)
        return 0;
    kit->Open(path);
    std::int8_t classification = 0;
    if (kit->GetClassification(classification) != 0)
        return 0;
    const int editable = document.Settings().GetEditableFrameType();
    std::string name;
    switch (classification) {
    case 0:
        if (editable == 1)
            return -1;
        if (kit->GetLayoutFileName(0, name) != 0 || !IsPlainFileName(name))
            return 0;
        break;
    case 1:
        return -1;
    case 2:
        if (editable == 2)
            return -1;
        if (kit->GetIndexFileName(name) != 0 || !IsBareMemberName(name))
            return 0;
        break;
    default:
        return 0;
    }
    const std::unique_ptr<IPackageKit> unpacker = m_kits();
    int warning = 0;
    if (!unpacker || unpacker->Unpackage(path, decode, warning) != 0)
        return 0;
    if (classification == 2) {
        document.SetDSCLayout(1);
        return document.LoadUsmLayout(CombinePath(decode, name));
    }
    document.SetDSCLayout(0);
    return document.LoadUsdLayout(CombinePath(decode, name));
}

int DocumentFileKinds::LoadUsmLayout(CZAVEditorDoc& document, const std::string& path)
{
    return LoadCameraLayoutSet(document, path);
}

int DocumentFileKinds::SaveUsmLayout(CZAVEditorDoc& document, const std::string& path)
{
    const std::string index = CameraSetIndexPath(path);
    if (!index.empty())
        RecoverInterruptedSave(index);
    try {
        CDSCUSMFile set;
        set.SetFileSystem(m_files);
        const std::string staging = GetTempSaveUSMFolder(false);
        const std::string source = staging + "usmtemp.usd";
        BoolCheck(set.Init(&document, source, path) == 1, 0);
        // The layout script names its text image by the set's own six
        // characters, so that every member names the one the set holds.
        document.SetCameraSetPrefix(set.GetSetPrefix());
        RemovePath(staging);
        BoolCheck(document.SaveUsdLayout(source, 0) == 0, 0);
        const int saved = set.Save();
        if (saved < 0)
            return kCameraSetRefused;
        return saved == 1 ? 0 : 1;
    } catch (int) {
        return 1;
    }
}
