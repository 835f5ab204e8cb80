#include "Core/ErrorCheck.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The check's text goes to standard error only when ZAV_TRACE_CHECKS is set:
// fuzzing and the tests fail checks by the million on purpose.
template <typename Id> [[noreturn]] void Fail(const char* kind, Id id, const char* file, int line)
{
    static const bool trace = std::getenv("ZAV_TRACE_CHECKS") != nullptr;
    if (trace)
        std::fprintf(stderr, "%s Fail - %s : %d\n", kind, file ? file : "", line);
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
