// The page geometry tables of the layout manager: paper sizes by paper code,
// margins by margin mode, the printable rectangle made of both, and the zoom
// steps of the view. Pure functions; orientation 0 is portrait, 1 landscape.
#pragma once

#include "Core/PaperRules.h"
#include "ImageProcessing/GdiTypes.h"

// Paper codes 0..23 (kPaperSizeCount); 11 has a row but no name and is
// refused as a page's code (IsNamedPaper).

// The camera page: the paper is fixed whatever the table says.
constexpr int kCameraPageShortSide = 703;
constexpr int kCameraPageLongSide = 1023;

struct PageMargins
{
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    friend bool operator==(const PageMargins&, const PageMargins&) = default;
};

// 0 x 0 for an index outside 0..23. A roll row takes length - 1 as its height
// for a length in 500..15840; landscape exchanges the sides afterwards.
SIZE GetPaperSizeFromTable(int index, int orientation, int rollLength);
// Four zeros for a mode outside 0..6.
PageMargins GetModeMargins(int mode, int orientation);
// In item coordinates (relative to the margin offset).
RECT CalcPrintableRect(int width, int height, int orientation, const PageMargins& margins);

// The next zoom level in (nonzero) or out from the scale.
float NextZoomStep(float scale, bool zoomIn);
