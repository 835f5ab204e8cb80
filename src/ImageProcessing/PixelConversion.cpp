#include "ImageProcessing/PixelConversion.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/BitmapInfo.h"
#include "Platform/PageAllocator.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace {

struct PageDeleter
{
    void operator()(std::uint8_t* block) const { PageFree(block); }
};
using Buffer = std::unique_ptr<std::uint8_t, PageDeleter>;

// A zero-filled block of count x size bytes; a count that is negative or
// does not fit throws 0 like a failed allocation.
Buffer Allocate(long long count, long long size = 1)
{
    BoolCheck(count > 0 && size > 0 && count <= (1LL << 40) / size, 0);
    auto* block = static_cast<std::uint8_t*>(PageAlloc(static_cast<std::size_t>(count * size)));
    NullCheck(block, 0);
    return Buffer(block);
}

void Poll()
{
    CanContinueOrThrow(__FILE__, __LINE__);
}

// Runs a conversion: its buffer on success (the source released when asked),
// null on any failure with the source left alone.
template <typename Body> std::uint8_t* Convert(std::uint8_t* source, int freeSource, Body body)
{
    try {
        NullCheck(source, 0);
        Buffer out = body();
        if (freeSource)
            PageFree(source);
        return out.release();
    } catch (int) {
        return nullptr;
    }
}

// Three- and four-byte pixel conversions: `map` turns one source pixel into one target pixel.
template <int In, int Out, typename Map>
std::uint8_t* ConvertPixels(std::uint8_t* source, int rowLength, int rows, int freeSource, Map map)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(rowLength > 0 && rows > 0, 0);
        const int pixels = rowLength / In;
        Buffer out = Allocate(static_cast<long long>(pixels) * Out, rows);
        std::uint8_t* to = out.get();
        for (int y = 0; y < rows; ++y) {
            Poll();
            const std::uint8_t* from = source + static_cast<std::size_t>(y) * rowLength;
            for (int x = 0; x < pixels; ++x, from += In, to += Out)
                map(from, to);
        }
        return out;
    });
}

void CmykPixel(const std::uint8_t* c, std::uint8_t* out)
{
    const double unit = 0.00392156862745098;
    const double k = c[3] * unit;
    double t[3];
    for (int i = 0; i < 3; ++i)
        t[i] = std::min(1.0, c[i] * unit * k + (1.0 - k));
    for (int j = 0; j < 3; ++j)
        out[j] = static_cast<std::uint8_t>((1.0 - t[2 - j]) * 255.0);
}

void CopyEntry(const std::uint8_t* palette, int paletteCount, unsigned index, std::uint8_t* to)
{
    if (palette && static_cast<int>(index) < paletteCount)
        std::memcpy(to, palette + 4 * index, 4);
    else
        std::memset(to, 0, 4);
}

// Palette rows of bpp bits to 4-byte pixels, every read inside the source.
template <int Bpp>
std::uint8_t* ExpandPalette(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                            int paletteCount, int width, int rows, int freeSource, bool poll)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(width > 0 && rows > 0, 0);
        const long long stride = ((static_cast<long long>(width) * Bpp + 31) / 32) * 4;
        BoolCheck(stride * rows <= static_cast<long long>(sourceSize), 0);
        Buffer out = Allocate(static_cast<long long>(width) * 4, rows);
        std::uint8_t* to = out.get();
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* row = source + y * stride;
            for (int x = 0; x < width; ++x, to += 4) {
                if (poll)
                    Poll();
                unsigned index;
                if constexpr (Bpp == 8)
                    index = row[x];
                else if constexpr (Bpp == 4)
                    index = (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
                else
                    index = (row[x / 8] >> (7 - (x & 7))) & 1;
                CopyEntry(palette, paletteCount, index, to);
            }
        }
        return out;
    });
}

// Walks run-length data and hands every pixel (position, index) to `put`.
// Positions run row after row from the picture's bottom row. Runs and literals
// stop at the row's end and drop the rest, since common encoders code each row
// up to its padded stride; an end of line goes to the next row's start. A delta
// moves the position; one leading outside the picture ends the data.
template <bool Four, typename Put>
void WalkRle(const std::uint8_t* data, std::size_t size, int width, int height, Put put)
{
    long long row = 0, col = 0;
    std::size_t p = 0;
    while (p + 1 < size && row < height) {
        const unsigned n = data[p], c = data[p + 1];
        p += 2;
        if (n > 0) {
            for (unsigned k = 0; k < n && col < width; ++k, ++col)
                put(row * width + col, Four ? ((k & 1) ? (c & 0x0F) : (c >> 4)) : c);
            continue;
        }
        if (c == 0) { // end of line
            ++row;
            col = 0;
        } else if (c == 1) { // end of picture
            break;
        } else if (c == 2) { // delta
            if (p + 1 >= size)
                break;
            const long long toCol = col + data[p], toRow = row + data[p + 1];
            p += 2;
            if (toCol > width || toRow >= height)
                break;
            col = toCol;
            row = toRow;
        } else { // literal run of c pixels
            const std::size_t bytes = Four ? (c + 1) / 2 : c;
            for (unsigned k = 0; k < c && col < width; ++k, ++col) {
                const std::size_t at = p + (Four ? k / 2 : k);
                if (at >= size)
                    return;
                put(row * width + col, Four ? ((k & 1) ? (data[at] & 0x0F) : (data[at] >> 4)) : data[at]);
            }
            p += bytes + (bytes & 1); // literals end on a 16-bit boundary
        }
    }
}

template <bool Four>
std::uint8_t* DecodeRle(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                        int paletteCount, int width, int height, int freeSource)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(width > 0 && height > 0, 0);
        Buffer out = Allocate(static_cast<long long>(width) * 4, height);
        std::uint8_t* pixels = out.get();
        const long long total = static_cast<long long>(width) * height;
        std::uint8_t background[4];
        CopyEntry(palette, paletteCount, 0, background);
        for (long long i = 0; i < total; ++i) {
            Poll();
            std::memcpy(pixels + 4 * i, background, 4);
        }
        WalkRle<Four>(source, sourceSize, width, height, [&](long long pos, unsigned index) {
            CopyEntry(palette, paletteCount, index, pixels + 4 * pos);
        });
        return out;
    });
}

template <bool Four>
std::uint8_t* ExpandRle(std::uint8_t* source, std::size_t sourceSize, int width, int height, int freeSource)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(width > 0 && height > 0, 0);
        const long long stride = AlignRowBytes(Four ? (width + 1) / 2 : width);
        Buffer out = Allocate(stride, height);
        std::uint8_t* rows = out.get();
        WalkRle<Four>(source, sourceSize, width, height, [&](long long pos, unsigned index) {
            const long long row = pos / width, col = pos % width;
            std::uint8_t* line = rows + row * stride;
            if (!Four)
                line[col] = static_cast<std::uint8_t>(index);
            else if (col & 1)
                line[col / 2] = static_cast<std::uint8_t>((line[col / 2] & 0xF0) | index);
            else
                line[col / 2] = static_cast<std::uint8_t>((line[col / 2] & 0x0F) | (index << 4));
        });
        return out;
    });
}

} // namespace

std::uint8_t* AlignPlaneRows(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(rowLength > 0 && rows > 0, 0);
        const int stride = AlignRowBytes(rowLength);
        Buffer out = Allocate(stride, rows);
        if (stride == rowLength) {
            std::memcpy(out.get(), source, static_cast<std::size_t>(stride) * rows);
        } else {
            for (int y = 0; y < rows; ++y) {
                Poll();
                std::memcpy(out.get() + static_cast<std::size_t>(y) * stride,
                            source + static_cast<std::size_t>(y) * rowLength, rowLength);
            }
        }
        return out;
    });
}

std::uint8_t* AlignRowsCopy(std::uint8_t* source, int rowLength, int sourceStride, int rows, int freeSource)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(rowLength > 0 && rows > 0 && sourceStride >= rowLength, 0);
        Buffer out = Allocate(rowLength, rows);
        for (int y = 0; y < rows; ++y) {
            Poll();
            std::memcpy(out.get() + static_cast<std::size_t>(y) * rowLength,
                        source + static_cast<std::size_t>(y) * sourceStride, rowLength);
        }
        return out;
    });
}

std::uint8_t* PadRowsToStride(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(rowLength > 0 && rows > 0, 0);
        const int stride = AlignRowBytes(rowLength);
        Buffer out = Allocate(rowLength, rows);
        for (int y = 0; y < rows; ++y)
            std::memcpy(out.get() + static_cast<std::size_t>(y) * rowLength,
                        source + static_cast<std::size_t>(y) * stride, rowLength);
        return out;
    });
}

std::uint8_t* Convert32To24(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return ConvertPixels<4, 3>(source, rowLength, rows, freeSource,
                               [](const std::uint8_t* s, std::uint8_t* d) {
                                   d[0] = s[0];
                                   d[1] = s[1];
                                   d[2] = s[2];
                               });
}

std::uint8_t* SwapRgbCopy(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return ConvertPixels<4, 3>(source, rowLength, rows, freeSource,
                               [](const std::uint8_t* s, std::uint8_t* d) {
                                   d[0] = s[2];
                                   d[1] = s[1];
                                   d[2] = s[0];
                               });
}

std::uint8_t* SwapRgbCopyEx(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return SwapRgbCopy(source, rowLength, rows, freeSource);
}

std::uint8_t* Convert24To32(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return ConvertPixels<3, 4>(source, rowLength, rows, freeSource,
                               [](const std::uint8_t* s, std::uint8_t* d) {
                                   d[0] = s[0];
                                   d[1] = s[1];
                                   d[2] = s[2];
                                   d[3] = 0;
                               });
}

std::uint8_t* Convert24To32Swapped(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return ConvertPixels<3, 4>(source, rowLength, rows, freeSource,
                               [](const std::uint8_t* s, std::uint8_t* d) {
                                   d[0] = s[2];
                                   d[1] = s[1];
                                   d[2] = s[0];
                                   d[3] = 0;
                               });
}

std::uint8_t* ConvertCmykTo32(std::uint8_t* source, int rowLength, int rows, int freeSource)
{
    return ConvertPixels<4, 4>(source, rowLength, rows, freeSource,
                               [](const std::uint8_t* s, std::uint8_t* d) {
                                   CmykPixel(s, d);
                                   d[3] = 0;
                               });
}

bool CmykToRgb(const std::uint8_t* source, std::uint8_t* target, int sourceLength)
{
    if (!source || !target)
        return false;
    for (int i = 0; i + 4 <= sourceLength; i += 4) {
        if (!CanContinue())
            return false;
        CmykPixel(source + i, target + i / 4 * 3);
    }
    return true;
}

std::uint8_t* ConvertBmp24To32(std::uint8_t* source, std::size_t sourceSize, int width, int rows,
                               int freeSource)
{
    return Convert(source, freeSource, [&] {
        BoolCheck(width > 0 && rows > 0, 0);
        const long long stride = AlignRowBytes(width * 3);
        BoolCheck(width <= (1 << 28) && stride * rows <= static_cast<long long>(sourceSize), 0);
        Buffer out = Allocate(static_cast<long long>(width) * 4, rows);
        std::uint8_t* to = out.get();
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* from = source + y * stride;
            for (int x = 0; x < width; ++x, from += 3, to += 4) {
                Poll();
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
        return out;
    });
}

std::uint8_t* ConvertBmp8To32(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                              int paletteCount, int width, int rows, int freeSource)
{
    return ExpandPalette<8>(source, sourceSize, palette, paletteCount, width, rows, freeSource, true);
}

std::uint8_t* ConvertBmp4To32(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                              int paletteCount, int width, int rows, int freeSource)
{
    return ExpandPalette<4>(source, sourceSize, palette, paletteCount, width, rows, freeSource, true);
}

std::uint8_t* ConvertBmp1To32(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                              int paletteCount, int width, int rows, int freeSource)
{
    return ExpandPalette<1>(source, sourceSize, palette, paletteCount, width, rows, freeSource, false);
}

std::uint8_t* DecodeBmpRle8(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                            int paletteCount, int width, int height, int freeSource)
{
    return DecodeRle<false>(source, sourceSize, palette, paletteCount, width, height, freeSource);
}

std::uint8_t* DecodeBmpRle4(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                            int paletteCount, int width, int height, int freeSource)
{
    return DecodeRle<true>(source, sourceSize, palette, paletteCount, width, height, freeSource);
}

std::uint8_t* ExpandBmpRle8(std::uint8_t* source, std::size_t sourceSize, int width, int height,
                            int freeSource)
{
    return ExpandRle<false>(source, sourceSize, width, height, freeSource);
}

std::uint8_t* ExpandBmpRle4(std::uint8_t* source, std::size_t sourceSize, int width, int height,
                            int freeSource)
{
    return ExpandRle<true>(source, sourceSize, width, height, freeSource);
}

std::uint8_t* ExtractAlphaPlane(const std::uint8_t* pixels, int rowLength, int rows)
{
    try {
        NullCheck(pixels, 0);
        BoolCheck(rowLength >= 4 && rows > 0, 0);
        const int perRow = rowLength / 4;
        Buffer plane = Allocate(perRow, rows);
        for (int y = 0; y < rows; ++y) {
            Poll(); // once a row: the loop below then vectorises
            const std::uint8_t* __restrict from = pixels + static_cast<std::size_t>(y) * rowLength;
            std::uint8_t* __restrict to = plane.get() + static_cast<std::size_t>(y) * perRow;
            for (int x = 0; x < perRow; ++x)
                to[x] = from[4 * x + 3];
        }
        return plane.release();
    } catch (int) {
        return nullptr;
    }
}

bool ExtractAlphaAndSwap(std::uint8_t* pixels, int rowLength, int rows, std::uint8_t** plane)
{
    if (!plane)
        return false;
    std::uint8_t* alpha = ExtractAlphaPlane(pixels, rowLength, rows);
    if (!alpha)
        return false;
    if (!SwapRedBlue32(pixels, rowLength, rows)) {
        PageFree(alpha);
        return false;
    }
    *plane = alpha;
    return true;
}

bool SwapRedBlue32(std::uint8_t* pixels, int rowLength, int rows)
{
    if (!pixels || rowLength < 0 || rows < 0)
        return false;
    const int perRow = rowLength / 4;
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* p = pixels + static_cast<std::size_t>(y) * rowLength;
        for (int x = 0; x < perRow; ++x, p += 4)
            std::swap(p[0], p[2]);
    }
    return true;
}

bool SwapRedBlue(std::uint8_t* pixels, int rowLength, int rows)
{
    if (!pixels || rowLength < 0 || rows < 0)
        return false;
    const int perRow = rowLength / 3;
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* p = pixels + static_cast<std::size_t>(y) * rowLength;
        for (int x = 0; x < perRow; ++x, p += 3) {
            if (!CanContinue())
                return false;
            std::swap(p[0], p[2]);
        }
    }
    return true;
}

bool FlipRowsVertical(std::uint8_t* pixels, int rowLength, int rows)
{
    try {
        NullCheck(pixels, 0);
        BoolCheck(rowLength >= 0 && rows >= 0, 0);
        if (rowLength == 0 || rows < 2)
            return true;
        Buffer spare = Allocate(rowLength);
        for (int i = 0; i < rows / 2; ++i) {
            Poll();
            std::uint8_t* a = pixels + static_cast<std::size_t>(i) * rowLength;
            std::uint8_t* b = pixels + static_cast<std::size_t>(rows - 1 - i) * rowLength;
            std::memcpy(spare.get(), a, rowLength);
            std::memcpy(a, b, rowLength);
            std::memcpy(b, spare.get(), rowLength);
        }
        return true;
    } catch (int) {
        return false;
    }
}

bool CropBuffer(std::uint8_t** outPixels, std::uint8_t** outPlane, int left, int top, int right, int bottom,
                std::uint8_t* pixels, std::uint8_t* plane, int width, int height, int freeSource)
{
    try {
        NullCheck(outPixels, 0);
        NullCheck(pixels, 0);
        if (outPlane)
            NullCheck(plane, 0);
        BoolCheck(0 <= left && left < right && right <= width && 0 <= top && top < bottom && bottom <= height,
                  0);
        const int w = right - left, h = bottom - top;
        Buffer cut = Allocate(static_cast<long long>(w) * 4, h);
        Buffer cutPlane;
        if (outPlane)
            cutPlane = Allocate(w, h);
        // Bottom-up: picture row y is buffer row height - 1 - y.
        for (int r = 0; r < h; ++r) {
            const int from = height - bottom + r;
            std::memcpy(cut.get() + static_cast<std::size_t>(r) * w * 4,
                        pixels + (static_cast<std::size_t>(from) * width + left) * 4,
                        static_cast<std::size_t>(w) * 4);
            if (outPlane)
                std::memcpy(cutPlane.get() + static_cast<std::size_t>(r) * w,
                            plane + static_cast<std::size_t>(from) * width + left, w);
        }
        if (freeSource) {
            PageFree(pixels);
            if (plane)
                PageFree(plane);
        }
        *outPixels = cut.release();
        if (outPlane)
            *outPlane = cutPlane.release();
        return true;
    } catch (int) {
        return false;
    }
}

std::uint16_t Read16(const std::uint8_t* bytes, int bigEndian)
{
    return bigEndian ? static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1])
                     : static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t Read32(const std::uint8_t* bytes, int bigEndian)
{
    const std::uint32_t b0 = bytes[0], b1 = bytes[1], b2 = bytes[2], b3 = bytes[3];
    return bigEndian ? (b0 << 24) | (b1 << 16) | (b2 << 8) | b3 : b0 | (b1 << 8) | (b2 << 16) | (b3 << 24);
}
