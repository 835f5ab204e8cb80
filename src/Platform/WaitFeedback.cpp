#include "Platform/WaitFeedback.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QThread>

namespace {

// Loaders also run on thumbnail workers; the cursor and the event loop belong
// to the user-interface thread alone.
bool OnUserInterfaceThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

void CQtWaitFeedback::BeginWait()
{
    if (OnUserInterfaceThread())
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtWaitFeedback::EndWait()
{
    if (OnUserInterfaceThread())
        QApplication::restoreOverrideCursor();
}

void CQtWaitFeedback::KeepPainted()
{
    if (OnUserInterfaceThread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
