// A file layer for the staged writes of the test's thread that fails one chosen
// step and otherwise does what the system does; it records the files it opened
// so that a test can prove none is left behind. Header-only: the tests of
// other folders use it as well.
#pragma once

#include "Platform/AtomicFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

enum class WriteFault { None, Open, MiddleWrite, Sync, Rename };

inline const char* WriteFaultName(WriteFault fault)
{
    switch (fault) {
    case WriteFault::None:
        return "none";
    case WriteFault::Open:
        return "open";
    case WriteFault::MiddleWrite:
        return "middle write";
    case WriteFault::Sync:
        return "flush";
    case WriteFault::Rename:
        return "rename";
    }
    return "?";
}

class FaultyWriteCalls final : public IFileWriteCalls
{
public:
    // A middle write lets `bytesBeforeFailure` bytes through (a short write),
    // then fails as a full disk does.
    explicit FaultyWriteCalls(WriteFault fault, std::size_t bytesBeforeFailure = 16)
        : m_fault(fault), m_budget(bytesBeforeFailure)
    {
        m_previous = SetFileWriteCallsForThread(this);
    }
    ~FaultyWriteCalls() override { SetFileWriteCallsForThread(m_previous); }
    FaultyWriteCalls(const FaultyWriteCalls&) = delete;
    FaultyWriteCalls& operator=(const FaultyWriteCalls&) = delete;

    int Open(const char* path, int flags, mode_t mode) override
    {
        if (m_fault == WriteFault::Open)
            return Fail(ENOSPC);
        m_opened.push_back(path);
        return ::open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* buffer, std::size_t count) override
    {
        if (m_fault != WriteFault::MiddleWrite)
            return ::write(fd, buffer, count);
        if (m_budget == 0)
            return Fail(ENOSPC);
        const ssize_t n = ::write(fd, buffer, std::min(count, m_budget));
        if (n > 0)
            m_budget -= static_cast<std::size_t>(n);
        return n;
    }
    int Sync(int fd) override { return m_fault == WriteFault::Sync ? Fail(EIO) : ::fsync(fd); }
    int Rename(const char* from, const char* to) override
    {
        return m_fault == WriteFault::Rename ? Fail(EXDEV) : ::rename(from, to);
    }

    // How often the chosen step was made to fail: a test that expects a
    // failure proves with it that the failure came from this step.
    int Failures() const { return m_failures; }
    const std::vector<std::string>& Opened() const { return m_opened; }

private:
    int Fail(int error)
    {
        ++m_failures;
        errno = error;
        return -1;
    }

    WriteFault m_fault;
    std::size_t m_budget;
    int m_failures = 0;
    std::vector<std::string> m_opened;
    IFileWriteCalls* m_previous = nullptr;
};

// Every name in a folder, hidden ones included.
inline std::set<std::string> FolderNames(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.insert(name);
        }
        ::closedir(dir);
    }
    return names;
}

inline unsigned FileMode(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
