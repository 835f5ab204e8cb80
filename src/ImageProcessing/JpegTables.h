// Constant tables of baseline JPEG shared by the encoder and the decoder:
// zigzag order, the typical quantisation and Huffman tables, quality scaling.
#pragma once

#include <array>
#include <cstdint>

namespace JpegTables {

// kZigzag[i] is the natural (row-major) index of the i-th coefficient in zigzag order.
extern const std::array<uint8_t, 64> kZigzag;

extern const std::array<uint8_t, 64> kLuminanceBase;   // natural order
extern const std::array<uint8_t, 64> kChrominanceBase; // natural order

struct HuffmanDefinition
{
    std::array<uint8_t, 16> bits; // number of codes of length 1..16
    const uint8_t* values;
    int valueCount;
};

extern const HuffmanDefinition kDcLuminance;
extern const HuffmanDefinition kAcLuminance;
extern const HuffmanDefinition kDcChrominance;
extern const HuffmanDefinition kAcChrominance;

// Scales a base table to a quality (clamped to 1..100) the way the common
// libraries do, so that files from elsewhere and ours compare at equal quality.
std::array<uint8_t, 64> ScaleQuantTable(const std::array<uint8_t, 64>& base, int quality);

} // namespace JpegTables
