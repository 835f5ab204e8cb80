#include "ImageProcessing/JpegAvx2.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace JpegAvx2 {

namespace {

#define JPEG_AVX2 __attribute__((target("avx2")))

JPEG_AVX2 inline __m256i Mul(__m256i a, int32_t c)
{
    return _mm256_mullo_epi32(a, _mm256_set1_epi32(c));
}

JPEG_AVX2 inline __m256i Add(__m256i a, __m256i b)
{
    return _mm256_add_epi32(a, b);
}

JPEG_AVX2 inline __m256i Sub(__m256i a, __m256i b)
{
    return _mm256_sub_epi32(a, b);
}

template <int N> JPEG_AVX2 inline __m256i Descale(__m256i x)
{
    return _mm256_srai_epi32(_mm256_add_epi32(x, _mm256_set1_epi32(1 << (N - 1))), N);
}

JPEG_AVX2 inline void Transpose(__m256i r[8])
{
    const __m256i t0 = _mm256_unpacklo_epi32(r[0], r[1]), t1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const __m256i t2 = _mm256_unpacklo_epi32(r[2], r[3]), t3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const __m256i t4 = _mm256_unpacklo_epi32(r[4], r[5]), t5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const __m256i t6 = _mm256_unpacklo_epi32(r[6], r[7]), t7 = _mm256_unpackhi_epi32(r[6], r[7]);
    const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
    const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
    const __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
    const __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
    r[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
    r[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
    r[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
    r[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
    r[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
    r[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
    r[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
    r[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

// One 1-D pass over eight lanes; the first keeps 2 extra bits, the second
// descales to true coefficients.
template <bool First> JPEG_AVX2 inline void Pass(const __m256i d[8], __m256i o[8])
{
    constexpr int kOdd = First ? 11 : 18;
    const __m256i tmp0 = Add(d[0], d[7]), tmp7 = Sub(d[0], d[7]);
    const __m256i tmp1 = Add(d[1], d[6]), tmp6 = Sub(d[1], d[6]);
    const __m256i tmp2 = Add(d[2], d[5]), tmp5 = Sub(d[2], d[5]);
    const __m256i tmp3 = Add(d[3], d[4]), tmp4 = Sub(d[3], d[4]);
    const __m256i tmp10 = Add(tmp0, tmp3), tmp13 = Sub(tmp0, tmp3);
    const __m256i tmp11 = Add(tmp1, tmp2), tmp12 = Sub(tmp1, tmp2);
    if constexpr (First) {
        o[0] = _mm256_slli_epi32(Add(tmp10, tmp11), 2);
        o[4] = _mm256_slli_epi32(Sub(tmp10, tmp11), 2);
    } else {
        o[0] = Descale<5>(Add(tmp10, tmp11));
        o[4] = Descale<5>(Sub(tmp10, tmp11));
    }
    const __m256i z1 = Mul(Add(tmp12, tmp13), 4433);
    o[2] = Descale<kOdd>(Add(z1, Mul(tmp13, 6270)));
    o[6] = Descale<kOdd>(Sub(z1, Mul(tmp12, 15137)));
    const __m256i z5 = Mul(Add(Add(tmp4, tmp6), Add(tmp5, tmp7)), 9633);
    const __m256i a1 = Mul(Add(tmp4, tmp7), -7373);
    const __m256i a2 = Mul(Add(tmp5, tmp6), -20995);
    const __m256i a3 = Add(Mul(Add(tmp4, tmp6), -16069), z5);
    const __m256i a4 = Add(Mul(Add(tmp5, tmp7), -3196), z5);
    o[7] = Descale<kOdd>(Add(Add(Mul(tmp4, 2446), a1), a3));
    o[5] = Descale<kOdd>(Add(Add(Mul(tmp5, 16819), a2), a4));
    o[3] = Descale<kOdd>(Add(Add(Mul(tmp6, 25172), a2), a3));
    o[1] = Descale<kOdd>(Add(Add(Mul(tmp7, 12299), a1), a4));
}

} // namespace

bool Available()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

JPEG_AVX2 void Forward(const int16_t* samples, int stride, int32_t coefficients[64])
{
    __m256i rows[8], u[8], c[8];
    for (int r = 0; r < 8; ++r)
        rows[r] =
            _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + r * stride)));
    Transpose(rows); // lanes are rows now: the row pass works on all of them at once
    Pass<true>(rows, u);
    Transpose(u);
    Pass<false>(u, c);
    for (int k = 0; k < 8; ++k)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(coefficients + 8 * k), c[k]);
}

namespace {

// Pixels 0-3 in the low half, 4-7 in the high half (bytes 0-11 of each).
JPEG_AVX2 inline __m256i LoadEightPixels(const uint8_t* p)
{
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
}

} // namespace

JPEG_AVX2 uint32_t ChromaPairs(const uint8_t* rowA, const uint8_t* rowB, uint32_t width, int16_t* cb,
                               int16_t* cr)
{
    const __m256i pickRed = _mm256_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1, 0,
                                             -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
    const __m256i pickGreen = _mm256_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1, 1,
                                               -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
    const __m256i pickBlue = _mm256_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 2,
                                              -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    const __m256i bias = _mm256_set1_epi32((1 << 17) - 1);
    const __m256i low = _mm256_set1_epi32(-128), high = _mm256_set1_epi32(127);
    uint32_t x = 0;
    // Eight pixels a step; each load reads 28 bytes, all inside the row.
    for (; size_t(x) * 3 + 28 <= size_t(width) * 3; x += 8) {
        const __m256i a = LoadEightPixels(rowA + 3 * size_t(x)), b = LoadEightPixels(rowB + 3 * size_t(x));
        const __m256i red = Add(_mm256_shuffle_epi8(a, pickRed), _mm256_shuffle_epi8(b, pickRed));
        const __m256i green = Add(_mm256_shuffle_epi8(a, pickGreen), _mm256_shuffle_epi8(b, pickGreen));
        const __m256i blue = Add(_mm256_shuffle_epi8(a, pickBlue), _mm256_shuffle_epi8(b, pickBlue));
        const __m256i cbw = Add(Add(Mul(red, -11059), Mul(green, -21709)), Mul(blue, 32768));
        const __m256i crw = Add(Add(Mul(red, 32768), Mul(green, -27439)), Mul(blue, -5329));
        __m256i v = _mm256_srai_epi32(Add(_mm256_hadd_epi32(cbw, crw), bias), 18);
        v = _mm256_min_epi32(_mm256_max_epi32(v, low), high);
        v = _mm256_permutevar8x32_epi32(v, order); // cb of four groups, then cr
        const __m256i packed = _mm256_packs_epi32(v, v);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cb + x / 2), _mm256_castsi256_si128(packed));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cr + x / 2), _mm256_extracti128_si256(packed, 1));
    }
    return x;
}

JPEG_AVX2 uint32_t LumaRow(const uint8_t* row, uint32_t width, int16_t* luma)
{
    const __m256i pickRed = _mm256_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1, 0,
                                             -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
    const __m256i pickGreen = _mm256_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1, 1,
                                               -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
    const __m256i pickBlue = _mm256_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 2,
                                              -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    const __m256i round = _mm256_set1_epi32(32768 - (128 << 16)); // rounding and the level shift at once
    uint32_t x = 0;
    for (; size_t(x) * 3 + 28 <= size_t(width) * 3; x += 8) {
        const __m256i p = LoadEightPixels(row + 3 * size_t(x));
        const __m256i weighted = Add(
            Add(Mul(_mm256_shuffle_epi8(p, pickRed), 19595), Mul(_mm256_shuffle_epi8(p, pickGreen), 38470)),
            Mul(_mm256_shuffle_epi8(p, pickBlue), 7471));
        const __m256i y = _mm256_srai_epi32(Add(weighted, round), 16);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(y, y), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(luma + x), _mm256_castsi256_si128(packed));
    }
    return x;
}

} // namespace JpegAvx2

#else

namespace JpegAvx2 {

bool Available()
{
    return false;
}

void Forward(const int16_t*, int, int32_t*)
{
}

} // namespace JpegAvx2

#endif
