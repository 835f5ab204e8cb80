#include "App/CameraSetLoad.h"

#include "App/DocumentBuildMessages.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "ImageProcessing/Image.h"
#include "Script/ScriptPath.h"
#include "Script/UDLScript.h"
#include "Script/USMFile.h"

namespace {

// Big enough to tell the picture's sides apart; the pixels are not used.
constexpr int kProbeBox = 64;
constexpr const char* kThumbnailName = "THUMB.USF";

} // namespace

bool ScaledPictureProbe::ReadPictureSize(const std::string& path, SIZE& size)
{
    CImage image;
    SIZE picture{0, 0};
    double scale = 0.0;
    if (image.LoadFileScaled(path, kProbeBox, kProbeBox, &picture, &scale, 0xFFFFFF, 1, nullptr) != 0 ||
        !image.IsValid())
        return false;
    size = picture;
    return true;
}

bool IsBareMemberName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

int LoadCameraLayoutSet(CZAVEditorDoc& document, const std::string& indexPath, ICameraPictureProbe* probe)
{
    document.SetDSCLayout(1);
    CUSMFile index;
    if (index.ReadIndex(indexPath) != 1)
        return 0;
    (void)index.GetClassification(); // every classification is accepted
    const std::string folder = ScriptFolderOf(indexPath);
    const CameraSetPictures pictures{folder, probe};
    std::vector<std::string> seen;
    bool corrected = false;
    CUDLScript script;
    for (int i = index.GetCount() - 1; i >= 0; --i) {
        const std::string name = index.GetFilename(i);
        if (!IsBareMemberName(name))
            return 0;
        // The one rule of every stored reference: exact, else the one entry
        // that matches without regard to case.
        const std::string member = LookUpStoredReference(folder, name).path;
        if (!IsFile(member))
            return 0;
        if (script.Read(member) != 1)
            return 0;
        const int checked = document.CheckCameraLayoutScript(&script, &seen, &pictures);
        if (checked == CameraScriptCorrected)
            corrected = true;
        else if (checked != CameraScriptAccepted)
            return 0;
        if (i != 0)
            script.Clear();
    }
    seen.clear();
    BoolCheck(document.SetTitle(index.GetTitle()), 0);
    BoolCheck(document.SetComment(index.GetComment()), 0);
    const int built = document.BuildFromCameraLayoutScript(&script, &pictures);
    if (built == CameraScriptCorrected)
        corrected = true;
    else if (built != CameraScriptAccepted)
        return 0;
    // The set's thumbnails show its page only when nothing was corrected.
    const std::string images = GetFileNameFromPath(indexPath, false) + "/";
    const auto inSet = [&](const std::string& name) {
        return corrected ? std::string() : LookUpStoredReference(folder, images + name).path;
    };
    document.RememberLayoutThumbnail(inSet(kThumbnailName), CZAVEditorDoc::ThumbnailKind::CameraSet);
    document.RememberCameraThumbnail(inSet(GetFileNameFromPath(indexPath, false) + ".ctf"));
    if (corrected) {
        BuildMessages messages;
        messages.corrected = true;
        messages.Show();
    }
    return 1;
}
