#include "Dialogs/SaveNameDialog.h"

#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/SaveChecks.h"
#include "Core/SystemFolders.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/MessageAnswers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CSaveNameDialog::CSaveNameDialog(IDialogShell& shell, int dialogId, QWidget* parent)
    : CSettingsDialog(shell, dialogId, parent)
{
    AddControl(new QLabel(this), 2001);
    m_rule = AddControl(new QLabel(this), 2002);
    AddControl(new QLabel(this), 2003);
}

CSaveNameDialog::~CSaveNameDialog() = default;

void CSaveNameDialog::AddNameControls(int nameEditId)
{
    AddControl(new QLabel(this), 2060);
    m_name = AddControl(new QLineEdit(this), nameEditId);
    m_suffix = AddControl(new QLabel(this), 2062);
    connect(m_name, &QLineEdit::textChanged, this, [this] { OnNameChange(); });
}

LayoutNameProposal CSaveNameDialog::ProposeName(const std::string& documentsFolder)
{
    m_camera = IsCameraDocument(m_shell);
    m_name->setMaxLength(MaxLayoutNameLength(m_camera));
    LayoutNameProposal proposal;
    if (ILayoutFolderServices* services = m_shell.FolderServices())
        proposal = ProposeLayoutName(*services, DocumentPath(m_shell), m_camera, documentsFolder);
    m_name->setText(QString::fromStdString(proposal.name));
    if (m_camera) {
        m_rule->setText(QString::fromStdString(LocalizedText(m_shell, 159)));
        m_suffix->setText(QStringLiteral("_0"));
    } else {
        m_suffix->clear();
    }
    return proposal;
}

int CSaveNameDialog::RunModal()
{
    m_end = 2;
    exec();
    return m_end;
}

void CSaveNameDialog::OnNameChange()
{
    OkButton()->setEnabled(HasTarget() && IsLayoutNameComplete(m_name->text(), m_camera));
}

void CSaveNameDialog::RefuseName(int textId)
{
    if (textId > 0)
        m_shell.ShowLocalizedMessage(textId, MB_ICONSTOP);
    m_name->clear();
    m_name->setFocus();
}

void CSaveNameDialog::End(int code)
{
    m_end = code;
    done(code == 1 ? QDialog::Accepted : QDialog::Rejected);
}

bool CSaveNameDialog::PassesNameRules(ILayoutFolderServices& services, const std::string& checkedName)
{
    const int rule = m_camera ? services.CheckNumberedLayoutFileName(checkedName)
                              : services.CheckLayoutFileName(checkedName);
    if (rule == 0)
        return true;
    ShowLayoutNameRefusal(m_shell, rule, checkedName);
    RefuseName(0);
    return false;
}

bool CSaveNameDialog::MayReplace(const std::string& path, int askTextId)
{
    if (m_shell.AskLocalizedMessage(askTextId, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != kAnswerYes)
        return false;
    if (IsNTFSVolume(path) && !m_shell.CheckTargetAccess(path, kSaveTargetAccess)) {
        m_shell.ShowLocalizedMessage(23, MB_ICONSTOP);
        End(2);
        return false;
    }
    return true;
}

void CSaveNameDialog::reject()
{
    End(2);
}
