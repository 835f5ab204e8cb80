#include "App/SystemLayoutFolderServices.h"

#include "App/LayoutFileNames.h"
#include "App/LayoutFolders.h"
#include "App/SiblingApp.h"
#include "App/UsmFileNames.h"
#include "Core/LocalizeScript.h"

namespace {

constexpr int kAllowedNameCharactersText = 149;

} // namespace

int SystemLayoutFolderServices::GetSiblingAppPath(std::string& path)
{
    return ::GetSiblingAppPath(path);
}

int SystemLayoutFolderServices::IsSiblingAppRunning()
{
    return ::IsSiblingAppRunning();
}

double SystemLayoutFolderServices::GetFileVersionString()
{
    return ::GetFileVersionString();
}

int SystemLayoutFolderServices::GetUDLFolder(std::string& folder)
{
    return ::GetUDLFolder(folder);
}

int SystemLayoutFolderServices::GetCommonUDLFolder(std::string& folder)
{
    return ::GetCommonUDLFolder(folder);
}

std::string SystemLayoutFolderServices::AllowedNameCharacters() const
{
    // Read at every check, like every other text of the file.
    std::string allowed;
    if (!CLocalizeScript(m_localizeIniPath).GetCaption(kAllowedNameCharactersText, allowed))
        allowed.clear();
    return allowed;
}

int SystemLayoutFolderServices::CheckLayoutFileName(const std::string& name)
{
    return ::CheckLayoutFileName(name, AllowedNameCharacters());
}

int SystemLayoutFolderServices::CheckNumberedLayoutFileName(const std::string& name)
{
    return ::CheckNumberedLayoutFileName(name, AllowedNameCharacters());
}

int SystemLayoutFolderServices::IsNamedByUsmInFolder(const std::string& path)
{
    return ::IsNamedByUsmInFolder(path);
}

int SystemLayoutFolderServices::IsInSiblingConfigUDLFolder(const std::string& path)
{
    return ::IsInSiblingConfigUDLFolder(path);
}

int SystemLayoutFolderServices::IsInUDLFolder(const std::string& path)
{
    return ::IsInUDLFolder(path);
}

int SystemLayoutFolderServices::IsInCommonUDLFolder(const std::string& path)
{
    return ::IsInCommonUDLFolder(path);
}
