// The program's log, from which a user's report can be traced: each entry is a
// line on standard error and is appended to "zaveditor.log" in the program's
// temporary folder, which is cut back to its newer half when it grows too large.
#pragma once

#include "Core/ErrorCheck.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

class ProgramLog
{
public:
    using Clock = std::function<std::time_t()>;
    static constexpr const char* kFileName = "zaveditor.log";
    static constexpr std::int64_t kMaxBytes = 256 * 1024;

    // The folder of the log file; empty for the program's temporary folder.
    void SetFolder(std::string folder);
    void SetClock(Clock clock);
    // Empty when there is no folder to write to.
    std::string FilePath() const;
    // One entry, stamped with the local time; a line break in it becomes a blank.
    void Write(std::string_view text);

private:
    void AppendToFile(const std::string& line) const;

    std::string m_folder;
    Clock m_clock;
};

// The process's log; tests point it at a folder of their own.
ProgramLog& GetProgramLog();

// Logs that an open, save or registration of `target` ended with message
// `textId`, and where the checks of `trail` failed: the place of each, oldest
// first, relative to the source tree.
void LogOperationEnd(std::string_view operation, std::string_view target, int textId,
                     const FailedCheckTrail& trail);
