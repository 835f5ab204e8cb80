#include "BlurKernels.h"
#include "CpuFeatures.h"

#include "VectorClones.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

typedef int32_t Lanes __attribute__((vector_size(32), aligned(4)));
typedef double Doubles __attribute__((vector_size(32), aligned(8)));
typedef int32_t Half __attribute__((vector_size(16), aligned(4)));

// Macros, not functions: a function passing a 32-byte vector would change its
// calling convention between the AVX2 clone and the default one, which clang
// refuses.
#define LoadLanes(p)                                                                                         \
    ({                                                                                                       \
        Lanes lanes_;                                                                                        \
        __builtin_memcpy(&lanes_, (p), sizeof(lanes_));                                                      \
        lanes_;                                                                                              \
    })
#define StoreLanes(p, v)                                                                                     \
    do {                                                                                                     \
        const Lanes stored_ = (v);                                                                           \
        __builtin_memcpy((p), &stored_, sizeof(stored_));                                                    \
    } while (0)

} // namespace

FILTER_VECTOR_CLONES void BlurVerticalStep(const uint8_t* s0, const uint8_t* s1, const uint8_t* s2,
                                           const uint8_t* s3, int32_t* a, int32_t* b, int64_t count)
{
    for (int64_t i = 0; i < count; ++i) {
        a[i] += int32_t{s0[i]} - s1[i] - s2[i] + s3[i];
        b[i] += a[i];
    }
}

namespace {

// The truncating form divides without the rounding's doubling and half-norm
// addend, which would leave every value as it is: integers times 1 plus 0.
template <bool ROUNDED>
inline __attribute__((always_inline)) void HorizontalLoop(const int32_t* ext, int32_t* acc, int32_t* out,
                                                          const BlurShape& shape)
{
    const int64_t off = shape.off;
    const int64_t md = shape.md;
    const int64_t l = shape.l;
    const int64_t end = off + shape.width + shape.half;
    const int32_t d = shape.step;
    for (int32_t k = 0; k < d; ++k)
        StoreLanes(acc + k * kBlurLanes, Lanes{});
    Lanes b = LoadLanes(ext + off * kBlurLanes) * shape.boxSum;
    const Doubles inverse = Doubles{} + shape.inverse;
    const Doubles addend = Doubles{} + static_cast<double>(shape.norm);
    int32_t slot = 1 % d;
    for (int64_t e = off + 1; e < end; ++e) {
        const Lanes u = LoadLanes(ext + e * kBlurLanes) - LoadLanes(ext + (e - md) * kBlurLanes) -
                        LoadLanes(ext + (e - l) * kBlurLanes) + LoadLanes(ext + (e - off) * kBlurLanes);
        const Lanes a = LoadLanes(acc + slot * kBlurLanes) + u;
        StoreLanes(acc + slot * kBlurLanes, a);
        b += a;
        if (++slot == d)
            slot = 0;
        const int64_t x = e - off - shape.half;
        if (x < 0)
            continue;
        Lanes v = b;
        if (shape.centre != 0)
            v -= LoadLanes(ext + (off + x) * kBlurLanes);
        const Half lo = {v[0], v[1], v[2], v[3]};
        const Half hi = {v[4], v[5], v[6], v[7]};
        Doubles qlo = __builtin_convertvector(lo, Doubles);
        Doubles qhi = __builtin_convertvector(hi, Doubles);
        if (ROUNDED) {
            qlo = qlo * 2.0 + addend;
            qhi = qhi * 2.0 + addend;
        }
        const Half rlo = __builtin_convertvector(qlo * inverse, Half);
        const Half rhi = __builtin_convertvector(qhi * inverse, Half);
        const Lanes r = {rlo[0], rlo[1], rlo[2], rlo[3], rhi[0], rhi[1], rhi[2], rhi[3]};
        StoreLanes(out + x * kBlurLanes, r);
    }
}

} // namespace

FILTER_VECTOR_CLONES void BlurHorizontalLanes(const int32_t* ext, int32_t* acc, int32_t* out,
                                              const BlurShape& shape)
{
    if (shape.colour)
        HorizontalLoop<true>(ext, acc, out, shape);
    else
        HorizontalLoop<false>(ext, acc, out, shape);
}

bool BlurMakeDivider(uint32_t norm, bool colour, BlurDivider* divider)
{
    if (norm == 0 || 255 * uint64_t{norm} + norm / 2 > 0xFFFF)
        return false;
    const uint32_t bias = colour ? norm / 2 : 0;
    for (int32_t shift = 0; shift < 16; ++shift) {
        const uint64_t magic = ((uint64_t{1} << (16 + shift)) + norm - 1) / norm;
        if (magic > 0xFFFF)
            break;
        bool exact = true;
        for (uint32_t v = 0; v <= 255 * norm && exact; ++v) {
            const uint32_t wanted = colour ? (2 * v + norm) / (2 * norm) : v / norm;
            exact = (((v + bias) * magic) >> (16 + shift)) == wanted;
        }
        if (exact) {
            *divider = BlurDivider{static_cast<uint16_t>(bias), static_cast<uint16_t>(magic), shift};
            return true;
        }
    }
    return false;
}

namespace {

// Kernels of at most 7 taps sum to at most 15, so every sum of a small kernel
// (255 * 15 * 15 at most) fits 16 bits.
template <int TAPS>
inline __attribute__((always_inline)) void DirectColumn(const uint8_t* const* rows, const int16_t* weights,
                                                        int64_t count, uint16_t* sums)
{
    const uint8_t* r[TAPS];
    uint16_t w[TAPS];
    for (int k = 0; k < TAPS; ++k) {
        r[k] = rows[k];
        w[k] = static_cast<uint16_t>(weights[k]);
    }
    for (int64_t i = 0; i < count; ++i) {
        uint16_t v = 0;
        for (int k = 0; k < TAPS; ++k)
            v = static_cast<uint16_t>(v + r[k][i] * w[k]);
        sums[i] = v;
    }
}

} // namespace

FILTER_INTEGER_CLONES void BlurDirectVertical(const uint8_t* const* rows, const int16_t* weights,
                                              int32_t taps, int64_t count, uint16_t* sums)
{
    switch (taps) {
    case 3:
        DirectColumn<3>(rows, weights, count, sums);
        break;
    case 5:
        DirectColumn<5>(rows, weights, count, sums);
        break;
    default:
        DirectColumn<7>(rows, weights, count, sums);
        break;
    }
}

namespace {

template <int TAPS, int BPP>
inline __attribute__((always_inline)) void DirectRow(const uint16_t* sums, const int16_t* weights,
                                                     int32_t width, const BlurDivider& divider, uint8_t* out)
{
    constexpr int32_t half = TAPS / 2;
    uint16_t w[TAPS];
    for (int k = 0; k < TAPS; ++k)
        w[k] = static_cast<uint16_t>(weights[k]);
    const uint16_t bias = divider.bias;
    const uint16_t magic = divider.magic;
    const int32_t shift = divider.shift;
    // Both factors 16-bit, so the compiler keeps the high half in 16-bit lanes.
    auto finish = [&](uint16_t v) {
        const uint16_t x = static_cast<uint16_t>(v + bias);
        const auto high = static_cast<uint16_t>((uint32_t{x} * uint32_t{magic}) >> 16);
        return static_cast<uint8_t>(high >> shift);
    };
    auto edge = [&](int32_t x) {
        for (int32_t c = 0; c < BPP; ++c) {
            uint16_t v = 0;
            for (int32_t k = 0; k < TAPS; ++k)
                v = static_cast<uint16_t>(
                    v + sums[int64_t{std::clamp(x - half + k, 0, width - 1)} * BPP + c] * w[k]);
            out[int64_t{x} * BPP + c] = finish(v);
        }
    };
    const int32_t inner0 = std::min(half, width);
    const int32_t inner1 = std::max(inner0, width - half);
    for (int32_t x = 0; x < inner0; ++x)
        edge(x);
    const int64_t end = int64_t{inner1} * BPP;
    for (int64_t i = int64_t{inner0} * BPP; i < end; ++i) {
        uint16_t v = 0;
        for (int32_t k = 0; k < TAPS; ++k)
            v = static_cast<uint16_t>(v + sums[i + (k - half) * BPP] * w[k]);
        out[i] = finish(v);
    }
    for (int32_t x = inner1; x < width; ++x)
        edge(x);
}

template <int TAPS>
inline __attribute__((always_inline)) void DirectRowBpp(const uint16_t* sums, const int16_t* weights,
                                                        int32_t width, int32_t bpp,
                                                        const BlurDivider& divider, uint8_t* out)
{
    switch (bpp) {
    case 4:
        DirectRow<TAPS, 4>(sums, weights, width, divider, out);
        break;
    case 3:
        DirectRow<TAPS, 3>(sums, weights, width, divider, out);
        break;
    default:
        DirectRow<TAPS, 1>(sums, weights, width, divider, out);
        break;
    }
}

} // namespace

FILTER_INTEGER_CLONES void BlurDirectHorizontal(const uint16_t* sums, const int16_t* weights, int32_t taps,
                                                int32_t width, int32_t bytesPerPixel,
                                                const BlurDivider& divider, uint8_t* out)
{
    switch (taps) {
    case 3:
        DirectRowBpp<3>(sums, weights, width, bytesPerPixel, divider, out);
        break;
    case 5:
        DirectRowBpp<5>(sums, weights, width, bytesPerPixel, divider, out);
        break;
    default:
        DirectRowBpp<7>(sums, weights, width, bytesPerPixel, divider, out);
        break;
    }
}

FILTER_VECTOR_CLONES void BlurWriteRow(const uint8_t* row, int32_t width, int32_t bytesPerPixel,
                                       int32_t alpha, uint8_t* pixels)
{
    if (alpha < 0) {
        __builtin_memcpy(pixels, row, static_cast<size_t>(width) * bytesPerPixel);
        return;
    }
    uint32_t keep = 0;
    reinterpret_cast<uint8_t*>(&keep)[alpha] = 0xFF;
    for (int32_t x = 0; x < width; ++x) {
        uint32_t d, s;
        __builtin_memcpy(&d, pixels + 4 * int64_t{x}, 4);
        __builtin_memcpy(&s, row + 4 * int64_t{x}, 4);
        d = (d & keep) | (s & ~keep);
        __builtin_memcpy(pixels + 4 * int64_t{x}, &d, 4);
    }
}

FILTER_VECTOR_CLONES void BlurScatterLanes(const int32_t* lanes, int32_t count, int32_t width, int32_t stride,
                                           uint8_t* const* rows)
{
    if (count == kBlurLanes) {
        uint8_t* r[kBlurLanes];
        for (int32_t k = 0; k < kBlurLanes; ++k)
            r[k] = rows[k];
        for (int32_t x = 0; x < width; ++x) {
            const int32_t* in = lanes + int64_t{x} * kBlurLanes;
            const int64_t at = int64_t{x} * stride;
            for (int32_t k = 0; k < kBlurLanes; ++k)
                r[k][at] = static_cast<uint8_t>(in[k]);
        }
        return;
    }
    for (int32_t x = 0; x < width; ++x)
        for (int32_t k = 0; k < count; ++k)
            rows[k][int64_t{x} * stride] = static_cast<uint8_t>(lanes[int64_t{x} * kBlurLanes + k]);
}

FILTER_VECTOR_CLONES void BlurCentreRow(const int32_t* b, const uint8_t* centreRow, int32_t centre,
                                        int64_t count, int32_t* out)
{
    for (int64_t i = 0; i < count; ++i)
        out[i] = b[i] + centre * centreRow[i];
}

FILTER_VECTOR_CLONES void BlurGatherLanes(const int32_t* const* rows, int32_t count, int32_t stride,
                                          const BlurShape& shape, int32_t* ext, int64_t extLength)
{
    const int64_t off = shape.off;
    const int32_t w = shape.width;
    for (int32_t x = 0; x < w; ++x) {
        int32_t* p = ext + (off + x) * kBlurLanes;
        const int64_t at = int64_t{x} * stride;
        for (int32_t k = 0; k < count; ++k)
            p[k] = rows[k][at];
    }
    for (int32_t k = 0; k < count; ++k) {
        const int32_t first = ext[off * kBlurLanes + k];
        const int32_t last = ext[(off + w - 1) * kBlurLanes + k];
        for (int64_t e = 0; e < off; ++e)
            ext[e * kBlurLanes + k] = first;
        for (int64_t e = off + w; e < extLength; ++e)
            ext[e * kBlurLanes + k] = last;
    }
}

namespace {

template <int32_t BPP>
inline __attribute__((always_inline)) void MixPixels(uint8_t* row, const uint8_t* unblurred,
                                                     const uint8_t* mask, int32_t from, int32_t to,
                                                     int32_t alpha)
{
    for (int32_t x = from; x < to; ++x) {
        const uint32_t m = mask[x];
        for (int32_t c = 0; c < BPP; ++c) {
            const int64_t i = int64_t{x} * BPP + c;
            // A select rather than a skip, so the loop still vectorises with alpha.
            const auto mixed = static_cast<uint8_t>((row[i] * m + unblurred[i] * (256 - m)) >> 8);
            row[i] = BPP == 3 || c != alpha ? mixed : row[i];
        }
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define BLUR_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))

// 32 pixels a step in 16-bit lanes: a product and its complement sum to at most
// 255 x 256, so no lane overflows. Each vector of 32 samples takes its pixels'
// mask words by one permutation. Returns the pixels done.
template <int32_t BPP>
BLUR_AVX512 int32_t MixAvx512(uint8_t* row, const uint8_t* unblurred, const uint8_t* mask, int32_t width,
                              int32_t alpha)
{
    __m512i spread[BPP];
    __mmask32 written[BPP];
    for (int32_t k = 0; k < BPP; ++k) {
        alignas(64) uint16_t index[32];
        uint32_t bits = 0;
        for (int32_t i = 0; i < 32; ++i) {
            index[i] = static_cast<uint16_t>((32 * k + i) / BPP);
            if ((32 * k + i) % BPP != alpha)
                bits |= uint32_t{1} << i;
        }
        spread[k] = _mm512_load_si512(index);
        written[k] = bits;
    }
    const __m512i full = _mm512_set1_epi16(256);
    int32_t x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m512i m =
            _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + x)));
        for (int32_t k = 0; k < BPP; ++k) {
            uint8_t* r = row + int64_t{x} * BPP + 32 * k;
            const uint8_t* u = unblurred + int64_t{x} * BPP + 32 * k;
            const __m512i w = _mm512_permutexvar_epi16(spread[k], m);
            const __m512i blurred =
                _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r)));
            const __m512i plain =
                _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(u)));
            const __m512i sum = _mm512_add_epi16(_mm512_mullo_epi16(blurred, w),
                                                 _mm512_mullo_epi16(plain, _mm512_sub_epi16(full, w)));
            _mm512_mask_cvtepi16_storeu_epi8(r, written[k], _mm512_srli_epi16(sum, 8));
        }
    }
    return x;
}

#endif

} // namespace

FILTER_INTEGER_CLONES void BlurMixMasked(uint8_t* row, const uint8_t* unblurred, const uint8_t* mask,
                                         int32_t width, int32_t bytesPerPixel, int32_t alpha)
{
    int32_t done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    if (FilterCpu::Avx512BwVl())
        done = bytesPerPixel == 3 ? MixAvx512<3>(row, unblurred, mask, width, alpha)
                                  : MixAvx512<4>(row, unblurred, mask, width, alpha);
#endif
    if (bytesPerPixel == 3)
        MixPixels<3>(row, unblurred, mask, done, width, alpha);
    else
        MixPixels<4>(row, unblurred, mask, done, width, alpha);
}
