// The editor's error convention: a failed check throws an error id by value;
// the owner of the operation catches it at its boundary. User-interface and
// filter code throws enumErrorID, imaging, script and document code throws int;
// the two are distinct types, so a catch of one never stops the other.
#pragma once

enum enumErrorID : int {
    ErrorIdSilent = -1,  // already handled, or needs no message
    ErrorIdReported = 1, // the user is told (text 24)
};

// Callers normally omit file and line: the call site is filled in.
int NullCheck(const void* pointer, int id, const char* file = __builtin_FILE(), int line = __builtin_LINE());
int NullCheck(const void* pointer, enumErrorID id, const char* file = __builtin_FILE(),
              int line = __builtin_LINE());
void BoolCheck(int condition, int id, const char* file = __builtin_FILE(), int line = __builtin_LINE());
void BoolCheck(int condition, enumErrorID id, const char* file = __builtin_FILE(),
               int line = __builtin_LINE());
