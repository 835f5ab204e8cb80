// A Huffman decoding table of a baseline stream: canonical codes from the
// BITS/HUFFVAL of a DHT segment, with a 9-bit lookahead for the common codes.
#pragma once

#include <array>
#include <cstdint>

struct JpegHuffmanTable
{
    static constexpr int kLookaheadBits = 9;

    bool present = false;
    std::array<uint8_t, 256> values{};
    std::array<int32_t, 18> maxCode{}; // -1 for lengths without codes
    std::array<int32_t, 17> valuePointer{};
    std::array<int32_t, 17> minCode{};
    std::array<uint16_t, 1 << kLookaheadBits> lookahead{}; // (length << 8) | value, 0 when longer

    // False when the counts do not describe a prefix code (the table stays absent).
    bool Build(const uint8_t counts[16], const uint8_t* symbols, int total);
};
