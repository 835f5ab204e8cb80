#include "App/StandInLayoutFolderServices.h"

#include "Core/Path.h"
#include "Core/SystemFolders.h"

#include <QString>

int StandInLayoutFolderServices::GetUDLFolder(std::string& folder)
{
    const std::string shared = GetSharedDataFolder();
    if (shared.empty())
        return 0;
    folder = shared;
    return 1;
}

int StandInLayoutFolderServices::IsInUDLFolder(const std::string& path)
{
    std::string folder;
    GetUDLFolder(folder);
    return IsPathDirectlyInFolder(path, folder) ? 1 : 0;
}

bool IsPathDirectlyInFolder(const std::string& path, const std::string& folder)
{
    QString mine = QString::fromStdString(GetFolderFromPath(path));
    QString theirs = QString::fromStdString(folder);
    while (theirs.size() > 1 && theirs.endsWith(QLatin1Char('/')))
        theirs.chop(1);
    if (mine.isEmpty() || theirs.isEmpty())
        return false;
    return mine.compare(theirs, Qt::CaseInsensitive) == 0;
}
