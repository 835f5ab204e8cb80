// The packaged-save dialog: the name and folder of a packaged frame file
// (".fdp", the layout with every file it references), checked, and written
// through the document.
#pragma once

#include "Dialogs/SettingsDialog.h"

#include <string>

class IFolderChooser;
class QLabel;
class QLineEdit;

class CSaveAsPackagedZAVDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    static constexpr int kFolderAreaId = 1539;
    static constexpr int kSelectFolderId = 1202;
    static constexpr int kNameEditId = 1529;

    explicit CSaveAsPackagedZAVDialog(IDialogShell& shell, QWidget* parent = nullptr);
    ~CSaveAsPackagedZAVDialog() override;

    // 1 after a completed write, 2 otherwise.
    int DoModal();
    // The end code once the dialog has closed (2 while it runs).
    int EndCode() const { return m_end; }

    // Tests answer the folder browser; null restores the system's.
    void SetFolderChooser(IFolderChooser* chooser) { m_chooser = chooser; }

    QLineEdit* NameEdit() const { return m_name; }
    QPushButton* SelectFolderButton() const { return m_selectFolder; }
    QLabel* SuffixLabel() const { return m_suffix; }
    QLabel* RuleLabel() const { return m_rule; }
    // The destination folder, without a trailing "/" (the root is "/").
    const std::string& Folder() const { return m_folder; }
    // What the folder area shows: the folder and four spaces, shortened in
    // its middle to the area's width.
    QString FolderAreaText() const;

    void OnSelectFolder();
    void accept() override;
    void reject() override;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnNameChange();
    void RefuseName(int textId);
    void End(int code);
    QRect FolderArea() const;

    QLineEdit* m_name;
    QPushButton* m_selectFolder;
    QLabel* m_rule;
    QLabel* m_suffix;
    QWidget* m_folderArea;
    IFolderChooser* m_chooser = nullptr;
    std::string m_folder;
    bool m_camera = false;
    int m_end = 2;
};
