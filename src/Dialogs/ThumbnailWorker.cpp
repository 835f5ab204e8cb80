#include "Dialogs/ThumbnailWorker.h"

#include "Platform/WaitFeedback.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <chrono>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

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

QEvent::Type ResultsEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

// The results travel under a lock of the standard library, not inside the
// posted event, so that every hand-over is one the thread checker can see.
struct ThumbnailMailbox
{
    std::mutex lock;
    std::vector<std::pair<int, ThumbnailResult>> results; // run, result
};

namespace {

// Lives on the owner's thread; each wake-up event hands over what the mailbox holds.
class ResultReceiver : public QObject
{
public:
    ResultReceiver(std::shared_ptr<ThumbnailMailbox> mailbox,
                   std::function<void(int, const ThumbnailResult&)> deliver)
        : m_mailbox(std::move(mailbox)), m_deliver(std::move(deliver))
    {
    }

    bool event(QEvent* event) override
    {
        std::vector<std::pair<int, ThumbnailResult>> taken;
        bool ours = false;
        {
            // Taken before the event is looked at: the event was made under this lock.
            const std::lock_guard guard(m_mailbox->lock);
            ours = event->type() == ResultsEventType();
            if (ours)
                taken.swap(m_mailbox->results);
        }
        if (!ours)
            return QObject::event(event);
        for (const auto& [run, result] : taken)
            m_deliver(run, result);
        return true;
    }

private:
    std::shared_ptr<ThumbnailMailbox> m_mailbox;
    std::function<void(int, const ThumbnailResult&)> m_deliver;
};

} // namespace

CThumbnailWorker::CThumbnailWorker(Loader loader, Sink sink, IWaitFeedback* feedback)
    : m_loader(std::move(loader)), m_sink(std::move(sink)), m_feedback(feedback),
      m_mailbox(std::make_shared<ThumbnailMailbox>()),
      m_receiver(std::make_unique<ResultReceiver>(
          m_mailbox, [this](int run, const ThumbnailResult& result) { Deliver(run, result); }))
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
    QObject* receiver = m_receiver.get();
    // The receiver lives on this thread and outlives the thread (it is
    // joined first); events still queued go with the receiver.
    auto post = [mailbox = m_mailbox, receiver, run](ThumbnailResult result) {
        QEvent* wake = nullptr;
        {
            const std::lock_guard guard(mailbox->lock);
            mailbox->results.emplace_back(run, std::move(result));
            wake = new QEvent(ResultsEventType());
        }
        QCoreApplication::postEvent(receiver, wake);
    };
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
        // What the old thread left is of no use to anyone now.
        const std::lock_guard guard(m_mailbox->lock);
        m_mailbox->results.clear();
    }
    if (m_feedback)
        m_feedback->EndWait();
    m_workerFlag = ContinueFlagHandle();
}

void CThumbnailWorker::Deliver(int run, const ThumbnailResult& result)
{
    if (run == m_run && m_sink)
        m_sink(result);
}
