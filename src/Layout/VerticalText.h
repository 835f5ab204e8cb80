// Vertical writing for faces named with a leading "@": such faces do not
// exist here, so the line is laid out from the face without the "@", with
// CJK characters lying turned back a quarter in the unturned line (so that
// they stand upright once the line runs downward) and other characters as
// they are.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFont.h"

#include <string_view>

class CImage;

bool IsVerticalFace(const LOGFONT& font);
// The font with the face's "@" removed.
LOGFONT WithoutVerticalMark(const LOGFONT& font);
// Whether a character stands upright in vertical writing.
bool IsUprightInVerticalWriting(char32_t character);
// The unturned extent of the line: upright characters advance by the cell height.
SIZE MeasureVerticalLine(const LOGFONT& font, std::string_view text);
// Draws the unturned line into the top-left of the image in the colour, on a transparent ground.
void DrawVerticalLine(CImage& image, const LOGFONT& font, std::string_view text, COLORREF color);
