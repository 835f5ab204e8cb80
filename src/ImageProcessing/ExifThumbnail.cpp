// CJpegFile's Exif thumbnail reader and its decoding of JPEG streams held in
// memory.
#include "Core/ErrorCheck.h"
#include "ImageProcessing/DecodedPicture.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "ImageProcessing/PictureOrientation.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/TiffIfdReader.h"

#include <cstring>
#include <span>

namespace {

constexpr std::uint16_t kTagCompression = 0x0103;
constexpr std::uint16_t kTagImageWidth = 0x0100;
constexpr std::uint16_t kTagRowsPerStrip = 0x0116;
constexpr std::uint16_t kTagStripByteCounts = 0x0117;
constexpr std::uint16_t kTagStripOffsets = 0x0111;
constexpr std::uint16_t kTagJpegOffset = 0x0201;
constexpr std::uint16_t kTagJpegLength = 0x0202;
constexpr std::uint16_t kTypeShort = 3;

// The Exif block: the TIFF-structured body of the segment.
class CExifBlock
{
public:
    explicit CExifBlock(std::span<const std::uint8_t> bytes) : m_bytes(bytes), m_reader(bytes) {}

    // The tag's first value in the block's byte order: 16 bits for SHORT, else
    // 32 bits. A missing tag or a value outside the block fails the check.
    std::uint32_t Value(std::uint16_t tag) const
    {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        const std::uint8_t* value = nullptr;
        BoolCheck(m_reader.FindTag(&type, &count, &value, tag), 0);
        const std::size_t size = type == kTypeShort ? 2 : 4;
        BoolCheck(count >= 1 && Inside(value, size), 0);
        return type == kTypeShort ? m_reader.Read16(value) : m_reader.Read32(value);
    }

    // The main picture's orientation, which its thumbnail shares: cameras store
    // both as the sensor saw them.
    int Orientation() const { return ExifOrientation(m_reader); }

    // The bytes at offset .. offset + length, which must lie inside the block.
    const std::uint8_t* Range(std::uint64_t offset, std::uint64_t length) const
    {
        BoolCheck(offset <= m_bytes.size() && length <= m_bytes.size() - offset, 0);
        return m_bytes.data() + offset;
    }

private:
    bool Inside(const std::uint8_t* p, std::size_t size) const
    {
        const std::uint8_t* begin = m_bytes.data();
        return p && p >= begin && size <= m_bytes.size() && std::size_t(p - begin) <= m_bytes.size() - size;
    }

    std::span<const std::uint8_t> m_bytes;
    CTiffIfdReader m_reader;
};

// Uncompressed RGB rows, top row first, into the image.
void ReadUncompressed(const CExifBlock& block, CImage* target)
{
    const std::uint32_t width = block.Value(kTagImageWidth);
    const std::uint32_t height = block.Value(kTagRowsPerStrip);
    const std::uint32_t byteCount = block.Value(kTagStripByteCounts);
    BoolCheck(IsUsablePictureSize(width, height), 0);
    BoolCheck(std::uint64_t(width) * height * 3 == byteCount, 0);
    const std::uint8_t* rgb = block.Range(block.Value(kTagStripOffsets), byteCount);
    CanContinueOrThrow();
    CImagePictureAllocator allocator(target, false);
    const PictureView view = allocator.Allocate(width, height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = rgb + std::size_t(y) * width * 3;
        std::uint8_t* out = view.PixelRow(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            out[4 * x] = in[3 * x + 2];
            out[4 * x + 1] = in[3 * x + 1];
            out[4 * x + 2] = in[3 * x];
            out[4 * x + 3] = 0;
        }
    }
    CanContinueOrThrow();
}

} // namespace

int CJpegFile::ReadExifThumbnail(std::string path, CImage* target)
{
    ResetCancel();
    if (!IsReadableFile(path))
        return ImageFileMissing;
    return Reading([&] {
        NullCheck(target, 0);
        if (!Open(path, OpenMode::Read))
            throw static_cast<int>(ImageFileOpenFailed);
        // The Exif segment must follow the start of image directly.
        std::uint8_t head[12] = {};
        if (ReadBytes(head, sizeof head) != sizeof head || head[3] != 0xE1 ||
            std::memcmp(head + 6, "Exif", 4) != 0)
            throw static_cast<int>(ImageFileUnsupported);
        const std::uint32_t segmentLength = (std::uint32_t(head[4]) << 8) | head[5];
        // The length counts itself and the identifier; anything shorter holds no block.
        if (segmentLength < 8)
            throw static_cast<int>(ImageFileUnsupported);
        const std::uint32_t blockLength = segmentLength - 8;
        PageBuffer buffer = AllocPageBuffer(blockLength + 1);
        if (!buffer)
            throw static_cast<int>(ImageFileNoMemory);
        const std::size_t got = ReadBytes(buffer.get(), blockLength);
        const CExifBlock block(std::span<const std::uint8_t>(buffer.get(), got));

        switch (block.Value(kTagCompression)) {
        case 1:
            ReadUncompressed(block, target);
            break;
        case 6: {
            const std::uint32_t length = block.Value(kTagJpegLength);
            const std::uint8_t* stream = block.Range(block.Value(kTagJpegOffset), length);
            BoolCheck(length > 0 && length <= 0x7FFFFFFF, 0);
            BoolCheck(DecodeMemory(stream, static_cast<int>(length), target), 0);
            break;
        }
        default:
            BoolCheck(false, 0);
        }
        CanContinueOrThrow();
        OrientImage(target, block.Orientation());
    });
}

int CJpegFile::DecodeMemory(const std::uint8_t* data, int length, CImage* target)
{
    ResetCancel();
    return DecodeMemoryInto(data, length, target, false, 3);
}
