#include "Dialogs/NewWizard.h"

#include "App/AppSettings.h"
#include "Core/DialogLayout.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/PaperPages.h"
#include "Dialogs/SelectExistsLayoutDialog.h"
#include "ImageProcessing/ImageIcon.h"
#include "Platform/DialogLayoutTarget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>

namespace {

// The platform's multiply-divide: rounded half away from zero.
int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

QString CaptionText(const std::string& localizeIniPath, int textId)
{
    std::string text;
    CLocalizeScript(localizeIniPath).GetCaption(textId, text);
    return QString::fromStdString(text);
}

QWidget* Placeholder(QWidget* page, int controlId)
{
    auto* widget = new QWidget(page);
    SetControlId(widget, controlId);
    return widget;
}

} // namespace

// ---------------------------------------------------------------------------
// CWizardDialog

CWizardDialog::CWizardDialog(IDialogShell& shell, int dialogId, int titleCaption, int sidePictureId)
    : m_shell(shell), m_dialogId(dialogId), m_sidePictureId(sidePictureId)
{
    m_pageTitle = CaptionText(shell.GetLocalizeIniPath(), titleCaption);
}

QFont CWizardDialog::TitleFont(const std::string& localizeIniPath)
{
    QFont font;
    LocalizeFontInfo info;
    if (CLocalizeScript(localizeIniPath).GetFont(2, info)) {
        font.setFamily(QString::fromStdString(info.faceName));
        font.setPixelSize(std::max(1, MulDiv(info.pointSize, 96, 72)));
    }
    font.setBold(true);
    return font;
}

void CWizardDialog::OnSetActive()
{
    const std::string path = m_shell.GetLocalizeIniPath();
    int caption = 0, x = 0, y = 0, width = 0, height = 0;
    if (CLocalizeScript(path).GetControlInfo(100, m_dialogId, caption, x, y, width, height) && width > 0 &&
        height > 0)
        setFixedSize(width, height);
    const QFont font = m_shell.GetUIFont();
    CWidgetDialogLayout target(this, &font);
    SetupDialogLayout(m_dialogId, target, path);
    update();
}

QWidget* CWizardDialog::Control(int controlId) const
{
    for (QWidget* child : findChildren<QWidget*>())
        if (GetControlId(child) == controlId)
            return child;
    return nullptr;
}

CNewWizard* CWizardDialog::Sheet() const
{
    return qobject_cast<CNewWizard*>(wizard());
}

void CWizardDialog::DrawIconAt(QPainter& painter, int iconId, int placeholderId)
{
    const QWidget* place = Control(placeholderId);
    const CImageIcon icon = LoadIconResourcePicture(iconId);
    if (place && !icon.IsNull())
        painter.drawImage(place->pos(), icon.GetPicture());
}

void CWizardDialog::DrawBitmapAt(QPainter& painter, int bitmapId, int placeholderId)
{
    const QWidget* place = Control(placeholderId);
    const QImage bitmap = LoadBitmapResourcePicture(bitmapId);
    if (place && !bitmap.isNull())
        painter.drawImage(place->pos(), bitmap);
}

void CWizardDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int right = width();
    const int bottom = height();
    const QImage banner = LoadBitmapResourcePicture(405);
    if (!banner.isNull()) {
        const int bandWidth = right - banner.width();
        painter.drawImage(bandWidth, 0, banner);
        painter.fillRect(0, 0, bandWidth, banner.height(), Qt::white);
        const QFont previous = painter.font();
        painter.setFont(TitleFont(m_shell.GetLocalizeIniPath()));
        painter.setPen(Qt::black);
        painter.drawText(QRect(10, 0, bandWidth - 10, banner.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_pageTitle);
        painter.setFont(previous);
    }
    const QImage side = m_sidePictureId ? LoadBitmapResourcePicture(m_sidePictureId) : QImage();
    if (!side.isNull()) {
        const int top = banner.isNull() ? 0 : banner.height();
        painter.fillRect(0, top, side.width(), bottom - top - side.height(), Qt::white);
        painter.drawImage(0, bottom - side.height(), side);
    }
    PaintPage(painter);
}

// ---------------------------------------------------------------------------
// CSelectStartDialog

CSelectStartDialog::CSelectStartDialog(IDialogShell& shell) : CWizardDialog(shell, 131, 31, 407)
{
    auto* question = new QLabel(this);
    SetControlId(question, 1019);
    m_photo = new QRadioButton(this);
    m_camera = new QRadioButton(this);
    m_existing = new QRadioButton(this);
    SetControlId(m_photo, 1020);
    SetControlId(m_camera, 1022);
    SetControlId(m_existing, 1021);
    auto* group = new QButtonGroup(this);
    group->addButton(m_photo);
    group->addButton(m_camera);
    group->addButton(m_existing);
    m_showAtNextStart = new QCheckBox(this);
    SetControlId(m_showAtNextStart, 1101);
    Placeholder(this, 2022);
    Placeholder(this, 2024);
    Placeholder(this, 2023);
}

void CSelectStartDialog::initializePage()
{
    AppSettings& settings = m_shell.Settings();
    m_showValue = settings.GetShowNewWizardOnStartUp();
    m_showAtNextStart->setChecked(m_showValue != 0);
    m_initialShowValue = m_showValue;
    const int frameType = settings.GetEditableFrameType();
    if (frameType == 1) {
        m_camera->setChecked(true);
        m_camera->setFocusPolicy(Qt::StrongFocus);
        m_photo->hide();
    } else {
        m_photo->setChecked(true);
        if (frameType == 2)
            m_camera->hide();
    }
    m_initialized = true;
}

void CSelectStartDialog::MoveUp(int controlId, int pictureId, int aboveId)
{
    QWidget* control = Control(controlId);
    QWidget* picture = Control(pictureId);
    const QWidget* above = Control(aboveId);
    if (!control || !picture || !above)
        return;
    const int half = (control->y() - above->y()) / 2;
    control->move(control->x(), control->y() - half);
    picture->move(picture->x(), picture->y() - half);
}

void CSelectStartDialog::MoveDown(int controlId, int pictureId, int belowId)
{
    QWidget* control = Control(controlId);
    QWidget* picture = Control(pictureId);
    const QWidget* below = Control(belowId);
    if (!control || !picture || !below)
        return;
    const int half = (below->y() - control->y()) / 2;
    control->move(control->x(), control->y() + half);
    picture->move(picture->x(), picture->y() + half);
}

void CSelectStartDialog::OnSetActive()
{
    CWizardDialog::OnSetActive();
    // One choice hidden: the others close the gap it leaves.
    const int frameType = m_shell.Settings().GetEditableFrameType();
    if (frameType == 1) {
        MoveUp(1021, 2023, 1022);
        MoveUp(1022, 2024, 1020);
    } else if (frameType == 2) {
        MoveDown(1020, 2022, 1022);
        MoveUp(1021, 2023, 1022);
    }
}

bool CSelectStartDialog::validatePage()
{
    m_showValue = m_showAtNextStart->isChecked() ? 1 : 0;
    m_shell.Settings().SetShowNewWizardOnStartUp(m_showValue);
    return true;
}

int CSelectStartDialog::nextId() const
{
    if (m_camera->isChecked())
        return kCameraPaperPage;
    if (m_existing->isChecked())
        return kExistingPage;
    return kPaperPage;
}

void CSelectStartDialog::OnCancel()
{
    m_shell.Settings().SetShowNewWizardOnStartUp(m_initialShowValue);
}

void CSelectStartDialog::PaintPage(QPainter& painter)
{
    const int frameType = m_shell.Settings().GetEditableFrameType();
    if (frameType != 1)
        DrawIconAt(painter, 250, 2022);
    if (frameType != 2)
        DrawIconAt(painter, 257, 2024);
    DrawIconAt(painter, 251, 2023);
}

// ---------------------------------------------------------------------------
// CNewWizard

CNewWizard::CNewWizard(IDialogShell& shell, QWidget* owner) : QWizard(owner), m_shell(shell), m_owner(owner)
{
    setObjectName(QStringLiteral("NewWizard"));
    connect(this, &QWizard::currentIdChanged, this, &CNewWizard::OnPageChanged);
    connect(this, &QDialog::finished, this, [this] { m_shell.InitialFrameUpdate(); });
}

void CNewWizard::Prepare(int startMode)
{
    m_startMode = startMode;
    // The full wizard stands on its own in the task bar while the main window
    // is still hidden; the single pages belong to the main window. No close
    // button: the wizard ends by Finish or Cancel.
    const Qt::WindowFlags frame = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (startMode == 0)
        setParent(nullptr, Qt::Window | frame);
    else
        setParent(m_owner, Qt::Dialog | frame);
    setWizardStyle(QWizard::ClassicStyle);
    setOptions(QWizard::IndependentPages | QWizard::NoBackButtonOnStartPage);

    IDialogShell& shell = m_shell;
    switch (startMode) {
    case 0:
        setPage(kStartPage, new CSelectStartDialog(shell));
        setPage(kPaperPage, new CPaperSettingDialog(shell));
        setPage(kCameraPaperPage, new CDSCPaperSettingDialog(shell));
        setPage(kExistingPage, new CSelectExistsLayoutDialog(shell));
        break;
    case 1:
        setPage(kPaperPage, new CPaperSettingDialog(shell));
        break;
    case 2:
        setPage(kCameraPaperPage, new CDSCPaperSettingDialog(shell));
        break;
    case 3:
        setPage(kExistingPage, new CSelectExistsLayoutDialog(shell));
        break;
    default:
        break;
    }

    const std::pair<QWizard::WizardButton, int> buttons[] = {{QWizard::BackButton, kWizardBackId},
                                                             {QWizard::NextButton, kWizardNextId},
                                                             {QWizard::FinishButton, kWizardFinishId},
                                                             {QWizard::CancelButton, kWizardCancelId}};
    for (const auto& [which, id] : buttons)
        SetControlId(button(which), id);
    const QFont font = m_shell.GetUIFont();
    CWidgetDialogLayout target(this, &font);
    SetupDialogLayout(100, target, m_shell.GetLocalizeIniPath());
    // The wizard sets its buttons' texts again on every page change.
    for (const auto& [which, id] : buttons)
        setButtonText(which, button(which)->text());
}

int CNewWizard::DoModal(int startMode)
{
    Prepare(startMode);
    return exec();
}

void CNewWizard::ShowPage(int index)
{
    if (!page(index) || currentId() == index)
        return;
    const QList<int> visited = visitedIds();
    if (visited.contains(index)) {
        while (currentId() != index)
            back();
        return;
    }
    // Forward to a page the current one does not lead to: restart from it.
    setStartId(index);
    restart();
}

void CNewWizard::reject()
{
    // A property sheet's cancel reaches every page it initialised.
    if (auto* start = qobject_cast<CSelectStartDialog*>(page(kStartPage)); start && start->IsInitialized())
        start->OnCancel();
    QWizard::reject();
}

void CNewWizard::OnPageChanged(int id)
{
    if (auto* wizardPage = qobject_cast<CWizardDialog*>(page(id)))
        wizardPage->OnSetActive();
}
