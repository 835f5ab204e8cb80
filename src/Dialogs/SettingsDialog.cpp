#include "Dialogs/SettingsDialog.h"

#include "Dialogs/DialogSupport.h"
#include "Platform/DialogLayoutTarget.h"

#include <QPushButton>

CSettingsDialog::CSettingsDialog(IDialogShell& shell, int dialogId, QWidget* parent)
    : QDialog(parent), m_shell(shell), m_dialogId(dialogId)
{
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    SetControlId(m_ok, 1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setAutoDefault(false);
    SetControlId(m_cancel, 2);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CSettingsDialog::Identify(QWidget* widget, int controlId)
{
    SetControlId(widget, controlId);
}

void CSettingsDialog::Localize()
{
    LocalizeDialog(this, m_dialogId, m_shell);
}

void CSettingsDialog::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}
