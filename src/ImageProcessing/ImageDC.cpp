#include "ImageProcessing/ImageDC.h"

#include "Filters/CpuFeatures.h"
#include "ImageProcessing/RasterOps.h"
#include "ImageProcessing/ShapePainter.h"
#include "ImageProcessing/StretchEngine.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Spans from this size on are written around the cache.
constexpr std::size_t kStreamFrom = std::size_t(1) << 20; // pixels
// Rows of at most this many pixels are prefetched this many rows ahead.
constexpr int kNarrowFill = 32;
constexpr int kFillAhead = 16;

#if defined(__x86_64__)
__attribute__((target("avx2"))) void StreamPixels(std::uint32_t* pixels, std::size_t count,
                                                  std::uint32_t value)
{
    std::size_t i = 0;
    for (; i < count && (reinterpret_cast<std::uintptr_t>(pixels + i) & 31) != 0; ++i)
        pixels[i] = value;
    const __m256i v = _mm256_set1_epi32(static_cast<int>(value));
    for (; i + 8 <= count; i += 8)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(pixels + i), v);
    _mm_sfence();
    std::fill(pixels + i, pixels + count, value);
}
#endif

} // namespace

void FillPixelSpan(std::uint32_t* pixels, std::size_t count, std::uint32_t value)
{
#if defined(__x86_64__)
    if (count >= kStreamFrom && FilterCpu::Avx2()) {
        StreamPixels(pixels, count, value);
        return;
    }
#endif
    std::fill_n(pixels, count, value);
}

CImageDC::CImageDC(std::uint8_t* bits, int width, int height, int stride)
    : m_bits(bits), m_width(width), m_height(height), m_stride(stride)
{
}

std::uint32_t* CImageDC::Row(int y) const
{
    return reinterpret_cast<std::uint32_t*>(m_bits +
                                            static_cast<std::ptrdiff_t>(m_height - 1 - y) * m_stride);
}

CImagePen CImageDC::SelectObject(const CImagePen& pen)
{
    CImagePen previous = m_pen;
    m_pen = pen;
    m_styleCounter = 0;
    return previous;
}

CImageBrush CImageDC::SelectObject(const CImageBrush& brush)
{
    CImageBrush previous = m_brush;
    m_brush = brush;
    return previous;
}

CImageFont CImageDC::SelectObject(const CImageFont& font)
{
    CImageFont previous = m_font;
    m_font = font;
    return previous;
}

int CImageDC::SetROP2(int mode)
{
    const int previous = m_rop2;
    if (mode >= R2_BLACK && mode <= R2_WHITE)
        m_rop2 = mode;
    return previous;
}

int CImageDC::SetBkMode(int mode)
{
    const int previous = m_bkMode;
    if (mode == TRANSPARENT || mode == OPAQUE)
        m_bkMode = mode;
    return previous;
}

COLORREF CImageDC::SetBkColor(COLORREF color)
{
    const COLORREF previous = m_bkColor;
    m_bkColor = color & 0xFFFFFFu;
    return previous;
}

COLORREF CImageDC::SetTextColor(COLORREF color)
{
    const COLORREF previous = m_textColor;
    m_textColor = color & 0xFFFFFFu;
    return previous;
}

int CImageDC::SetStretchBltMode(int mode)
{
    const int previous = m_stretchMode;
    m_stretchMode = mode;
    return previous;
}

int CImageDC::SelectClipRgn(const CRgn* region)
{
    if (region)
        m_clip = region->GetQRegion();
    else
        m_clip.reset();
    return 1;
}

bool CImageDC::InClip(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return false;
    return !m_clip || m_clip->contains(QPoint(x, y));
}

std::vector<QRect> CImageDC::VisibleRects(const QRect& area) const
{
    std::vector<QRect> rects;
    const QRect bounded = area.intersected(QRect(0, 0, m_width, m_height));
    if (bounded.isEmpty())
        return rects;
    if (!m_clip) {
        rects.push_back(bounded);
        return rects;
    }
    for (const QRect& r : *m_clip) {
        const QRect part = r.intersected(bounded);
        if (!part.isEmpty())
            rects.push_back(part);
    }
    return rects;
}

void CImageDC::Plot(int x, int y, COLORREF color, int rop)
{
    if (!InClip(x, y))
        return;
    std::uint32_t& d = Row(y)[x];
    d = MixPen(d, ColorToPixel(color), rop);
}

int CImageDC::FillRect(const RECT& rect, COLORREF color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return 1;
    const std::uint32_t pixel = ColorToPixel(color);
    for (const QRect& r :
         VisibleRects(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top))) {
        if (r.width() == m_width && m_stride == m_width * 4) { // whole rows: one span
            FillPixelSpan(Row(r.bottom()), static_cast<std::size_t>(m_width) * r.height(), pixel);
            continue;
        }
        if (r.width() <= kNarrowFill) {
            // A tall narrow rectangle (a vertical line) touches a new cache line
            // in every row, which no hardware prefetcher foresees.
            for (int y = r.top(); y <= r.bottom(); ++y) {
                if (y + kFillAhead <= r.bottom()) {
                    const std::uint32_t* ahead = Row(y + kFillAhead) + r.left();
                    __builtin_prefetch(ahead, 1);
                    __builtin_prefetch(ahead + r.width() - 1, 1);
                }
                std::fill_n(Row(y) + r.left(), r.width(), pixel);
            }
            continue;
        }
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(Row(y) + r.left(), r.width(), pixel);
    }
    return 1;
}

int CImageDC::MoveTo(int x, int y, POINT* previous)
{
    if (previous)
        *previous = m_position;
    m_position = {x, y};
    return 1;
}

namespace {

// On/off runs of the styled one-pixel pens.
const std::vector<int>& DashPattern(int style)
{
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3};
    static const std::vector<int> none;
    switch (style) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashDot;
    case PS_DASHDOTDOT:
        return dashDotDot;
    default:
        return none;
    }
}

bool InDash(const std::vector<int>& pattern, int counter, bool* on)
{
    int total = 0;
    for (int run : pattern)
        total += run;
    int position = counter % total;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (position < pattern[i]) {
            *on = (i % 2) == 0;
            return true;
        }
        position -= pattern[i];
    }
    *on = true;
    return true;
}

} // namespace

void CImageDC::DrawThinLine(int x1, int y1, int x2, int y2)
{
    const std::vector<int>& pattern = DashPattern(m_pen.style);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx - dy;
    int x = x1, y = y1;
    const int steps = std::max(dx, dy);
    for (int i = 0; i < steps; ++i) {
        bool on = true;
        if (!pattern.empty())
            InDash(pattern, m_styleCounter++, &on);
        if (on)
            Plot(x, y, m_pen.color, m_rop2);
        else if (m_bkMode == OPAQUE)
            Plot(x, y, m_bkColor, m_rop2);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

int CImageDC::LineTo(int x, int y)
{
    const POINT from = m_position;
    m_position = {x, y};
    if (m_pen.style == PS_NULL)
        return 1;
    if (m_pen.width <= 1) {
        DrawThinLine(from.x, from.y, x, y);
        return 1;
    }
    CImageShapePainter shape(*this);
    shape.Line(from, {x, y});
    return 1;
}

int CImageDC::Polyline(const POINT* points, int count)
{
    if (!points || count < 2)
        return 0;
    const POINT saved = m_position;
    MoveTo(points[0].x, points[0].y);
    for (int i = 1; i < count; ++i)
        LineTo(points[i].x, points[i].y);
    m_position = saved;
    return 1;
}

int CImageDC::Rectangle(int left, int top, int right, int bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const bool pen = m_pen.style != PS_NULL;
    if (!pen) {
        // Without a pen the filled area is one pixel smaller on the far edges.
        if (!m_brush.hollow)
            FillWithRop({left, top, right - 1, bottom - 1}, m_brush.color);
        return 1;
    }
    const int w = std::max(1, m_pen.width);
    if (!m_brush.hollow)
        FillWithRop({left + w, top + w, right - w, bottom - w}, m_brush.color);
    // The outline lies inside the rectangle.
    FillWithRop({left, top, right, std::min(bottom, top + w)}, m_pen.color);
    FillWithRop({left, std::max(top, bottom - w), right, bottom}, m_pen.color);
    FillWithRop({left, top + w, std::min(right, left + w), bottom - w}, m_pen.color);
    FillWithRop({std::max(left, right - w), top + w, right, bottom - w}, m_pen.color);
    return 1;
}

void CImageDC::FillWithRop(const RECT& rect, COLORREF color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    if (m_rop2 == R2_COPYPEN) {
        FillRect(rect, color);
        return;
    }
    const std::uint32_t pixel = ColorToPixel(color);
    for (const QRect& r :
         VisibleRects(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top))) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::uint32_t* row = Row(y);
            for (int x = r.left(); x <= r.right(); ++x)
                row[x] = MixPen(row[x], pixel, m_rop2);
        }
    }
}

int CImageDC::Ellipse(int left, int top, int right, int bottom)
{
    CImageShapePainter shape(*this);
    shape.Ellipse({left, top, right, bottom});
    return 1;
}

int CImageDC::Polygon(const POINT* points, int count)
{
    if (!points || count < 2)
        return 0;
    CImageShapePainter shape(*this);
    shape.Polygon(points, count);
    return 1;
}

int CImageDC::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    CImageShapePainter shape(*this);
    shape.Pie({left, top, right, bottom}, {x1, y1}, {x2, y2});
    return 1;
}

int CImageDC::InvertRgn(const CRgn& region)
{
    for (const QRect& area : region.GetQRegion()) {
        for (const QRect& r : VisibleRects(area)) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                std::uint32_t* row = Row(y);
                for (int x = r.left(); x <= r.right(); ++x)
                    row[x] ^= 0xFFFFFFu;
            }
        }
    }
    return 1;
}

namespace {
// The platform's three-dimensional element colours.
constexpr COLORREF kHighlight = 0xFFFFFF;
constexpr COLORREF kLight = 0xE3E3E3;
constexpr COLORREF kShadow = 0xA0A0A0;
constexpr COLORREF kDarkShadow = 0x696969;
constexpr COLORREF kFace = 0xF0F0F0;
} // namespace

int CImageDC::DrawEdge(RECT* rect, unsigned edge, unsigned flags)
{
    if (!rect)
        return 0;
    RECT r = *rect;
    auto border = [&](COLORREF topLeft, COLORREF bottomRight) {
        if (r.right <= r.left || r.bottom <= r.top)
            return;
        if (flags & BF_TOP)
            FillRect({r.left, r.top, r.right, r.top + 1}, topLeft);
        if (flags & BF_LEFT)
            FillRect({r.left, r.top, r.left + 1, r.bottom}, topLeft);
        if (flags & BF_BOTTOM)
            FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        if (flags & BF_RIGHT)
            FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        if (flags & BF_LEFT)
            ++r.left;
        if (flags & BF_TOP)
            ++r.top;
        if (flags & BF_RIGHT)
            --r.right;
        if (flags & BF_BOTTOM)
            --r.bottom;
    };
    if (edge & BDR_RAISEDOUTER)
        border(kLight, kDarkShadow);
    else if (edge & BDR_SUNKENOUTER)
        border(kShadow, kHighlight);
    if (edge & BDR_RAISEDINNER)
        border(kHighlight, kShadow);
    else if (edge & BDR_SUNKENINNER)
        border(kDarkShadow, kLight);
    if (flags & BF_MIDDLE)
        FillRect(r, kFace);
    if (flags & BF_ADJUST)
        *rect = r;
    return 1;
}

int CImageDC::BitBlt(int x, int y, int width, int height, const CImageDC* source, int srcX, int srcY,
                     std::uint32_t rop)
{
    if (width <= 0 || height <= 0)
        return 0;
    return StretchBlt(x, y, width, height, source, srcX, srcY, width, height, rop);
}

int CImageDC::StretchBlt(int x, int y, int width, int height, const CImageDC* source, int srcX, int srcY,
                         int srcWidth, int srcHeight, std::uint32_t rop)
{
    if (width == 0 || height == 0)
        return 0;
    const bool usesSource = RopUsesSource(rop);
    if (usesSource && (!source || srcWidth == 0 || srcHeight == 0))
        return 0;
    StretchSource src;
    std::vector<std::uint8_t> copy;
    if (usesSource) {
        src.bits = source->m_bits;
        src.stride = source->m_stride;
        src.width = source->m_width;
        src.rows = source->m_height;
        src.bpp = 32;
        if (source == this) {
            // The picture is its own source: read from a copy.
            const std::size_t bytes = static_cast<std::size_t>(m_stride) * m_height;
            copy.assign(m_bits, m_bits + bytes);
            src.bits = copy.data();
        }
    } else {
        srcWidth = width;
        srcHeight = height;
    }
    StretchTarget target{this, VisibleRects(QRect(0, 0, m_width, m_height))};
    StretchPixels(target, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop,
                  ColorToPixel(m_brush.color));
    return 1;
}

QImage CImageDC::ToQImage(int x, int y, int width, int height) const
{
    const QRect r = QRect(x, y, width, height).intersected(QRect(0, 0, m_width, m_height));
    if (r.isEmpty())
        return {};
    QImage out(r.width(), r.height(), QImage::Format_RGB32);
    for (int row = 0; row < r.height(); ++row) {
        const std::uint32_t* from = Row(r.top() + row) + r.left();
        auto* to = reinterpret_cast<std::uint32_t*>(out.scanLine(row));
        for (int i = 0; i < r.width(); ++i)
            to[i] = from[i] | 0xFF000000u;
    }
    return out;
}
