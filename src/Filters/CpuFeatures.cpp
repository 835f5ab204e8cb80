#include "CpuFeatures.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace FilterCpu {

namespace {

constexpr const char* kNames[] = {"scalar", "sse2", "avx2", "avx512"};
constexpr int kUnread = -1;
constexpr int kNoCap = 3; // the widest level caps nothing

// The cap in force: read from the environment at first use, then replaced by
// SetCap. Relaxed order is enough: the cap is one word and guards no other data.
std::atomic<int> g_cap{kUnread};

int EnvironmentCap()
{
    Level level = Level::Avx512;
    const char* text = std::getenv("ZAV_CPU_CAP");
    if (text && *text && !ParseLevel(text, &level))
        level = Level::Avx512; // an unknown name caps nothing; bench/run refuses it first
    return static_cast<int>(level);
}

int CurrentCap()
{
    int cap = g_cap.load(std::memory_order_relaxed);
    if (cap == kUnread) {
        cap = EnvironmentCap();
        int expected = kUnread;
        if (!g_cap.compare_exchange_strong(expected, cap, std::memory_order_relaxed))
            cap = expected;
    }
    return cap;
}

#if defined(__x86_64__) && defined(__GNUC__)
Level Probe()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
        __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx2"))
        return Level::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return Level::Avx2;
    return Level::Sse2; // every x86-64 processor has SSE2
}
#else
Level Probe()
{
    return Level::Scalar;
}
#endif

} // namespace

Level ProcessorLevel()
{
    static const Level level = Probe();
    return level;
}

Level ActiveLevel()
{
    const int processor = static_cast<int>(ProcessorLevel());
    const int cap = CurrentCap();
    return static_cast<Level>(cap < processor ? cap : processor);
}

void SetCap(Level cap)
{
    g_cap.store(static_cast<int>(cap), std::memory_order_relaxed);
}

void ResetCap()
{
    g_cap.store(EnvironmentCap(), std::memory_order_relaxed);
}

bool ParseLevel(const char* text, Level* level)
{
    if (!text)
        return false;
    for (int i = 0; i <= kNoCap; ++i)
        if (std::strcmp(text, kNames[i]) == 0) {
            *level = static_cast<Level>(i);
            return true;
        }
    return false;
}

const char* LevelName(Level level)
{
    const int i = static_cast<int>(level);
    return i >= 0 && i <= kNoCap ? kNames[i] : "";
}

bool Avx512Vbmi()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx512vbmi"));
    return has && Avx512BwVl();
#else
    return false;
#endif
}

} // namespace FilterCpu
