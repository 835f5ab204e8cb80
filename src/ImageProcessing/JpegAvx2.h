// Encoder kernels with AVX2 integer vectors, for processors that have them;
// exactly the results of the portable code.
#pragma once

#include <cstdint>

namespace JpegAvx2 {

bool Available();

// JpegDct::Forward.
void Forward(const int16_t* samples, int stride, int32_t coefficients[64]);
// JpegDct::ForwardPair.
void ForwardPair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                 int32_t coefficientsA[64], int32_t coefficientsB[64]);

// B, G, R, X pixels to the encoder's R, G, B; returns how many leading pixels
// it has covered.
uint32_t RgbFromBgra(const uint8_t* bgra, uint32_t width, uint8_t* rgb);

// The encoder's conversion of R, G, B rows; each returns how many leading
// pixels it has covered, the caller does the rest. Level-shifted luminance:
uint32_t LumaRow(const uint8_t* row, uint32_t width, int16_t* luma);
// Chroma of single pixels:
uint32_t ChromaRow(const uint8_t* row, uint32_t width, int16_t* cb, int16_t* cr);
// Chroma of the 2x2 groups of two rows:
uint32_t ChromaPairs(const uint8_t* rowA, const uint8_t* rowB, uint32_t width, int16_t* cb, int16_t* cr);

} // namespace JpegAvx2
