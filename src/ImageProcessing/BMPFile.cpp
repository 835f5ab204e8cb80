#include "ImageProcessing/BMPFile.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "ImageProcessing/PixelConversion.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kReadPiece = 10240;
constexpr std::size_t kWritePiece = 65536;

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

[[noreturn]] void Fail(int code)
{
    throw code;
}

std::uint64_t StoredStride(std::int64_t width, int bitCount)
{
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

} // namespace

void CBMPFile::ReadHeaders(const std::string& path, BmpHeaders* h, const SIZE* maximum, SIZE* size)
{
    if (!IsReadableFile(path))
        Fail(ImageFileMissing);
    if (!Open(path, OpenMode::Read))
        Fail(ImageFileOpenFailed);
    const std::uint64_t fileLength = GetLength();

    std::uint8_t fileHeader[kFileHeaderSize];
    if (ReadBytes(fileHeader, sizeof fileHeader) < sizeof fileHeader)
        Fail(ImageFileReadFailed);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        Fail(ImageFileUnsupported);
    const std::uint32_t pixelOffsetField = Read32(fileHeader + 10, 0);

    std::uint8_t info[kInfoHeaderSize] = {};
    const std::size_t got = ReadBytes(info, sizeof info);
    if (got < kCoreHeaderSize)
        Fail(ImageFileReadFailed);
    const std::uint32_t headerSize = Read32(info, 0);
    std::int64_t width = 0, height = 0;
    int planes = 0;
    std::uint32_t colorsUsed = 0;
    const bool core = headerSize == kCoreHeaderSize;
    if (core) {
        width = Read16(info + 4, 0);
        height = Read16(info + 6, 0);
        planes = Read16(info + 8, 0);
        h->bitCount = Read16(info + 10, 0);
        h->compression = 0;
        colorsUsed = 0;
    } else {
        // Headers between the core and the 40-byte form would have their
        // fields read out of the palette.
        if (headerSize < kInfoHeaderSize)
            Fail(ImageFileUnsupported);
        if (got < kInfoHeaderSize)
            Fail(ImageFileReadFailed);
        width = static_cast<std::int32_t>(Read32(info + 4, 0));
        height = static_cast<std::int32_t>(Read32(info + 8, 0));
        planes = Read16(info + 12, 0);
        h->bitCount = Read16(info + 14, 0);
        h->compression = Read32(info + 16, 0);
        colorsUsed = Read32(info + 32, 0);
    }
    const std::uint64_t paletteStart = kFileHeaderSize + std::uint64_t{headerSize};

    // A negative height is a file stored top row first; its magnitude must fit.
    if (height == INT32_MIN)
        Fail(ImageFileUnsupported);
    h->topDown = height < 0;
    height = height < 0 ? -height : height;

    if (h->bitCount != 1 && h->bitCount != 4 && h->bitCount != 8 && h->bitCount != 24)
        Fail(ImageFileUnsupported);
    if (ExceedsMaximum(width, height, maximum)) {
        size->cx = static_cast<int>(std::clamp<std::int64_t>(width, INT32_MIN, INT32_MAX));
        size->cy = static_cast<int>(height);
        Fail(ImageFileCancelled);
    }
    if (planes != 1 || h->compression > 2)
        Fail(ImageFileUnsupported);
    // Run-length data only with its own depth, and only bottom-up.
    if ((h->compression == 1 && h->bitCount != 8) || (h->compression == 2 && h->bitCount != 4) ||
        (h->compression != 0 && h->topDown))
        Fail(ImageFileUnsupported);
    if (!IsUsablePictureSize(width, height))
        Fail(ImageFileUnsupported);
    h->width = static_cast<int>(width);
    h->height = static_cast<int>(height);
    h->stride = StoredStride(width, h->bitCount);

    h->palette.fill(0);
    h->paletteCount = 0;
    if (!Seek(paletteStart))
        Fail(ImageFileReadFailed);
    if (h->bitCount <= 8) {
        const std::uint32_t full = 1u << h->bitCount;
        const std::uint32_t count = colorsUsed == 0 ? full : colorsUsed;
        if (count > full)
            Fail(ImageFileUnsupported);
        const std::size_t entry = core ? 3 : 4;
        std::uint8_t raw[256 * 4];
        if (ReadBytes(raw, count * entry) < count * entry)
            Fail(ImageFileReadFailed);
        // The reserved byte would become the pixels' mask value: a bitmap has none.
        for (std::uint32_t i = 0; i < count; ++i) {
            std::memcpy(&h->palette[i * 4], &raw[i * entry], 3);
            h->palette[i * 4 + 3] = 0;
        }
        h->paletteCount = static_cast<int>(count);
    }
    // The rows start where the file header says when that lies inside the file
    // and past the palette, so a gap before them is skipped. An offset into
    // the headers or the palette would decode them as pixels; such an offset
    // (mostly a writer that left the palette out of its sum) is not trusted
    // and the rows are read from where the palette ends, which is where every
    // writer puts them and where files without a usable offset are read from:
    // one rule for every offset that cannot be right, and the picture the
    // file holds rather than a refusal.
    const std::uint64_t paletteEnd = GetPosition();
    h->pixelOffset =
        (pixelOffsetField >= paletteEnd && pixelOffsetField < fileLength) ? pixelOffsetField : paletteEnd;
}

void CBMPFile::ReadHeaders32(const std::string& path, BmpHeaders* h)
{
    if (!IsReadableFile(path))
        Fail(ImageFileMissing);
    if (!Open(path, OpenMode::Read))
        Fail(ImageFileOpenFailed);
    const std::uint64_t fileLength = GetLength();
    std::uint8_t header[kFileHeaderSize + kInfoHeaderSize];
    const std::size_t got = ReadBytes(header, sizeof header);
    if (got < kFileHeaderSize)
        Fail(ImageFileReadFailed);
    if (header[0] != 'B' || header[1] != 'M')
        Fail(ImageFileUnsupported);
    if (got < sizeof header)
        Fail(ImageFileReadFailed);
    const std::uint8_t* info = header + kFileHeaderSize;
    std::int64_t height = static_cast<std::int32_t>(Read32(info + 8, 0));
    const std::int64_t width = static_cast<std::int32_t>(Read32(info + 4, 0));
    if (Read32(info, 0) != kInfoHeaderSize || Read16(info + 14, 0) != 32 || Read16(info + 12, 0) != 1 ||
        Read32(info + 16, 0) != 0)
        Fail(ImageFileUnsupported);
    if (height == INT32_MIN)
        Fail(ImageFileUnsupported);
    h->topDown = height < 0;
    height = height < 0 ? -height : height;
    if (!IsUsablePictureSize(width, height))
        Fail(ImageFileUnsupported);
    h->width = static_cast<int>(width);
    h->height = static_cast<int>(height);
    h->bitCount = 32;
    h->compression = 0;
    h->stride = std::uint64_t{static_cast<std::uint32_t>(width)} * 4;
    const std::uint32_t offsetField = Read32(header + 10, 0);
    h->pixelOffset = (offsetField >= sizeof header && offsetField < fileLength) ? offsetField : sizeof header;
}

// Uncompressed rows must all be in the file before a block the size the header
// claims is allocated; only the last row's padding may be missing.
static bool FileHoldsRows(const BmpHeaders& h, std::uint64_t length)
{
    if (h.height <= 0)
        return true;
    const std::uint64_t lastRow =
        (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.bitCount) + 7) / 8;
    const std::uint64_t need = h.pixelOffset + h.stride * static_cast<std::uint64_t>(h.height - 1) + lastRow;
    return length >= need;
}

PageBuffer CBMPFile::ReadPixelBlock(const BmpHeaders& h, std::uint64_t* blockSize)
{
    if (h.compression == 0 && !FileHoldsRows(h, GetLength()))
        Fail(ImageFileReadFailed);
    const std::uint64_t rowsSize = h.stride * static_cast<std::uint64_t>(h.height);
    std::uint64_t size = rowsSize;
    if (h.compression != 0) {
        // Run-length data is bounded by the file, and by what the most wasteful
        // encoding of the picture could need (two bytes a pixel, a row end each row).
        const std::uint64_t length = GetLength();
        const std::uint64_t left = length > h.pixelOffset ? length - h.pixelOffset : 0;
        const std::uint64_t useful =
            2 * static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) + 4 * h.height +
            64;
        size = std::min(left, useful);
        if (size == 0)
            Fail(ImageFileReadFailed);
    }
    CanContinueOrThrow();
    PageBuffer block = AllocPageBuffer(size);
    if (!block)
        Fail(ImageFileNoMemory);
    if (!Seek(h.pixelOffset))
        Fail(ImageFileReadFailed);
    std::uint64_t done = 0;
    while (done < size) {
        CanContinueOrThrow();
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadPiece, size - done));
        const std::size_t got = ReadBytes(block.get() + done, want);
        done += got;
        if (got < want)
            break;
    }
    if (done == 0)
        Fail(ImageFileReadFailed);
    if (h.topDown && !FlipRowsVertical(block.get(), static_cast<int>(h.stride), h.height))
        Fail(ImageFileCancelled);
    *blockSize = h.compression != 0 ? done : size;
    return block;
}

void CBMPFile::ReadRows24Into(const BmpHeaders& h, CImage* target)
{
    NullCheck(target, 0);
    if (GetLength() <= h.pixelOffset || !FileHoldsRows(h, GetLength()) || !Seek(h.pixelOffset))
        Fail(ImageFileReadFailed); // pixel rows cut short
    CanContinueOrThrow();
    if (!target->Create(h.width, h.height))
        Fail(ImageFileDrawFailed);
    std::uint8_t* pixels = target->GetBits();
    NullCheck(pixels, 0);
    const std::size_t imageStride = static_cast<std::size_t>(target->GetRowBytes());
    const std::size_t fileStride = static_cast<std::size_t>(h.stride);
    // Whole rows per piece, about as much as one read piece holds.
    const int rowsPerPiece = static_cast<int>(std::max<std::size_t>(1, kReadPiece / fileStride));
    std::vector<std::uint8_t> piece(fileStride * rowsPerPiece);
    bool ended = false;
    for (int row = 0; row < h.height; row += rowsPerPiece) {
        CanContinueOrThrow();
        const int rows = std::min(rowsPerPiece, h.height - row);
        const std::size_t want = fileStride * rows;
        // Rows past the end of the file are black, as a short file's rows were.
        const std::size_t got = ended ? 0 : ReadBytes(piece.data(), want);
        if (got < want) {
            std::memset(piece.data() + got, 0, want - got);
            ended = true;
        }
        for (int r = 0; r < rows; ++r) {
            const int fileRow = row + r;
            const int bottomUpRow = h.topDown ? h.height - 1 - fileRow : fileRow;
            const std::uint8_t* src = piece.data() + fileStride * r;
            auto* dst = reinterpret_cast<std::uint32_t*>(pixels + imageStride * bottomUpRow);
            for (int x = 0; x < h.width; ++x, src += 3)
                dst[x] = std::uint32_t{src[0]} | std::uint32_t{src[1]} << 8 | std::uint32_t{src[2]} << 16;
        }
    }
}

PageBuffer CBMPFile::DecodeTo32(const BmpHeaders& h, PageBuffer block, std::uint64_t blockSize)
{
    const std::size_t size = static_cast<std::size_t>(blockSize);
    std::uint8_t* src = block.get();
    const std::uint8_t* pal = h.palette.data();
    const int n = h.paletteCount;
    std::uint8_t* out = nullptr;
    switch (h.bitCount) {
    case 1:
        out = ConvertBmp1To32(src, size, pal, n, h.width, h.height, 0);
        break;
    case 4:
        out = h.compression == 2 ? DecodeBmpRle4(src, size, pal, n, h.width, h.height, 0)
                                 : ConvertBmp4To32(src, size, pal, n, h.width, h.height, 0);
        break;
    case 8:
        out = h.compression == 1 ? DecodeBmpRle8(src, size, pal, n, h.width, h.height, 0)
                                 : ConvertBmp8To32(src, size, pal, n, h.width, h.height, 0);
        break;
    default:
        out = ConvertBmp24To32(src, size, h.width, h.height, 0);
        break;
    }
    if (!out) {
        CanContinueOrThrow(); // a stop request ended the conversion
        Fail(ImageFileNoMemory);
    }
    return PageBuffer(out);
}

int CBMPFile::Read(std::string path, CImage* target)
{
    ResetCancel();
    return Reading([&] {
        BmpHeaders h;
        ReadHeaders(path, &h, nullptr, nullptr);
        std::uint64_t blockSize = 0;
        if (h.bitCount == 24) {
            ReadRows24Into(h, target);
            return;
        }
        PageBuffer block = ReadPixelBlock(h, &blockSize);
        PageBuffer pixels = DecodeTo32(h, std::move(block), blockSize);
        PlaceWhole(target, pixels.get(), 32, h.width, h.height);
    });
}

int CBMPFile::ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                         double* scale, COLORREF background, int noEnlarge, const SIZE* maximum)
{
    ResetCancel();
    return Reading([&] {
        BmpHeaders h;
        SIZE size;
        try {
            ReadHeaders(path, &h, maximum, &size);
        } catch (int code) {
            if (code == ImageFileCancelled) {
                *pictureSize = size;
                *scale = 1.0;
            }
            throw;
        }
        *pictureSize = {h.width, h.height};
        *scale = 1.0;
        std::uint64_t blockSize = 0;
        PageBuffer block = ReadPixelBlock(h, &blockSize);
        if (h.bitCount == 24) {
            PlaceScaled(target, block.get(), 24, h.width, h.height, boxWidth, boxHeight, scale, background,
                        noEnlarge);
            return;
        }
        PageBuffer pixels = DecodeTo32(h, std::move(block), blockSize);
        PlaceScaled(target, pixels.get(), 32, h.width, h.height, boxWidth, boxHeight, scale, background,
                    noEnlarge);
    });
}

int CBMPFile::ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                         const SIZE* maximum)
{
    ResetCancel();
    return Reading([&] {
        NullCheck(pixels, 0);
        NullCheck(size, 0);
        BmpHeaders h;
        ReadHeaders(path, &h, maximum, size);
        *size = {h.width, h.height};
        std::uint64_t blockSize = 0;
        PageBuffer block = ReadPixelBlock(h, &blockSize);
        CanContinueOrThrow();
        PageBuffer out = DecodeTo32(h, std::move(block), blockSize);
        PageBuffer maskPlane;
        if (plane) {
            // A bitmap carries no mask: every value opaque.
            maskPlane = AllocPageBuffer(std::uint64_t{static_cast<std::uint32_t>(h.width)} * h.height);
            if (!maskPlane)
                Fail(ImageFileNoMemory);
        }
        *pixels = out.release();
        if (plane)
            *plane = maskPlane.release();
    });
}

int CBMPFile::ReadRaw32(std::string path, std::uint8_t** pixels, SIZE* size)
{
    ResetCancel();
    return Reading([&] {
        NullCheck(pixels, 0);
        NullCheck(size, 0);
        BmpHeaders h;
        ReadHeaders32(path, &h);
        std::uint64_t blockSize = 0;
        PageBuffer block = ReadPixelBlock(h, &blockSize);
        *size = {h.width, h.height};
        *pixels = block.release();
    });
}

namespace {

// One batch of stored rows at a time, placed bottom row first as the pixel
// source expects a whole picture's rows.
class CStoredRowBatches final : public IJpegBatchSource
{
public:
    CStoredRowBatches(CImageFile& file, const BmpHeaders& h)
        : m_file(file), m_h(h), m_block(Block(h)),
          m_rows(m_block.get(), static_cast<std::uint32_t>(h.width), kJpegBatchRows, h.stride, m_block.get() + 3,
                 4, h.stride, true)
    {
    }
    void Batch(std::uint32_t firstRow, std::uint32_t count, const std::uint8_t** rgb,
               const std::uint8_t** plane) override
    {
        const auto height = static_cast<std::uint32_t>(m_h.height);
        if (count == 0 || count > kJpegBatchRows || firstRow > height || count > height - firstRow)
            Fail(ImageFileReadFailed);
        // Picture row firstRow + y belongs in block row kJpegBatchRows - 1 - y.
        std::uint8_t* last = m_block.get() + std::size_t(kJpegBatchRows - 1) * m_h.stride;
        if (m_h.topDown) {
            for (std::uint32_t y = 0; y < count; ++y)
                ReadRows(firstRow + y, 1, last - std::size_t(y) * m_h.stride);
        } else {
            ReadRows(height - firstRow - count, count, last - std::size_t(count - 1) * m_h.stride);
        }
        m_rows.Batch(0, count, rgb, plane);
    }

private:
    static PageBuffer Block(const BmpHeaders& h)
    {
        PageBuffer block = AllocPageBuffer(h.stride * kJpegBatchRows);
        if (!block)
            Fail(ImageFileNoMemory);
        return block;
    }
    void ReadRows(std::uint32_t stored, std::uint32_t count, std::uint8_t* to)
    {
        const std::size_t want = static_cast<std::size_t>(m_h.stride * count);
        if (!m_file.Seek(m_h.pixelOffset + m_h.stride * stored) || m_file.ReadBytes(to, want) != want)
            Fail(ImageFileReadFailed);
    }

    CImageFile& m_file;
    const BmpHeaders& m_h;
    PageBuffer m_block;
    CPixelBatchSource m_rows;
};

} // namespace

int CBMPFile::ReadRaw32Rows(std::string path, const RowsUser& use)
{
    ResetCancel();
    int used = ImageFileOk;
    const int read = Reading([&] {
        BoolCheck(static_cast<bool>(use), 0);
        BmpHeaders h;
        ReadHeaders32(path, &h);
        if (!FileHoldsRows(h, GetLength()))
            Fail(ImageFileReadFailed);
        CStoredRowBatches rows(*this, h);
        used = use(h.width, h.height, rows);
    });
    return read != ImageFileOk ? read : used;
}

int CBMPFile::ReadWithMask(std::string path, CImage* target)
{
    ResetCancel();
    return Reading([&] {
        NullCheck(target, 0);
        BmpHeaders h;
        ReadHeaders32(path, &h);
        std::uint64_t blockSize = 0;
        PageBuffer block = ReadPixelBlock(h, &blockSize);
        PlaceWhole(target, block.get(), 32, h.width, h.height);
        CanContinueOrThrow();
        PageBuffer maskPlane(ExtractAlphaPlane(block.get(), h.width * 4, h.height));
        if (!maskPlane)
            Fail(ImageFileNoMemory);
        CanContinueOrThrow();
        if (!target->CreateMask())
            Fail(ImageFileDrawFailed);
        CanContinueOrThrow();
        target->SetMaskPlane(maskPlane.get());
    });
}

void CBMPFile::WriteFile(const std::string& path, int width, int height, int bitCount,
                         const std::uint8_t* rows, std::uint64_t rowBytes)
{
    const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + rowBytes;
    if (fileSize > UINT32_MAX)
        Fail(ImageFileUnsupported);
    std::uint8_t header[kFileHeaderSize + kInfoHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, static_cast<std::uint32_t>(fileSize));
    Put32(header + 10, kFileHeaderSize + kInfoHeaderSize);
    std::uint8_t* info = header + kFileHeaderSize;
    Put32(info, kInfoHeaderSize);
    Put32(info + 4, static_cast<std::uint32_t>(width));
    Put32(info + 8, static_cast<std::uint32_t>(height));
    Put16(info + 12, 1);
    Put16(info + 14, static_cast<std::uint32_t>(bitCount));
    Put32(info + 20, static_cast<std::uint32_t>(rowBytes));
    if (!Open(path, OpenMode::CreateReadWrite))
        Fail(ImageFileMissing);
    if (!WriteBytes(header, sizeof header))
        Fail(ImageFileReadFailed);
    for (std::uint64_t done = 0; done < rowBytes;) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(kWritePiece, rowBytes - done));
        if (!WriteBytes(rows + done, piece))
            Fail(ImageFileReadFailed);
        done += piece;
    }
    if (!CommitWrite())
        Fail(ImageFileReadFailed);
}

int CBMPFile::WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t*, int width,
                          int height)
{
    ResetCancel();
    return Writing([&] {
        NullCheck(pixels, 0);
        BoolCheck(IsUsablePictureSize(width, height), 0);
        // The conversion reads its source only.
        PageBuffer packed(Convert32To24(const_cast<std::uint8_t*>(pixels), width * 4, height, 0));
        if (!packed)
            Fail(ImageFileReadFailed);
        PageBuffer rows(AlignPlaneRows(packed.get(), width * 3, height, 1));
        if (!rows)
            Fail(ImageFileReadFailed);
        packed.release(); // freed by the alignment
        const std::uint64_t stride = StoredStride(width, 24);
        WriteFile(path, width, height, 24, rows.get(), stride * static_cast<std::uint64_t>(height));
    });
}

void CBMPFile::WriteImageRows(const std::string& path, CImage* source, int bitCount,
                              std::uint8_t* (CImage::*packRows)() const)
{
    NullCheck(source, 0);
    BoolCheck(source->IsValid(), 0);
    const int width = source->GetWidth();
    const int height = source->GetHeight();
    PageBuffer rows((source->*packRows)());
    if (!rows)
        Fail(ImageFileReadFailed);
    WriteFile(path, width, height, bitCount, rows.get(),
              StoredStride(width, bitCount) * static_cast<std::uint64_t>(height));
}

int CBMPFile::Write(std::string path, CImage* source)
{
    ResetCancel();
    return Writing([&] { WriteImageRows(path, source, 24, &CImage::GetBits24); });
}

int CBMPFile::WriteRaw32(std::string path, const std::uint8_t* pixels, int width, int height)
{
    ResetCancel();
    return Writing([&] {
        NullCheck(pixels, 0);
        BoolCheck(width > 0 && height > 0, 0);
        BoolCheck(IsUsablePictureSize(width, height), 0);
        WriteFile(path, width, height, 32, pixels,
                  std::uint64_t{static_cast<std::uint32_t>(width)} * 4 * height);
    });
}

int CBMPFile::WriteWithMask(std::string path, CImage* source)
{
    ResetCancel();
    return Writing([&] { WriteImageRows(path, source, 32, &CImage::GetBitsWithMaskAlpha); });
}
