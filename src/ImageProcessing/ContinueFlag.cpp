// The continue flag of the calling thread, polled by long pixel loops. Each
// thread has its own, so a worker that starts its next file never clears a
// stop request made for another thread.
#include "Core/ErrorCheck.h"
#include "ImageProcessing/PixelConversion.h"

#include <cstdio>

namespace {

// The flag is made when it is first set or handed out; until then the thread
// counts as not stopped. The plain pointer keeps the per-pixel polls cheap.
thread_local std::atomic<int>* t_flag = nullptr;

struct ThreadFlagOwner
{
    std::shared_ptr<std::atomic<int>> flag;
    ~ThreadFlagOwner() { t_flag = nullptr; }
};
thread_local ThreadFlagOwner t_owner;

const std::shared_ptr<std::atomic<int>>& OwnFlag()
{
    if (!t_owner.flag) {
        t_owner.flag = std::make_shared<std::atomic<int>>(0);
        t_flag = t_owner.flag.get();
    }
    return t_owner.flag;
}

} // namespace

void ContinueFlagHandle::RequestCancel() const
{
    if (m_flag)
        m_flag->store(1, std::memory_order_relaxed);
}

ContinueFlagHandle ThisThreadContinueFlag()
{
    ContinueFlagHandle handle;
    handle.m_flag = OwnFlag();
    return handle;
}

void RequestCancel()
{
    OwnFlag()->store(1, std::memory_order_relaxed);
}

void ResetCancel()
{
    if (std::atomic<int>* flag = t_flag)
        flag->store(0, std::memory_order_relaxed);
}

bool CanContinue()
{
    const std::atomic<int>* flag = t_flag;
    return !flag || flag->load(std::memory_order_relaxed) <= 0;
}

bool CanContinueOrThrow(const char* file, int line)
{
    const std::atomic<int>* flag = t_flag;
    if (flag && flag->load(std::memory_order_relaxed) != 0) {
        // Kept for a debugger; shown nowhere.
        char note[512];
        std::snprintf(note, sizeof note, "CanContinue Fail - %s : %d\n", file ? file : "", line);
        (void)note;
        throw ErrorIdCancelled;
    }
    return true;
}
