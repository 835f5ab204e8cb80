#include "ResizeKernels.h"

#include <cstring>

#pragma GCC diagnostic ignored "-Wpsabi"

#define RESIZE_CLONES __attribute__((target_clones("avx2", "default")))

namespace {

typedef int32_t Quad __attribute__((vector_size(16), aligned(4)));

inline Quad Widen(const uint8_t* p)
{
    return Quad{p[0], p[1], p[2], p[3]};
}

} // namespace

RESIZE_CLONES void ResizeBlendColumns(const uint8_t* row, const int32_t* columns, const int32_t* rights,
                                      const int32_t* fractions, int32_t width, int32_t* out)
{
    for (int32_t i = 0; i < width; ++i) {
        const int32_t fx = fractions[i];
        const Quad v =
            Widen(row + 4 * int64_t{columns[i]}) * (1024 - fx) + Widen(row + 4 * int64_t{rights[i]}) * fx;
        std::memcpy(out + 4 * int64_t{i}, &v, sizeof(v));
    }
}

RESIZE_CLONES void ResizeBlendRows(const int32_t* top, const int32_t* bottom, int32_t fy, int32_t width,
                                   uint32_t keepMask, uint8_t* out)
{
    const int64_t n = 4 * int64_t{width};
    const int32_t wy = 1024 - fy;
    for (int64_t i = 0; i < n; i += 4) {
        uint32_t packed = 0;
        for (int c = 0; c < 4; ++c) {
            const uint32_t v =
                static_cast<uint32_t>(((bottom[i + c] * fy) >> 20) + ((top[i + c] * wy) >> 20));
            packed |= (v & 0xFF) << (8 * c);
        }
        uint32_t old;
        std::memcpy(&old, out + i, 4);
        packed = (old & keepMask) | (packed & ~keepMask);
        std::memcpy(out + i, &packed, 4);
    }
}
