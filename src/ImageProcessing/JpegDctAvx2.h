// Encoder kernels with AVX2 integer vectors, for processors that have them;
// exactly the results of the portable code.
#pragma once

#include <cstdint>

namespace JpegDct {

bool HasAvx2();
void ForwardAvx2(const int16_t* samples, int stride, int32_t coefficients[64]);

// Chroma of 2x2 groups from two rows of R, G, B bytes (the weights of the
// encoder's conversion); returns how many leading pixels it has covered.
uint32_t ChromaPairsAvx2(const uint8_t* rowA, const uint8_t* rowB, uint32_t width, int16_t* cb, int16_t* cr);

} // namespace JpegDct
