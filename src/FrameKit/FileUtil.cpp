#include "FrameKit/FileUtil.h"

#include "FrameKit/PackageErrorCode.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kRefLimit = 261; // references as written in the kit's files

// Last "\" that is a separator, skipping trail bytes of double-byte characters.
const char* LastSeparator(const char* path, std::size_t limit)
{
    const char* last = nullptr;
    for (std::size_t i = 0; i < limit && path[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSjisLeadByte(c) && path[i + 1] != '\0') {
            ++i;
            continue;
        }
        if (c == '\\')
            last = path + i;
    }
    return last;
}

const char* NamePart(const char* path)
{
    const char* sep = LastSeparator(path, kRefLimit);
    return sep ? sep + 1 : path;
}

unsigned char Lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Case folds single-byte letters only, so trail bytes are compared as they are.
bool EqualNoCase(const char* a, const char* b, std::size_t limit)
{
    for (std::size_t i = 0; i < limit; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (IsSjisLeadByte(ca) && ca == cb && a[i + 1] != '\0') {
            if (a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (Lower(ca) != Lower(cb))
            return false;
        if (ca == '\0')
            return true;
    }
    return true;
}

} // namespace

bool IsSjisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsCharBoundary(const char* text, std::size_t offset)
{
    std::size_t i = 0;
    while (i < offset) {
        if (text[i] == '\0')
            return true;
        i += (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0') ? 2 : 1;
    }
    return i == offset;
}

bool IsTerminatedWithin(const char* text, std::size_t size)
{
    return text != nullptr && std::memchr(text, '\0', size) != nullptr;
}

int ZavOpenRegularForReading(const char* path)
{
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

ZAV_FileUtil::ZAV_FileUtil(const char* path, bool openNow, bool forWriting)
{
    std::memset(m_path, 0, sizeof m_path);
    if (path != nullptr)
        std::strncpy(m_path, path, sizeof m_path - 1);
    m_path[sizeof m_path - 1] = '\0';
    if (!openNow)
        return;
    // Created afresh only: an existing file is never replaced.
    m_fd = forWriting ? ::open(m_path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666)
                      : ZavOpenRegularForReading(m_path);
    m_heldOpen = m_fd >= 0;
}

ZAV_FileUtil::~ZAV_FileUtil()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ZAV_FileUtil::Exists() const
{
    return FileExists(m_path);
}

int ZAV_FileUtil::GetSize(std::uint32_t* size)
{
    if (size == nullptr)
        return ZAV_ERR_ARGUMENT;
    int fd = m_heldOpen ? m_fd : ZavOpenRegularForReading(m_path);
    if (fd < 0)
        return ZAV_ERR_FILE_IO;
    struct stat st;
    int rc = ZAV_OK;
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > UINT32_MAX)
        rc = ZAV_ERR_FILE_IO;
    else
        *size = static_cast<std::uint32_t>(st.st_size);
    if (!m_heldOpen && ::close(fd) != 0)
        rc = ZAV_ERR_FILE_IO;
    return rc;
}

int ZAV_FileUtil::Read(std::uint32_t count, void* buffer, std::uint32_t* countRead)
{
    if (countRead != nullptr)
        *countRead = 0;
    if (buffer == nullptr)
        return ZAV_ERR_ARGUMENT;
    int fd = m_heldOpen ? m_fd : ZavOpenRegularForReading(m_path);
    if (fd < 0)
        return ZAV_ERR_FILE_IO;
    std::uint32_t done = 0;
    int rc = ZAV_OK;
    while (done < count) {
        ssize_t n = ::read(fd, static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            rc = ZAV_ERR_FILE_IO;
            break;
        }
        done += static_cast<std::uint32_t>(n);
    }
    if (countRead != nullptr)
        *countRead = done;
    if (!m_heldOpen && ::close(fd) != 0)
        rc = ZAV_ERR_FILE_IO;
    return rc;
}

int ZAV_FileUtil::Write(std::uint32_t count, std::uint32_t* countWritten, const void* buffer)
{
    if (countWritten != nullptr)
        *countWritten = 0;
    if (buffer == nullptr)
        return ZAV_ERR_ARGUMENT;
    if (m_fd < 0)
        return ZAV_ERR_FILE_IO;
    std::uint32_t done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return ZAV_ERR_FILE_IO;
        done += static_cast<std::uint32_t>(n);
        if (countWritten != nullptr)
            *countWritten = done;
    }
    return ZAV_OK;
}

int ZAV_FileUtil::Seek(std::int32_t position)
{
    if (m_fd < 0 || position < 0 || ::lseek(m_fd, position, SEEK_SET) < 0)
        return ZAV_ERR_FILE_IO;
    return ZAV_OK;
}

bool FileExists(const char* path)
{
    struct stat st;
    return path != nullptr && ::lstat(path, &st) == 0;
}

bool IsFolder(const char* path)
{
    struct stat st;
    return path != nullptr && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFileAt(const char* path)
{
    return path != nullptr && ::unlink(path) == 0;
}

bool RemoveFolder(const char* path)
{
    return path != nullptr && ::rmdir(path) == 0;
}

int CreateFolder(const char* path)
{
    return (path != nullptr && ::mkdir(path, 0777) == 0) ? ZAV_OK : ZAV_ERR_FILE_IO;
}

int GetFileNamePart(const char* path, char* out, std::size_t outSize)
{
    if (out == nullptr || outSize == 0 || !IsTerminatedWithin(path, kRefLimit))
        return ZAV_ERR_ARGUMENT;
    std::memset(out, 0, outSize);
    const char* name = NamePart(path);
    std::size_t len = std::strlen(name);
    if (len > outSize - 1)
        return ZAV_ERR_ARGUMENT;
    std::memcpy(out, name, len);
    return ZAV_OK;
}

int SplitFolderAndName(const char* path, char* folder, char* name)
{
    folder[0] = '\0';
    name[0] = '\0';
    char copy[257] = {};
    std::strncpy(copy, path, 256);
    const char* sep = LastSeparator(copy, 256);
    if (sep == nullptr || sep == copy) {
        std::strcpy(name, sep == copy ? copy + 1 : copy);
        return 0;
    }
    std::size_t at = static_cast<std::size_t>(sep - copy);
    std::memcpy(folder, copy, at);
    folder[at] = '\0';
    std::strcpy(name, sep + 1);
    return static_cast<int>(at);
}

void ReplaceFileName(char* path, const char* name)
{
    if (path == nullptr || name == nullptr || name[0] == '\0')
        return;
    const char* sep = LastSeparator(path, 260);
    std::size_t at = sep ? static_cast<std::size_t>(sep - path) + 1 : 0;
    std::size_t room = 260 > at ? 260 - at : 0;
    std::size_t len = std::strlen(name);
    if (len > room)
        len = room;
    while (len > 0 && !IsCharBoundary(name, len))
        --len;
    std::memcpy(path + at, name, len);
    path[at + len] = '\0';
}

bool SamePath(const char* a, const char* b)
{
    return EqualNoCase(a, b, 260);
}

bool SameFileName(const char* a, const char* b, bool exactCase)
{
    const char* na = NamePart(a);
    const char* nb = NamePart(b);
    return exactCase ? std::strcmp(na, nb) == 0 : EqualNoCase(na, nb, kRefLimit);
}

bool HasExtension(const char* extension, const char* path)
{
    const char* name = NamePart(path);
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr)
        return false;
    if (extension[0] == '.')
        ++extension;
    return EqualNoCase(dot + 1, extension, kRefLimit);
}
