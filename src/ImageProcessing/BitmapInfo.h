// Headers of device-independent pixel buffers as the transfers between caller
// buffers and images describe them, and their page-allocated construction.
#pragma once

#include <cstdint>

struct RGBQUAD
{
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
};

struct BITMAPINFOHEADER
{
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // positive: bottom row first
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

constexpr std::uint32_t BI_RGB = 0;

// A header followed by biClrUsed palette entries in the same block.
struct BITMAPINFO
{
    BITMAPINFOHEADER bmiHeader;

    RGBQUAD* Colors() { return reinterpret_cast<RGBQUAD*>(this + 1); }
    const RGBQUAD* Colors() const { return reinterpret_cast<const RGBQUAD*>(this + 1); }
};
static_assert(sizeof(BITMAPINFO) == 40);

// The byte count rounded up to a multiple of 4.
int AlignRowBytes(int bytes);

// A page-allocated header (40 + 4 x paletteCount bytes) for a width x height
// buffer of bpp bits per pixel; the palette is copied when given and bpp <= 8.
// Null when the block cannot be had; the caller releases it with PageFree.
BITMAPINFO* AllocBitmapInfoEx(int width, int height, int bpp, const RGBQUAD* palette, int paletteCount);
BITMAPINFO* AllocBitmapInfo(int width, int height, int bpp, const RGBQUAD* palette, int paletteCount);

// Row length in bytes rounded up to a multiple of 4, the stride of buffer rows.
int DibRowStride(int rowBytes);
