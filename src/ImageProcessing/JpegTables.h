// Constant tables of baseline JPEG shared by the encoder and the decoder:
// zigzag order, the typical quantisation and Huffman tables, quality scaling.
#pragma once

#include <array>
#include <cstdint>

namespace JpegTables {

constexpr std::array<uint8_t, 64> MakeZigzag()
{
    std::array<uint8_t, 64> order{};
    int row = 0, col = 0;
    for (int i = 0; i < 64; ++i) {
        order[i] = static_cast<uint8_t>(row * 8 + col);
        if ((row + col) % 2 == 0) { // moving up and right
            if (col == 7)
                ++row;
            else if (row == 0)
                ++col;
            else {
                --row;
                ++col;
            }
        } else { // moving down and left
            if (row == 7)
                ++col;
            else if (col == 0)
                ++row;
            else {
                ++row;
                --col;
            }
        }
    }
    return order;
}

// kZigzag[i] is the natural (row-major) index of the i-th coefficient in zigzag
// order; known at compile time so that vector shuffles can be built from it.
inline constexpr std::array<uint8_t, 64> kZigzag = MakeZigzag();

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
