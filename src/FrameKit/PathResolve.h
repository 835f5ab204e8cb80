#pragma once

#include "FrameKit/FileUtil.h"

#include <cstddef>
#include <cstdint>
#include <string>

// UTC date and time of a file, in the shape of the kit's platform record.
struct ZavDateTime
{
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// which 1: last write; any other: creation (birth time where the file system
// keeps one, else the last status change). 6002 when the file cannot be read.
int GetFileTime(const char* path, int which, ZavDateTime* out);

// Joins a reference as written in a kit file (Shift-JIS, "\") to a host folder
// (UTF-8, "/"), giving a host path. "." and ".." are folded; a component not
// found as written is looked up in its folder without regard to ASCII case and
// taken when exactly one entry matches (several: it stays as written, so the
// reference names no file; nothing below a component not found is looked
// up). The editor keeps the same rule in its own copy. A
// drive-letter reference stays inside the folder as written (so it never
// resolves against the working directory); a leading "\" starts at the root.
// 6100 for an empty reference, a folder that is not absolute, a reference
// that CP932 cannot convert, or a result that does not fit outSize.
int ResolveRelativePath(const char* reference, const char* baseFolder, char* out,
                        std::size_t outSize = kZavPathSize);

// Text after the last "\" (never a trail byte); null without one or when
// nothing follows it.
const char* FileNamePart(const char* path);
// Erases the last "\" and what follows; a path without one is kept.
void RemoveFileNamePart(std::string& path);

// Whether a host (UTF-8) name can be written in the kit's CP932 files.
bool ZavCp932CanHold(const char* utf8);
