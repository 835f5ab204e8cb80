// Page geometry shared by the builders that turn draw records into items:
// records hold the page laid portrait, and a file may hold any 32-bit value,
// so turns and sums are made in 64 bits and checked before they become a RECT.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <cstdint>

class CLayoutManager;

struct WideRect
{
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

// H of the turn: the paper's second size less its top and bottom margins.
std::int64_t PageTurnHeight(const CLayoutManager& layout);
// (l, t, r, b) of the portrait page as the page of the orientation has it.
WideRect TurnRecordRect(const WideRect& rect, int orientation, std::int64_t turnHeight);
// Both corners inside the printable rectangle grown by one unit right and down.
bool FitsPrintable(const CLayoutManager& layout, const WideRect& rect);
// Only for a rectangle that fits the printable area.
RECT NarrowRect(const WideRect& rect);

// a * b / c rounded half away from zero in 64 bits, as the platform's MulDiv;
// -1 for a zero divisor or a result beyond 32 bits.
int MulDiv(int a, int b, int c);
