// The editor's error convention: a failed check throws an error id by value;
// the owner of the operation catches it at its boundary. User-interface and
// filter code throws enumErrorID, imaging, script and document code throws int;
// the two are distinct types, so a catch of one never stops the other.
// Each thread also remembers where its latest checks failed, so that an
// operation that ends with a message can say where it went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum enumErrorID : int {
    ErrorIdSilent = -1,  // already handled, or needs no message
    ErrorIdReported = 1, // the user is told (text 24)
};

// Plain int ids with a meaning to the code that catches them.
constexpr int ErrorIdGeneric = 0;   // every check that needs no particular id
constexpr int ErrorIdCancelled = 7; // the user cancelled a long image operation

// Callers normally omit file and line: the call site is filled in. Both
// return 1 when the check passes.
int NullCheck(const void* pointer, int id, const char* file = __builtin_FILE(), int line = __builtin_LINE());
int NullCheck(const void* pointer, enumErrorID id, const char* file = __builtin_FILE(),
              int line = __builtin_LINE());
int BoolCheck(int condition, int id, const char* file = __builtin_FILE(), int line = __builtin_LINE());
int BoolCheck(int condition, enumErrorID id, const char* file = __builtin_FILE(),
              int line = __builtin_LINE());

// Where a check failed: the call site's file (a string of static storage) and line.
struct FailedCheck
{
    const char* file;
    int line;
};

// The checks this thread failed from the trail's making on, oldest first. Only
// the latest kKept are remembered; Count tells how many failed in all.
class FailedCheckTrail
{
public:
    static constexpr std::size_t kKept = 8;

    FailedCheckTrail();
    std::uint64_t Count() const;
    std::vector<FailedCheck> Kept() const;

private:
    std::uint64_t m_start;
};
