// The frame image of a page: the fixed layer (lines, texts, backgrounds)
// flattened into a picture with a mask at one pixel per layout unit, padded
// so that it keeps at least 160 pixels a side on the printing side's display.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <functional>
#include <string>

class CImage;
class CEffClock;

constexpr int kFrameImageMinSide = 160;

struct FramePadding
{
    int width = 0; // the canvas, padding included
    int height = 0;
    POINT offset{}; // where the printable rect's top-left lands
    bool small = false;
};

// The canvas for a printable area of w x h units.
FramePadding ComputeFramePadding(int width, int height);

// The string item's line rectangle and alignment for direction 0..3; a and c
// are the line's extents along and across the text.
RECT FrameTextLineRect(int direction, const RECT& item, int line, int along, int across);
unsigned FrameTextLineFormat(int direction);
// The shadow's drawing offset and the correction that keeps the text inside the item.
void FrameTextShadowOffsets(int direction, bool verticalText, POINT shadow, POINT* draw, POINT* correction);

// Saves the canvas (stretched to 160 x 160 first when small) as EFF, lowering
// the quality by 10 while the measured size is at or over the limit.
// 0 written, -1 no image, -2 the writer failed, -3 not under the limit at quality 10.
int WriteFrameImage(CImage& canvas, bool small, const std::string& path, int samplingMode, int* quality,
                    bool sizeLimit, const CEffClock& clock, const std::function<long long()>& measure);
