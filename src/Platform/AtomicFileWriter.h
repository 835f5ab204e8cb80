// Replaces a file whole or not at all: the bytes go to a temporary file in the
// target's folder, which is synced and renamed over the target only when every
// step succeeded. A failure removes the temporary file and leaves the target
// exactly as it was, so a full disk or a lost network folder never costs the
// user the previous good file.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

// The system calls a staged write makes at the steps that can fail. Nothing is
// installed in the editor; tests install their own on the writing thread to
// make a chosen step fail.
class IFileWriteCalls
{
public:
    virtual ~IFileWriteCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode) = 0;
    virtual ssize_t Write(int fd, const void* buffer, std::size_t count) = 0;
    virtual int Sync(int fd) = 0;
    virtual int Rename(const char* from, const char* to) = 0;
};

// Installs `calls` for the staged writes of the calling thread (null: the
// system's own) and returns what was installed before.
IFileWriteCalls* SetFileWriteCallsForThread(IFileWriteCalls* calls);

class AtomicFileWriter
{
public:
    AtomicFileWriter() = default;
    // An open write that was not committed is discarded.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file beside `target`; through symbolic links it
    // lies beside the file they end at, which is replaced while the links stay. A new target gets `mode` less
    // the umask, an existing one keeps its permissions (and its owner and group where allowed). An existing
    // target that is not a regular file (a device, a pipe) has no contents to keep and is written directly.
    // False when the folder is missing or the file cannot be created.
    bool Open(const std::string& target, mode_t mode = 0666);
    bool IsOpen() const { return m_fd >= 0; }
    // The descriptor of the file being written, for seeking and reading back;
    // -1 while closed.
    int Descriptor() const { return m_fd; }

    // Writes all the bytes at the current position; false on any failure.
    bool Write(const void* buffer, std::size_t count);
    // Syncs the file and renames it over the target; on failure the target is
    // left as it was. Closes in either case.
    bool Commit();
    // Closes and removes the temporary file; the target is not touched.
    void Discard();

private:
    int m_fd = -1;
    bool m_direct = false;
    bool m_keepMode = false;
    mode_t m_mode = 0;
    uid_t m_owner = 0;
    gid_t m_group = 0;
    std::string m_target;
    std::string m_temporary;
};

// Writes `size` bytes as the whole new contents of `target` through the writer.
bool WriteFileAtomically(const std::string& target, const void* bytes, std::size_t size, mode_t mode = 0666);

// Flushes a file or a folder's entries to the disk. A file system that cannot
// sync a folder (some network ones) counts as synced.
bool SyncPath(const std::string& path);
