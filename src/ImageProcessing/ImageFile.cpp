#include "ImageProcessing/ImageFile.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

bool IsUsablePictureSize(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1)
        return false;
    if (width > static_cast<std::int64_t>(kMaxPicturePixels) ||
        height > static_cast<std::int64_t>(kMaxPicturePixels))
        return false;
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxPicturePixels;
}

PageBuffer AllocPageBuffer(std::uint64_t size)
{
    if (size == 0 || size > std::numeric_limits<std::size_t>::max())
        return nullptr;
    return PageBuffer(static_cast<std::uint8_t*>(PageAlloc(static_cast<std::size_t>(size))));
}

CImageFile::~CImageFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CImageFile::Open(const std::string& path, OpenMode mode)
{
    Close();
    const int flags = mode == OpenMode::Read ? O_RDONLY : (O_RDWR | O_CREAT | O_TRUNC);
    do {
        m_fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    } while (m_fd < 0 && errno == EINTR);
    return m_fd >= 0;
}

std::size_t CImageFile::ReadBytes(void* buffer, std::size_t count)
{
    if (m_fd < 0)
        return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool CImageFile::WriteBytes(const void* buffer, std::size_t count)
{
    if (m_fd < 0)
        return false;
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool CImageFile::Seek(std::uint64_t position)
{
    if (m_fd < 0 || position > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return false;
    return ::lseek(m_fd, static_cast<off_t>(position), SEEK_SET) == static_cast<off_t>(position);
}

std::uint64_t CImageFile::GetPosition() const
{
    if (m_fd < 0)
        return 0;
    const off_t at = ::lseek(m_fd, 0, SEEK_CUR);
    return at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

std::uint64_t CImageFile::GetLength() const
{
    struct stat st
    {
    };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

void CImageFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool CImageFile::IsReadableFile(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}
