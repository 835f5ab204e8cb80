#include "ImageProcessing/ShapePainter.h"

#include "Filters/CpuFeatures.h"
#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/RasterOps.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Qt's unsmoothed outline of a w x h box covers w + 1 columns; the editor's
// shapes keep to their box, right and bottom edges excluded.
QRect InnerBox(const RECT& box)
{
    const int left = std::min(box.left, box.right), right = std::max(box.left, box.right);
    const int top = std::min(box.top, box.bottom), bottom = std::max(box.top, box.bottom);
    return QRect(left, top, std::max(0, right - left - 1), std::max(0, bottom - top - 1));
}

} // namespace

namespace {

// One scratch pixel into the image; what MergeScratch does for each.
inline void MergePixel(std::uint32_t s, std::uint32_t& d, int mixMode, bool blend)
{
    const unsigned alpha = s >> 24;
    if (alpha == 0)
        return;
    if (blend && alpha < 255) {
        // Premultiplied source over the destination, fourth byte kept.
        std::uint32_t out = d & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned sc = (s >> shift) & 0xFF, dc8 = (d >> shift) & 0xFF;
            out |= std::min(255u, sc + dc8 * (255 - alpha) / 255) << shift;
        }
        d = out;
    } else {
        d = MixPen(d, s & 0xFFFFFFu, mixMode);
    }
}

#if defined(__x86_64__)
// The copying mix mode eight pixels at a time, with the integers of
// MergePixel: dc * (255 - alpha) fits 16 bits, (x * 0x8081) >> 23 is x / 255
// for every 16-bit x, and the saturating pack is the min with 255.
__attribute__((target("avx2"))) int MergeCopyRowAvx2(const std::uint32_t* from, std::uint32_t* to, int count,
                                                     bool blend, std::uint32_t keep)
{
    const __m256i kept = _mm256_set1_epi32(static_cast<int>(keep));
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i all255 = _mm256_set1_epi16(255);
    const __m256i reciprocal = _mm256_set1_epi16(static_cast<short>(0x8081));
    // 255 - alpha goes to the colour words of each pixel, 0 to the fourth.
    const __m256i colourWords = _mm256_setr_epi16(-1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0);
    const __m256i spreadLow = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, -1, -1, 7, -1, 7, -1, 7, -1, -1, -1, 3,
                                               -1, 3, -1, 3, -1, -1, -1, 7, -1, 7, -1, 7, -1, -1, -1);
    const __m256i spreadHigh =
        _mm256_setr_epi8(11, -1, 11, -1, 11, -1, -1, -1, 15, -1, 15, -1, 15, -1, -1, -1, 11, -1, 11, -1, 11,
                         -1, -1, -1, 15, -1, 15, -1, 15, -1, -1, -1);
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s =
            _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i)), kept);
        const __m256i alpha = _mm256_srli_epi32(s, 24);
        const __m256i untouched = _mm256_cmpeq_epi32(alpha, zero);
        if (_mm256_movemask_epi8(untouched) == -1)
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(to + i));
        const __m256i copied = _mm256_and_si256(s, colour);
        __m256i result = copied;
        if (blend) {
            const __m256i opaque = _mm256_cmpeq_epi32(alpha, _mm256_set1_epi32(255));
            if (_mm256_movemask_epi8(_mm256_or_si256(opaque, untouched)) != -1) {
                const __m256i invLo = _mm256_and_si256(
                    _mm256_sub_epi16(all255, _mm256_shuffle_epi8(s, spreadLow)), colourWords);
                const __m256i invHi = _mm256_and_si256(
                    _mm256_sub_epi16(all255, _mm256_shuffle_epi8(s, spreadHigh)), colourWords);
                const __m256i xLo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), invLo);
                const __m256i xHi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), invHi);
                const __m256i sumLo = _mm256_add_epi16(
                    _mm256_unpacklo_epi8(s, zero), _mm256_srli_epi16(_mm256_mulhi_epu16(xLo, reciprocal), 7));
                const __m256i sumHi = _mm256_add_epi16(
                    _mm256_unpackhi_epi8(s, zero), _mm256_srli_epi16(_mm256_mulhi_epu16(xHi, reciprocal), 7));
                const __m256i blended =
                    _mm256_or_si256(_mm256_and_si256(_mm256_packus_epi16(sumLo, sumHi), colour),
                                    _mm256_andnot_si256(colour, d));
                result = _mm256_blendv_epi8(blended, copied, opaque);
            }
        }
        result = _mm256_blendv_epi8(result, d, untouched);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + i), result);
    }
    return i;
}

int MergeCopyRow(const std::uint32_t* from, std::uint32_t* to, int count, bool blend, std::uint32_t keep)
{
    return FilterCpu::Avx2() ? MergeCopyRowAvx2(from, to, count, blend, keep) : 0;
}
#else
int MergeCopyRow(const std::uint32_t*, std::uint32_t*, int, bool, std::uint32_t)
{
    return 0;
}
#endif

// The scratch pixels are taken through `keep`: all bits, or the coverage alone.
void MergeKept(CImageDC& dc, const QImage& scratch, QPoint origin, int mixMode, bool blend,
               const QRect& limit, std::uint32_t keep)
{
    QRect area(origin, scratch.size());
    if (!limit.isNull())
        area = area.intersected(limit);
    for (const QRect& r : dc.VisibleRects(area)) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto* from = reinterpret_cast<const std::uint32_t*>(scratch.constScanLine(y - origin.y())) +
                               (r.left() - origin.x());
            std::uint32_t* to = dc.Row(y) + r.left();
            const int count = r.width();
            const int done = mixMode == R2_COPYPEN ? MergeCopyRow(from, to, count, blend, keep) : 0;
            for (int i = done; i < count; ++i)
                MergePixel(from[i] & keep, to[i], mixMode, blend);
        }
    }
}

} // namespace

void MergeScratch(CImageDC& dc, const QImage& scratch, QPoint origin, int mixMode, bool blend,
                  const QRect& limit)
{
    MergeKept(dc, scratch, origin, mixMode, blend, limit, 0xFFFFFFFFu);
}

void MergeScratchBlack(CImageDC& dc, const QImage& scratch, QPoint origin)
{
    // Premultiplied black ink is its coverage with colour bytes 0.
    MergeKept(dc, scratch, origin, R2_COPYPEN, true, QRect(), 0xFF000000u);
}

template <typename Paint> void CImageShapePainter::Render(QRect bounds, Paint paint)
{
    const int margin = std::max(1, m_dc.GetPen().width) + 2;
    bounds = bounds.adjusted(-margin, -margin, margin, margin)
                 .intersected(QRect(0, 0, m_dc.GetWidth(), m_dc.GetHeight()));
    if (bounds.isEmpty())
        return;
    QImage scratch(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    scratch.fill(0);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-bounds.left(), -bounds.top());
        const CImagePen& pen = m_dc.GetPen();
        const CImageBrush& brush = m_dc.GetBrush();
        if (pen.style == PS_NULL) {
            painter.setPen(Qt::NoPen);
        } else {
            QPen qpen(ToQColor(pen.color));
            qpen.setWidth(pen.width <= 1 ? 0 : pen.width);
            qpen.setCapStyle(Qt::RoundCap);
            qpen.setJoinStyle(Qt::RoundJoin);
            if (pen.width <= 1) {
                switch (pen.style) {
                case PS_DASH:
                    qpen.setStyle(Qt::DashLine);
                    break;
                case PS_DOT:
                    qpen.setStyle(Qt::DotLine);
                    break;
                case PS_DASHDOT:
                    qpen.setStyle(Qt::DashDotLine);
                    break;
                case PS_DASHDOTDOT:
                    qpen.setStyle(Qt::DashDotDotLine);
                    break;
                default:
                    break;
                }
            }
            if (pen.pattern && pen.width > 1 && !pen.pattern->isNull()) {
                qpen.setBrush(QBrush(*pen.pattern));
                painter.setBrushOrigin(0, 0);
            }
            painter.setPen(qpen);
        }
        painter.setBrush(brush.hollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush.color)));
        paint(painter);
    }
    MergeScratch(m_dc, scratch, bounds.topLeft(), m_dc.GetROP2(), false, QRect());
}

void CImageShapePainter::Line(POINT from, POINT to)
{
    const QRect bounds = QRect(QPoint(from.x, from.y), QPoint(to.x, to.y)).normalized();
    Render(bounds, [&](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.drawLine(from.x, from.y, to.x, to.y);
    });
}

void CImageShapePainter::Ellipse(const RECT& box)
{
    const QRect inner = InnerBox(box);
    Render(inner, [&](QPainter& p) { p.drawEllipse(inner); });
}

void CImageShapePainter::Polygon(const POINT* points, int count)
{
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    Render(polygon.boundingRect(), [&](QPainter& p) { p.drawPolygon(polygon, Qt::OddEvenFill); });
}

void CImageShapePainter::Pie(const RECT& box, POINT start, POINT end)
{
    const QRect inner = InnerBox(box);
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    // Angles run anticlockwise from the positive x axis, y pointing down.
    const double a1 = std::atan2(-(start.y - cy), start.x - cx) * 180.0 / M_PI;
    const double a2 = std::atan2(-(end.y - cy), end.x - cx) * 180.0 / M_PI;
    double span = a2 - a1;
    while (span <= 0)
        span += 360.0;
    Render(inner, [&](QPainter& p) {
        p.drawPie(inner, static_cast<int>(std::lround(a1 * 16)), static_cast<int>(std::lround(span * 16)));
    });
}
