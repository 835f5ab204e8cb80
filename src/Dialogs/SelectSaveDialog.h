// The save-format dialog behind Save as / register and behind the question
// asked before unsaved changes are discarded: it offers the targets the
// layout and the installation allow, describes the chosen one, and on Yes
// saves, or closes and runs the packaged-save or registration dialog.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class IDialogShell;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// The dialogs the save-format dialog hands a target to; tests script them.
class ISaveDialogRunner
{
public:
    virtual ~ISaveDialogRunner() = default;
    // The packaged-save dialog's end: 1 written, 2 not.
    virtual int RunPackagedSave(QWidget* parent) = 0;
    // The registration dialog's end: 1 written, 2 not, -1 cards switched off.
    virtual int RunRegist(int mode, QWidget* parent) = 0;
};

class CSaveDialogRunner : public ISaveDialogRunner
{
public:
    explicit CSaveDialogRunner(IDialogShell& shell) : m_shell(shell) {}
    int RunPackagedSave(QWidget* parent) override;
    int RunRegist(int mode, QWidget* parent) override;

private:
    IDialogShell& m_shell;
};

// What the offered entries depend on.
struct SaveFormatFacts
{
    int mode = 0;
    std::string path;
    bool camera = false;
    int visibleItems = 0;
    bool hasInsertFrame = false; // visible or not
    int editableFrameType = 0;
    bool inCommonFolder = false;
};

// The entries (localisation ids 214 to 219) in the order they are offered.
std::vector<int> SaveFormatEntries(const SaveFormatFacts& facts);
// The description text of an entry; -1 for none.
int SaveFormatDescription(int entry, bool camera);

class CSelectSaveDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kYesId = 6;
    static constexpr int kNoId = 7;
    static constexpr int kCancelId = 2;

    // A mode above 1 is taken as 0. `runner` may be null: the real dialogs.
    CSelectSaveDialog(IDialogShell& shell, int mode, QWidget* parent = nullptr,
                      ISaveDialogRunner* runner = nullptr);
    ~CSelectSaveDialog() override;

    // 1 saved, 2 cancelled or not saved, 7 No (mode 1: discard the changes).
    int DoModal();

    int Mode() const { return m_mode; }
    // The selected entry's id, -1 when none.
    int GetSelectedFormat() const;
    std::vector<int> Entries() const;
    QComboBox* FormatCombo() const { return m_combo; }
    QPlainTextEdit* DescriptionEdit() const { return m_description; }
    QPushButton* YesButton() const { return m_yes; }
    QPushButton* NoButton() const { return m_no; }
    QPushButton* CancelButton() const { return m_cancel; }

    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnInitDialog();
    void UpdateDescription();
    void OnSaveYes();
    // The saves that run with the dialog open; the end code.
    int SaveInOwnFormat();
    // The saves that run after the dialog closed; the end code.
    int RunAfterClose(int entry);

    IDialogShell& m_shell;
    int m_mode;
    ISaveDialogRunner* m_runner;
    CSaveDialogRunner m_ownRunner;
    QComboBox* m_combo;
    QPlainTextEdit* m_description;
    QPushButton* m_yes;
    QPushButton* m_no;
    QPushButton* m_cancel;
    int m_closedFor = -1; // the entry to carry out once the dialog is closed
};
