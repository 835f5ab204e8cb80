#include "Platform/WaitFeedback.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>

void CQtWaitFeedback::BeginWait()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtWaitFeedback::EndWait()
{
    QApplication::restoreOverrideCursor();
}

void CQtWaitFeedback::KeepPainted()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
