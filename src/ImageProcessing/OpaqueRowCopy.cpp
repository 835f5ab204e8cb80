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
// The stores are aligned to whole vectors: a store across two cache lines
// costs both lines' bandwidth.
int CopySse2(std::uint32_t* __restrict to, const std::uint32_t* __restrict from, int count)
{
    int i = 0;
    for (; i < count && (reinterpret_cast<std::uintptr_t>(to + i) & 15) != 0; ++i)
        to[i] = from[i] | kOpaque;
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    for (; i + 4 <= count; i += 4)
        _mm_store_si128(reinterpret_cast<__m128i*>(to + i),
                        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)), opaque));
    return i;
}

__attribute__((target("avx2"))) int CopyAvx2(std::uint32_t* __restrict to,
                                             const std::uint32_t* __restrict from, int count)
{
    int i = 0;
    for (; i < count && (reinterpret_cast<std::uintptr_t>(to + i) & 31) != 0; ++i)
        to[i] = from[i] | kOpaque;
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    for (; i + 16 <= count; i += 16) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i + 8));
        _mm256_store_si256(reinterpret_cast<__m256i*>(to + i), _mm256_or_si256(a, opaque));
        _mm256_store_si256(reinterpret_cast<__m256i*>(to + i + 8), _mm256_or_si256(b, opaque));
    }
    for (; i + 8 <= count; i += 8)
        _mm256_store_si256(
            reinterpret_cast<__m256i*>(to + i),
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i)), opaque));
    return i;
}
#endif

} // namespace

void CopyRowOpaque(std::uint32_t* __restrict to, const std::uint32_t* __restrict from, int count)
{
    int done = 0;
#if defined(__x86_64__)
    switch (FilterCpu::ActiveLevel()) {
    case FilterCpu::Level::Avx512: // 512-bit stores gain nothing here and cost on processors that split them
    case FilterCpu::Level::Avx2:
        done = CopyAvx2(to, from, count);
        break;
    case FilterCpu::Level::Sse2:
        done = CopySse2(to, from, count);
        break;
    default:
        break;
    }
#endif
    CopyPlain(to, from, done, count);
}
