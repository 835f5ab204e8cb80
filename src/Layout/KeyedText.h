// Text drawn through a colour key, as the string items draw it: the line is
// drawn turned into a scratch image of its cell, stretched onto its box on the
// canvas, keyed out and composited through the key's mask.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFont.h"

#include <memory>
#include <string_view>

class CImage;

// Escapement of a direction 0..3 (quarter turns clockwise): 0, -900, 1800, 900.
int EscapementOfDirection(int direction);

// The unturned extent of the text in the font (width and cell height).
SIZE MeasureTextLine(const LOGFONT& font, std::string_view text);

// Measures many texts in one font without making the font again for each.
class CTextMeasurer
{
public:
    explicit CTextMeasurer(const LOGFONT& font);
    CTextMeasurer(const CTextMeasurer&) = delete;
    CTextMeasurer& operator=(const CTextMeasurer&) = delete;
    ~CTextMeasurer();
    SIZE Measure(std::string_view text) const;

private:
    LOGFONT m_font;
    std::unique_ptr<CImage> m_scratch;
};

// The text's cell turned by the direction on a ground of the key colour, in
// `scratch` (created at the turned size). `font` is unturned and `cell` the
// text's extent in it.
bool RenderTurnedCell(CImage& scratch, std::string_view text, const LOGFONT& font, SIZE cell, int direction,
                      COLORREF color, COLORREF key);

// Draws the text into `box` of the canvas, only inside `clip`. `font` is the
// unturned font at the cell's scale and `cell` the text's extent in it; the
// cell is turned by the direction and stretched onto the box. False when
// nothing could be drawn.
bool DrawKeyedTextLine(CImage* canvas, const RECT& clip, const RECT& box, std::string_view text,
                       const LOGFONT& font, SIZE cell, int direction, COLORREF color, COLORREF key);
