#include "Core/ProgramLog.h"

#include "Core/Path.h"
#include "Core/TempFolders.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::mutex& LogMutex()
{
    static std::mutex mutex;
    return mutex;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The file keeps its newer half, from a line's start, when the next entry
// would take it over the bound.
void CutBack(int fd, std::int64_t size)
{
    const std::int64_t keep = ProgramLog::kMaxBytes / 2;
    std::vector<char> tail(static_cast<std::size_t>(std::min(keep, size)));
    if (::pread(fd, tail.data(), tail.size(),
                static_cast<off_t>(size - static_cast<std::int64_t>(tail.size()))) !=
        static_cast<ssize_t>(tail.size()))
        return;
    std::size_t from = 0;
    while (from < tail.size() && tail[from] != '\n')
        ++from;
    from = from < tail.size() ? from + 1 : tail.size();
    if (::ftruncate(fd, 0) != 0)
        return;
    WriteAll(fd, tail.data() + from, tail.size() - from);
}

// A source path as the repository names it: from its last "src/", "tests/"
// or "fuzz/" folder on.
std::string_view SourcePlace(std::string_view file)
{
    std::size_t best = std::string_view::npos;
    for (const std::string_view root : {"/src/", "/tests/", "/fuzz/"}) {
        const std::size_t at = file.rfind(root);
        if (at != std::string_view::npos && (best == std::string_view::npos || at > best))
            best = at;
    }
    return best == std::string_view::npos ? file : file.substr(best + 1);
}

} // namespace

void ProgramLog::SetFolder(std::string folder)
{
    const std::lock_guard lock(LogMutex());
    m_folder = std::move(folder);
}

void ProgramLog::SetClock(Clock clock)
{
    const std::lock_guard lock(LogMutex());
    m_clock = std::move(clock);
}

std::string ProgramLog::FilePath() const
{
    const std::string folder = m_folder.empty() ? GetTempFolder() : m_folder;
    return folder.empty() ? std::string() : CombinePath(folder, kFileName);
}

void ProgramLog::Write(std::string_view text)
{
    const std::lock_guard lock(LogMutex());
    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (localtime_r(&now, &local))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line = std::string(stamp) + " zaveditor: ";
    for (const char c : text)
        line += (c == '\n' || c == '\r') ? ' ' : c;
    line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    AppendToFile(line);
}

void ProgramLog::AppendToFile(const std::string& line) const
{
    const std::string path = FilePath();
    if (path.empty())
        return;
    // Never through a link, and only into a file of this user.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
        if (st.st_size + static_cast<std::int64_t>(line.size()) > kMaxBytes) {
            const int reader = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
            if (reader >= 0) {
                CutBack(reader, st.st_size);
                ::close(reader);
            }
        }
        WriteAll(fd, line.data(), line.size());
    }
    ::close(fd);
}

ProgramLog& GetProgramLog()
{
    static ProgramLog log;
    return log;
}

void LogOperationEnd(std::string_view operation, std::string_view target, int textId,
                     const FailedCheckTrail& trail)
{
    std::string text = std::string(operation) + " of \"" + std::string(target) + "\" ended with message " +
                       std::to_string(textId);
    const std::uint64_t failed = trail.Count();
    if (failed == 0) {
        text += "; no check failed";
    } else {
        text += "; failed checks, oldest first:";
        const std::vector<FailedCheck> kept = trail.Kept();
        if (failed > kept.size()) {
            text += " (";
            text += std::to_string(failed - kept.size());
            text += " earlier)";
        }
        for (const FailedCheck& check : kept) {
            text += ' ';
            text += SourcePlace(check.file);
            text += ':';
            text += std::to_string(check.line);
        }
    }
    GetProgramLog().Write(text);
}
