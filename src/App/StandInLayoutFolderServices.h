// The folder and name services until their own library comes: no
// photo-printing application is installed and every name is accepted.
#pragma once

#include "App/LayoutFolderServices.h"

class StandInLayoutFolderServices : public ILayoutFolderServices
{
public:
    int GetSiblingAppPath(std::string&) override { return 0; }
    int IsSiblingAppRunning() override { return 0; }
    int GetUDLFolder(std::string& folder) override;
    int GetCommonUDLFolder(std::string&) override { return 0; }
    int CheckLayoutFileName(const std::string&) override { return 0; }
    int CheckNumberedLayoutFileName(const std::string&) override { return 0; }
    int IsNamedByUsmInFolder(const std::string&) override { return 0; }
    // Without the application its configuration folder is empty, so no path lies in it.
    int IsInSiblingConfigUDLFolder(const std::string&) override { return 0; }
    int IsInUDLFolder(const std::string& path) override;
    int IsInCommonUDLFolder(const std::string&) override { return 0; }
};

// The folder part of the path equals the folder, without regard to case.
bool IsPathDirectlyInFolder(const std::string& path, const std::string& folder);
