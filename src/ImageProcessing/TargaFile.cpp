#include "ImageProcessing/TargaFile.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/PixelConversion.h"

namespace {

// Hands out the file's pixels one by one, expanding run-length packets, and
// never reads past the data it was given: null once the data is used up.
class TargaPixelStream
{
public:
    TargaPixelStream(std::span<const std::uint8_t> data, std::size_t bytesPerPixel, bool runLength)
        : m_data(data), m_bpp(bytesPerPixel), m_runLength(runLength)
    {
    }

    const std::uint8_t* Next()
    {
        if (m_runLength && m_left == 0) {
            if (m_pos >= m_data.size())
                return nullptr;
            const std::uint8_t packet = m_data[m_pos++];
            m_left = (packet & 0x7F) + 1;
            m_repeat = (packet & 0x80) != 0;
            if (m_repeat && !(m_value = Take()))
                return nullptr;
        }
        if (m_runLength) {
            --m_left;
            if (m_repeat)
                return m_value;
        }
        return Take();
    }

private:
    const std::uint8_t* Take()
    {
        if (m_data.size() - m_pos < m_bpp)
            return nullptr;
        const std::uint8_t* p = m_data.data() + m_pos;
        m_pos += m_bpp;
        return p;
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_bpp;
    bool m_runLength;
    std::size_t m_pos = 0;
    unsigned m_left = 0;
    bool m_repeat = false;
    const std::uint8_t* m_value = nullptr;
};

} // namespace

bool ParseTargaHeader(std::span<const std::uint8_t> file, TargaHeader* header)
{
    if (file.size() < kTargaHeaderSize)
        return false;
    const std::uint8_t* p = file.data();
    header->idLength = p[0];
    header->colorMapType = p[1];
    header->imageType = p[2];
    header->colorMapFirst = Read16(p + 3, 0);
    header->colorMapLength = Read16(p + 5, 0);
    header->colorMapBits = p[7];
    header->xOrigin = Read16(p + 8, 0);
    header->yOrigin = Read16(p + 10, 0);
    header->width = Read16(p + 12, 0);
    header->height = Read16(p + 14, 0);
    header->pixelDepth = p[16];
    header->descriptor = p[17];
    return true;
}

bool IsAcceptedTargaHeader(const TargaHeader& header)
{
    return header.idLength == 0 && header.colorMapType == 0 &&
           (header.imageType == 2 || header.imageType == 10) &&
           (header.pixelDepth == 24 || header.pixelDepth == 32);
}

int DecodeTargaPixels(std::span<const std::uint8_t> file, const TargaHeader& header, PageBuffer* pixels)
{
    const int width = header.width;
    const int height = header.height;
    if (!IsUsablePictureSize(width, height) || file.size() < kTargaHeaderSize)
        return ImageFileUnsupported;
    const std::size_t bpp = header.pixelDepth / 8;
    // Only a 32-bit file that declares 8 alpha bits carries transparency; the
    // fourth byte of any other 32-bit file is not alpha.
    const bool hasAlpha = bpp == 4 && (header.descriptor & 0x0F) == 8;
    const bool topFirst = (header.descriptor & 0x20) != 0;
    const bool rightFirst = (header.descriptor & 0x10) != 0;

    PageBuffer out = AllocPageBuffer(std::uint64_t{static_cast<std::uint32_t>(width)} * height * 4);
    if (!out)
        return ImageFileNoMemory;
    TargaPixelStream stream(file.subspan(kTargaHeaderSize), bpp, header.imageType == 10);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int row = 0; row < height; ++row) {
        std::uint8_t* dst = out.get() + stride * static_cast<std::size_t>(topFirst ? height - 1 - row : row);
        const std::ptrdiff_t step = rightFirst ? -4 : 4;
        if (rightFirst)
            dst += stride - 4;
        for (int x = 0; x < width; ++x, dst += step) {
            const std::uint8_t* src = stream.Next();
            if (!src)
                return ImageFileReadFailed;
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = hasAlpha ? static_cast<std::uint8_t>(255 - src[3]) : 0;
        }
    }
    *pixels = std::move(out);
    return ImageFileOk;
}

std::vector<std::uint8_t> CTargaFile::ReadAccepted(const std::string& path, TargaHeader* header)
{
    if (!IsReadableFile(path))
        throw static_cast<int>(ImageFileMissing);
    if (!Open(path, OpenMode::Read))
        throw static_cast<int>(ImageFileOpenFailed);
    std::vector<std::uint8_t> file(kTargaHeaderSize);
    if (ReadBytes(file.data(), file.size()) < file.size())
        throw static_cast<int>(ImageFileReadFailed);
    ParseTargaHeader(file, header);
    if (!IsAcceptedTargaHeader(*header))
        throw static_cast<int>(ImageFileUnsupported);
    if (!IsUsablePictureSize(header->width, header->height))
        throw static_cast<int>(ImageFileUnsupported);
    // No more than the most a picture of this size can use: run-length data
    // takes at most one packet byte besides each pixel.
    const std::uint64_t bpp = header->pixelDepth / 8;
    const std::uint64_t useful = std::uint64_t{header->width} * header->height * (bpp + 1);
    const std::uint64_t length = GetLength();
    const std::uint64_t left = length > kTargaHeaderSize ? length - kTargaHeaderSize : 0;
    const std::size_t want = static_cast<std::size_t>(left < useful ? left : useful);
    file.resize(kTargaHeaderSize + want);
    file.resize(kTargaHeaderSize + ReadBytes(file.data() + kTargaHeaderSize, want));
    return file;
}

int CTargaFile::Read(std::string path, CImage* target)
{
    ResetCancel();
    return Reading([&] {
        TargaHeader header;
        const std::vector<std::uint8_t> file = ReadAccepted(path, &header);
        Close();
        PageBuffer pixels;
        if (const int code = DecodeTargaPixels(file, header, &pixels); code != ImageFileOk)
            throw code;
        PlaceWhole(target, pixels.get(), 32, header.width, header.height);
    });
}

int CTargaFile::ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                           const SIZE* maximum)
{
    ResetCancel();
    return Reading([&] {
        NullCheck(pixels, 0);
        NullCheck(size, 0);
        TargaHeader header;
        const std::vector<std::uint8_t> file = ReadAccepted(path, &header);
        Close();
        if (ExceedsMaximum(header.width, header.height, maximum)) {
            *size = {header.width, header.height};
            throw static_cast<int>(ImageFileCancelled);
        }
        PageBuffer out;
        if (const int code = DecodeTargaPixels(file, header, &out); code != ImageFileOk)
            throw code;
        PageBuffer maskPlane;
        if (plane) {
            maskPlane.reset(ExtractAlphaPlane(out.get(), header.width * 4, header.height));
            if (!maskPlane)
                throw static_cast<int>(ImageFileNoMemory);
        }
        *size = {header.width, header.height};
        *pixels = out.release();
        if (plane)
            *plane = maskPlane.release();
    });
}
