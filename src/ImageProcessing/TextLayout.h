// How text is placed: lines of a DrawText call, their unturned extents, and
// the reference point from which a turned line is drawn. A line is aligned in
// its rectangle by its unturned extent, then turned about that reference point
// by the font's escapement.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QFont>
#include <QString>
#include <string_view>
#include <vector>

struct TextLine
{
    QString text;
    SIZE extent;  // unturned width and cell height
    POINT origin; // top-left of the unturned cell: the turning point
};

// Splits and measures the text and places each line in the rectangle by the
// format flags. Prefix characters are removed unless DT_NOPREFIX is given.
std::vector<TextLine> LayoutText(const QFont& font, std::string_view text, const RECT& rect, unsigned format);

// Width and cell height of one line in the font.
SIZE MeasureText(const QFont& font, const QString& text);
