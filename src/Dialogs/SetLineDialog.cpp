#include "Dialogs/SetLineDialog.h"

#include "App/MessageBoxes.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/DigitEdit.h"
#include "Layout/LayoutManager.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kUnitsPerPoint = 5;
constexpr int kMaxPoints = 256;

} // namespace

CSetLineDialog::CSetLineDialog(IDialogShell& shell, QWidget* parent) : CSettingsDialog(shell, 145, parent)
{
    AddControl(new QLabel(QStringLiteral("Width"), this), 3112);
    m_edit = AddControl(new CDigitEdit(this), 1460);
    AddControl(new QLabel(QStringLiteral("Pt"), this), 3113);
    m_edit->SetAllowMinus(false);
    m_edit->SetIntegerOnly(true);
    m_edit->setMaxLength(3);
    m_edit->SetValidateOnExit(true);
    connect(m_edit, &QLineEdit::textChanged, this, [this] {
        const double number = m_edit->Number();
        m_width = std::isfinite(number) ? static_cast<int>(std::clamp(number, -1e9, 1e9)) : 0;
        OkButton()->setEnabled(m_width > 0);
    });
    Localize();
}

void CSetLineDialog::OnInitDialog()
{
    if (m_width < 1)
        m_width = 1;
    m_edit->setText(QString::number(m_width));
    m_edit->Validate();
    OkButton()->setEnabled(m_width >= 1);
}

void CSetLineDialog::accept()
{
    if (m_width < 1 || m_width > kMaxPoints) {
        ShowRangeMessage(m_shell, "1", "256");
        return;
    }
    // The same acceptance the menu's widths pass, so the view's change cannot fail later.
    if (CLayoutManager* manager = m_shell.GetLayoutManager();
        manager && !manager->CanSetSelectedLineWidth(m_width * kUnitsPerPoint)) {
        m_shell.ShowLocalizedMessage(160, MB_ICONSTOP);
        return;
    }
    QDialog::accept();
}
