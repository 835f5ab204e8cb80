#include "Platform/AtomicFileWriter.h"

#include "Platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SystemWriteCalls final : public IFileWriteCalls
{
public:
    int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
    ssize_t Write(int fd, const void* buffer, std::size_t count) override
    {
        return ::write(fd, buffer, count);
    }
    int Sync(int fd) override { return ::fsync(fd); }
    int Rename(const char* from, const char* to) override { return ::rename(from, to); }
};

SystemWriteCalls g_systemCalls;
thread_local IFileWriteCalls* t_calls = nullptr;

IFileWriteCalls& Calls()
{
    return t_calls ? *t_calls : g_systemCalls;
}

struct PathParts
{
    std::string folder;
    std::string name;
};

PathParts SplitPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {std::string("."), path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// A hidden name beside the target that no other writer picks: random, and
// created with O_EXCL so that a clash is retried rather than shared.
std::string TemporaryName(const std::string& folder, const std::string& name)
{
    thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    char tail[24];
    const int tailSize =
        std::snprintf(tail, sizeof tail, ".%016llx~", static_cast<unsigned long long>(random()));
    // The temporary name must stay within the file system's limit too.
    const std::string stem = name.substr(0, static_cast<std::size_t>(NAME_MAX - 1 - tailSize));
    return (folder == "/" ? "/" : folder + "/") + "." + stem + tail;
}

} // namespace

IFileWriteCalls* SetFileWriteCallsForThread(IFileWriteCalls* calls)
{
    IFileWriteCalls* previous = t_calls;
    t_calls = calls;
    return previous;
}

AtomicFileWriter::~AtomicFileWriter()
{
    Discard();
}

bool AtomicFileWriter::Open(const std::string& target, mode_t mode)
{
    Discard();
    if (target.empty())
        return false;
    // Through a link the link's target is replaced, and the temporary file
    // lies beside that target so that the rename stays on its file system; a
    // link whose target does not exist yet makes it.
    const std::string path = FollowSymbolicLinks(target);
    if (path.empty())
        return false;
    struct stat st;
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        do {
            m_fd = Calls().Open(path.c_str(), O_WRONLY | O_CLOEXEC, 0);
        } while (m_fd < 0 && errno == EINTR);
        m_direct = m_fd >= 0;
        return m_direct;
    }
    const auto [folder, name] = SplitPath(path);
    if (name.empty())
        return false;
    for (int attempt = 0; attempt < 64 && m_fd < 0; ++attempt) {
        m_temporary = TemporaryName(folder, name);
        m_fd = Calls().Open(m_temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd < 0 && errno != EEXIST && errno != EINTR)
            break;
    }
    if (m_fd < 0) {
        m_temporary.clear();
        return false;
    }
    m_target = path;
    m_keepMode = exists;
    m_mode = st.st_mode & 07777;
    m_owner = st.st_uid;
    m_group = st.st_gid;
    return true;
}

bool AtomicFileWriter::Write(const void* buffer, std::size_t count)
{
    if (m_fd < 0)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = Calls().Write(m_fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (m_fd < 0)
        return false;
    if (m_direct) {
        const bool ok = ::close(m_fd) == 0;
        m_fd = -1;
        m_direct = false;
        return ok;
    }
    if (m_keepMode) {
        struct stat st;
        if (::fstat(m_fd, &st) == 0 && (st.st_uid != m_owner || st.st_gid != m_group) &&
            ::fchown(m_fd, m_owner, m_group) != 0 && ::fchown(m_fd, static_cast<uid_t>(-1), m_group) != 0) {
            // Owner and group follow where the system lets them (a user may
            // only pick among their own groups); else the writer's own stay.
        }
    }
    bool ok = !m_keepMode || ::fchmod(m_fd, m_mode) == 0;
    ok = ok && Calls().Sync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    ok = ok && Calls().Rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (!ok) {
        ::unlink(m_temporary.c_str());
    } else {
        // Makes the rename itself durable; a folder that cannot be synced
        // does not undo a rename that happened.
        SyncPath(SplitPath(m_target).folder);
    }
    m_temporary.clear();
    m_target.clear();
    return ok;
}

void AtomicFileWriter::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
    m_direct = false;
}

bool WriteFileAtomically(const std::string& target, const void* bytes, std::size_t size, mode_t mode)
{
    AtomicFileWriter writer;
    return writer.Open(target, mode) && writer.Write(bytes, size) && writer.Commit();
}

bool SyncPath(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return synced;
}
