#include "Dialogs/SetRollPaperDialog.h"

#include "App/AppSettings.h"
#include "Core/PaperRules.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/DigitEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace {

constexpr int kLowest = kMinRollLength;
constexpr int kHighest = kMaxRollLength;

struct UnitSteps
{
    double line;
    double page;
    double lower;
    double upper;
};

UnitSteps StepsFor(int unit)
{
    if (unit == kUnitMillimetres)
        return {1.0, 10.0, 35.278, 1117.6};
    if (unit == kUnitInches)
        return {0.1, 1.0, 1.389, 44.0};
    return {10.0, 100.0, kLowest, kHighest};
}

int DecimalsOf(const QString& text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : static_cast<int>(text.size() - point - 1);
}

} // namespace

CSetRollPaperDialog::CSetRollPaperDialog(IDialogShell& shell, QWidget* parent)
    : CSettingsDialog(shell, 147, parent), m_unit(shell.Settings().GetUnit())
{
    AddControl(new QLabel(QStringLiteral("Length"), this), 3114);
    m_slider = AddControl(new QSlider(Qt::Horizontal, this), 1410);
    m_edit = AddControl(new CDigitEdit(this), 1472);
    m_unitLabel = AddControl(new QLabel(this), 2111);
    m_edit->SetIntegerOnly(false);
    m_edit->SetAllowMinus(false);
    m_edit->SetValidateOnExit(true);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { OnLengthChanged(); });
    connect(m_slider, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnSliderAction(action); });
    connect(m_slider, &QAbstractSlider::sliderReleased, this, [this] { OnHScroll(EndScroll); });
    Localize();
}

int CSetRollPaperDialog::SetLimits(int lower, int upper)
{
    m_lower = std::max(lower, kLowest);
    m_upper = std::min(upper, kHighest);
    return 1;
}

float CSetRollPaperDialog::GetLengthInUnit(int unit, bool update)
{
    if (update && m_hasWindow)
        m_length = UnitToLayout(m_edit->Number(), m_unit);
    return unit < 0 ? static_cast<float>(m_length) : LayoutToUnit(m_length, unit);
}

void CSetRollPaperDialog::OnInitDialog()
{
    m_hasWindow = true;
    m_slider->setRange(m_lower, m_upper);
    m_slider->setValue(m_length);
    ShowLength();
}

void CSetRollPaperDialog::ShowLength()
{
    if (m_unit != m_unitShown) {
        SetupLengthEdit(*m_edit, m_unit, 5, 8);
        m_unitLabel->setText(QString::fromStdString(LocalizedText(m_shell, UnitLabelTextId(m_unit))));
        m_unitShown = m_unit;
    }
    ShowLengthIn(*m_edit, m_length, m_unit, m_guard);
}

void CSetRollPaperDialog::OnLengthChanged()
{
    if (m_guard)
        return;
    m_length = UnitToLayout(m_edit->Number(), m_unit);
    m_slider->setValue(m_length);
    OkButton()->setEnabled(m_length > 0);
}

void CSetRollPaperDialog::OnSliderAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        OnHScroll(LineLeft);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        OnHScroll(LineRight);
        break;
    case QAbstractSlider::SliderPageStepSub:
        OnHScroll(PageLeft);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        OnHScroll(PageRight);
        break;
    case QAbstractSlider::SliderToMinimum:
        OnHScroll(ToLeft);
        break;
    case QAbstractSlider::SliderToMaximum:
        OnHScroll(ToRight);
        break;
    case QAbstractSlider::SliderMove:
        OnHScroll(ThumbTrack);
        break;
    default:
        break;
    }
}

void CSetRollPaperDialog::OnHScroll(int code)
{
    const UnitSteps steps = StepsFor(m_unit);
    double number = m_edit->Number();
    const bool stepped = code >= LineLeft && code <= PageRight;
    switch (code) {
    case LineLeft:
        number -= steps.line;
        break;
    case LineRight:
        number += steps.line;
        break;
    case PageLeft:
        number -= steps.page;
        break;
    case PageRight:
        number += steps.page;
        break;
    case EndScroll:
        break;
    default:
        number = LayoutToUnit(m_slider->sliderPosition(), m_unit);
        break;
    }
    const double clamped = std::clamp(number, steps.lower, steps.upper);
    const QString previous = m_edit->text();
    QString text = QString::fromStdString(FormatFixed(clamped, m_unit == kUnitPixels ? 0 : 3));
    // A step moves whole millimetres or tenths of an inch: the finer digits typed before stay,
    // unless the bound was reached (they could then pass it) or the old text had no three decimals.
    if (stepped && m_unit != kUnitPixels && clamped == number && DecimalsOf(previous) == 3)
        text = text.left(text.size() - 2) + previous.right(2);
    if (text != previous)
        m_edit->setText(text);
}

void CSetRollPaperDialog::accept()
{
    const double number = m_edit->Number();
    double lower = m_lower;
    double upper = kHighest;
    std::string lowerText;
    std::string upperText;
    if (m_unit == kUnitPixels) {
        lowerText = FormatFixed(lower, 0);
        upperText = FormatFixed(upper, 0);
    } else {
        // The bound as the user can read it, so a number typed from the message passes.
        lowerText = FormatFixed(LayoutToUnit(m_lower, m_unit), 3);
        lower = ReadLeadingNumber(lowerText);
        upper = m_unit == kUnitMillimetres ? 1117.6 : 44.0;
        upperText = FormatFixed(upper, 3);
    }
    if (number < lower || number > upper) {
        ShowRangeMessage(m_shell, lowerText, upperText);
        return;
    }
    m_length = UnitToLayout(number, m_unit);
    QDialog::accept();
}
