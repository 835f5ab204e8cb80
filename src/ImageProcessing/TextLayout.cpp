#include "ImageProcessing/TextLayout.h"

#include <QFontMetrics>
#include <QStringList>

SIZE MeasureText(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()};
}

namespace {

// "&x" shows x (its mnemonic underline is not drawn); "&&" shows "&".
QString StripPrefixes(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size())
                out += text[++i];
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace

std::vector<TextLine> LayoutText(const QFont& font, std::string_view text, const RECT& rect, unsigned format)
{
    QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (!(format & DT_NOPREFIX))
        all = StripPrefixes(all);
    QStringList pieces;
    if (format & DT_SINGLELINE) {
        all.remove(u'\r');
        all.replace(u'\n', u' ');
        pieces << all;
    } else {
        all.remove(u'\r');
        pieces = all.split(u'\n');
    }
    std::vector<TextLine> lines;
    const bool single = pieces.size() == 1;
    int y = rect.top;
    for (const QString& piece : pieces) {
        TextLine line;
        line.text = piece;
        line.extent = MeasureText(font, piece);
        const int cx = line.extent.cx, cy = line.extent.cy;
        if (format & DT_CENTER)
            line.origin.x = rect.left + (rect.right - rect.left - cx) / 2;
        else if (format & DT_RIGHT)
            line.origin.x = rect.right - cx;
        else
            line.origin.x = rect.left;
        if (single && (format & DT_SINGLELINE) && (format & DT_VCENTER))
            line.origin.y = rect.top + (rect.bottom - rect.top - cy) / 2;
        else if (single && (format & DT_SINGLELINE) && (format & DT_BOTTOM))
            line.origin.y = rect.bottom - cy;
        else
            line.origin.y = y;
        y += cy;
        lines.push_back(line);
    }
    return lines;
}
