#include "ImageProcessing/OpaqueRowCopy.h"

#include "Filters/CpuFeatures.h"

#include <cstddef>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

void CopyPlain(std::uint32_t* __restrict to, const std::uint32_t* __restrict from, int first, int count)
{
    for (int i = first; i < count; ++i)
        to[i] = from[i] | kOpaque;
}

#if defined(__x86_64__)
// The stores are aligned to whole vectors (a store across two cache lines
// costs both lines' bandwidth); each ragged end of the row is one unaligned
// vector, which may write a few pixels twice with the same values.
int CopySse2(std::uint32_t* __restrict to, const std::uint32_t* __restrict from, int count)
{
    if (count < 4)
        return 0;
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
#define ZAV_OPAQUE_SSE2(at) _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + (at))), opaque)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), ZAV_OPAQUE_SSE2(0));
    int i = static_cast<int>((16 - (reinterpret_cast<std::uintptr_t>(to) & 15)) / 4);
    for (; i + 4 <= count; i += 4)
        _mm_store_si128(reinterpret_cast<__m128i*>(to + i), ZAV_OPAQUE_SSE2(i));
    if (i < count)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + count - 4), ZAV_OPAQUE_SSE2(count - 4));
#undef ZAV_OPAQUE_SSE2
    return count;
}

__attribute__((target("avx2"))) int CopyAvx2(std::uint32_t* __restrict to,
                                             const std::uint32_t* __restrict from, int count)
{
    if (count < 8)
        return 0;
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
#define ZAV_OPAQUE_AVX2(at)                                                                                  \
    _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + (at))), opaque)
#define ZAV_STORE_AVX2(at, v) _mm256_store_si256(reinterpret_cast<__m256i*>(to + (at)), v)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), ZAV_OPAQUE_AVX2(0));
    int i = static_cast<int>((32 - (reinterpret_cast<std::uintptr_t>(to) & 31)) / 4);
    for (; i + 32 <= count; i += 32) {
        const __m256i a = ZAV_OPAQUE_AVX2(i);
        const __m256i b = ZAV_OPAQUE_AVX2(i + 8);
        const __m256i c = ZAV_OPAQUE_AVX2(i + 16);
        const __m256i d = ZAV_OPAQUE_AVX2(i + 24);
        ZAV_STORE_AVX2(i, a);
        ZAV_STORE_AVX2(i + 8, b);
        ZAV_STORE_AVX2(i + 16, c);
        ZAV_STORE_AVX2(i + 24, d);
    }
    for (; i + 8 <= count; i += 8)
        ZAV_STORE_AVX2(i, ZAV_OPAQUE_AVX2(i));
    if (i < count)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + count - 8), ZAV_OPAQUE_AVX2(count - 8));
#undef ZAV_OPAQUE_AVX2
#undef ZAV_STORE_AVX2
    return count;
}

// A whole cache line per store.
__attribute__((target("avx512f"))) int CopyAvx512(std::uint32_t* __restrict to,
                                                 const std::uint32_t* __restrict from, int count)
{
    if (count < 16)
        return 0;
    const __m512i opaque = _mm512_set1_epi32(static_cast<int>(kOpaque));
#define ZAV_OPAQUE_AVX512(at) _mm512_or_si512(_mm512_loadu_si512(from + (at)), opaque)
    _mm512_storeu_si512(to, ZAV_OPAQUE_AVX512(0));
    int i = static_cast<int>((64 - (reinterpret_cast<std::uintptr_t>(to) & 63)) / 4);
    for (; i + 64 <= count; i += 64) {
        const __m512i a = ZAV_OPAQUE_AVX512(i);
        const __m512i b = ZAV_OPAQUE_AVX512(i + 16);
        const __m512i c = ZAV_OPAQUE_AVX512(i + 32);
        const __m512i d = ZAV_OPAQUE_AVX512(i + 48);
        _mm512_store_si512(to + i, a);
        _mm512_store_si512(to + i + 16, b);
        _mm512_store_si512(to + i + 32, c);
        _mm512_store_si512(to + i + 48, d);
    }
    for (; i + 16 <= count; i += 16)
        _mm512_store_si512(to + i, ZAV_OPAQUE_AVX512(i));
    if (i < count)
        _mm512_storeu_si512(to + count - 16, ZAV_OPAQUE_AVX512(count - 16));
#undef ZAV_OPAQUE_AVX512
    return count;
}
#endif

} // namespace

namespace {

using RowCopy = int (*)(std::uint32_t* __restrict, const std::uint32_t* __restrict, int);

int CopyNone(std::uint32_t* __restrict, const std::uint32_t* __restrict, int)
{
    return 0;
}

RowCopy ActiveRowCopy()
{
#if defined(__x86_64__)
    switch (FilterCpu::ActiveLevel()) {
    case FilterCpu::Level::Avx512:
        return CopyAvx512;
    case FilterCpu::Level::Avx2:
        return CopyAvx2;
    case FilterCpu::Level::Sse2:
        return CopySse2;
    default:
        break;
    }
#endif
    return CopyNone;
}

} // namespace

void CopyRowsOpaque(std::uint8_t* to, std::ptrdiff_t toStep, const std::uint8_t* from, std::ptrdiff_t fromStep,
                    int rows, int count)
{
    const RowCopy copy = ActiveRowCopy();
    for (int row = 0; row < rows; ++row, to += toStep, from += fromStep) {
        auto* out = reinterpret_cast<std::uint32_t*>(to);
        const auto* in = reinterpret_cast<const std::uint32_t*>(from);
        CopyPlain(out, in, copy(out, in, count), count);
    }
}
