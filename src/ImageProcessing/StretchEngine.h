// The nearest-pixel stretch behind every block transfer: a source of 1 to 32
// bits per pixel (bottom row first) onto the visible rectangles of a context.
#pragma once

#include "ImageProcessing/BitmapInfo.h"

#include <QRect>
#include <cstdint>
#include <vector>

class CImageDC;

struct StretchSource
{
    const std::uint8_t* bits = nullptr; // first stored row (the bottom one); null: no source
    int stride = 0;
    int width = 0;
    int rows = 0; // rows stored; reads never go beyond them
    int bpp = 32;
    const RGBQUAD* palette = nullptr;
    int paletteCount = 0;
};

struct StretchTarget
{
    CImageDC* dc;
    std::vector<QRect> visible; // inside the picture and its clip
};

// Nearest-pixel samples of one row: dst[i] = row[columns[i]], each column
// inside 0 .. rowWidth - 1.
void GatherPixels(const std::uint32_t* row, int rowWidth, const int* columns, std::uint32_t* dst, int count);
// The same of a plane of bytes, each sample put in byte 2 of its pixel (where
// masks keep their value), the others 0. The row's bytes run to a multiple of
// four past every column (rows padded to whole words).
void GatherMaskBytes(const std::uint8_t* row, const int* columns, std::uint32_t* dst, int count);

// For each destination coordinate along one axis from `first` on, the source
// coordinate it samples (the source pixel under the destination pixel's
// centre), or -1 outside the source; only destination coordinates inside the
// target (0 .. targetLimit - 1) are mapped.
struct StretchAxis
{
    int first = 0; // first destination coordinate
    std::vector<int> source;
};
StretchAxis MapStretchAxis(int dst, int dstExtent, int src, int srcExtent, int sourceLimit, int targetLimit);

// The stretch with its maps given: `cols` gives source columns, `storedRows`
// source rows in stored order (0: the first stored, the bottom one). Pixels
// mapped to -1 are left alone.
void StretchMapped(const StretchTarget& target, const StretchAxis& cols, const StretchAxis& storedRows,
                   const StretchSource& source, std::uint32_t rop, std::uint32_t pattern);

// Destination (x, y, width, height) from source (srcX, srcY, srcWidth,
// srcHeight), rows counted from the top of the source; negative extents
// mirror. Pixels whose source lies outside the source are left alone.
void StretchPixels(const StretchTarget& target, int x, int y, int width, int height,
                   const StretchSource& source, int srcX, int srcY, int srcWidth, int srcHeight,
                   std::uint32_t rop, std::uint32_t pattern);

// The rectangles of a stretched masked drawing (Image.h: DrawMaskedRect,
// CompositeRect), clipped as those drawings clip them: the source rectangle
// to the source, the destination's extents to the destination from its
// origin on; both scales follow the clipped extents. False when nothing remains.
struct StretchRects
{
    int x, y, width, height, srcX, srcY, srcWidth, srcHeight;
};
bool ClipStretchRects(StretchRects& r, int sourceWidth, int sourceHeight, int destWidth, int destHeight);

// CompositeRect of a 32-bit picture whose mask is opaque (0) throughout,
// without the mask: the destination takes the stretched source's colour bytes
// and keeps its fourth bytes, and its mask becomes opaque, keeping its fourth
// bytes too. Prepared once for the whole destination and then drawn into
// windows of its rows, each sampling as the whole drawing would.
class COpaqueStretch
{
public:
    // False (and nothing to draw) when a destination pixel would sample outside
    // the source or the source is not 32-bit; a rectangle that clips to
    // nothing draws nothing.
    bool Prepare(StretchRects r, const StretchSource& source, int destWidth, int destHeight);
    // `dest` and `destMask` show destination rows top .. top + their height - 1.
    // `untouched` promises that those rows still hold what CImage::Create left
    // there (fourth bytes 0), so that they need not be read; the rows are then
    // written around the cache.
    void Draw(CImageDC& dest, CImageDC& destMask, int top, bool untouched) const;

private:
    StretchSource m_source;
    int m_colFirst = 0;
    int m_rowFirst = 0;
    std::vector<int> m_cols;
    std::vector<int> m_rows;
};
