// The thumbnail worker on its own: results reach the owner's thread tagged
// with their filling, a stop or a destruction mid-way joins the thread and
// drops what the old filling still had queued, and a stop ends the running
// decode through the worker's own continue flag only.
#include "Dialogs/ThumbnailWorker.h"

#include "App/support/AppTestSupport.h"
#include "ImageProcessing/PixelConversion.h"
#include "Platform/WaitFeedback.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A picture whose colour names the job, so a picture shown on the wrong
// entry would be seen.
QImage Picture(const std::string& path)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, static_cast<int>(std::hash<std::string>()(path) & 0xFF), 255));
    return image;
}

std::vector<ThumbnailJob> Jobs(int generation, int count)
{
    std::vector<ThumbnailJob> jobs;
    for (int i = 0; i < count; ++i)
        jobs.push_back(
            ThumbnailJob{generation, i, "g" + std::to_string(generation) + "/" + std::to_string(i)});
    return jobs;
}

// Counts the waits and keeps posted work flowing, as the Qt feedback does.
class CountingFeedback : public IWaitFeedback
{
public:
    void BeginWait() override { ++begins; }
    void EndWait() override { ++ends; }
    void KeepPainted() override
    {
        ++keptPainted;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    int begins = 0, ends = 0, keptPainted = 0;
};

struct Recorder
{
    std::vector<ThumbnailResult> results;
    std::vector<std::thread::id> threads;
    CThumbnailWorker::Sink Sink()
    {
        return [this](const ThumbnailResult& result) {
            results.push_back(result);
            threads.push_back(std::this_thread::get_id());
        };
    }
};

CThumbnailWorker::Loader SlowLoader(std::atomic<int>& running)
{
    return [&running](const std::string& path) {
        ++running;
        std::this_thread::sleep_for(2ms);
        --running;
        return Picture(path);
    };
}

} // namespace

TEST(ExistingLayoutWorker, EveryJobComesBackOnTheOwnersThreadWithItsFillingAndPicture)
{
    EnsureApp();
    Recorder recorder;
    std::atomic<int> running{0};
    CountingFeedback feedback;
    CThumbnailWorker worker(SlowLoader(running), recorder.Sink(), &feedback);
    worker.Start(Jobs(7, 20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.results.size() == 20; }));
    for (std::size_t i = 0; i < recorder.results.size(); ++i) {
        const ThumbnailResult& result = recorder.results[i];
        EXPECT_EQ(result.generation, 7);
        EXPECT_EQ(result.index, static_cast<int>(i));
        EXPECT_EQ(result.path, "g7/" + std::to_string(i));
        EXPECT_EQ(result.image.pixel(0, 0), Picture(result.path).pixel(0, 0));
    }
    for (const std::thread::id thread : recorder.threads)
        EXPECT_EQ(thread, std::this_thread::get_id());
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}

TEST(ExistingLayoutWorker, ARefillMidListPutsNoPictureOfTheOldFillingOnTheNewOne)
{
    EnsureApp();
    Recorder recorder;
    std::atomic<int> running{0};
    CountingFeedback feedback;
    CThumbnailWorker worker(SlowLoader(running), recorder.Sink(), &feedback);
    worker.Start(Jobs(1, 200));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.results.size() >= 5; }));
    const std::size_t before = recorder.results.size();
    ASSERT_LT(before, 200u) << "the loader is too fast for the test";

    worker.Start(Jobs(2, 200));
    EXPECT_EQ(worker.StartCount(), 2);
    // Results of filling 1 that were queued when the refill came are dropped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.results.size() == before + 200; }));
    for (std::size_t i = before; i < recorder.results.size(); ++i) {
        EXPECT_EQ(recorder.results[i].generation, 2);
        EXPECT_EQ(recorder.results[i].path, "g2/" + std::to_string(recorder.results[i].index));
    }
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
    EXPECT_EQ(recorder.results.size(), before + 200);
    EXPECT_EQ(feedback.begins, feedback.ends);
}

TEST(ExistingLayoutWorker, DestroyingMidListJoinsTheThreadAndDeliversNothingAfterwards)
{
    EnsureApp();
    Recorder recorder;
    std::atomic<int> running{0};
    CountingFeedback feedback;
    auto worker = std::make_unique<CThumbnailWorker>(SlowLoader(running), recorder.Sink(), &feedback);
    worker->Start(Jobs(3, 200));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.results.size() >= 3; }));
    worker.reset();
    // The thread is gone: no load runs and nothing more arrives.
    EXPECT_EQ(running.load(), 0);
    const std::size_t seen = recorder.results.size();
    EXPECT_LT(seen, 200u);
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
    EXPECT_EQ(recorder.results.size(), seen);
}

TEST(ExistingLayoutWorker, AStopEndsTheRunningDecodeThroughTheWorkersOwnFlagOnly)
{
    EnsureApp();
    Recorder recorder;
    std::atomic<bool> started{false};
    std::atomic<bool> endedByFlag{false};
    // A decode as the image readers run it: reset the own flag, then poll it.
    CThumbnailWorker::Loader endless = [&](const std::string& path) {
        ResetCancel();
        started = true;
        const auto limit = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < limit) {
            if (!CanContinue()) {
                endedByFlag = true;
                return QImage();
            }
            std::this_thread::sleep_for(1ms);
        }
        return Picture(path);
    };
    CountingFeedback feedback;
    CThumbnailWorker worker(endless, recorder.Sink(), &feedback);
    ResetCancel();
    worker.Start(Jobs(1, 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }));

    // Ended by the flag, not by the load's own ten seconds running out.
    worker.Stop();
    EXPECT_TRUE(endedByFlag.load());
    EXPECT_FALSE(worker.IsRunning());
    // The user-interface thread's own flag saw no stop: its next pixel loop runs.
    EXPECT_TRUE(CanContinue());
    EXPECT_TRUE(recorder.results.empty());
}

TEST(ExistingLayoutWorker, AStopWaitingOnALongLoadKeepsTheWindowsPainted)
{
    EnsureApp();
    Recorder recorder;
    std::atomic<bool> started{false};
    // A load that never polls a flag: the stop waits for it in 100 ms steps.
    CThumbnailWorker::Loader stubborn = [&](const std::string& path) {
        started = true;
        std::this_thread::sleep_for(350ms);
        return Picture(path);
    };
    CountingFeedback feedback;
    CThumbnailWorker worker(stubborn, recorder.Sink(), &feedback);
    worker.Start(Jobs(1, 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }));
    worker.Stop();
    EXPECT_GE(feedback.keptPainted, 1);
    EXPECT_EQ(feedback.begins, 1);
    EXPECT_EQ(feedback.ends, 1);
    EXPECT_FALSE(worker.IsRunning());
}

TEST(ExistingLayoutWorker, NoJobsStartNoThread)
{
    EnsureApp();
    Recorder recorder;
    CThumbnailWorker worker([](const std::string&) { return QImage(); }, recorder.Sink(), nullptr);
    worker.Start({});
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(worker.StartCount(), 0);
}
