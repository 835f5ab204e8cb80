// Encoder kernels with AVX2 integer vectors, for processors that have them;
// exactly the results of the portable code.
#pragma once

#include <cstdint>

namespace JpegAvx2 {

// AVX2 together with the bit instructions (BMI1, BMI2, LZCNT) that every
// processor with AVX2 in practice has; the encoder's entropy coding uses both.
bool Available();

// One quantisation table in the form the vector quantiser divides by, natural
// order: half of each divisor, and a 16-bit reciprocal with its post-scale,
// which together divide every dividend below 2048 exactly.
struct QuantTable
{
    alignas(32) uint16_t half[64];
    alignas(32) uint16_t reciprocal[64];
    alignas(32) uint16_t scale[64];
};
void MakeQuantTable(const uint8_t divisors[64], QuantTable& table); // portable code

// True coefficients (|c| <= 1024) divided by their tables, rounding half away
// from zero; signed quotients in natural order, and per block a mask of the
// non-zero ones in zigzag order (bit i: zigzag position i).
void QuantisePair(const int16_t coefficientsA[64], const int16_t coefficientsB[64], const QuantTable& tableA,
                  const QuantTable& tableB, int16_t quotientsA[64], int16_t quotientsB[64],
                  uint64_t nonZero[2]);
// ForwardPair followed by QuantisePair, without leaving the registers.
void ForwardQuantisePair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                         const QuantTable& tableA, const QuantTable& tableB, int16_t quotientsA[64],
                         int16_t quotientsB[64], uint64_t nonZero[2]);

// JpegDct::Forward.
void Forward(const int16_t* samples, int stride, int32_t coefficients[64]);
// JpegDct::ForwardPair.
void ForwardPair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                 int32_t coefficientsA[64], int32_t coefficientsB[64]);

// B, G, R, X pixels to the encoder's R, G, B; returns how many leading pixels
// it has covered.
uint32_t RgbFromBgra(const uint8_t* bgra, uint32_t width, uint8_t* rgb);

// out[i] = bytes[4 * i]: one byte of each 4-byte pixel, such as a mask's grey;
// returns how many leading values it has covered, reading nothing past
// bytes[4 * (count - 1)].
uint32_t EveryFourthByte(const uint8_t* bytes, uint32_t count, uint8_t* out);

// The encoder's conversion of R, G, B rows; each returns how many leading
// pixels it has covered, the caller does the rest. Level-shifted luminance:
uint32_t LumaRow(const uint8_t* row, uint32_t width, int16_t* luma);
// Chroma of single pixels:
uint32_t ChromaRow(const uint8_t* row, uint32_t width, int16_t* cb, int16_t* cr);
// Chroma of the 2x2 groups of two rows:
uint32_t ChromaPairs(const uint8_t* rowA, const uint8_t* rowB, uint32_t width, int16_t* cb, int16_t* cr);

// The decoder's colour output of one row whose chroma is sampled at half the
// width: exactly its table conversion, R, G, B pixels; returns how many
// leading pixels it has covered (an even number), the caller does the rest.
uint32_t RgbFromYccHalf(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t width, uint8_t* rgb);

// JpegDct::Inverse of any block, every coefficient read.
void Inverse(const int32_t coefficients[64], uint8_t* out, int stride);

} // namespace JpegAvx2
