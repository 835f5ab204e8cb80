#include "Dialogs/PictureRangeDialog.h"

#include "App/AppSettings.h"
#include "App/MessageBoxes.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/PictureRange.h"
#include "Dialogs/RangePictureView.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Platform/DialogLayoutTarget.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <array>

namespace {

struct ToolButtonSpec
{
    int controlId;
    int iconId;
    const char* text;
};

constexpr std::array<ToolButtonSpec, 3> kToolButtons{{
    {1050, 246, "Choose the range"},
    {1051, 240, "Zoom in"},
    {1052, 241, "Zoom out"},
}};
constexpr int kDrawAreaId = 2100;
constexpr int kDialogIconId = 260;
constexpr int kTooThinTextId = 84;
constexpr int kToolTipChars = 80;
// Between OK's top and the view's bottom.
constexpr int kViewGap = 8;

// Remembered for the rest of the process, whichever dialog ran last.
struct LastPicture
{
    std::string name;
    int zoom = 0;
};

LastPicture& Last()
{
    static LastPicture last;
    return last;
}

QIcon ResourceIcon(int id)
{
    return QIcon(QStringLiteral(":/icons/%1.png").arg(id));
}

} // namespace

CPictureRangeDialog::CPictureRangeDialog(IDialogShell& shell, QWidget* parent)
    : CSettingsDialog(shell, kDialogId, parent), m_tools(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Picture range"));
    m_tools->setExclusive(true);
    for (std::size_t i = 0; i < kToolButtons.size(); ++i) {
        auto* button = AddControl(new QToolButton(this), kToolButtons[i].controlId);
        button->setText(QString::fromLatin1(kToolButtons[i].text));
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(false);
        m_tools->addButton(button, static_cast<int>(i));
    }
    m_drawArea = AddControl(new QWidget(this), kDrawAreaId);
    m_drawArea->hide();
    // The places the localisation file gives, for a file without the dialog's section.
    OkButton()->setGeometry(124, 304, 100, 28);
    CancelButton()->setGeometry(232, 304, 100, 28);
    m_drawArea->setGeometry(8, 48, 324, 248);
    for (std::size_t i = 0; i < kToolButtons.size(); ++i)
        ToolButton(kToolButtons[i].controlId)->setGeometry(8 + 40 * static_cast<int>(i), 8, 32, 32);
    resize(340, 340);
    connect(m_tools, &QButtonGroup::idClicked, this, [this](int) { OnModeCommand(); });
    Localize();
}

CPictureRangeDialog::~CPictureRangeDialog() = default;

QToolButton* CPictureRangeDialog::ToolButton(int controlId) const
{
    for (QAbstractButton* button : m_tools->buttons())
        if (GetControlId(button) == controlId)
            return static_cast<QToolButton*>(button);
    return nullptr;
}

std::string CPictureRangeDialog::LastPictureName()
{
    return Last().name;
}

int CPictureRangeDialog::LastZoom()
{
    return Last().zoom;
}

void CPictureRangeDialog::ForgetLastPicture()
{
    Last() = LastPicture{};
}

int CPictureRangeDialog::exec()
{
    return IDCANCEL;
}

int CPictureRangeDialog::DoModalForItem(CInsertImageFrameItem* item)
{
    if (!item || !item->GetImageBuffer1()->IsValid())
        return kFailed;
    m_item = item;
    const int result = QDialog::exec();
    if (result == QDialog::Accepted)
        return IDOK;
    return result == kFailed ? kFailed : IDCANCEL;
}

void CPictureRangeDialog::OnInitDialog()
{
    try {
        InitDialog();
    } catch (enumErrorID id) {
        Fail(id);
    }
}

void CPictureRangeDialog::InitDialog()
{
    setWindowIcon(ResourceIcon(kDialogIconId));
    for (const ToolButtonSpec& spec : kToolButtons) {
        QToolButton* button = ToolButton(spec.controlId);
        button->setIcon(ResourceIcon(spec.iconId));
        button->setIconSize(button->size() - QSize(8, 8));
        button->setToolTip(button->text().left(kToolTipChars));
    }
    OkButton()->setToolTip(QString());
    CancelButton()->setToolTip(QString());

    const QRect ok = OkButton()->geometry();
    const QRect cancel = CancelButton()->geometry();
    m_rightMargin = width() - (cancel.x() + cancel.width());
    m_bottomMargin = height() - (cancel.y() + cancel.height());
    m_buttonGap = cancel.x() - (ok.x() + ok.width());

    m_view = CRangePictureView::Create(this, m_drawArea->x(), m_drawArea->y());
    NullCheck(m_view, ErrorIdReported);
    m_view->setToolTip(QString());
    m_view->SetFailureHandler([this](int id) { Fail(id); });
    m_view->resize(m_drawArea->size());
    m_view->SetItem(m_item);
    m_mode = 0;
    m_tools->button(m_mode)->setChecked(true);
    m_view->SetMode(m_mode);

    m_initialWidth = width();
    m_initialHeight = height();
    setMinimumSize(m_initialWidth, m_initialHeight);
    PlaceFromSettings();
    LayoutControls();

    const LastPicture& last = Last();
    const SIZE picture = m_view->Geometry().GetPictureSize();
    const QString name = QString::fromStdString(m_item->GetImageFileName());
    if (last.zoom > 0 && QString::fromStdString(last.name).compare(name, Qt::CaseInsensitive) == 0)
        m_view->SetZoom(last.zoom, picture.cx / 2, picture.cy / 2);
    else
        m_view->FitZoom();
    m_initialised = true;
}

void CPictureRangeDialog::Fail(int errorId)
{
    if (m_failed)
        return;
    m_failed = true;
    m_shell.ReportErrorCode(errorId);
    // The modal loop may not have started yet (a failure while the dialog is first shown).
    QTimer::singleShot(0, this, [this] { done(kFailed); });
}

void CPictureRangeDialog::PlaceFromSettings()
{
    const Rect stored = m_shell.Settings().GetRangeWindowRect();
    if (stored.left == NeverStored || stored.top == NeverStored)
        return;
    const QPoint centre((stored.left + stored.right) / 2, (stored.top + stored.bottom) / 2);
    QScreen* screen = QGuiApplication::screenAt(centre);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const RECT placed = PlaceInsideWorkArea(
        stored, RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    // The stored rectangle is the window's with its frame.
    const QSize frame = frameGeometry().size() - size();
    resize(std::max(placed.Width() - frame.width(), m_initialWidth),
           std::max(placed.Height() - frame.height(), m_initialHeight));
    move(placed.left, placed.top);
}

void CPictureRangeDialog::LayoutControls()
{
    QPushButton* ok = OkButton();
    QPushButton* cancel = CancelButton();
    const int cancelLeft = width() - m_rightMargin - cancel->width();
    const int cancelTop = height() - m_bottomMargin - cancel->height();
    cancel->move(cancelLeft, cancelTop);
    ok->move(cancelLeft - m_buttonGap - ok->width(), cancelTop);
    if (m_view) {
        const QPoint at = m_view->pos();
        m_view->resize(std::max(width() - 2 * at.x(), 1), std::max(cancelTop - at.y() - kViewGap, 1));
    }
}

void CPictureRangeDialog::StoreWindowRect()
{
    if (!m_initialised || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return;
    const QRect r = frameGeometry();
    const Rect rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    m_shell.Settings().SetRangeWindowRect(&rect);
}

void CPictureRangeDialog::resizeEvent(QResizeEvent* event)
{
    CSettingsDialog::resizeEvent(event);
    if (!m_view)
        return;
    try {
        LayoutControls();
    } catch (enumErrorID id) {
        Fail(id);
    }
    StoreWindowRect();
}

void CPictureRangeDialog::moveEvent(QMoveEvent* event)
{
    CSettingsDialog::moveEvent(event);
    StoreWindowRect();
}

void CPictureRangeDialog::wheelEvent(QWheelEvent* event)
{
    if (m_view)
        m_view->ScrollPage(true, event->angleDelta().y() < 1);
    event->accept();
}

void CPictureRangeDialog::OnModeCommand()
{
    m_mode = m_tools->checkedId();
    if (m_view)
        m_view->SetMode(m_mode);
}

void CPictureRangeDialog::accept()
{
    // A dialog that failed to start is ending with 3; OK must not write what it never showed.
    if (m_failed || !m_view || !m_item)
        return;
    RECT range{};
    m_view->GetRange(&range);
    switch (CheckPictureRange(range)) {
    case RangeVerdict::Refuse:
        m_shell.ShowLocalizedMessage(kTooThinTextId, MB_ICONSTOP);
        return;
    case RangeVerdict::WriteEmpty:
        m_item->SetImageRange(RECT{});
        break;
    case RangeVerdict::Write:
        m_item->SetImageRange(range);
        break;
    }
    CSettingsDialog::accept();
}

void CPictureRangeDialog::Remember()
{
    if (m_remembered || !m_initialised || !m_view || !m_item)
        return;
    m_remembered = true;
    Last() = LastPicture{m_item->GetImageFileName(), m_view->GetZoom()};
}

void CPictureRangeDialog::done(int result)
{
    Remember();
    CSettingsDialog::done(result);
}
