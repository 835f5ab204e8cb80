// The layout folders, the file-name rules and the photo-printing
// application's installation, as the shell asks for them.
#pragma once

#include <string>

class ILayoutFolderServices
{
public:
    virtual ~ILayoutFolderServices() = default;
    virtual int GetSiblingAppPath(std::string& path) = 0;
    virtual int IsSiblingAppRunning() = 0;
    // The application's version; -1 when it is not installed.
    virtual double GetFileVersionString() { return -1; }
    virtual int GetUDLFolder(std::string& folder) = 0;
    virtual int GetCommonUDLFolder(std::string& folder) = 0;
    virtual int CheckLayoutFileName(const std::string& name) = 0;
    virtual int CheckNumberedLayoutFileName(const std::string& name) = 0;
    virtual int IsNamedByUsmInFolder(const std::string& path) = 0;
    // The folder part of the path is that folder; sub-folders are not inside.
    virtual int IsInSiblingConfigUDLFolder(const std::string& path) = 0;
    virtual int IsInUDLFolder(const std::string& path) = 0;
    virtual int IsInCommonUDLFolder(const std::string& path) = 0;
};

// The editor writes none of its own files into the layout folders: the
// photo-printing application's configuration layout folder, its layout folder
// and the shared layout folder. The one test of a path's folder against them.
inline bool IsInAnyLayoutFolder(ILayoutFolderServices& services, const std::string& path)
{
    return services.IsInSiblingConfigUDLFolder(path) || services.IsInUDLFolder(path) ||
           services.IsInCommonUDLFolder(path);
}
