// The accurate integer 8x8 transforms (Loeffler-Ligtenberg-Moschytz factorisation,
// 13-bit constants) used by the codec.
#pragma once

#include <cstdint>

namespace JpegDct {

// Level-shifted samples (-128..127) read with the given stride; writes the true
// DCT coefficients in natural order.
void Forward(const int16_t* samples, int stride, int32_t coefficients[64]);
// Two blocks at once, for about the cost of one.
void ForwardPair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                 int32_t coefficientsA[64], int32_t coefficientsB[64]);
// The same without processor-specific vectors.
void ForwardPortable(const int16_t* samples, int stride, int32_t coefficients[64]);

// Dequantised coefficients in natural order; writes clamp(x, -128, 127) + 128.
// nonZeroRows tells which coefficient rows hold anything (bit r for row r), so
// that empty rows and the DC-only block cost nothing.
void Inverse(const int32_t coefficients[64], unsigned nonZeroRows, uint8_t* out, int stride);
// The same without processor-specific vectors.
void InversePortable(const int32_t coefficients[64], unsigned nonZeroRows, uint8_t* out, int stride);

} // namespace JpegDct
