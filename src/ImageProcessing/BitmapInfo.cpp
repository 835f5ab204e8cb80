#include "ImageProcessing/BitmapInfo.h"

#include "Platform/PageAllocator.h"

#include <cmath>
#include <cstring>

int AlignRowBytes(int bytes)
{
    return static_cast<int>(std::floor(std::ceil(bytes * 0.25) * 4.0));
}

int DibRowStride(int rowBytes)
{
    return AlignRowBytes(rowBytes);
}

BITMAPINFO* AllocBitmapInfoEx(int width, int height, int bpp, const RGBQUAD* palette, int paletteCount)
{
    if (paletteCount < 0 || paletteCount > 256)
        return nullptr;
    auto* info = static_cast<BITMAPINFO*>(PageAlloc(sizeof(BITMAPINFOHEADER) + 4u * paletteCount));
    if (!info)
        return nullptr;
    BITMAPINFOHEADER& h = info->bmiHeader;
    h = BITMAPINFOHEADER{};
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = static_cast<std::uint16_t>(bpp);
    h.biCompression = BI_RGB;
    const long long rows = height < 0 ? -static_cast<long long>(height) : height;
    h.biSizeImage = static_cast<std::uint32_t>(AlignRowBytes(bpp / 8 * width) * rows);
    h.biClrUsed = h.biClrImportant = static_cast<std::uint32_t>(paletteCount);
    if (paletteCount != 0 && palette && bpp <= 8)
        std::memcpy(info->Colors(), palette, 4u * paletteCount);
    return info;
}

BITMAPINFO* AllocBitmapInfo(int width, int height, int bpp, const RGBQUAD* palette, int paletteCount)
{
    return AllocBitmapInfoEx(width, height, bpp, palette, paletteCount);
}
