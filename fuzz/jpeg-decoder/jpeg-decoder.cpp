// Feeds the decoder the input in chunks of varying size (chosen from the
// input's own bytes) and then in one piece through a small output block; both
// must agree whenever both finish the picture.
#include "ImageProcessing/JpegDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Outcome
{
    int status = -1;
    uint64_t hash = 1469598103934665603ull;
    uint64_t bytes = 0;
};

Outcome Run(const uint8_t* data, size_t size, uint32_t seed, bool varying, uint32_t blockSize)
{
    CJpegDecoder decoder;
    JpegDecodeReset(decoder);
    std::vector<uint8_t> block(blockSize);
    Outcome outcome;
    size_t offset = 0;
    uint32_t state = seed | 1;
    auto nextLength = [&] {
        if (!varying)
            return size - offset;
        state = state * 1664525u + 1013904223u;
        const size_t sizes[] = {1, 2, 3, 7, 64, 640, 4999, 5000};
        return std::min(sizes[(state >> 28) & 7] + ((state >> 8) & 7), size - offset);
    };
    size_t length = nextLength();
    for (int calls = 0;; ++calls) {
        if (calls > 10000000)
            std::abort(); // the decoder must always make progress
        uint32_t written = 0, width = 0, height = 0, rowWidth = 0, rows = 0;
        const int status =
            JpegDecodeMemory(decoder, data + offset, static_cast<uint32_t>(length), block.data(), blockSize,
                             written, width, height, rowWidth, rows, 0);
        if (written > blockSize || (rows > 0 && uint64_t(rows) * rowWidth != written))
            std::abort();
        for (uint32_t i = 0; i < written; ++i)
            outcome.hash = (outcome.hash ^ block[i]) * 1099511628211ull;
        outcome.bytes += written;
        outcome.status = status;
        if (status == 1 || status == 4)
            return outcome;
        if (status == 3)
            continue;
        offset += length;
        if (offset >= size)
            return outcome;
        length = nextLength();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t seed = static_cast<uint32_t>(size);
    for (size_t i = 0; i < size; i += 97)
        seed = seed * 31 + data[i];
    const Outcome pieces = Run(data, size, seed, true, 307200);
    const Outcome whole = Run(data, size, seed, false, 65536);
    if (pieces.status == 4 && whole.status == 4 && (pieces.hash != whole.hash || pieces.bytes != whole.bytes))
        std::abort(); // the chunking changed the picture
    return 0;
}
