#include "App/StandInLayoutFolderServices.h"

#include "Core/SystemFolders.h"

int StandInLayoutFolderServices::GetUDLFolder(std::string& folder)
{
    const std::string shared = GetSharedDataFolder();
    if (shared.empty())
        return 0;
    folder = shared;
    return 1;
}
