#include "ImageProcessing/JpegFileLoops.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegAvx2.h"
#include "ImageProcessing/JpegDecoder.h"
#include "ImageProcessing/PixelConversion.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kChunkSize = 5000;
constexpr std::uint64_t kDecoderBlockSize = 307200;
// The tallest MCU a baseline frame can have (sampling factor 4) and the widest pixel.
constexpr std::uint64_t kMaxMcuRows = 32;
constexpr std::uint64_t kMaxPixelBytes = 4;

// The frame width from the SOF0 segment, when it lies in these bytes; else 0.
std::uint32_t FrameWidthIn(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            return 0;
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        const std::size_t length = (std::size_t(data[pos + 2]) << 8) | data[pos + 3];
        if (marker == 0xC0) {
            if (pos + 9 > size)
                return 0;
            return (std::uint32_t(data[pos + 7]) << 8) | data[pos + 8];
        }
        if (marker == 0xDA || length < 2)
            return 0;
        pos += 2 + length;
    }
    return 0;
}

PageBuffer AllocOrThrow(std::uint64_t size)
{
    PageBuffer block = AllocPageBuffer(size);
    if (!block)
        throw static_cast<int>(ImageFileNoMemory);
    return block;
}

} // namespace

bool IsPlausiblePictureSize(std::uint64_t width, std::uint64_t height, std::uint64_t streamLength)
{
    return width * height <= kMaxPixelsPerStreamByte * (streamLength + 1024);
}

std::uint64_t StreamLength(std::FILE* stream)
{
    if (!stream)
        return 0;
    const long start = std::ftell(stream);
    if (start < 0 || std::fseek(stream, 0, SEEK_END) != 0)
        return 0;
    const long end = std::ftell(stream);
    std::fseek(stream, start, SEEK_SET);
    return end > start ? static_cast<std::uint64_t>(end - start) : 0;
}

std::size_t CStreamChunkSource::Next(std::uint8_t* buffer, std::size_t capacity)
{
    return m_stream ? std::fread(buffer, 1, capacity, m_stream) : 0;
}

std::size_t CMemoryChunkSource::Next(std::uint8_t* buffer, std::size_t capacity)
{
    const std::size_t n = std::min(capacity, m_bytes.size() - m_position);
    if (n > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

void DecodeInChunks(IJpegChunkSource& source, IJpegRowSink& sink, std::uint32_t widthHint)
{
    PageBuffer chunk = AllocOrThrow(kChunkSize);
    std::size_t length = source.Next(chunk.get(), kChunkSize);
    if (length == 0)
        throw static_cast<int>(ImageFileReadFailed);

    // The decoder gives one whole row of MCUs at a time, so the block must hold
    // one at the widest the frame may be.
    std::uint32_t width = widthHint ? widthHint : FrameWidthIn(chunk.get(), length);
    if (width == 0)
        width = 0xFFFF;
    const std::uint64_t blockSize = std::max(kDecoderBlockSize, kMaxMcuRows * kMaxPixelBytes * width);
    PageBuffer block = AllocOrThrow(blockSize);

    CJpegDecoder decoder;
    JpegDecodeReset(decoder);
    bool sized = false;
    std::uint32_t pictureWidth = 0, pictureHeight = 0, components = 0, rowsDone = 0;
    for (;;) {
        CanContinueOrThrow();
        std::uint32_t written = 0, w = 0, h = 0, rowWidth = 0, rows = 0;
        const int status =
            JpegDecodeMemory(decoder, chunk.get(), static_cast<std::uint32_t>(length), block.get(),
                             static_cast<std::uint32_t>(blockSize), written, w, h, rowWidth, rows, 0);
        if (status == JpegDecodeError)
            throw static_cast<int>(ImageFileReadFailed);
        if (!sized && w > 0 && h > 0) {
            BoolCheck(rowWidth % w == 0, 0);
            components = rowWidth / w;
            BoolCheck(components == 3 || components == 4, 0);
            BoolCheck(IsUsablePictureSize(w, h), 0);
            BoolCheck(IsPlausiblePictureSize(w, h, source.TotalLength()), 0);
            pictureWidth = w;
            pictureHeight = h;
            sized = true;
            sink.OnSize(w, h, components);
        }
        if (written > 0 || rows > 0) {
            BoolCheck(sized, 0);
            BoolCheck(std::uint64_t(rows) * pictureWidth * components == written, 0);
            BoolCheck(std::uint64_t(rowsDone) + rows <= pictureHeight, 0);
            sink.OnRows(block.get(), rowsDone, rows);
            rowsDone += rows;
        }
        switch (status) {
        case JpegDecodeComplete:
            BoolCheck(sized && rowsDone == pictureHeight, 0);
            return;
        case JpegDecodeBlockFull:
            break; // the same input goes on
        default:   // the chunk is used up
            length = source.Next(chunk.get(), kChunkSize);
            if (length == 0) // the stream ended before the picture did
                throw static_cast<int>(ImageFileReadFailed);
            break;
        }
    }
}

std::uint64_t JpegEncoderBlockSize(std::uint32_t width, bool eff)
{
    // A coded 8 x 8 block never needs more than about 6.4 bytes a sample, byte
    // stuffing included; 8 a sample for every component of the padded batch,
    // plus restart markers, end of image and slack.
    const std::uint64_t padded = (std::uint64_t(width) + 15) / 16 * 16;
    const std::uint64_t components = eff ? 4 : 3;
    return std::max<std::uint64_t>(400000, padded * kJpegBatchRows * components * 8 + 4096);
}

int EncodeInBatches(CImageFile& file, const std::string& path, CJpegEncoder& encoder,
                    const JpegEncodeParams& params, bool eff, IJpegBatchSource& source)
{
    const std::uint64_t blockSize = JpegEncoderBlockSize(params.width, eff);
    BoolCheck(blockSize <= 0xFFFFFFFFu, 0);
    if (!file.Open(path, CImageFile::OpenMode::CreateReadWrite))
        throw static_cast<int>(ImageFileMissing);
    // Closing before the commit drops the staged stream; the target stays as it was.
    struct Dropper
    {
        CImageFile& file;
        ~Dropper() { file.Close(); }
    } dropper{file};

    PageBuffer block = AllocPageBuffer(blockSize);
    if (!block)
        throw static_cast<int>(ImageFileReadFailed); // the writers' "no buffer"
    const auto size = static_cast<std::uint32_t>(blockSize);
    std::uint32_t written = 0;
    const int header = eff ? EffEncodeMemory(encoder, params, block.get(), size, written)
                           : JpegEncodeMemory(encoder, params, block.get(), size, written);
    if (header != 0)
        throw static_cast<int>(ImageFileUnsupported);
    if (!file.WriteBytes(block.get(), written))
        throw static_cast<int>(ImageFileOpenFailed);

    int status = JpegEncodeMore;
    for (std::uint32_t row = 0; row < params.height; row += kJpegBatchRows) {
        CanContinueOrThrow();
        const std::uint8_t* rgb = nullptr;
        const std::uint8_t* plane = nullptr;
        source.Batch(row, std::min(kJpegBatchRows, params.height - row), &rgb, &plane);
        status =
            eff ? EffEncodePrepare(encoder, params, rgb, block.get(), size, written, kJpegBatchRows, plane)
                : JpegEncodePrepare(encoder, params, rgb, block.get(), size, written, kJpegBatchRows);
        if (status != JpegEncodeMore && status != JpegEncodeDone)
            throw static_cast<int>(ImageFileUnsupported); // refused, or the block overflowed
        if (!file.WriteBytes(block.get(), written))
            throw static_cast<int>(ImageFileOpenFailed);
    }
    if (status != JpegEncodeDone)
        throw static_cast<int>(ImageFileUnsupported);
    if (!file.CommitWrite())
        throw static_cast<int>(ImageFileOpenFailed);
    return ImageFileOk;
}

CPixelBatchSource::CPixelBatchSource(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height,
                                     std::size_t rowStride, const std::uint8_t* mask, std::uint32_t maskStep,
                                     std::size_t maskStride, bool withPlane)
    : m_pixels(pixels), m_width(width), m_height(height), m_stride(rowStride), m_mask(mask),
      m_maskStep(maskStep), m_maskStride(maskStride), m_withPlane(withPlane)
{
    m_rows = AllocOrThrow(std::uint64_t(width) * 3 * kJpegBatchRows);
    if (withPlane)
        m_plane = AllocOrThrow(std::uint64_t(width) * kJpegBatchRows); // zero: opaque
}

void CPixelBatchSource::Batch(std::uint32_t firstRow, std::uint32_t count, const std::uint8_t** rgb,
                              const std::uint8_t** plane)
{
    for (std::uint32_t y = 0; y < count; ++y) {
        const std::size_t stored = m_height - 1 - (firstRow + y);
        const std::uint8_t* in = m_pixels + stored * m_stride;
        std::uint8_t* out = m_rows.get() + std::size_t(y) * m_width * 3;
        const std::uint32_t done = JpegAvx2::Available() ? JpegAvx2::RgbFromBgra(in, m_width, out) : 0;
        for (std::uint32_t x = done; x < m_width; ++x) {
            out[3 * x] = in[4 * x + 2];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x];
        }
        if (m_withPlane && m_mask) {
            const std::uint8_t* mask = m_mask + stored * m_maskStride;
            std::uint8_t* outPlane = m_plane.get() + std::size_t(y) * m_width;
            const std::uint32_t done = m_maskStep == 4 && JpegAvx2::Available()
                                           ? JpegAvx2::EveryFourthByte(mask, m_width, outPlane)
                                           : 0;
            for (std::uint32_t x = done; x < m_width; ++x)
                outPlane[x] = mask[std::size_t(x) * m_maskStep];
        }
    }
    *rgb = m_rows.get();
    *plane = m_withPlane ? m_plane.get() : nullptr;
}

int OpenForReading(const std::string& path, StreamPtr& stream)
{
    if (!CImageFile::IsReadableFile(path))
        return ImageFileMissing;
    stream.reset(std::fopen(path.c_str(), "rb"));
    return stream ? ImageFileOk : ImageFileOpenFailed;
}

int ReaderCode(int code)
{
    return code == 0 ? ImageFileCheckFailed : code;
}

JpegEncodeParams EncodeParams(int width, int height, int samplingMode, int quality)
{
    BoolCheck(width > 0 && height > 0 && width <= 0xFFFF && height <= 0xFFFF, 0);
    JpegEncodeParams params;
    params.width = static_cast<std::uint32_t>(width);
    params.height = static_cast<std::uint32_t>(height);
    params.samplingMode = static_cast<std::uint32_t>(samplingMode);
    params.quality = static_cast<std::uint32_t>(quality);
    return params;
}
