#include "ResizeKernels.h"

#include "VectorClones.h"

#include <cstring>
#include <emmintrin.h>

#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

typedef int32_t Quad __attribute__((vector_size(16), aligned(4)));

inline __m128i Load4(const uint8_t* p)
{
    int32_t u;
    std::memcpy(&u, p, 4);
    return _mm_cvtsi32_si128(u);
}

// left * (1024 - fx) + right * fx for the four samples, in 32 bits.
inline Quad Blend(const uint8_t* left, const uint8_t* right, __m128i weights)
{
    const __m128i pairs =
        _mm_unpacklo_epi8(_mm_unpacklo_epi8(Load4(left), Load4(right)), _mm_setzero_si128());
    return reinterpret_cast<Quad>(_mm_madd_epi16(pairs, weights));
}

} // namespace

FILTER_VECTOR_CLONES void
ResizeBilinearRow(const uint8_t* top, const uint8_t* bottom, const int32_t* columns, const int32_t* rights,
                  const int32_t* weights, int32_t width, int32_t fy, uint32_t keepMask, uint8_t* out)
{
    const int32_t wy = 1024 - fy;
    const __m128i keep = _mm_cvtsi32_si128(static_cast<int32_t>(keepMask));
    for (int32_t i = 0; i < width; ++i) {
        const __m128i w = _mm_set1_epi32(weights[i]);
        const int64_t p = 4 * int64_t{columns[i]};
        const int64_t r = 4 * int64_t{rights[i]};
        const Quad ht = Blend(top + p, top + r, w);
        const Quad hb = Blend(bottom + p, bottom + r, w);
        const Quad v = ((hb * fy) >> 20) + ((ht * wy) >> 20);
        const __m128i words = _mm_packs_epi32(reinterpret_cast<__m128i>(v), reinterpret_cast<__m128i>(v));
        const __m128i bytes = _mm_packus_epi16(words, words);
        uint8_t* o = out + 4 * int64_t{i};
        const __m128i merged = _mm_or_si128(_mm_and_si128(Load4(o), keep), _mm_andnot_si128(keep, bytes));
        const int32_t result = _mm_cvtsi128_si32(merged);
        std::memcpy(o, &result, 4);
    }
}
