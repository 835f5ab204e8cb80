// The process-wide continue flag polled by long pixel loops of every thread.
#include "Core/ErrorCheck.h"
#include "ImageProcessing/PixelConversion.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<int> g_stopRequested{0};
}

void RequestCancel()
{
    g_stopRequested.store(1, std::memory_order_relaxed);
}

void RequestCancelAll()
{
    RequestCancel();
}

void ResetCancel()
{
    g_stopRequested.store(0, std::memory_order_relaxed);
}

bool CanContinue()
{
    return g_stopRequested.load(std::memory_order_relaxed) <= 0;
}

bool CanContinueOrThrow(const char* file, int line)
{
    if (g_stopRequested.load(std::memory_order_relaxed) != 0) {
        // Kept for a debugger; shown nowhere.
        char note[512];
        std::snprintf(note, sizeof note, "CanContinue Fail - %s : %d\n", file ? file : "", line);
        (void)note;
        throw ErrorIdCancelled;
    }
    return true;
}
