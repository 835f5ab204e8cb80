#include "Dialogs/PaperPages.h"

#include "App/AppSettings.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/DialogShell.h"
#include "Platform/DialogLayoutTarget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

#include <vector>

namespace {

QButtonGroup* RadioGroup(QWidget* page, std::initializer_list<int> controlIds)
{
    auto* group = new QButtonGroup(page);
    int index = 0;
    for (const int controlId : controlIds) {
        auto* radio = new QRadioButton(page);
        SetControlId(radio, controlId);
        group->addButton(radio, index++);
    }
    return group;
}

void SetChecked(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    // No value: no button of the group is checked.
    if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
}

void AddControl(QWidget* widget, int controlId)
{
    SetControlId(widget, controlId);
}

void AddDirectionControls(QWidget* page)
{
    AddControl(new QGroupBox(page), 2030);
    for (const int placeholder : {2010, 2011})
        AddControl(new QWidget(page), placeholder);
}

} // namespace

int MarginModeOf(int area, int paper, bool autoCutter, int showAutoCutter)
{
    return MarginModeOfArea(area, paper, autoCutter && showAutoCutter != 0);
}

// ---------------------------------------------------------------------------
// CPaperSettingDialog

CPaperSettingDialog::CPaperSettingDialog(IDialogShell& shell) : CWizardDialog(shell, 132, 29, 409)
{
    auto* paperLabel = new QLabel(this);
    AddControl(paperLabel, 1300);
    m_papers = new QComboBox(this);
    AddControl(m_papers, 1340);
    paperLabel->setBuddy(m_papers);
    AddControl(new QGroupBox(this), 2031);
    m_area = RadioGroup(this, {1030, 1031, 1032, 1033});
    m_autoCutter = new QCheckBox(this);
    AddControl(m_autoCutter, 1102);
    for (const int placeholder : {2012, 2013, 2014, 2015})
        AddControl(new QWidget(this), placeholder);
    AddDirectionControls(this);
    m_direction = RadioGroup(this, {1034, 1035});
    connect(m_papers, &QComboBox::currentIndexChanged, this, [this] {
        if (m_filling)
            return;
        OnPaperChanged();
        emit completeChanged();
    });
}

void CPaperSettingDialog::initializePage()
{
    AppSettings& settings = m_shell.Settings();
    SetChecked(m_direction, settings.GetSingleZAVDefaultPaperDirection());

    std::vector<PaperSizeEntry> papers;
    CLocalizeScript(m_shell.GetLocalizeIniPath()).GetPaperSizeString(papers);
    m_filling = true;
    m_papers->clear();
    int selection = papers.empty() ? -1 : 0;
    for (const PaperSizeEntry& entry : papers) {
        m_papers->addItem(QString::fromStdString(entry.name), entry.paperId);
        if (entry.paperId == settings.GetSingleZAVDefaultPaperSize())
            selection = m_papers->count() - 1;
    }
    m_papers->setCurrentIndex(selection);
    m_filling = false;

    const int margin = settings.GetSingleZAVDefaultPaperMargin();
    SetChecked(m_area, AreaOfMarginMode(margin));
    if (settings.GetShowAutoCutter() == 0)
        m_autoCutter->hide();
    else
        m_autoCutter->setChecked(margin == 4);
    OnPaperChanged();
    emit completeChanged();
}

void CPaperSettingDialog::OnPaperChanged()
{
    if (m_papers->currentIndex() < 0)
        return;
    const int paper = m_papers->currentData().toInt();
    const int area = m_area->checkedId();
    // An area the paper does not offer gives way to maximum, else standard,
    // else roll paper: the first of them the paper offers.
    int replaced = area;
    if (area >= 0 && !IsAreaOffered(paper, area))
        for (const int candidate : {kAreaMaximum, kAreaStandard, kAreaRollPaper})
            if (IsAreaOffered(paper, candidate)) {
                replaced = candidate;
                break;
            }
    for (QAbstractButton* button : m_area->buttons())
        button->setEnabled(IsAreaOffered(paper, m_area->id(button)));
    m_autoCutter->setEnabled(IsAreaOffered(paper, kAreaRollPaper));
    if (replaced != area) {
        SetChecked(m_area, replaced);
        // The direction pictures differ for roll paper.
        const QWidget* pictures = Control(2010);
        const QWidget* firstRadio = Control(1034);
        const QWidget* box = Control(2030);
        if (pictures && firstRadio && box)
            update(QRect(pictures->pos(), QPoint(firstRadio->x(), box->geometry().bottom() - 3)));
    }
}

bool CPaperSettingDialog::isComplete() const
{
    return m_papers->currentIndex() >= 0;
}

bool CPaperSettingDialog::validatePage()
{
    // Without a paper nothing is made or stored.
    if (m_papers->currentIndex() < 0)
        return false;
    AppSettings& settings = m_shell.Settings();
    const int paper = m_papers->currentData().toInt();
    const int direction = m_direction->checkedId();
    const int margin =
        MarginModeOf(m_area->checkedId(), paper, m_autoCutter->isChecked(), settings.GetShowAutoCutter());
    m_shell.NewSingleLayout(paper, direction, margin);
    m_shell.SetDSCLayout(0);
    settings.SetSingleZAVDefaultPaperSize(paper);
    settings.SetSingleZAVDefaultPaperDirection(direction);
    settings.SetSingleZAVDefaultPaperMargin(margin);
    return true;
}

void CPaperSettingDialog::PaintPage(QPainter& painter)
{
    const bool roll = m_area->checkedId() == kAreaRollPaper;
    DrawIconAt(painter, roll ? 256 : 252, 2010);
    DrawIconAt(painter, roll ? 255 : 253, 2011);
    DrawBitmapAt(painter, 414, 2012);
    DrawBitmapAt(painter, 415, 2013);
    DrawBitmapAt(painter, 416, 2014);
    DrawIconAt(painter, 254, 2015);
}

// ---------------------------------------------------------------------------
// CDSCPaperSettingDialog

CDSCPaperSettingDialog::CDSCPaperSettingDialog(IDialogShell& shell) : CWizardDialog(shell, 505, 29, 527)
{
    auto* note = new QLabel(this);
    note->setWordWrap(true);
    AddControl(note, 1300);
    AddDirectionControls(this);
    m_direction = RadioGroup(this, {1034, 1035});
}

void CDSCPaperSettingDialog::initializePage()
{
    SetChecked(m_direction, m_shell.Settings().GetDSCZAVDefaultPaperDirection());
}

bool CDSCPaperSettingDialog::validatePage()
{
    const int direction = m_direction->checkedId();
    m_shell.NewDSCLayout(direction);
    m_shell.Settings().SetDSCZAVDefaultPaperDirection(direction);
    m_shell.SetDSCLayout(1);
    return true;
}

void CDSCPaperSettingDialog::PaintPage(QPainter& painter)
{
    DrawIconAt(painter, 252, 2010);
    DrawIconAt(painter, 253, 2011);
}
