#include "Core/TempFolders.h"

#include "Core/Files.h"
#include "Platform/FileSystem.h"
#include "Platform/Folders.h"

namespace {

std::string TempFolderNamed(const char* name, bool create)
{
    const std::string temp = GetTempFolder();
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
    const std::string temp = UserTempPath();
    std::string longForm;
    if (!temp.empty() && GetLongPath(longForm, temp, false))
        return longForm;
    return temp;
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
