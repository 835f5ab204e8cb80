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

// Adds a tile's map to the joined map of its axis, each source coordinate
// through `convert`; destination coordinates the tiles skip map to -1.
template <typename Convert> void Join(StretchAxis& joined, const StretchAxis& tile, Convert convert)
{
    if (tile.source.empty())
        return;
    const int tileEnd = tile.first + static_cast<int>(tile.source.size());
    const int first = joined.source.empty() ? tile.first : std::min(joined.first, tile.first);
    const int end = joined.source.empty()
                        ? tileEnd
                        : std::max(joined.first + static_cast<int>(joined.source.size()), tileEnd);
    std::vector<int> map(static_cast<std::size_t>(end - first), -1);
    if (!joined.source.empty())
        std::copy(joined.source.begin(), joined.source.end(), map.begin() + (joined.first - first));
    std::transform(tile.source.begin(), tile.source.end(), map.begin() + (tile.first - first), convert);
    joined.first = first;
    joined.source = std::move(map);
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
        StretchTarget target{dc, dc->VisibleRects(QRect(0, 0, m_width, m_height))};
        StretchSource source;
        source.bits = static_cast<const std::uint8_t*>(bits);
        source.rows = srcY + srcHeight;
        source.stride = stride;
        source.width = header.biWidth;
        source.bpp = bpp;
        source.palette = info->Colors();
        source.paletteCount = bpp <= 8 ? static_cast<int>(std::min<std::uint32_t>(header.biClrUsed, 256)) : 0;
        // Each tile samples as its own stretch would; the tiles of an axis
        // cover the destination without overlapping, so their maps join into
        // one and the picture is drawn in one pass, row after row.
        StretchAxis cols;
        for (const Tile& c : TileAxis(srcX, srcWidth, dstX, dstWidth))
            Join(cols, MapStretchAxis(c.dst, c.dstExtent, c.src, c.srcExtent, header.biWidth, m_width),
                 [](int s) { return s; });
        // Bands start at the buffer's first rows (the picture's bottom) and are
        // drawn from the destination's bottom edge upwards.
        StretchAxis rows;
        int bandBottom = dstY + dstHeight;
        int bandStart = srcY; // stored row of the band's bottom row
        for (const Tile& b : TileAxis(srcY, srcHeight, 0, dstHeight)) {
            const int bandTop = bandBottom - b.dstExtent;
            const int last = bandStart + b.srcExtent - 1; // the band's top row
            Join(rows, MapStretchAxis(bandTop, b.dstExtent, 0, b.srcExtent, b.srcExtent, m_height),
                 [last](int s) { return s < 0 ? s : last - s; });
            bandStart += b.srcExtent;
            bandBottom = bandTop;
        }
        StretchMapped(target, cols, rows, source, rop, 0);
        dc->SetStretchBltMode(previousMode);
        return srcHeight; // every row of the bands
    } catch (int) {
        return 0;
    }
}
