#include "App/LayoutFolders.h"

#include "App/SiblingApp.h"
#include "Core/Path.h"
#include "Core/SystemFolders.h"

#include <QString>

namespace {

using FolderGetter = int (*)(std::string&);

int IsInFolderOf(const std::string& path, FolderGetter getter)
{
    std::string folder;
    if (!getter(folder))
        folder.clear();
    return IsPathDirectlyInFolder(path, folder) ? 1 : 0;
}

} // namespace

int GetSiblingConfigUDLFolder(std::string& folder)
{
    std::string app;
    if (!GetSiblingAppFolder(app))
        return 0;
    folder = CombinePath(app, "Config/UDL");
    return 1;
}

int GetCommonUDLFolder(std::string& /*folder*/)
{
    return 0;
}

int GetUDLFolder(std::string& folder)
{
    const std::string shared = GetSharedDataFolder();
    if (shared.empty())
        return 0;
    folder = shared;
    return 1;
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

int IsInSiblingConfigUDLFolder(const std::string& path)
{
    return IsInFolderOf(path, &GetSiblingConfigUDLFolder);
}

int IsInUDLFolder(const std::string& path)
{
    return IsInFolderOf(path, &GetUDLFolder);
}

int IsInCommonUDLFolder(const std::string& path)
{
    return IsInFolderOf(path, &GetCommonUDLFolder);
}
