#include "App/SaveFileDialog.h"

#include "App/SaveDialogStart.h"

#include <QFileDialog>

std::optional<std::string> RunPlatformSaveFileDialog(QWidget* parent, const std::string& title,
                                                     const std::string& filter, const std::string& proposal)
{
    // A dialog given a folder that does not exist would fall back to the
    // process's current folder and take the name there.
    const SaveDialogStart start = StartOfSaveDialog(proposal);
    QFileDialog dialog(parent, QString::fromStdString(title), QString::fromStdString(start.folder),
                       QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(QString::fromStdString(start.folder));
    dialog.selectFile(QString::fromStdString(start.name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return AbsoluteChosenPath(dialog.selectedFiles().constFirst().toStdString(),
                              dialog.directory().absolutePath().toStdString());
}
