#include "ImageProcessing/ImageFont.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QStringList>
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

constexpr std::uint8_t kShiftJisCharSet = 128;

// Faces named by layouts made elsewhere may be missing here: Japanese ones
// fall back to the IPA faces, a Mincho (serif) name to Mincho, else Gothic.
QStringList FamiliesFor(const LOGFONT& lf)
{
    const QString face = QString::fromStdString(lf.lfFaceName);
    QStringList families;
    if (!face.isEmpty())
        families << face;
    bool japanese = lf.lfCharSet == kShiftJisCharSet;
    for (QChar ch : face)
        japanese = japanese || ch.unicode() >= 0x3000;
    if (japanese || face.isEmpty()) {
        const bool serif = face.contains(QString::fromUtf8("\xE6\x98\x8E\xE6\x9C\x9D")) ||
                           face.contains(QLatin1String("Mincho"), Qt::CaseInsensitive);
        const bool proportional = face.contains(QLatin1Char('P')) || face.contains(QChar(0xFF30));
        families << (serif ? (proportional ? "IPAPMincho" : "IPAMincho")
                           : (proportional ? "IPAPGothic" : "IPAGothic"));
    }
    return families;
}

QFont MakeFont(const LOGFONT& lf)
{
    QFont font;
    const QStringList families = FamiliesFor(lf);
    if (!families.isEmpty())
        font.setFamilies(families);
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
