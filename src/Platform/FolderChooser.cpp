#include "Platform/FolderChooser.h"

#include <QFileDialog>

CQtFolderChooser::CQtFolderChooser(QWidget* owner) : m_owner(owner)
{
}

std::optional<std::string> CQtFolderChooser::ChooseFolder(const std::string& title,
                                                          const std::string& initialFolder)
{
    const QString chosen =
        QFileDialog::getExistingDirectory(m_owner, QString::fromStdString(title),
                                          QString::fromStdString(initialFolder), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}
