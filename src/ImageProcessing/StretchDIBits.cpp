// The tiled stretch of caller buffers into an image.
#include "Core/ErrorCheck.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/StretchEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// One axis of the tiling: tile extents in source and destination, with the
// leftovers spread over the tiles and the last tile ending exactly at the end.
struct Tile
{
    int src;
    int srcExtent;
    int dst;
    int dstExtent;
};

std::vector<Tile> TileAxis(int src, int srcExtent, int dst, int dstExtent)
{
    std::vector<Tile> tiles;
    const int tile = std::abs(srcExtent) < 200 ? srcExtent : 200;
    const int count = srcExtent / tile;
    int dstTile = static_cast<int>(std::floor(static_cast<double>(dstExtent) / srcExtent * tile));
    if (std::abs(dstTile) > std::abs(dstExtent))
        dstTile = dstExtent;
    const double srcLeft = static_cast<double>(srcExtent - count * tile) / count;
    const double dstLeft = static_cast<double>(dstExtent - count * dstTile) / count;
    double srcFraction = 0, dstFraction = 0;
    int s = src, d = dst;
    for (int i = 0; i < count; ++i) {
        Tile t{s, tile, d, dstTile};
        srcFraction += srcLeft;
        dstFraction += dstLeft;
        if (srcFraction >= 1) {
            const double whole = std::floor(srcFraction);
            t.srcExtent += static_cast<int>(whole);
            srcFraction -= whole;
        }
        if (dstFraction >= 1) {
            const double whole = std::floor(dstFraction);
            t.dstExtent += static_cast<int>(whole);
            dstFraction -= whole;
        }
        if (i == count - 1) {
            t.srcExtent = src + srcExtent - s;
            t.dstExtent = dst + dstExtent - d;
        }
        tiles.push_back(t);
        s += t.srcExtent;
        d += t.dstExtent;
    }
    return tiles;
}

} // namespace

int CImage::StretchDIBitsCore(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                              int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info,
                              std::uint32_t rop)
{
    try {
        BoolCheck(IsValid(), 0);
        NullCheck(bits, 0);
        NullCheck(info, 0);
        const BITMAPINFOHEADER& header = info->bmiHeader;
        BoolCheck(header.biCompression == BI_RGB, 0);
        const int bpp = header.biBitCount;
        BoolCheck(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32, 0);
        BoolCheck(header.biWidth > 0 && header.biHeight > 0, 0);
        // Every row read must lie in the buffer the header describes.
        BoolCheck(srcWidth > 0 && srcHeight > 0 && dstWidth > 0 && dstHeight > 0, 0);
        BoolCheck(srcY >= 0 && static_cast<long long>(srcY) + srcHeight <= header.biHeight, 0);
        const int stride = static_cast<int>(((static_cast<long long>(bpp) * header.biWidth + 31) / 32) * 4);

        CImageDC* dc = GetDC();
        const int previousMode = dc->SetStretchBltMode(COLORONCOLOR);
        const std::vector<Tile> columns = TileAxis(srcX, srcWidth, dstX, dstWidth);
        const std::vector<Tile> bands = TileAxis(srcY, srcHeight, 0, dstHeight);
        StretchTarget target{dc, dc->VisibleRects(QRect(0, 0, m_width, m_height))};
        StretchSource source;
        source.stride = stride;
        source.width = header.biWidth;
        source.bpp = bpp;
        source.palette = info->Colors();
        source.paletteCount = bpp <= 8 ? static_cast<int>(std::min<std::uint32_t>(header.biClrUsed, 256)) : 0;
        const auto* band = static_cast<const std::uint8_t*>(bits) + static_cast<std::size_t>(stride) * srcY;
        // Bands start at the buffer's first rows (the picture's bottom) and are
        // drawn from the destination's bottom edge upwards.
        int bandBottom = dstY + dstHeight;
        int rows = 0;
        for (const Tile& b : bands) {
            const int bandTop = bandBottom - b.dstExtent;
            source.bits = band;
            source.rows = b.srcExtent;
            for (const Tile& c : columns)
                StretchPixels(target, c.dst, bandTop, c.dstExtent, b.dstExtent, source, c.src, 0, c.srcExtent,
                              b.srcExtent, rop, 0);
            rows += b.srcExtent;
            band += static_cast<std::size_t>(stride) * b.srcExtent;
            bandBottom = bandTop;
        }
        dc->SetStretchBltMode(previousMode);
        return rows;
    } catch (int) {
        return 0;
    }
}
