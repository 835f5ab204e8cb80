// Packing the camera thumbnail: the three stored pictures and the values in an
// APP7 segment laid out as a small TIFF-like directory, the page picture's own
// stream after it.
#include "App/CtfFile.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/JpegEncoder.h"
#include "ImageProcessing/JpegFileLoops.h"

#include <array>
#include <cstring>

namespace {

constexpr std::uint32_t kOutputBlockSize = 512000;
constexpr int kQualityStep = 10;
constexpr int kLowestQuality = 10;
constexpr char kIdentifier[] = "DSC_ZAV_Thumbnail"; // written with its zero byte
constexpr std::size_t kHeaderSize = 165;            // length field, identifier, directory and data
constexpr std::uint32_t kDataOffset = 122;
constexpr std::uint32_t kPicturesOffset = 145;
constexpr std::uint16_t kEntryType = 7;

// A picture as the encoder takes it: packed B, G, R, fourth byte, bottom row
// first. A mask's value lives in its red byte; it is stored as grey.
std::vector<std::uint8_t> PackedPixels(const CImage& image, bool mask)
{
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    const std::uint8_t* bits = image.GetBits();
    NullCheck(bits, 0);
    BoolCheck(image.GetBitsPerPixel() == 32, 0);
    const std::size_t rowBytes = static_cast<std::size_t>(image.GetRowBytes());
    std::vector<std::uint8_t> packed(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = bits + rowBytes * y;
        std::uint8_t* out = packed.data() + std::size_t(width) * 4 * y;
        if (!mask) {
            std::memcpy(out, in, std::size_t(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint8_t value = in[4 * x + 2];
            out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = value;
            out[4 * x + 3] = 0;
        }
    }
    return packed;
}

// One baseline JPEG stream of the picture (or of its mask) in plain JPEG mode.
std::vector<std::uint8_t> Encode(const CImage* image, bool mask, int quality)
{
    NullCheck(image, 0);
    BoolCheck(image->IsValid(), 0);
    const std::vector<std::uint8_t> pixels = PackedPixels(*image, mask);
    const JpegEncodeParams params = EncodeParams(image->GetWidth(), image->GetHeight(), 0, quality);
    CPixelBatchSource rows(pixels.data(), params.width, params.height, std::size_t(params.width) * 4);
    std::vector<std::uint8_t> block(kOutputBlockSize);
    std::vector<std::uint8_t> stream;
    CJpegEncoder encoder;
    std::uint32_t written = 0;
    BoolCheck(JpegEncodeMemory(encoder, params, block.data(), kOutputBlockSize, written) == 0, 0);
    stream.insert(stream.end(), block.begin(), block.begin() + written);
    int status = JpegEncodeMore;
    for (std::uint32_t row = 0; row < params.height; row += kJpegBatchRows) {
        const std::uint8_t* rgb = nullptr;
        const std::uint8_t* plane = nullptr;
        rows.Batch(row, std::min(kJpegBatchRows, params.height - row), &rgb, &plane);
        status =
            JpegEncodePrepare(encoder, params, rgb, block.data(), kOutputBlockSize, written, kJpegBatchRows);
        BoolCheck(status == JpegEncodeMore || status == JpegEncodeDone, 0);
        stream.insert(stream.end(), block.begin(), block.begin() + written);
    }
    BoolCheck(status == JpegEncodeDone && stream.size() > 2, 0);
    return stream;
}

void Put8(std::vector<std::uint8_t>& out, std::uint8_t value)
{
    out.push_back(value);
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Right and bottom are stored inclusive.
void PutRect(std::vector<std::uint8_t>& out, const RECT& r)
{
    Put16(out, static_cast<std::uint16_t>(r.left));
    Put16(out, static_cast<std::uint16_t>(r.top));
    Put16(out, static_cast<std::uint16_t>(r.right - 1));
    Put16(out, static_cast<std::uint16_t>(r.bottom - 1));
}

} // namespace

int CCtfFile::Assemble(std::vector<std::uint8_t>& bytes) const
{
    // Only the stored pictures give way to the segment's 16-bit length: the page
    // mask first, then the close-up, then its mask.
    int quality = m_quality;
    std::vector<std::uint8_t> pageMask = Encode(m_page.GetMask(), true, quality);
    std::vector<std::uint8_t> closeUp = Encode(&m_closeUp, false, quality);
    std::vector<std::uint8_t> closeUpMask = Encode(m_closeUp.GetMask(), true, quality);
    auto length = [&] { return kHeaderSize + pageMask.size() + closeUp.size() + closeUpMask.size(); };
    while (length() > kMaxSegmentLength) {
        quality -= kQualityStep;
        if (quality < kLowestQuality)
            return -1;
        pageMask = Encode(m_page.GetMask(), true, quality);
        if (length() <= kMaxSegmentLength)
            break;
        closeUp = Encode(&m_closeUp, false, quality);
        if (length() <= kMaxSegmentLength)
            break;
        closeUpMask = Encode(m_closeUp.GetMask(), true, quality);
    }
    const std::vector<std::uint8_t> page = Encode(&m_page, false, m_quality);

    const std::uint32_t sa = static_cast<std::uint32_t>(pageMask.size());
    const std::uint32_t sb = static_cast<std::uint32_t>(closeUp.size());
    const std::uint16_t segmentLength = static_cast<std::uint16_t>(length());
    bytes.clear();
    bytes.reserve(4 + length() + page.size());
    bytes.insert(bytes.end(), {0xFF, 0xD8, 0xFF, 0xE7});
    Put8(bytes, static_cast<std::uint8_t>(segmentLength >> 8));
    Put8(bytes, static_cast<std::uint8_t>(segmentLength));
    bytes.insert(bytes.end(), kIdentifier, kIdentifier + sizeof(kIdentifier));

    const std::size_t block = bytes.size(); // offsets count from here
    bytes.insert(bytes.end(), {'I', 'I'});
    Put16(bytes, 0x0100);
    Put32(bytes, 8);
    const std::array<std::pair<std::uint16_t, std::uint32_t>, 9> entries{{
        {0x40, kDataOffset},
        {0x41, kDataOffset + 1},
        {0x42, kDataOffset + 9},
        {0x43, kDataOffset + 12},
        {0x44, kDataOffset + 21},
        {0x45, kDataOffset + 22},
        {0x50, kPicturesOffset},
        {0x51, kPicturesOffset + sa},
        {0x52, kPicturesOffset + sa + sb},
    }};
    Put16(bytes, static_cast<std::uint16_t>(entries.size()));
    for (const auto& [tag, offset] : entries) {
        Put16(bytes, tag);
        Put16(bytes, kEntryType);
        Put32(bytes, 1);
        Put32(bytes, offset);
    }
    Put32(bytes, 0);
    BoolCheck(bytes.size() - block == kDataOffset, 0);

    Put8(bytes, m_fields.portrait);
    PutRect(bytes, m_fields.pageRect);
    bytes.insert(bytes.end(), {0, 0, 0}); // paper colour
    PutRect(bytes, m_fields.frameRect);
    Put8(bytes, m_fields.photoInFront);
    Put8(bytes, m_fields.photoOrientation);
    Put8(bytes, m_fields.aspectClass);
    BoolCheck(bytes.size() - block == kPicturesOffset, 0);

    bytes.insert(bytes.end(), pageMask.begin(), pageMask.end());
    bytes.insert(bytes.end(), closeUp.begin(), closeUp.end());
    bytes.insert(bytes.end(), closeUpMask.begin(), closeUpMask.end());
    bytes.insert(bytes.end(), page.begin() + 2, page.end()); // its start-of-image is the file's
    return 1;
}
