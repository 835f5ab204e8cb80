#include "Core/TempFolders.h"

#include "Core/Files.h"
#include "Platform/FileSystem.h"
#include "Platform/Folders.h"

namespace {

// Without `create` nothing is made: asking where a file would lie must not
// leave the user's temporary folder behind after the program cleared it.
std::string TempRoot(bool create)
{
    const std::string temp = UserTempPath(create);
    std::string longForm;
    if (!temp.empty() && GetLongPath(longForm, temp, false))
        return longForm;
    return temp;
}

std::string TempFolderNamed(const char* name, bool create)
{
    const std::string temp = TempRoot(create);
    if (temp.empty()) // never fall back to a folder under "/"
        return {};
    std::string path = temp + '/' + name;
    if (create)
        CreateFolderPath(path);
    return path;
}

std::string UniqueFileIn(const std::string& folder)
{
    return CreateUniqueFile(folder, "zvd", ".tmp");
}

} // namespace

std::string GetTempFolder()
{
    return TempRoot(true);
}

std::string GetTempImageFolder(bool create)
{
    return TempFolderNamed("ZAVDTempImage/", create);
}

std::string GetTempSaveImageFolder(bool create)
{
    return TempFolderNamed("ZAVDTempSaveImage/", create);
}

std::string GetTempClipFolder(bool create)
{
    return TempFolderNamed("ZAVDTempClip/", create);
}

std::string GetTempDecodeFolder(bool create)
{
    return TempFolderNamed("ZAVDTempDecode", create);
}

std::string GetTempEncodeFolder(bool create)
{
    return TempFolderNamed("ZAVDTempEncode", create);
}

std::string GetTempPackageFolder(bool create)
{
    return TempFolderNamed("ZAVDTempPackage", create);
}

std::string GetTempInsertFrameImageFolder(bool create)
{
    return TempFolderNamed("ZAVDTempInsertFrameImage/", create);
}

std::string GetTempSaveUSMFolder(bool create)
{
    return TempFolderNamed("ZAVTempSaveUSM/", create);
}

std::string GetTempImageFileName(bool create)
{
    return UniqueFileIn(GetTempImageFolder(create));
}

std::string GetTempSaveImageFileName(bool create)
{
    return UniqueFileIn(GetTempSaveImageFolder(create));
}

std::string GetTempClipFileName(bool create)
{
    return UniqueFileIn(GetTempClipFolder(create));
}

void RemoveTempWorkFolders()
{
    // The chosen insert-frame picture's folder is not among them: the next
    // start takes that picture again.
    using Getter = std::string (*)(bool);
    const Getter work[] = {GetTempImageFolder,  GetTempSaveImageFolder, GetTempClipFolder,
                           GetTempDecodeFolder, GetTempEncodeFolder,    GetTempPackageFolder,
                           GetTempSaveUSMFolder};
    for (Getter folder : work) {
        const std::string path = folder(false);
        if (!path.empty() && IsDirectory(path))
            DeleteFolderTree(path);
    }
}

void RemoveTempFolderIfEmpty()
{
    const std::string temp = TempRoot(false);
    if (!temp.empty() && IsDirectory(temp))
        RemoveEmptyFolder(temp);
}
