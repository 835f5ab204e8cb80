#include "Dialogs/PictureToolDialog.h"

#include "App/AppSettings.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/PictureRange.h"
#include "Layout/ImageFrameItem.h"
#include "Layout/LayoutDialogs.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kDrawAreaId = 2100;
constexpr int kToolTipChars = 80;
// Between OK's top and the view's bottom.
constexpr int kViewGap = 8;

} // namespace

int CPictureToolDialog::LastPicture::ZoomFor(const std::string& pictureName) const
{
    if (zoom > 0 &&
        QString::fromStdString(name).compare(QString::fromStdString(pictureName), Qt::CaseInsensitive) == 0)
        return zoom;
    return 0;
}

CPictureToolDialog::CPictureToolDialog(IDialogShell& shell, int dialogId, QWidget* parent)
    : CSettingsDialog(shell, dialogId, parent), m_tools(new QButtonGroup(this))
{
    m_tools->setExclusive(true);
}

QIcon CPictureToolDialog::ResourceIcon(int id)
{
    return QIcon(QStringLiteral(":/icons/%1.png").arg(id));
}

void CPictureToolDialog::DressToolButton(QToolButton* button, bool withToolTip)
{
    button->setIconSize(button->size() - QSize(8, 8));
    if (withToolTip)
        button->setToolTip(button->text().left(kToolTipChars));
}

QWidget* CPictureToolDialog::AddDrawArea()
{
    m_drawArea = AddControl(new QWidget(this), kDrawAreaId);
    m_drawArea->hide();
    return m_drawArea;
}

bool CPictureToolDialog::HasPicture(CImageFrameItem* item)
{
    return item && item->GetImageBuffer1() && item->GetImageBuffer1()->IsValid();
}

int CPictureToolDialog::RunModal()
{
    const int result = QDialog::exec();
    if (result == QDialog::Accepted)
        return IDOK;
    return result == kFailed ? kFailed : IDCANCEL;
}

void CPictureToolDialog::Fail(int errorId)
{
    if (m_failed)
        return;
    m_failed = true;
    m_shell.ReportErrorCode(errorId);
    // The modal loop may not have started yet (a failure while the dialog is first shown).
    QTimer::singleShot(0, this, [this] { done(kFailed); });
}

void CPictureToolDialog::KeepButtonMargins()
{
    const QRect ok = OkButton()->geometry();
    const QRect cancel = CancelButton()->geometry();
    m_rightMargin = width() - (cancel.x() + cancel.width());
    m_bottomMargin = height() - (cancel.y() + cancel.height());
    m_buttonGap = cancel.x() - (ok.x() + ok.width());
}

void CPictureToolDialog::PlaceWindow()
{
    m_initialWidth = width();
    m_initialHeight = height();
    setMinimumSize(m_initialWidth, m_initialHeight);
    PlaceFromSettings();
    LayoutControls();
}

void CPictureToolDialog::PlaceFromSettings()
{
    const Rect stored = ReadWindowRect();
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

void CPictureToolDialog::LayoutControls()
{
    QPushButton* ok = OkButton();
    QPushButton* cancel = CancelButton();
    const int cancelLeft = width() - m_rightMargin - cancel->width();
    const int cancelTop = height() - m_bottomMargin - cancel->height();
    cancel->move(cancelLeft, cancelTop);
    ok->move(cancelLeft - m_buttonGap - ok->width(), cancelTop);
    if (m_pictureView) {
        const QPoint at = m_pictureView->pos();
        m_pictureView->resize(std::max(width() - 2 * at.x(), 1), std::max(cancelTop - at.y() - kViewGap, 1));
    }
}

void CPictureToolDialog::StoreWindowRect()
{
    if (!m_initialised || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return;
    const QRect r = frameGeometry();
    WriteWindowRect(Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
}

void CPictureToolDialog::resizeEvent(QResizeEvent* event)
{
    CSettingsDialog::resizeEvent(event);
    if (!m_pictureView)
        return;
    try {
        LayoutControls();
    } catch (enumErrorID id) {
        Fail(id);
    }
    StoreWindowRect();
}

void CPictureToolDialog::moveEvent(QMoveEvent* event)
{
    CSettingsDialog::moveEvent(event);
    StoreWindowRect();
}

void CPictureToolDialog::wheelEvent(QWheelEvent* event)
{
    if (m_pictureView)
        ScrollPage(event->angleDelta().y() < 1);
    event->accept();
}
