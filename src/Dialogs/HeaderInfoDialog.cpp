#include "Dialogs/HeaderInfoDialog.h"

#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/ShiftJisEdit.h"
#include "Script/HeaderSection.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <array>

CHeaderInfoDialog::CHeaderInfoDialog(IDialogShell& shell, CZAVEditorDoc& document, QWidget* parent)
    : CSettingsDialog(shell, 134, parent), m_document(document)
{
    AddControl(new QLabel(QStringLiteral("Title"), this), 3115);
    m_title = AddControl(new CShiftJisEdit(kMaxBytes, this), 1451);
    AddControl(new QLabel(QStringLiteral("Author"), this), 3116);
    m_author = AddControl(new CShiftJisEdit(kMaxBytes, this), 1450);
    AddControl(new QLabel(QStringLiteral("Comment"), this), 3117);
    m_comment = AddControl(new CShiftJisEdit(kMaxBytes, this), 1452);
    connect(m_title, &QLineEdit::textChanged, this,
            [this] { OkButton()->setEnabled(!m_title->text().isEmpty()); });
    Localize();
}

void CHeaderInfoDialog::OnInitDialog()
{
    m_author->setText(QString::fromStdString(m_document.GetAuthor()));
    m_title->setText(QString::fromStdString(m_document.GetTitle()));
    m_comment->setText(QString::fromStdString(m_document.GetComment()));
    OkButton()->setEnabled(!m_title->text().isEmpty());
}

void CHeaderInfoDialog::accept()
{
    const std::string author = m_author->text().toStdString();
    const std::string comment = m_comment->text().toStdString();
    const std::string title = m_title->text().toStdString();
    const std::array<std::pair<CShiftJisEdit*, const std::string*>, 3> fields{
        {{m_author, &author}, {m_comment, &comment}, {m_title, &title}}};
    for (const auto& [edit, text] : fields) {
        if (text->find('"') != std::string::npos) {
            m_shell.ShowLocalizedMessage(182, MB_ICONSTOP);
            return;
        }
    }
    for (const auto& [edit, text] : fields) {
        if (!IsValidHeaderText(*text)) {
            m_shell.ShowLocalizedMessage(kUnstorableTextMessage, MB_ICONSTOP);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    m_document.SetAuthor(author);
    m_document.SetComment(comment);
    m_document.SetTitle(title);
    m_document.SetModifiedFlag(1);
    QDialog::accept();
}

void CHeaderInfoDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, 410);
}

bool RunHeaderInfoDialog(IDialogShell& shell, CZAVEditorDoc& document, QWidget* parent)
{
    CHeaderInfoDialog dialog(shell, document, parent);
    return dialog.exec() == QDialog::Accepted;
}
