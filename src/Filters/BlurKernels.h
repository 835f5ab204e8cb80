// The blur's inner loops: integer-exact, vectorised where the data allows.
#pragma once

#include <cstdint>

constexpr int32_t kBlurLanes = 8; // rows blurred together along x

// The geometry of the recursive form of a blur kernel.
struct BlurShape
{
    int32_t width = 0;
    int32_t half = 0;
    int32_t step = 1;   // d: the recursion's lag
    int32_t centre = 0; // 0 or -1
    int32_t boxSum = 0;
    int64_t md = 0; // taps of the four-tap difference: 0, md, l and off
    int64_t l = 0;
    int64_t off = 0; // also the padding before column 0
    bool colour = true;
    double inverse = 0; // rounded up: truncating value * inverse divides exactly
    uint32_t norm = 0;
};

// One step of the vertical recursion over a plane: a += s0 - s1 - s2 + s3; b += a.
void BlurVerticalStep(const uint8_t* s0, const uint8_t* s1, const uint8_t* s2, const uint8_t* s3, int32_t* a,
                      int32_t* b, int64_t count);

// A row of column sums plus the centre correction (centre times the centre row).
void BlurCentreRow(const int32_t* b, const uint8_t* centreRow, int32_t centre, int64_t count, int32_t* out);
// One channel of `count` corrected rows (samples `stride` apart) into the
// padded row-interleaved buffer ext (extLength entries of kBlurLanes values).
void BlurGatherLanes(const int32_t* const* rows, int32_t count, int32_t stride, const BlurShape& shape,
                     int32_t* ext, int64_t extLength);

// The horizontal recursion on kBlurLanes rows at once; out receives width
// entries of kBlurLanes output samples.
void BlurHorizontalLanes(const int32_t* ext, int32_t* acc, int32_t* out, const BlurShape& shape);

// Small kernels, tap by tap on interleaved rows: vertical sums of `taps` rows,
// then the horizontal taps (3, 5 or 7) one pixel apart with the edge pixels
// repeated, then the exact division by a 16-bit multiply and shift.
struct BlurDivider
{
    uint16_t bias = 0; // half the divisor for rounded colour, else 0
    uint16_t magic = 0;
    int32_t shift = 0;
};
// The divider giving floor(v / norm), or (2v + norm) / (2 norm) for colour, for
// every sum v of a kernel of that norm; false when 16 bits cannot hold it.
bool BlurMakeDivider(uint32_t norm, bool colour, BlurDivider* divider);
void BlurDirectVertical(const uint8_t* const* rows, const int16_t* weights, int32_t taps, int64_t count,
                        uint16_t* sums);
void BlurDirectHorizontal(const uint16_t* sums, const int16_t* weights, int32_t taps, int32_t width,
                          int32_t bytesPerPixel, const BlurDivider& divider, uint8_t* out);
// A finished row into the destination; the alpha byte (index, or -1) is kept.
void BlurWriteRow(const uint8_t* row, int32_t width, int32_t bytesPerPixel, int32_t alpha, uint8_t* pixels);
// The horizontal outputs of `count` lanes into a channel of their destination rows.
void BlurScatterLanes(const int32_t* lanes, int32_t count, int32_t width, int32_t stride,
                      uint8_t* const* rows);
// A blurred row mixed with its unblurred one through a grey mask row, sample by
// sample: (blurred x m + unblurred x (256 - m)) >> 8 with m the pixel's mask
// byte. Pixels of 3 or 4 bytes; the alpha byte (index, or -1) is kept.
void BlurMixMasked(uint8_t* row, const uint8_t* unblurred, const uint8_t* mask, int32_t width,
                   int32_t bytesPerPixel, int32_t alpha);
