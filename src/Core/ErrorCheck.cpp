#include "Core/ErrorCheck.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

// The latest failures of this thread, with how many failed before them.
struct FailedChecks
{
    std::array<FailedCheck, FailedCheckTrail::kKept> ring{};
    std::uint64_t count = 0;
};

thread_local FailedChecks t_failed;

// The check's text goes to standard error only when ZAV_TRACE_CHECKS is set:
// fuzzing and the tests fail checks by the million on purpose. Where it failed
// is always kept for the operation's boundary.
template <typename Id> [[noreturn]] void Fail(const char* kind, Id id, const char* file, int line)
{
    static const bool trace = std::getenv("ZAV_TRACE_CHECKS") != nullptr;
    if (trace)
        std::fprintf(stderr, "%s Fail - %s : %d\n", kind, file ? file : "", line);
    t_failed.ring[t_failed.count % FailedCheckTrail::kKept] = FailedCheck{file ? file : "", line};
    ++t_failed.count;
    throw id;
}

} // namespace

int NullCheck(const void* pointer, int id, const char* file, int line)
{
    if (!pointer)
        Fail("NullCheck", id, file, line);
    return 1;
}

int NullCheck(const void* pointer, enumErrorID id, const char* file, int line)
{
    if (!pointer)
        Fail("NullCheck", id, file, line);
    return 1;
}

int BoolCheck(int condition, int id, const char* file, int line)
{
    if (!condition)
        Fail("BoolCheck", id, file, line);
    return 1;
}

int BoolCheck(int condition, enumErrorID id, const char* file, int line)
{
    if (!condition)
        Fail("BoolCheck", id, file, line);
    return 1;
}

FailedCheckTrail::FailedCheckTrail() : m_start(t_failed.count)
{
}

std::uint64_t FailedCheckTrail::Count() const
{
    return t_failed.count - m_start;
}

std::vector<FailedCheck> FailedCheckTrail::Kept() const
{
    const std::uint64_t end = t_failed.count;
    const std::uint64_t kept = std::min<std::uint64_t>(Count(), FailedCheckTrail::kKept);
    std::vector<FailedCheck> checks;
    for (std::uint64_t i = end - kept; i < end; ++i)
        checks.push_back(t_failed.ring[i % FailedCheckTrail::kKept]);
    return checks;
}
