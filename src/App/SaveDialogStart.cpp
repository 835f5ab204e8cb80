#include "App/SaveDialogStart.h"

#include "Platform/Folders.h"

#include <QDir>
#include <QFileInfo>

SaveDialogStart StartOfSaveDialog(const std::string& proposal)
{
    const QFileInfo proposed(QString::fromStdString(proposal));
    SaveDialogStart start;
    start.name = proposed.fileName().toStdString();
    const QString folder = proposed.path();
    if (proposed.isAbsolute() && QFileInfo(folder).isDir())
        start.folder = QDir::cleanPath(folder).toStdString();
    else
        start.folder = UserDocumentsPath();
    if (start.folder.empty() || !QFileInfo(QString::fromStdString(start.folder)).isDir())
        start.folder = QDir::homePath().toStdString();
    return start;
}

std::string AbsoluteChosenPath(const std::string& chosen, const std::string& folder)
{
    const QString path = QString::fromStdString(chosen);
    if (QDir::isAbsolutePath(path))
        return chosen;
    return QDir::cleanPath(QDir(QString::fromStdString(folder)).filePath(path)).toStdString();
}
