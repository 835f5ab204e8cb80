#include "Dialogs/ThumbnailWorker.h"

#include "Platform/WaitFeedback.h"

#include <QObject>

#include <chrono>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Linux gives each thread its own nice value, so only the worker yields.
void LowerThisThreadPriority()
{
    const id_t self = static_cast<id_t>(gettid());
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, self);
    if (errno == 0 && current < 19)
        (void)setpriority(PRIO_PROCESS, self, current + 5 > 19 ? 19 : current + 5);
}

} // namespace

CThumbnailWorker::CThumbnailWorker(Loader loader, Sink sink, IWaitFeedback* feedback)
    : m_loader(std::move(loader)), m_sink(std::move(sink)), m_feedback(feedback),
      m_mailbox(std::make_unique<ThumbnailMailbox>([this] { Drain(); }))
{
}

CThumbnailWorker::~CThumbnailWorker()
{
    Stop();
}

void CThumbnailWorker::Start(std::vector<ThumbnailJob> jobs)
{
    Stop();
    if (jobs.empty())
        return;
    const int run = ++m_run;
    m_stop = std::make_shared<std::atomic<bool>>(false);
    std::promise<ContinueFlagHandle> flag;
    std::future<ContinueFlagHandle> flagReady = flag.get_future();
    std::promise<void> done;
    m_done = done.get_future();
    // `this` outlives the thread, which Stop joins.
    auto post = [this, run](ThumbnailResult result) { Post(run, std::move(result)); };
    m_thread = std::thread([jobs = std::move(jobs), loader = m_loader, stop = m_stop, flag = std::move(flag),
                            done = std::move(done), post = std::move(post)]() mutable {
        done.set_value_at_thread_exit();
        Run(std::move(jobs), std::move(loader), std::move(stop), std::move(flag), std::move(post));
    });
    ++m_starts;
    // The worker's own continue flag, so that a stop can end its running decode.
    m_workerFlag = flagReady.get();
}

void CThumbnailWorker::Run(std::vector<ThumbnailJob> jobs, Loader loader,
                           std::shared_ptr<std::atomic<bool>> stop, std::promise<ContinueFlagHandle> flag,
                           std::function<void(ThumbnailResult)> post)
{
    flag.set_value(ThisThreadContinueFlag());
    LowerThisThreadPriority();
    for (ThumbnailJob& job : jobs) {
        if (stop->load())
            return;
        QImage image;
        try {
            image = loader(job.path);
        } catch (...) {
            // A stop thrown out of a decode, or one unreadable file: the
            // test below tells them apart.
            image = QImage();
        }
        if (stop->load())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        post(ThumbnailResult{job.generation, job.index, std::move(job.path), std::move(image)});
    }
}

void CThumbnailWorker::Stop()
{
    // Whatever the old thread posted and is still queued is dropped on arrival.
    ++m_run;
    if (!m_thread.joinable())
        return;
    m_stop->store(true);
    m_workerFlag.RequestCancel();
    if (m_feedback)
        m_feedback->BeginWait();
    while (m_done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        if (m_feedback)
            m_feedback->KeepPainted();
    m_thread.join();
    {
        // What the old thread made and no one took is dropped.
        const std::lock_guard guard(m_lock);
        m_results.clear();
    }
    if (m_feedback)
        m_feedback->EndWait();
    m_workerFlag = ContinueFlagHandle();
}

void CThumbnailWorker::Post(int run, ThumbnailResult result)
{
    {
        const std::lock_guard guard(m_lock);
        m_results.emplace_back(run, std::move(result));
    }
    // The mailbox lives on the user-interface thread; a wake-up that arrives
    // after the results were taken finds nothing, and one still queued when
    // the mailbox goes is dropped with it.
    QMetaObject::invokeMethod(m_mailbox.get(), "Drain", Qt::QueuedConnection);
}

void CThumbnailWorker::Drain()
{
    std::deque<std::pair<int, ThumbnailResult>> results;
    {
        const std::lock_guard guard(m_lock);
        results.swap(m_results);
    }
    for (const auto& [run, result] : results)
        if (run == m_run && m_sink)
            m_sink(result);
}
