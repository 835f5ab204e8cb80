// Helpers of the frame image tests: a fixed clock for the EFF header, colour
// bounds and the comparison of a decoded frame image with the drawn canvas.
#pragma once

#include "ImageProcessing/EffFormat.h"
#include "ImageProcessing/GdiTypes.h"

#include <string>

class CImage;

namespace frameimagetest {

class FixedClock : public CEffClock
{
public:
    EffDateTime Now() const override { return EffDateTime{2024, 5, 6, 7, 8, 9}; }
};

// The bounding box (right and bottom exclusive) of the pixels of exactly that
// COLORREF; empty when there are none.
RECT ColorBounds(const CImage& image, COLORREF color);
// The largest difference of two masks of the same size; -1 when the sizes differ.
int MaxMaskDifference(const CImage& a, const CImage& b);
// The peak signal-to-noise ratio of the colours, in dB; 0 when the sizes differ.
double ColorPsnr(const CImage& a, const CImage& b);

} // namespace frameimagetest
