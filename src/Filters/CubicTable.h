// Cubic convolution weights (a = -1) in 1/1024 for 64 phases, shared by the
// resize and affine filters.
#pragma once

#include <cstdint>

// Row p weights the samples at x-1, x, x+1, x+2 for the position x + p/64.
extern const int16_t kCubicTable[64][4];
