#include "Platform/WaitFeedback.h"

#include "Platform/support/App.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

#include <thread>

namespace {

class Counter : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            ++delivered;
            return true;
        }
        return QObject::event(e);
    }
    int delivered = 0;
};

} // namespace

TEST(WaitFeedback, WaitCursorIsBalancedAndQueuedWorkIsDeliveredNotDropped)
{
    EnsureApp();
    CQtWaitFeedback feedback;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    feedback.BeginWait();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    Counter counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    feedback.KeepPainted();
    EXPECT_EQ(counter.delivered, 2);

    feedback.EndWait();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WaitFeedback, DoesNothingOffTheUserInterfaceThread)
{
    EnsureApp();
    CQtWaitFeedback feedback;
    Counter counter;
    QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
    const QCursor* seen = reinterpret_cast<const QCursor*>(1);
    std::thread worker([&] {
        feedback.BeginWait();
        feedback.KeepPainted();
        seen = QApplication::overrideCursor();
        feedback.EndWait();
    });
    worker.join();
    EXPECT_EQ(seen, nullptr);
    EXPECT_EQ(counter.delivered, 0);
    QCoreApplication::sendPostedEvents(&counter);
    EXPECT_EQ(counter.delivered, 1);
}
