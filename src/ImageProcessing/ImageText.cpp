// Text output of the drawing context.
#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/RasterOps.h"
#include "ImageProcessing/ShapePainter.h"
#include "ImageProcessing/TextLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Paints one line turned about its reference point into a scratch picture
// of its bounds in the context (set in `bounds`); `limit` (when not null) is
// the rectangle the ink must stay in. A null picture when nothing is drawn.
QImage PaintLine(const CImageDC& dc, const QFont& font, const TextLine& line, int escapement,
                 const QRect& limit, QRect& bounds)
{
    if (line.text.isEmpty())
        return {};
    const QFontMetrics metrics(font);
    const double angle = -escapement / 10.0; // Qt turns clockwise with y pointing down
    QTransform turn;
    turn.translate(line.origin.x, line.origin.y);
    turn.rotate(angle);
    // Ink may overhang the cell (italics, accents): leave room around it.
    const int slack = metrics.height();
    const QRectF cell(-slack, -slack, line.extent.cx + 2.0 * slack, line.extent.cy + 2.0 * slack);
    bounds = turn.mapRect(cell).toAlignedRect().intersected(QRect(0, 0, dc.GetWidth(), dc.GetHeight()));
    if (!limit.isNull())
        bounds = bounds.intersected(limit);
    if (bounds.isEmpty())
        return {};
    QImage scratch(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    scratch.fill(0);
    {
        QPainter painter(&scratch);
        const bool smooth = font.styleStrategy() & QFont::PreferAntialias;
        painter.setRenderHint(QPainter::Antialiasing, smooth);
        painter.setRenderHint(QPainter::TextAntialiasing, smooth);
        painter.translate(-bounds.left(), -bounds.top());
        painter.setTransform(turn, true);
        if (dc.GetBkMode() == OPAQUE)
            painter.fillRect(QRect(0, 0, line.extent.cx, line.extent.cy), ToQColor(dc.GetBkColor()));
        painter.setFont(font);
        painter.setPen(ToQColor(dc.GetTextColor()));
        painter.drawText(QPointF(0, metrics.ascent()), line.text);
    }
    return scratch;
}

// Draws one line turned about its reference point into the context.
void DrawLine(CImageDC& dc, const QFont& font, const TextLine& line, int escapement, const QRect& limit)
{
    QRect bounds;
    const QImage scratch = PaintLine(dc, font, line, escapement, limit, bounds);
    if (!scratch.isNull())
        MergeScratch(dc, scratch, bounds.topLeft(), R2_COPYPEN, true, QRect());
}

// Where this holds, DrawText on the mask lays out, bounds and clips each line
// as on the image, and its black ink covers the pixels the image's ink does
// to the same degree, whatever the image's (opaque) text colour.
bool MasksAlike(const CImageDC& dc, const CImageDC& mask)
{
    return dc.GetWidth() == mask.GetWidth() && dc.GetHeight() == mask.GetHeight() &&
           dc.GetBkMode() == TRANSPARENT && mask.GetBkMode() == TRANSPARENT && mask.GetTextColor() == 0 &&
           dc.GetFont().IsNull() == mask.GetFont().IsNull() &&
           dc.GetFont().GetLogFont() == mask.GetFont().GetLogFont() && dc.GetClip() == mask.GetClip();
}

} // namespace

int CImageDC::DrawText(std::string_view text, int count, RECT* rect, unsigned format)
{
    if (!rect)
        return 0;
    if (count >= 0 && static_cast<std::size_t>(count) < text.size())
        text = text.substr(0, static_cast<std::size_t>(count));
    const QFont font = m_font.GetQFont();
    const std::vector<TextLine> lines = LayoutText(font, text, *rect, format);
    if (lines.empty())
        return 0;
    const int height = lines.back().origin.y + lines.back().extent.cy - rect->top;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, line.extent.cx);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }
    QRect limit;
    if (!(format & DT_NOCLIP)) {
        if (rect->right <= rect->left || rect->bottom <= rect->top)
            return height;
        limit = QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    }
    for (const TextLine& line : lines)
        DrawLine(*this, font, line, m_font.GetEscapement(), limit);
    return height;
}

int PaintTextInk(const CImageDC& dc, std::string_view text, int count, const RECT& rect, unsigned format,
                 std::vector<TextInk>& ink)
{
    if (format & DT_CALCRECT)
        return 0;
    if (count >= 0 && static_cast<std::size_t>(count) < text.size())
        text = text.substr(0, static_cast<std::size_t>(count));
    const QFont font = dc.GetFont().GetQFont();
    const std::vector<TextLine> lines = LayoutText(font, text, rect, format);
    if (lines.empty())
        return 0;
    const int height = lines.back().origin.y + lines.back().extent.cy - rect.top;
    QRect limit;
    if (!(format & DT_NOCLIP)) {
        if (rect.right <= rect.left || rect.bottom <= rect.top)
            return height;
        limit = QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    for (const TextLine& line : lines) {
        TextInk painted;
        QRect bounds;
        painted.scratch = PaintLine(dc, font, line, dc.GetFont().GetEscapement(), limit, bounds);
        if (painted.scratch.isNull())
            continue;
        painted.origin = bounds.topLeft();
        ink.push_back(std::move(painted));
    }
    return height;
}

int DrawTextWithMask(CImageDC& dc, CImageDC& mask, std::string_view text, int count, RECT* rect,
                     unsigned format)
{
    if (!rect || (format & DT_CALCRECT) || !MasksAlike(dc, mask)) {
        RECT maskRect = rect ? *rect : RECT{};
        const int height = dc.DrawText(text, count, rect, format);
        mask.DrawText(text, count, rect ? &maskRect : nullptr, format);
        return height;
    }
    std::vector<TextInk> ink;
    const int height = PaintTextInk(dc, text, count, *rect, format, ink);
    for (const TextInk& line : ink) {
        MergeScratch(dc, line.scratch, line.origin, R2_COPYPEN, true, QRect());
        MergeScratchBlack(mask, line.scratch, line.origin);
    }
    return height;
}

int CImageDC::TextOut(int x, int y, std::string_view text)
{
    const QFont font = m_font.GetQFont();
    TextLine line;
    line.text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    line.extent = MeasureText(font, line.text);
    line.origin = {x, y};
    DrawLine(*this, font, line, m_font.GetEscapement(), QRect());
    return 1;
}

SIZE CImageDC::GetTextExtent(std::string_view text) const
{
    return MeasureText(m_font.GetQFont(),
                       QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}
