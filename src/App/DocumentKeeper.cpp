#include "App/DocumentKeeper.h"

#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Core/TempFolders.h"

DocumentKeeper::DocumentKeeper(CZAVEditorDoc& document)
    : m_document(document), m_path(document.GetPathName()), m_windowTitle(document.GetWindowTitle()),
      m_modified(document.IsModified())
{
    // Inside the temporary image folder, which the program's exit removes:
    // a restored layout's pictures stay in the copy's companion folder.
    auto folder = std::make_unique<QTemporaryDir>(
        QString::fromStdString(GetTempImageFolder(true) + "KeptLayoutXXXXXX"));
    if (!folder->isValid())
        return;
    const std::string file = folder->filePath(QStringLiteral("Kept.zvd")).toStdString();
    try {
        if (document.SaveZvdDocument(file) != 0)
            return;
    } catch (...) {
        return;
    }
    m_folder = std::move(folder);
    m_file = file;
}

DocumentKeeper::~DocumentKeeper() = default;

bool DocumentKeeper::Restore()
{
    if (m_file.empty())
        return false;
    if (!m_document.OnOpenDocument(m_file))
        return false;
    m_folder->setAutoRemove(false);
    m_document.Settings().RecentFiles().RemoveRecentFile(m_file);
    m_document.RestoreIdentity(m_path, m_windowTitle, m_modified);
    return true;
}
