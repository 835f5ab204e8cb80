// The packaged-save dialog: the name and folder of a packaged frame file
// (".fdp", the layout with every file it references), checked, and written
// through the document.
#pragma once

#include "Dialogs/SaveNameDialog.h"

#include <string>

class IFolderChooser;

class CSaveAsPackagedZAVDialog : public CSaveNameDialog
{
    Q_OBJECT
public:
    static constexpr int kFolderAreaId = 1539;
    static constexpr int kSelectFolderId = 1202;
    static constexpr int kNameEditId = 1529;

    explicit CSaveAsPackagedZAVDialog(IDialogShell& shell, QWidget* parent = nullptr);
    ~CSaveAsPackagedZAVDialog() override;

    // 1 after a completed write, 2 otherwise.
    int DoModal() { return RunModal(); }

    // Tests answer the folder browser; null restores the system's.
    void SetFolderChooser(IFolderChooser* chooser) { m_chooser = chooser; }

    QPushButton* SelectFolderButton() const { return m_selectFolder; }
    // The destination folder, without a trailing "/" (the root is "/").
    const std::string& Folder() const { return m_folder; }
    // What the folder area shows: the folder and four spaces, shortened in
    // its middle to the area's width.
    QString FolderAreaText() const;

    void OnSelectFolder();
    void accept() override;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect FolderArea() const;

    QPushButton* m_selectFolder;
    QWidget* m_folderArea;
    IFolderChooser* m_chooser = nullptr;
    std::string m_folder;
};
