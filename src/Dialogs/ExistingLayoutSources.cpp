#include "Dialogs/ExistingLayoutSources.h"

#include "App/AppSettings.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Dialogs/DialogShell.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <algorithm>

namespace {

bool HasExtension(const QString& name, const char* extension)
{
    return name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

bool SameFolder(const std::string& a, const std::string& b)
{
    const QFileInfo first(QString::fromStdString(a));
    const QFileInfo second(QString::fromStdString(b));
    const QString canonicalA = first.canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == second.canonicalFilePath();
}

} // namespace

bool IsShortLayoutName(const std::string& name)
{
    return QString::fromStdString(name).size() <= 12;
}

std::vector<std::string> CollectRecentLayouts(IDialogShell& shell)
{
    std::vector<std::string> list = shell.GetRecentFileList();
    std::size_t i = 0;
    while (i < list.size()) {
        const std::string& path = list[i];
        if ((!IsFile(path) || shell.IsNamedByUsmInFolder(path)) && shell.RemoveRecentFile(path)) {
            // The entries after it moved up: the same place holds the next one.
            list = shell.GetRecentFileList();
            continue;
        }
        ++i;
    }
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const std::string& path) {
                                  return !IsFile(path) || shell.IsNamedByUsmInFolder(path);
                              }),
               list.end());
    return list;
}

std::vector<std::string> CollectFolderLayouts(IDialogShell& shell, const std::string& folder, bool withUsd,
                                              bool withUsm)
{
    std::vector<std::string> found;
    if (folder.empty() || !IsDirectory(folder))
        return found;
    std::vector<std::string> members;
    shell.CollectUsmNamedFiles(folder, &members);
    const QDir dir(QString::fromStdString(folder));
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    // The patterns in turn, as the folder is searched once for each.
    for (const char* extension : {".usd", ".usm"}) {
        const bool wanted = extension[3] == 'd' ? withUsd : withUsm;
        if (!wanted)
            continue;
        for (const QString& name : names) {
            if (!HasExtension(name, extension) || !IsShortLayoutName(name.toStdString()))
                continue;
            std::string path = CombinePath(folder, name.toStdString());
            if (std::find(members.begin(), members.end(), path) != members.end())
                continue;
            found.push_back(std::move(path));
        }
    }
    return found;
}

std::vector<std::string> CollectRegisteredLayouts(IDialogShell& shell)
{
    const bool withUsm = shell.Settings().GetEditableFrameType() != 2;
    std::vector<std::string> found;
    std::string layoutFolder;
    if (shell.GetUDLFolder(layoutFolder))
        found = CollectFolderLayouts(shell, layoutFolder, true, withUsm);
    else
        layoutFolder.clear();
    std::string commonFolder;
    if (shell.GetCommonUDLFolder(commonFolder) && !SameFolder(layoutFolder, commonFolder)) {
        std::vector<std::string> common = CollectFolderLayouts(shell, commonFolder, true, withUsm);
        found.insert(found.end(), std::make_move_iterator(common.begin()),
                     std::make_move_iterator(common.end()));
    }
    return found;
}

std::string FindCardLayoutFolder(const std::string& root)
{
    if (root.empty())
        return {};
    const QDir dir(QString::fromStdString(root));
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        if (name.compare(QLatin1String("VLUDL"), Qt::CaseInsensitive) == 0)
            return CombinePath(root, name.toStdString());
    return {};
}

std::vector<std::string> CollectCardLayouts(IDialogShell& shell, const std::string& root)
{
    const int frameType = shell.Settings().GetEditableFrameType();
    return CollectFolderLayouts(shell, FindCardLayoutFolder(root), frameType != 1, frameType != 2);
}
