#include "Dialogs/ProgressDialog.h"

#include "Dialogs/DialogSupport.h"
#include "Platform/DialogLayoutTarget.h"
#include "Platform/WidgetMeasures.h"

#include <QLabel>
#include <QProgressBar>

CProgressDialog::CProgressDialog(IDialogShell& shell, QWidget* parent) : QDialog(parent), m_shell(shell)
{
    setObjectName(QStringLiteral("ProgressDialog"));
    setModal(false);
    m_text = new QLabel(this);
    SetControlId(m_text, kTextId);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    SetControlId(m_bar, kBarId);
}

std::unique_ptr<IFilterProgress> CreateFilterProgress(IDialogShell& shell, QWidget* owner)
{
    auto dialog = std::make_unique<CProgressDialog>(shell, owner);
    dialog->Create(owner);
    return dialog;
}

void CProgressDialog::Create(QWidget* owner)
{
    LocalizeDialog(this, 138, m_shell);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    if (owner) {
        // The frame is known once the window exists.
        winId();
        move(CalcCenteredWindowPos(this, owner));
    }
    show();
}

void CProgressDialog::SetText(const std::string& text)
{
    m_text->setText(QString::fromStdString(text));
    m_text->repaint();
}

void CProgressDialog::SetPos(int percent)
{
    m_bar->setValue(percent);
    m_bar->repaint();
}

CWaitPrintSettingDialog::CWaitPrintSettingDialog(IDialogShell& shell, QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("WaitPrintSettingDialog"));
    setModal(false);
    m_text = new QLabel(this);
    SetControlId(m_text, kTextId);
    LocalizeDialog(this, 150, shell);
}

void CWaitPrintSettingDialog::showEvent(QShowEvent* event)
{
    if (QWidget* owner = parentWidget())
        move(CalcCenteredWindowPos(this, owner));
    QDialog::showEvent(event);
}
