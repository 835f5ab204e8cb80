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
};
