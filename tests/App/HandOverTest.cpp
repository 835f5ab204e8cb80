#include "App/HandOverReceiver.h"
#include "App/SingleInstance.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class HandOverTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApp(); }
    QTemporaryDir dir;
};

TEST_F(HandOverTest, ASecondLockFailsWhileHeldAndSucceedsAfterTheHolderIsKilled)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(dir.filePath(QStringLiteral("instance.lock")));
        lock.setStaleLockTime(0);
        const char answer = lock.tryLock(0) ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    {
        SingleInstance second(dir.path());
        EXPECT_FALSE(second.TryBecomeOnlyInstance());
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    SingleInstance third(dir.path());
    EXPECT_TRUE(third.TryBecomeOnlyInstance());
}

// Sends from a helper thread, as the second process would, while this thread
// serves the socket.
QString SendAndReceive(SingleInstance& running, const QString& folder, const std::string& path)
{
    QSignalSpy spy(&running, &SingleInstance::RequestReceived);
    bool sent = false;
    std::thread sender([&] { sent = SingleInstance::SendToRunningInstance(folder, path); });
    const bool arrived = spy.wait(5000);
    sender.join();
    EXPECT_TRUE(sent);
    if (!arrived || spy.isEmpty())
        return QStringLiteral("<nothing>");
    return spy.takeFirst().at(0).toString();
}

TEST_F(HandOverTest, PathsArriveWholeAndAnEmptyRequestOnlyRaises)
{
    SingleInstance running(dir.path());
    ASSERT_TRUE(running.TryBecomeOnlyInstance());
    EXPECT_EQ(SendAndReceive(running, dir.path(), "no/such/Layout.zvd"),
              QStringLiteral("no/such/Layout.zvd"));
    const std::string longPath = "/" + std::string(299, 'a');
    EXPECT_EQ(SendAndReceive(running, dir.path(), longPath).toStdString(), longPath);
    EXPECT_EQ(SendAndReceive(running, dir.path(), "/写真/レイアウト.zvd"),
              QStringLiteral("/写真/レイアウト.zvd"));
    EXPECT_EQ(SendAndReceive(running, dir.path(), ""), QString());
}

TEST_F(HandOverTest, NobodyListeningIsAFailedSend)
{
    EXPECT_FALSE(SingleInstance::SendToRunningInstance(dir.path(), "/a.zvd", 200));
}

class ReceiverTest : public HandOverTest
{
protected:
    std::vector<std::string> opened;
    HandOverReceiver receiver{[this](const std::string& path) { opened.push_back(path); }};
};

TEST_F(ReceiverTest, ARequestOpensFromTheQueueNotInsideTheRequest)
{
    receiver.OnOpenFileRequest(QStringLiteral("/a.zvd"));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(receiver.PendingPath(), QStringLiteral("/a.zvd"));
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, (std::vector<std::string>{"/a.zvd"}));
    EXPECT_TRUE(receiver.PendingPath().isEmpty());
}

TEST_F(ReceiverTest, OfTwoQuickRequestsTheSecondIsDropped)
{
    receiver.OnOpenFileRequest(QStringLiteral("/a.zvd"));
    receiver.OnOpenFileRequest(QStringLiteral("/b.zvd"));
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, (std::vector<std::string>{"/a.zvd"}));
}

TEST_F(ReceiverTest, NothingBecomesPendingWhileAModalDialogIsUp)
{
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    receiver.OnOpenFileRequest(QStringLiteral("/a.zvd"));
    EXPECT_TRUE(receiver.PendingPath().isEmpty());
    dialog.hide();
    QCoreApplication::processEvents();
    EXPECT_TRUE(opened.empty());
}

TEST_F(ReceiverTest, APathPendingWhenADialogOpenedOpensWhenItCloses)
{
    receiver.OnOpenFileRequest(QStringLiteral("/a.zvd"));
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(receiver.PendingPath(), QStringLiteral("/a.zvd"));
    // Still up after more events: the path waits.
    QCoreApplication::processEvents();
    EXPECT_TRUE(opened.empty());
    dialog.accept();
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, (std::vector<std::string>{"/a.zvd"}));
    // The next request is taken again.
    receiver.OnOpenFileRequest(QStringLiteral("/b.zvd"));
    QCoreApplication::processEvents();
    EXPECT_EQ(opened.size(), 2u);
}

} // namespace
