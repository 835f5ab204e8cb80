// The background thread of a thumbnail list: its owner hands it jobs taken on
// the user-interface thread and receives each finished picture back on that
// thread. The thread touches nothing of its owner but the loader it was given;
// every result names the filling (generation) and entry it was made for, so
// a picture of an older filling is never applied to a newer one.
#pragma once

#include "ImageProcessing/PixelConversion.h"

#include <QImage>
#include <QObject>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class IWaitFeedback;
struct ThumbnailMailbox;

struct ThumbnailJob
{
    int generation = 0;
    int index = 0;
    std::string path;
};

struct ThumbnailResult
{
    int generation = 0;
    int index = 0;
    std::string path;
    QImage image;
};

class CThumbnailWorker
{
public:
    // Runs on the worker: it may read files, never a widget or its owner's data.
    // A null picture means no thumbnail.
    using Loader = std::function<QImage(const std::string& path)>;
    // Runs on the user-interface thread, once per job done (a null image when
    // there is no picture), so the owner knows when the last one came.
    using Sink = std::function<void(const ThumbnailResult&)>;

    // Made on the user-interface thread; `feedback` keeps the windows painted
    // while a stop waits for the thread (may be null).
    CThumbnailWorker(Loader loader, Sink sink, IWaitFeedback* feedback);
    ~CThumbnailWorker();
    CThumbnailWorker(const CThumbnailWorker&) = delete;
    CThumbnailWorker& operator=(const CThumbnailWorker&) = delete;

    // Stops a running thread, then starts one over the jobs (none: no thread).
    void Start(std::vector<ThumbnailJob> jobs);
    // Asks the thread to end, stops the decode it runs and joins it; results
    // it posted and the sink has not yet seen are dropped.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    // Threads started so far, for tests.
    int StartCount() const { return m_starts; }

private:
    static void Run(std::vector<ThumbnailJob> jobs, Loader loader, std::shared_ptr<std::atomic<bool>> stop,
                    std::promise<ContinueFlagHandle> flag, std::function<void(ThumbnailResult)> post);
    void Deliver(int run, const ThumbnailResult& result);

    Loader m_loader;
    Sink m_sink;
    IWaitFeedback* m_feedback;
    // Results wait here for the receiver, which lives on the owner's thread.
    std::shared_ptr<ThumbnailMailbox> m_mailbox;
    std::unique_ptr<QObject> m_receiver;
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_stop;
    ContinueFlagHandle m_workerFlag;
    std::future<void> m_done;
    // Written and read on the user-interface thread only.
    int m_run = 0;
    int m_starts = 0;
};
