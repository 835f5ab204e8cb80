#include "ImageProcessing/ImageFont.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Qt sizes a font by its character (em) height; a positive LOGFONT height
// asks for the whole cell, so the pixel size is searched until the cell fits.
int PixelSizeForCell(QFont font, int cellHeight)
{
    int size = cellHeight;
    for (int i = 0; i < 4; ++i) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const int cell = metrics.ascent() + metrics.descent();
        if (cell == cellHeight || cell <= 0)
            break;
        const int next = std::max(1, static_cast<int>(std::lround(double(size) * cellHeight / cell)));
        if (next == size)
            break;
        size = next;
    }
    return size;
}

QFont MakeFont(const LOGFONT& lf)
{
    QFont font;
    if (!lf.lfFaceName.empty())
        font.setFamilies({QString::fromStdString(lf.lfFaceName)});
    const int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min(lf.lfWeight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(lf.lfQuality == ANTIALIASED_QUALITY ? QFont::PreferAntialias : QFont::NoAntialias);
    if (lf.lfHeight < 0)
        font.setPixelSize(-lf.lfHeight);
    else if (lf.lfHeight > 0)
        font.setPixelSize(PixelSizeForCell(font, lf.lfHeight));
    else
        font.setPixelSize(16);
    return font;
}

} // namespace

QFont CImageFont::GetQFont() const
{
    if (!m_font) {
        if (m_valid) {
            m_font = MakeFont(m_logFont);
        } else {
            LOGFONT standard;
            m_font = MakeFont(standard);
        }
    }
    return *m_font;
}
