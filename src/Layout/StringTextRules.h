// The rules by which string items lay out their text: the key colour, the
// working size, the lines and their shortening, the boxes of the lines and the
// shadow offsets in each of the four directions.
#pragma once

#include "Core/PictureLimits.h"
#include "ImageProcessing/GdiTypes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// White; black when the text or shadow colour is white; grey 0x808080 when
// then the other one is black.
COLORREF ChooseKeyColor(COLORREF textColor, COLORREF shadowColor);

using StringWorkingSize = PictureWorkingSize;
// The size at which a rect of w x h layout units is worked: the picture
// limits' working size, which the save check of texts asks about too.
StringWorkingSize CalcStringWorkingSize(int width, int height);
// The working size fitted into maxW x maxH when larger, with the factor multiplied accordingly.
StringWorkingSize FitWorkingSize(StringWorkingSize size, int maxWidth, int maxHeight);

// The text split at '\n' (without '\r'), each line cut to 259 bytes and its
// trailing white space removed; empty lines are kept.
std::vector<std::string> SplitStringLines(std::string_view text);

// The spaces that keep a line's overhang: one, a second for weight 700, a third for italic.
std::string OverhangSpaces(int weight, bool italic);

// A line wider than `available` shortened from its end to the shortest
// version still too wide (one character more than fits), at least its first
// character. `measure` gives a text's width.
std::string ShortenLine(const std::string& line, int available,
                        const std::function<int(std::string_view)>& measure);

// The canvas box of line `index` of w x h in the item's rect for a direction.
RECT StringLineBox(const RECT& itemRect, int direction, int index, int width, int height);

// The stored shadow offset turned for the direction and writing mode.
POINT ShadowOffsetForDirection(POINT stored, int direction, bool vertical);
// The shift of the text that keeps a shadow of that offset inside the rect.
POINT TextShiftForShadow(POINT offset, int direction);
