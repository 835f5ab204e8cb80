#include "App/HandOverReceiver.h"

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

HandOverReceiver::HandOverReceiver(OpenFunction open, QObject* parent)
    : QObject(parent), m_open(std::move(open))
{
}

void HandOverReceiver::OnOpenFileRequest(const QString& path)
{
    if (QApplication::activeModalWidget() || !m_pending.isEmpty())
        return;
    m_pending = path;
    PostOpenPending();
}

void HandOverReceiver::OnOpenPendingFile()
{
    if (m_pending.isEmpty())
        return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        WaitForModalToClose(modal);
        return;
    }
    const std::string path = m_pending.toStdString();
    m_pending.clear();
    if (m_open)
        m_open(path);
}

void HandOverReceiver::PostOpenPending()
{
    QMetaObject::invokeMethod(this, &HandOverReceiver::OnOpenPendingFile, Qt::QueuedConnection);
}

void HandOverReceiver::WaitForModalToClose(QWidget* modal)
{
    if (m_watchedModal == modal)
        return;
    if (m_watchedModal)
        m_watchedModal->removeEventFilter(this);
    m_watchedModal = modal;
    modal->installEventFilter(this);
}

bool HandOverReceiver::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedModal && (event->type() == QEvent::Hide || event->type() == QEvent::Destroy)) {
        m_watchedModal->removeEventFilter(this);
        m_watchedModal = nullptr;
        // Queued: the modal window is still on the modal stack while it hides.
        PostOpenPending();
    }
    return QObject::eventFilter(watched, event);
}
