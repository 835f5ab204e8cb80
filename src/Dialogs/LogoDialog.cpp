#include "Dialogs/LogoDialog.h"

#include "Core/DialogLayout.h"
#include "Dialogs/DialogShell.h"
#include "ImageProcessing/ImageIcon.h"
#include "Platform/DialogLayoutTarget.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

int g_logoClosedByDeactivation = 0;

CLogoDialog::CLogoDialog(IDialogShell& shell, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("LogoDialog"));
    m_picture = LoadBitmapResourcePicture(402);
    const QFont font = shell.GetUIFont();
    CWidgetDialogLayout target(this, &font);
    SetupDialogLayout(130, target, shell.GetLocalizeIniPath());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_timer.setSingleShot(true);
    m_timer.setInterval(3000);
    connect(&m_timer, &QTimer::timeout, this, &QDialog::accept);
    m_timer.start();
}

bool CLogoDialog::event(QEvent* event)
{
    const bool result = QDialog::event(event);
    if (event->type() == QEvent::WindowDeactivate && g_logoClosedByDeactivation == 0) {
        g_logoClosedByDeactivation = 1;
        accept();
    }
    return result;
}

void CLogoDialog::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        accept();
}

void CLogoDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull())
        painter.drawImage(0, 0, m_picture);
}
