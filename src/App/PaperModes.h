// The paper modes the view can show a layout on: the whole page, the area
// common to the camera papers, and each camera paper with and without border.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <array>

// 0 the whole page, 1 the common area, 2..9 the rows of the table below.
using PaperMode = int;
constexpr PaperMode kFirstPaperMode = 0;
constexpr PaperMode kLastPaperMode = 9;

// Paper size index, border code, print size and a second size in dots, the
// paper rectangle and the image rectangle on the unturned 703 x 1023 page.
using PaperModeRow = std::array<int, 14>;

// The row of modes 2 to 9; false (and nothing written) for any other mode.
bool GetPaperModeParams(int mode, PaperModeRow* out);
// The intersection of the image rectangles of modes 2 to 9.
RECT PaperCommonRect();
// A rectangle of the unturned page as it lies on a page of orientation 1.
RECT TurnModeRect(const RECT& rect);
