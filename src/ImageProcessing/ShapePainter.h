// Shapes that need a rasteriser (wide lines, ellipses, polygons, pies) are
// painted by QPainter, unsmoothed, into a scratch picture of their bounds and
// then put into the image pixel by pixel with the context's mix mode and clip.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QImage>
#include <QPoint>
#include <QRect>

class CImageDC;
class QPainter;

class CImageShapePainter
{
public:
    explicit CImageShapePainter(CImageDC& dc) : m_dc(dc) {}

    void Line(POINT from, POINT to);
    void Ellipse(const RECT& box);
    void Polygon(const POINT* points, int count);
    void Pie(const RECT& box, POINT start, POINT end);

private:
    // Paints with the pen and brush inside `bounds` (image coordinates) and
    // merges the result into the image.
    template <typename Paint> void Render(QRect bounds, Paint paint);

    CImageDC& m_dc;
};

// Puts a scratch picture (premultiplied ARGB, its top-left at `origin`) into
// the image: covered pixels take the scratch colour through the mix mode, or
// are blended by coverage when `blend` is set (smoothed text). `limit`, when
// not empty, further restricts the pixels written.
void MergeScratch(CImageDC& dc, const QImage& scratch, QPoint origin, int mixMode, bool blend,
                  const QRect& limit);
// MergeScratch (copying, blended, unlimited) of the scratch as if its ink had
// been painted black: its coverage alone. Black text onto a mask from the
// scratch of the same text in another colour.
void MergeScratchBlack(CImageDC& dc, const QImage& scratch, QPoint origin);
