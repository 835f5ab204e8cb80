#include "ImageProcessing/JpegHuffmanTable.h"

#include <cstring>

bool JpegHuffmanTable::Build(const uint8_t counts[16], const uint8_t* symbols, int total)
{
    present = false;
    if (total < 0 || total > 256)
        return false;
    int sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += counts[i];
    if (sum != total)
        return false;
    values.fill(0);
    std::memcpy(values.data(), symbols, total);
    lookahead.fill(0);
    int32_t code = 0;
    int k = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = counts[length - 1];
        if (count == 0) {
            maxCode[length] = -1;
        } else {
            valuePointer[length] = k;
            minCode[length] = code;
            for (int i = 0; i < count; ++i, ++k, ++code) {
                if (code >= (1 << length))
                    return false; // more codes than this length can hold
                if (length <= kLookaheadBits) {
                    const int shift = kLookaheadBits - length;
                    const int first = code << shift;
                    for (int j = 0; j < (1 << shift); ++j)
                        lookahead[first + j] = static_cast<uint16_t>((length << 8) | values[k]);
                }
            }
            maxCode[length] = code - 1;
        }
        code <<= 1;
    }
    maxCode[17] = 0x7FFFFFFF;
    present = true;
    return true;
}
