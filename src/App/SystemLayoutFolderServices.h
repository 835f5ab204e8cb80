// The folder and name services of the installed editor: the photo-printing
// application from its configuration file, the shared folders, the name rules
// with the allowed characters of the localisation file, the set indexes.
#pragma once

#include "App/LayoutFolderServices.h"

class SystemLayoutFolderServices : public ILayoutFolderServices
{
public:
    explicit SystemLayoutFolderServices(std::string localizeIniPath)
        : m_localizeIniPath(std::move(localizeIniPath))
    {
    }

    int GetSiblingAppPath(std::string& path) override;
    int IsSiblingAppRunning() override;
    double GetFileVersionString() override;
    int GetUDLFolder(std::string& folder) override;
    int GetCommonUDLFolder(std::string& folder) override;
    int CheckLayoutFileName(const std::string& name) override;
    int CheckNumberedLayoutFileName(const std::string& name) override;
    int IsNamedByUsmInFolder(const std::string& path) override;
    int IsInSiblingConfigUDLFolder(const std::string& path) override;
    int IsInUDLFolder(const std::string& path) override;
    int IsInCommonUDLFolder(const std::string& path) override;

private:
    std::string AllowedNameCharacters() const;

    std::string m_localizeIniPath;
};
