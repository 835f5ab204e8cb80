// The layout as it stood before an open that replaces it, kept as an editor
// document in a temporary folder of its own, so that a file that fails to
// open leaves the user's layout - with its path, title and unsaved changes -
// in place instead of an empty page.
#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>

class CZAVEditorDoc;

class DocumentKeeper
{
public:
    // Writes the copy; when it cannot be written, Restore does nothing.
    explicit DocumentKeeper(CZAVEditorDoc& document);
    ~DocumentKeeper();
    DocumentKeeper(const DocumentKeeper&) = delete;
    DocumentKeeper& operator=(const DocumentKeeper&) = delete;

    bool IsKept() const { return !m_file.empty(); }
    // Puts the kept layout back; false when there is none or it cannot be read.
    bool Restore();

private:
    CZAVEditorDoc& m_document;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::string m_file;
    std::string m_path;
    std::string m_windowTitle;
    bool m_modified = false;
};
