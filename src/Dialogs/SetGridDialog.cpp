#include "Dialogs/SetGridDialog.h"

#include "App/AppSettings.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/DigitEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kDefaultStep = 64;

struct GridBounds
{
    double lower;
    double upper;
    const char* lowerText;
    const char* upperText;
};

// Half a layout unit to 256.5 units: what rounds to 1 to 256.
GridBounds BoundsFor(int unit)
{
    if (unit == kUnitMillimetres)
        return {0.03527777, 18.0975, "0.036", "18.097"};
    if (unit == kUnitInches)
        return {0.00138889, 0.7125, "0.002", "0.712"};
    return {1.0, 256.0, "1", "256"};
}

} // namespace

CSetGridDialog::CSetGridDialog(IDialogShell& shell, QWidget* parent)
    : CSettingsDialog(shell, 143, parent), m_unit(shell.Settings().GetUnit())
{
    m_show = AddControl(new QCheckBox(QStringLiteral("Show grid"), this), 1110);
    m_snap = AddControl(new QCheckBox(QStringLiteral("Snap to grid"), this), 1111);
    AddControl(new QLabel(QStringLiteral("Width"), this), 3110);
    m_widthEdit = AddControl(new CDigitEdit(this), 1462);
    m_widthUnit = AddControl(new QLabel(this), 1537);
    AddControl(new QLabel(QStringLiteral("Height"), this), 3111);
    m_heightEdit = AddControl(new CDigitEdit(this), 1461);
    m_heightUnit = AddControl(new QLabel(this), 2112);
    for (CDigitEdit* edit : {m_widthEdit, m_heightEdit}) {
        edit->SetValidateOnExit(true);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { OnLengthChanged(edit == m_widthEdit); });
    }
    Localize();
}

void CSetGridDialog::OnInitDialog()
{
    if (m_grid.stepX < 1)
        m_grid.stepX = kDefaultStep;
    if (m_grid.stepY < 1)
        m_grid.stepY = kDefaultStep;
    m_show->setChecked(m_grid.shown);
    m_snap->setChecked(m_grid.snap);
    ShowLengths();
    OkButton()->setEnabled(m_grid.stepX >= 1 && m_grid.stepY >= 1);
}

void CSetGridDialog::ShowLengths()
{
    if (m_unit != m_unitShown) {
        for (CDigitEdit* edit : {m_widthEdit, m_heightEdit})
            SetupLengthEdit(*edit, m_unit, 3, 6);
        const QString label = QString::fromStdString(LocalizedText(m_shell, UnitLabelTextId(m_unit)));
        m_widthUnit->setText(label);
        m_heightUnit->setText(label);
        m_unitShown = m_unit;
    }
    const int width = m_grid.stepX;
    const int height = m_grid.stepY;
    ShowLengthIn(*m_widthEdit, width, m_unit, m_guard);
    ShowLengthIn(*m_heightEdit, height, m_unit, m_guard);
}

void CSetGridDialog::OnLengthChanged(bool width)
{
    if (m_guard)
        return;
    const double widthNumber = m_widthEdit->Number();
    const double heightNumber = m_heightEdit->Number();
    if (width)
        m_grid.stepX = UnitToLayout(widthNumber, m_unit);
    else
        m_grid.stepY = UnitToLayout(heightNumber, m_unit);
    OkButton()->setEnabled(widthNumber > 0 && heightNumber > 0);
}

void CSetGridDialog::accept()
{
    m_grid.shown = m_show->isChecked();
    m_grid.snap = m_snap->isChecked();
    const GridBounds bounds = BoundsFor(m_unit);
    for (const int length : {m_grid.stepX, m_grid.stepY}) {
        const double shown = LayoutToUnit(length, m_unit);
        if (shown < bounds.lower || shown > bounds.upper) {
            ShowRangeMessage(m_shell, bounds.lowerText, bounds.upperText);
            return;
        }
    }
    QDialog::accept();
}

bool RunGridDialog(IDialogShell& shell, CLayoutManager& manager, QWidget* parent)
{
    CSetGridDialog dialog(shell, parent);
    dialog.SetGrid(manager.GetGrid());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    manager.SetGrid(dialog.GetGrid());
    return true;
}
