#include "ImageProcessing/EFFFile.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/DecodedPicture.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "ImageProcessing/PixelConversion.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char kThumbnailTag[8] = {'E', 'F', 'F', 'T', 'H', 'U', 'M', 0};
constexpr char kExtensionTag[8] = {'E', 'F', 'F', 'E', 'X', 'H', 'E', 0};
constexpr std::uint16_t kApp5 = 0xFFE5;
// Marker, length, tag, two bytes, width and height.
constexpr std::size_t kThumbnailFieldsSize = 18;

// Sequential reads bounded by the bytes given.
class CByteCursor
{
public:
    explicit CByteCursor(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool Take(void* out, std::size_t count)
    {
        if (count > m_bytes.size() - m_pos)
            return false;
        std::memcpy(out, m_bytes.data() + m_pos, count);
        m_pos += count;
        return true;
    }
    bool Byte(std::uint8_t& out) { return Take(&out, 1); }
    bool BigEndian16(std::uint16_t& out)
    {
        std::uint8_t b[2];
        if (!Take(b, 2))
            return false;
        out = static_cast<std::uint16_t>((b[0] << 8) | b[1]);
        return true;
    }
    // A NUL-terminated text kept up to 127 bytes; false when no NUL comes.
    bool Text(char (&out)[128])
    {
        std::size_t kept = 0;
        while (m_pos < m_bytes.size()) {
            const char c = static_cast<char>(m_bytes[m_pos++]);
            if (c == 0)
                return true;
            if (kept < sizeof out - 1)
                out[kept++] = c;
        }
        return false;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

} // namespace

int CEFFFile::Read(std::string path, CImage* target)
{
    ResetCancel();
    return GuardedRead(target, [&]() -> int {
        NullCheck(target, 0);
        StreamPtr stream;
        if (const int opened = OpenForReading(path, stream); opened != ImageFileOk)
            return opened;
        CStreamChunkSource source(stream.get());
        CImagePictureAllocator allocator(target, true);
        CPictureRowSink sink(allocator, 4);
        DecodeInChunks(source, sink);
        return ImageFileOk;
    });
}

int CEFFFile::ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                         double* scale, COLORREF background, int noEnlarge, const SIZE* maximum)
{
    ResetCancel();
    return GuardedRead(target, [&]() -> int {
        NullCheck(target, 0);
        StreamPtr stream;
        if (const int opened = OpenForReading(path, stream); opened != ImageFileOk)
            return opened;
        CBufferPictureAllocator buffers(true);
        CMaximumAllocator allocator(buffers, maximum, pictureSize);
        CStreamChunkSource source(stream.get());
        CPictureRowSink sink(allocator, 4);
        DecodeForScaling([&] { DecodeInChunks(source, sink); }, buffers, scale);
        PlaceScaledPicture(target, buffers, boxWidth, boxHeight, pictureSize, scale, background, noEnlarge);
        return ImageFileOk;
    });
}

int CEFFFile::ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                         const SIZE* maximum)
{
    ResetCancel();
    return ReadFileToBuffers(path, pixels, plane, size,
                             [&](std::FILE* stream, CBufferPictureAllocator& buffers) {
                                 CMaximumAllocator allocator(buffers, maximum, size);
                                 CStreamChunkSource source(stream);
                                 CPictureRowSink sink(allocator, 4);
                                 DecodeInChunks(source, sink);
                             });
}

int CEFFFile::Write(std::string path, CImage* source)
{
    return WriteImage(std::move(path), source, 0, 90);
}

int CEFFFile::WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                          int height)
{
    return WriteBufferEx(std::move(path), pixels, plane, width, height, 0, 90);
}

int CEFFFile::WriteImage(std::string path, CImage* source, int samplingMode, int quality)
{
    ResetCancel();
    return Writing([&] {
        BoolCheck(source && source->IsValid() && source->GetBits() && source->GetBitsPerPixel() == 32, 0);
        const JpegEncodeParams params =
            EncodeParams(source->GetWidth(), source->GetHeight(), samplingMode, quality);
        const CImage* mask = source->HasMask() ? source->GetMask() : nullptr;
        const std::uint8_t* maskBits = mask ? mask->GetBits() : nullptr;
        if (mask)
            BoolCheck(maskBits && mask->GetWidth() == source->GetWidth() &&
                          mask->GetHeight() == source->GetHeight(),
                      0);
        CPixelBatchSource rows(source->GetBits(), params.width, params.height,
                               static_cast<std::size_t>(source->GetRowBytes()),
                               maskBits ? maskBits + 2 : nullptr, 4,
                               maskBits ? static_cast<std::size_t>(mask->GetRowBytes()) : 0, true);
        CJpegEncoder encoder(m_clock);
        EncodeInBatches(*this, path, encoder, params, true, rows);
    });
}

int CEFFFile::WriteRows(std::string path, int width, int height, IJpegBatchSource& rows, int samplingMode,
                        int quality)
{
    ResetCancel();
    return Writing([&] {
        const JpegEncodeParams params = EncodeParams(width, height, samplingMode, quality);
        CJpegEncoder encoder(m_clock);
        EncodeInBatches(*this, path, encoder, params, true, rows);
    });
}

int CEFFFile::WriteBufferEx(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane,
                            int width, int height, int samplingMode, int quality)
{
    ResetCancel();
    return Writing([&] {
        NullCheck(pixels, 0);
        const JpegEncodeParams params = EncodeParams(width, height, samplingMode, quality);
        CPixelBatchSource rows(pixels, params.width, params.height, std::size_t(width) * 4, plane, 1,
                               std::size_t(width), true);
        CJpegEncoder encoder(m_clock);
        EncodeInBatches(*this, path, encoder, params, true, rows);
    });
}

int CEFFFile::ParseEffHeader(std::span<const std::uint8_t> bytes, EffHeaderRecord* record)
{
    if (!record)
        return 0;
    *record = EffHeaderRecord{};
    EffHeaderRecord r;
    CByteCursor head(bytes);
    std::uint8_t start[4];
    if (!head.Take(start, 4) || start[0] != 0xFF || start[1] != 0xD8 || start[2] != 0xFF || start[3] != 0xE5)
        return 0;
    r.marker = kApp5;
    if (!head.BigEndian16(r.segmentLength) || r.segmentLength < 2 || bytes.size() < 4u + r.segmentLength)
        return 0;
    // Every field must lie inside the header segment.
    CByteCursor in(bytes.subspan(6, r.segmentLength - 2u));
    const bool ok = in.Take(r.tag, 8) && std::memcmp(r.tag, EffFormat::kHeaderTag, 8) == 0 &&
                    in.Take(r.headerText, 52) && in.Byte(r.byte66) && in.Byte(r.byte67) &&
                    in.BigEndian16(r.value68) && in.BigEndian16(r.value70) && in.BigEndian16(r.value72) &&
                    in.Take(r.date, 8) && in.Take(r.time, 8) && in.Text(r.text[0]) && in.Text(r.text[1]) &&
                    in.Text(r.text[2]) && in.Text(r.text[3]) && in.Text(r.text[4]) &&
                    in.BigEndian16(r.thumbnailCount);
    if (!ok)
        return 0;
    r.headerText[51] = 0;
    if (r.thumbnailCount != 0) {
        const bool extension =
            in.Take(r.extensionTag, 8) && std::memcmp(r.extensionTag, kExtensionTag, 8) == 0 &&
            in.Byte(r.extensionByte0) && in.Byte(r.extensionByte1) && in.BigEndian16(r.extensionValue0) &&
            in.Byte(r.extensionByte2) && in.Byte(r.extensionByte3) && in.BigEndian16(r.extensionValue1);
        if (!extension)
            return 0;
    }
    *record = r;
    return 1;
}

int CEFFFile::ReadEffHeader(std::string path, EffHeaderRecord* record)
{
    if (!record)
        return 0;
    *record = EffHeaderRecord{};
    if (!Open(path, OpenMode::Read))
        return 0;
    // The header segment is at most 4 + 65535 bytes.
    std::uint8_t head[6];
    std::size_t got = ReadBytes(head, sizeof head);
    int result = 0;
    if (got == sizeof head) {
        const std::size_t total = 4 + ((std::size_t(head[4]) << 8) | head[5]);
        PageBuffer bytes = AllocPageBuffer(std::max<std::size_t>(total, sizeof head));
        if (bytes) {
            std::memcpy(bytes.get(), head, sizeof head);
            if (total > sizeof head)
                got += ReadBytes(bytes.get() + sizeof head, total - sizeof head);
            result = ParseEffHeader(std::span<const std::uint8_t>(bytes.get(), got), record);
        }
    }
    Close();
    return result;
}

int CEFFFile::ReadThumbnail(std::string path, int number, CImage* target, EffThumbnailInfo* info)
{
    ResetCancel();
    const int result = Reading([&] {
        NullCheck(target, 0);
        BoolCheck(IsReadableFile(path), 0);
        EffHeaderRecord header;
        BoolCheck(ReadEffHeader(path, &header), 0);
        if (number < 0 || number >= header.thumbnailCount)
            throw static_cast<int>(ImageFileUnsupported);
        if (!Open(path, OpenMode::Read))
            throw static_cast<int>(ImageFileOpenFailed);
        std::uint64_t position = 4u + header.segmentLength;
        EffThumbnailInfo fields;
        for (int i = 0;; ++i) {
            std::uint8_t raw[kThumbnailFieldsSize];
            if (!Seek(position) || ReadBytes(raw, sizeof raw) != sizeof raw)
                throw static_cast<int>(ImageFileUnsupported);
            fields.marker = static_cast<std::uint16_t>((raw[0] << 8) | raw[1]);
            fields.segmentLength = static_cast<std::uint16_t>((raw[2] << 8) | raw[3]);
            std::memcpy(fields.tag, raw + 4, 8);
            if (fields.marker != kApp5 || std::memcmp(fields.tag, kThumbnailTag, 8) != 0)
                throw static_cast<int>(ImageFileUnsupported);
            if (i == number) {
                fields.byte0 = raw[12];
                fields.byte1 = raw[13];
                fields.width = static_cast<std::uint16_t>((raw[14] << 8) | raw[15]);
                fields.height = static_cast<std::uint16_t>((raw[16] << 8) | raw[17]);
                break;
            }
            position += 2u + fields.segmentLength;
        }
        BoolCheck(fields.width > 0 && fields.height > 0 && fields.segmentLength > 16, 0);
        // The buffer is sized by the segment, so no stream can run past it.
        const std::uint32_t streamLength = fields.segmentLength - 16u;
        PageBuffer stream = AllocPageBuffer(streamLength);
        if (!stream)
            throw static_cast<int>(ImageFileNoMemory);
        if (ReadBytes(stream.get(), streamLength) != streamLength)
            throw static_cast<int>(ImageFileReadFailed);
        BoolCheck(DecodeWithHeader(stream.get(), static_cast<int>(streamLength), target), 0);
        if (info)
            *info = fields;
    });
    if (result != ImageFileOk && target)
        target->Release();
    return result;
}

int CEFFFile::DecodeWithHeader(const std::uint8_t* data, int length, CImage* target)
{
    return DecodeMemoryInto(data, length, target, true, 4);
}
