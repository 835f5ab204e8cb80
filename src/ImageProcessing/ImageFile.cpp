#include "ImageProcessing/ImageFile.h"

#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/PixelConversion.h"

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
    if (m_fd >= 0 && !m_staged.IsOpen())
        ::close(m_fd);
}

bool CImageFile::Open(const std::string& path, OpenMode mode)
{
    Close();
    if (mode == OpenMode::CreateReadWrite) {
        if (m_staged.Open(path, 0666))
            m_fd = m_staged.Descriptor();
        return m_fd >= 0;
    }
    do {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (m_fd < 0 && errno == EINTR);
    return m_fd >= 0;
}

bool CImageFile::CommitWrite()
{
    if (!m_staged.IsOpen())
        return false;
    m_fd = -1;
    return m_staged.Commit();
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
    if (m_staged.IsOpen())
        return m_staged.Write(buffer, count);
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
    if (m_staged.IsOpen())
        m_staged.Discard();
    else if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool CImageFile::IsReadableFile(const std::string& path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int CImageFile::ReadScaled(std::string, CImage*, int, int, SIZE*, double*, COLORREF, int, const SIZE*)
{
    return ImageFileUnsupported;
}

int CImageFile::Read(std::string, CImage*)
{
    return ImageFileUnsupported;
}

int CImageFile::WriteBuffer(std::string, const std::uint8_t*, const std::uint8_t*, int, int)
{
    return ImageFileNoMemory;
}

int CImageFile::Write(std::string, CImage*)
{
    return ImageFileNoMemory;
}

int CImageFile::ReadBuffer(std::string, std::uint8_t**, std::uint8_t**, SIZE*, const SIZE*)
{
    return ImageFileUnsupported;
}

bool CImageFile::SwapRedBlue(std::uint8_t* buffer, int rowBytes, int rows)
{
    return ::SwapRedBlue(buffer, rowBytes, rows);
}

std::uint16_t CImageFile::Swap16(std::uint16_t value)
{
    return static_cast<std::uint16_t>(value << 8 | value >> 8);
}

void CImageFile::Swap16InPlace(std::uint16_t* value)
{
    *value = Swap16(*value);
}

std::uint32_t CImageFile::Swap32(std::uint32_t value)
{
    return std::uint32_t{Swap16(static_cast<std::uint16_t>(value & 0xFFFF))} << 16 |
           Swap16(static_cast<std::uint16_t>(value >> 16));
}

void CImageFile::Swap32InPlace(std::uint32_t* value)
{
    *value = Swap32(*value);
}

bool CImageFile::ExceedsMaximum(std::int64_t width, std::int64_t height, const SIZE* maximum)
{
    if (!maximum)
        return false;
    return (maximum->cx >= 0 && width > maximum->cx) || (maximum->cy >= 0 && height > maximum->cy);
}

void CImageFile::PlaceWhole(CImage* target, const std::uint8_t* pixels, int bpp, int width, int height)
{
    CanContinueOrThrow();
    if (!target->Create(width, height))
        throw static_cast<int>(ImageFileDrawFailed);
    CanContinueOrThrow();
    if (target->SetBitsFromBuffer(0, height, bpp, pixels) <= 0)
        throw static_cast<int>(ImageFileDrawFailed);
}

void CImageFile::PlaceScaled(CImage* target, const std::uint8_t* pixels, int bpp, int width, int height,
                             int boxWidth, int boxHeight, double* scale, COLORREF background, int noEnlarge)
{
    if (noEnlarge && width <= boxWidth && height <= boxHeight) {
        PlaceWhole(target, pixels, bpp, width, height);
        return;
    }
    BoolCheck(boxWidth >= 1 && boxHeight >= 1, 0);
    const Rect fitted = CalcAspectFitRect(width, height, boxWidth, boxHeight, true, scale);
    BoolCheck(!fitted.IsEmpty(), 0);
    CanContinueOrThrow();
    if (noEnlarge) {
        if (!target->Create(fitted.Width(), fitted.Height()))
            throw static_cast<int>(ImageFileDrawFailed);
        CanContinueOrThrow();
        if (target->StretchDIBitsFrom(0, 0, fitted.Width(), fitted.Height(), 0, 0, width, height, bpp, width,
                                      height, pixels, SRCCOPY) < 1)
            throw static_cast<int>(ImageFileDrawFailed);
        return;
    }
    if (!target->Create(boxWidth, boxHeight))
        throw static_cast<int>(ImageFileDrawFailed);
    target->FillRectLTRB(0, 0, boxWidth, boxHeight, background);
    CanContinueOrThrow();
    if (target->StretchDIBitsFrom(fitted.left, fitted.top, fitted.Width(), fitted.Height(), 0, 0, width,
                                  height, bpp, width, height, pixels, SRCCOPY) < 1)
        throw static_cast<int>(ImageFileDrawFailed);
}
