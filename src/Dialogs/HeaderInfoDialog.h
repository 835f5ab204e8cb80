// The layout-information dialog: the title, author and comment written into
// the layout files' headers. A double quote keeps the dialog open with its own
// message; any other text the header rule refuses keeps it open too.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "Script/UDLHeaderInfo.h"

class CShiftJisEdit;
class CZAVEditorDoc;

class CHeaderInfoDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    static constexpr std::size_t kMaxBytes = kHeaderTextBytes;

    CHeaderInfoDialog(IDialogShell& shell, CZAVEditorDoc& document, QWidget* parent = nullptr);

    CShiftJisEdit* AuthorEdit() const { return m_author; }
    CShiftJisEdit* TitleEdit() const { return m_title; }
    CShiftJisEdit* CommentEdit() const { return m_comment; }

    void accept() override;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    CZAVEditorDoc& m_document;
    CShiftJisEdit* m_author;
    CShiftJisEdit* m_comment;
    CShiftJisEdit* m_title;
};

// The document's header dialog (File > Layout information, and the save's
// check of an empty title): false when cancelled.
bool RunHeaderInfoDialog(IDialogShell& shell, CZAVEditorDoc& document, QWidget* parent);

// Text shown when a field holds a character the layout files cannot store.
constexpr int kUnstorableTextMessage = 3102;
