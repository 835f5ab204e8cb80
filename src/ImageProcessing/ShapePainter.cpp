#include "ImageProcessing/ShapePainter.h"

#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/RasterOps.h"

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

void MergeScratch(CImageDC& dc, const QImage& scratch, QPoint origin, int mixMode, bool blend,
                  const QRect& limit)
{
    QRect area(origin, scratch.size());
    if (!limit.isNull())
        area = area.intersected(limit);
    for (const QRect& r : dc.VisibleRects(area)) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto* from = reinterpret_cast<const std::uint32_t*>(scratch.constScanLine(y - origin.y()));
            std::uint32_t* to = dc.Row(y);
            for (int x = r.left(); x <= r.right(); ++x) {
                // Most of a scratch is untouched: eight such pixels are passed at once.
                while (x + 8 <= r.right() + 1) {
                    std::uint32_t any = 0;
                    for (int k = 0; k < 8; ++k)
                        any |= from[x - origin.x() + k];
                    if (any >> 24 != 0)
                        break;
                    x += 8;
                }
                if (x > r.right())
                    break;
                const std::uint32_t s = from[x - origin.x()];
                const unsigned alpha = s >> 24;
                if (alpha == 0)
                    continue;
                std::uint32_t& d = to[x];
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
        }
    }
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
