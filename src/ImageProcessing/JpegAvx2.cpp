#include "ImageProcessing/JpegAvx2.h"

#include "Filters/CpuFeatures.h"
#include "ImageProcessing/JpegTables.h"

#include <array>
#include <bit>

namespace JpegAvx2 {

void MakeQuantTable(const uint8_t divisors[64], QuantTable& table)
{
    // floor(x / q) == (x * ceil(2^n / q)) >> n for x < 2048 once 2^n > 2048 * q;
    // n = 15 + floor(log2 q) satisfies that and keeps the reciprocal in 16 bits.
    // The vector code multiplies x << 5 first (>> 11), then by the scale (>> 16).
    for (int i = 0; i < 64; ++i) {
        const uint32_t q = divisors[i] == 0 ? 1 : divisors[i];
        const int log = std::bit_width(q) - 1;
        const int n = 15 + log;
        table.half[i] = static_cast<uint16_t>(q / 2);
        table.reciprocal[i] = static_cast<uint16_t>(((uint32_t(1) << n) + q - 1) / q);
        table.scale[i] = static_cast<uint16_t>(1u << (16 - (n - 11)));
    }
}

} // namespace JpegAvx2

#if defined(__x86_64__)

#include <cpuid.h>
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

// The transform works on 16-bit words, two blocks at once (one in each
// 128-bit half), with each product pair of the factorisation folded into one
// multiply-add; the sums are regrouped, never rounded differently, so the
// results are exactly those of the portable code. 8-bit samples keep every
// 16-bit intermediate in range.
JPEG_AVX2 inline __m256i Pair(int16_t a, int16_t b)
{
    return _mm256_set1_epi32(static_cast<int32_t>(uint32_t(uint16_t(a)) | (uint32_t(uint16_t(b)) << 16)));
}

template <int N> JPEG_AVX2 inline __m256i Descale(__m256i x)
{
    return _mm256_srai_epi32(_mm256_add_epi32(x, _mm256_set1_epi32(1 << (N - 1))), N);
}

// a * ca + b * cb in 32 bits: lanes 0-3 of each block, then lanes 4-7.
struct Wide
{
    __m256i low, high;
};

JPEG_AVX2 inline Wide MulAdd(__m256i lowPairs, __m256i highPairs, __m256i constants)
{
    return {_mm256_madd_epi16(lowPairs, constants), _mm256_madd_epi16(highPairs, constants)};
}

JPEG_AVX2 inline Wide Add(Wide a, Wide b)
{
    return {Add(a.low, b.low), Add(a.high, b.high)};
}

template <int N> JPEG_AVX2 inline __m256i DescaleNarrow(Wide x)
{
    return _mm256_packs_epi32(Descale<N>(x.low), Descale<N>(x.high));
}

// 8x8 words in each 128-bit half.
JPEG_AVX2 inline void Transpose(__m256i r[8])
{
    const __m256i a0 = _mm256_unpacklo_epi16(r[0], r[1]), a1 = _mm256_unpackhi_epi16(r[0], r[1]);
    const __m256i a2 = _mm256_unpacklo_epi16(r[2], r[3]), a3 = _mm256_unpackhi_epi16(r[2], r[3]);
    const __m256i a4 = _mm256_unpacklo_epi16(r[4], r[5]), a5 = _mm256_unpackhi_epi16(r[4], r[5]);
    const __m256i a6 = _mm256_unpacklo_epi16(r[6], r[7]), a7 = _mm256_unpackhi_epi16(r[6], r[7]);
    const __m256i b0 = _mm256_unpacklo_epi32(a0, a2), b1 = _mm256_unpackhi_epi32(a0, a2);
    const __m256i b2 = _mm256_unpacklo_epi32(a1, a3), b3 = _mm256_unpackhi_epi32(a1, a3);
    const __m256i b4 = _mm256_unpacklo_epi32(a4, a6), b5 = _mm256_unpackhi_epi32(a4, a6);
    const __m256i b6 = _mm256_unpacklo_epi32(a5, a7), b7 = _mm256_unpackhi_epi32(a5, a7);
    r[0] = _mm256_unpacklo_epi64(b0, b4);
    r[1] = _mm256_unpackhi_epi64(b0, b4);
    r[2] = _mm256_unpacklo_epi64(b1, b5);
    r[3] = _mm256_unpackhi_epi64(b1, b5);
    r[4] = _mm256_unpacklo_epi64(b2, b6);
    r[5] = _mm256_unpackhi_epi64(b2, b6);
    r[6] = _mm256_unpacklo_epi64(b3, b7);
    r[7] = _mm256_unpackhi_epi64(b3, b7);
}

// The parts of one 1-D pass shared by both passes: the even words and the
// odd and rotated terms, still in 32 bits.
struct PassTerms
{
    __m256i tmp10, tmp11;
    Wide o1, o2, o3, o5, o6, o7;
};

JPEG_AVX2 inline PassTerms Terms(const __m256i d[8])
{
    const __m256i tmp0 = _mm256_add_epi16(d[0], d[7]), tmp7 = _mm256_sub_epi16(d[0], d[7]);
    const __m256i tmp1 = _mm256_add_epi16(d[1], d[6]), tmp6 = _mm256_sub_epi16(d[1], d[6]);
    const __m256i tmp2 = _mm256_add_epi16(d[2], d[5]), tmp5 = _mm256_sub_epi16(d[2], d[5]);
    const __m256i tmp3 = _mm256_add_epi16(d[3], d[4]), tmp4 = _mm256_sub_epi16(d[3], d[4]);
    PassTerms t;
    t.tmp10 = _mm256_add_epi16(tmp0, tmp3);
    t.tmp11 = _mm256_add_epi16(tmp1, tmp2);
    const __m256i tmp13 = _mm256_sub_epi16(tmp0, tmp3), tmp12 = _mm256_sub_epi16(tmp1, tmp2);
    // z1 = (tmp12 + tmp13) * c0.541 is folded into both products.
    const __m256i e0 = _mm256_unpacklo_epi16(tmp13, tmp12), e1 = _mm256_unpackhi_epi16(tmp13, tmp12);
    t.o2 = MulAdd(e0, e1, Pair(4433 + 6270, 4433));
    t.o6 = MulAdd(e0, e1, Pair(4433, 4433 - 15137));
    // z5 = (z3 + z4) * c1.175 likewise, so that z3 + z4 is never formed in 16 bits.
    const __m256i z3 = _mm256_add_epi16(tmp4, tmp6), z4 = _mm256_add_epi16(tmp5, tmp7);
    const __m256i zl = _mm256_unpacklo_epi16(z3, z4), zh = _mm256_unpackhi_epi16(z3, z4);
    const Wide a3 = MulAdd(zl, zh, Pair(9633 - 16069, 9633));
    const Wide a4 = MulAdd(zl, zh, Pair(9633, 9633 - 3196));
    const __m256i p47l = _mm256_unpacklo_epi16(tmp4, tmp7), p47h = _mm256_unpackhi_epi16(tmp4, tmp7);
    const __m256i p56l = _mm256_unpacklo_epi16(tmp5, tmp6), p56h = _mm256_unpackhi_epi16(tmp5, tmp6);
    t.o7 = Add(MulAdd(p47l, p47h, Pair(2446 - 7373, -7373)), a3);
    t.o1 = Add(MulAdd(p47l, p47h, Pair(-7373, 12299 - 7373)), a4);
    t.o5 = Add(MulAdd(p56l, p56h, Pair(16819 - 20995, -20995)), a4);
    t.o3 = Add(MulAdd(p56l, p56h, Pair(-20995, 25172 - 20995)), a3);
    return t;
}

JPEG_AVX2 inline void StoreWords(__m256i x, int32_t* a, int32_t* b)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(a), _mm256_cvtepi16_epi32(_mm256_castsi256_si128(x)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(b), _mm256_cvtepi16_epi32(_mm256_extracti128_si256(x, 1)));
}

} // namespace

bool Available()
{
    // LZCNT through cpuid: not every compiler's builtin knows its name.
    static const bool has = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        const bool lzcnt = __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) && (ecx & (1u << 5)) != 0;
        return lzcnt && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
               __builtin_cpu_supports("bmi2");
    }();
    return has && FilterCpu::Avx2();
}

namespace {

// Both passes over two blocks; row r of the coefficients of A ends in the low
// half of rows[r], of B in the high half, as 16-bit words.
[[gnu::always_inline]] JPEG_AVX2 inline void
ForwardRows(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB, __m256i rows[8])
{
    __m256i d[8];
    for (int r = 0; r < 8; ++r)
        d[r] = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samplesA + r * strideA))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(samplesB + r * strideB)), 1);
    Transpose(d); // lanes are rows now: the row pass works on all of them at once
    {
        const PassTerms t = Terms(d);
        d[0] = _mm256_slli_epi16(_mm256_add_epi16(t.tmp10, t.tmp11), 2);
        d[4] = _mm256_slli_epi16(_mm256_sub_epi16(t.tmp10, t.tmp11), 2);
        d[1] = DescaleNarrow<11>(t.o1);
        d[2] = DescaleNarrow<11>(t.o2);
        d[3] = DescaleNarrow<11>(t.o3);
        d[5] = DescaleNarrow<11>(t.o5);
        d[6] = DescaleNarrow<11>(t.o6);
        d[7] = DescaleNarrow<11>(t.o7);
    }
    Transpose(d);
    const PassTerms t = Terms(d);
    // True coefficients are at most 1024 in magnitude: the packs never saturate.
    const __m256i round = _mm256_set1_epi16(16);
    rows[0] = _mm256_srai_epi16(_mm256_add_epi16(_mm256_add_epi16(t.tmp10, t.tmp11), round), 5);
    rows[4] = _mm256_srai_epi16(_mm256_add_epi16(_mm256_sub_epi16(t.tmp10, t.tmp11), round), 5);
    rows[1] = DescaleNarrow<18>(t.o1);
    rows[2] = DescaleNarrow<18>(t.o2);
    rows[3] = DescaleNarrow<18>(t.o3);
    rows[5] = DescaleNarrow<18>(t.o5);
    rows[6] = DescaleNarrow<18>(t.o6);
    rows[7] = DescaleNarrow<18>(t.o7);
}

// kZigzagPicks[j][k]: the shuffle that moves the bytes of natural positions
// 16k .. 16k + 15 to their places among zigzag positions 16j .. 16j + 15.
constexpr std::array<std::array<std::array<int8_t, 16>, 4>, 4> MakeZigzagPicks()
{
    std::array<std::array<std::array<int8_t, 16>, 4>, 4> picks{};
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 16; ++i) {
                const int natural = JpegTables::kZigzag[16 * j + i];
                picks[j][k][i] = static_cast<int8_t>(natural / 16 == k ? natural % 16 : -128);
            }
    return picks;
}

constexpr auto kZigzagPicks = MakeZigzagPicks();

JPEG_AVX2 inline __m256i Halves(const void* low, const void* high)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(low))),
                                   _mm_loadu_si128(static_cast<const __m128i*>(high)), 1);
}

// Rounds half away from zero: sign(c) * floor((|c| + q / 2) / q).
[[gnu::always_inline]] JPEG_AVX2 inline void QuantiseRows(const __m256i rows[8], const QuantTable& tableA,
                                                          const QuantTable& tableB, int16_t* quotientsA,
                                                          int16_t* quotientsB, uint64_t nonZero[2])
{
    __m256i isZero[8];
    for (int r = 0; r < 8; ++r) {
        const __m256i half = Halves(tableA.half + 8 * r, tableB.half + 8 * r);
        const __m256i reciprocal = Halves(tableA.reciprocal + 8 * r, tableB.reciprocal + 8 * r);
        const __m256i scale = Halves(tableA.scale + 8 * r, tableB.scale + 8 * r);
        const __m256i dividend = _mm256_add_epi16(_mm256_abs_epi16(rows[r]), half);
        const __m256i quotient =
            _mm256_mulhi_epu16(_mm256_mulhi_epu16(_mm256_slli_epi16(dividend, 5), reciprocal), scale);
        const __m256i q = _mm256_sign_epi16(quotient, rows[r]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(quotientsA + 8 * r), _mm256_castsi256_si128(q));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(quotientsB + 8 * r), _mm256_extracti128_si256(q, 1));
        isZero[r] = _mm256_cmpeq_epi16(q, _mm256_setzero_si256());
    }
    // Bytes of natural positions 16k .. 16k + 15 (A low, B high), then zigzag order.
    __m256i chunks[4];
    for (int k = 0; k < 4; ++k)
        chunks[k] = _mm256_packs_epi16(isZero[2 * k], isZero[2 * k + 1]);
    uint64_t zeroA = 0, zeroB = 0;
    for (int j = 0; j < 4; ++j) {
        __m256i z = _mm256_setzero_si256();
        for (int k = 0; k < 4; ++k)
            z = _mm256_or_si256(
                z, _mm256_shuffle_epi8(chunks[k],
                                       _mm256_broadcastsi128_si256(_mm_loadu_si128(
                                           reinterpret_cast<const __m128i*>(kZigzagPicks[j][k].data())))));
        const auto bits = static_cast<uint32_t>(_mm256_movemask_epi8(z));
        zeroA |= uint64_t(bits & 0xFFFF) << (16 * j);
        zeroB |= uint64_t(bits >> 16) << (16 * j);
    }
    nonZero[0] = ~zeroA;
    nonZero[1] = ~zeroB;
}

} // namespace

JPEG_AVX2 void ForwardPair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                           int32_t coefficientsA[64], int32_t coefficientsB[64])
{
    __m256i rows[8];
    ForwardRows(samplesA, strideA, samplesB, strideB, rows);
    for (int r = 0; r < 8; ++r)
        StoreWords(rows[r], coefficientsA + 8 * r, coefficientsB + 8 * r);
}

JPEG_AVX2 void ForwardQuantisePair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                                   const QuantTable& tableA, const QuantTable& tableB, int16_t quotientsA[64],
                                   int16_t quotientsB[64], uint64_t nonZero[2])
{
    __m256i rows[8];
    ForwardRows(samplesA, strideA, samplesB, strideB, rows);
    QuantiseRows(rows, tableA, tableB, quotientsA, quotientsB, nonZero);
}

JPEG_AVX2 void QuantisePair(const int16_t coefficientsA[64], const int16_t coefficientsB[64],
                            const QuantTable& tableA, const QuantTable& tableB, int16_t quotientsA[64],
                            int16_t quotientsB[64], uint64_t nonZero[2])
{
    __m256i rows[8];
    for (int r = 0; r < 8; ++r)
        rows[r] = Halves(coefficientsA + 8 * r, coefficientsB + 8 * r);
    QuantiseRows(rows, tableA, tableB, quotientsA, quotientsB, nonZero);
}

JPEG_AVX2 void Forward(const int16_t* samples, int stride, int32_t coefficients[64])
{
    alignas(32) int32_t unused[64];
    ForwardPair(samples, stride, samples, stride, coefficients, unused);
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
        // The row below is read here first, straight from memory: the hardware
        // prefetcher alone leaves most of these loads waiting.
        _mm_prefetch(reinterpret_cast<const char*>(rowB + 3 * size_t(x) + 2048), _MM_HINT_T0);
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

JPEG_AVX2 uint32_t ChromaRow(const uint8_t* row, uint32_t width, int16_t* cb, int16_t* cr)
{
    const __m256i pickRed = _mm256_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1, 0,
                                             -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
    const __m256i pickGreen = _mm256_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1, 1,
                                               -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
    const __m256i pickBlue = _mm256_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 2,
                                              -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    const __m256i bias = _mm256_set1_epi32((1 << 15) - 1);
    const __m256i low = _mm256_set1_epi16(-128), high = _mm256_set1_epi16(127);
    uint32_t x = 0;
    for (; size_t(x) * 3 + 28 <= size_t(width) * 3; x += 8) {
        const __m256i p = LoadEightPixels(row + 3 * size_t(x));
        const __m256i red = _mm256_shuffle_epi8(p, pickRed), green = _mm256_shuffle_epi8(p, pickGreen),
                      blue = _mm256_shuffle_epi8(p, pickBlue);
        const __m256i cbw = Add(Add(Mul(red, -11059), Mul(green, -21709)), Mul(blue, 32768));
        const __m256i crw = Add(Add(Mul(red, 32768), Mul(green, -27439)), Mul(blue, -5329));
        // cb 0-3, cr 0-3 | cb 4-7, cr 4-7, then cb in the low half and cr in the high.
        __m256i v =
            _mm256_packs_epi32(_mm256_srai_epi32(Add(cbw, bias), 16), _mm256_srai_epi32(Add(crw, bias), 16));
        v = _mm256_permute4x64_epi64(_mm256_min_epi16(_mm256_max_epi16(v, low), high), 0xD8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cb + x), _mm256_castsi256_si128(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cr + x), _mm256_extracti128_si256(v, 1));
    }
    return x;
}

JPEG_AVX2 uint32_t RgbFromBgra(const uint8_t* bgra, uint32_t width, uint8_t* rgb)
{
    // Each half packs its four pixels into its first 12 bytes.
    const __m256i order = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6,
                                           5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    uint32_t x = 0;
    // Eight pixels a step; the second store writes 16 bytes from byte 12.
    for (; size_t(x) * 3 + 28 <= size_t(width) * 3; x += 8) {
        _mm_prefetch(reinterpret_cast<const char*>(bgra + 4 * size_t(x) + 2048), _MM_HINT_T0);
        const __m256i v = _mm256_shuffle_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bgra + 4 * size_t(x))), order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(rgb + 3 * size_t(x)), _mm256_castsi256_si128(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(rgb + 3 * size_t(x) + 12),
                         _mm256_extracti128_si256(v, 1));
    }
    return x;
}

JPEG_AVX2 uint32_t EveryFourthByte(const uint8_t* bytes, uint32_t count, uint8_t* out)
{
    const __m256i low = _mm256_set1_epi32(0xFF);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    uint32_t i = 0;
    // 32 values a step; the last load ends 3 bytes past the 32nd value's byte.
    for (; i + 33 <= count; i += 32) {
        const auto* p = reinterpret_cast<const __m256i*>(bytes + 4 * size_t(i));
        _mm_prefetch(reinterpret_cast<const char*>(p) + 2048, _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(p) + 2048 + 64, _MM_HINT_T0);
        const __m256i a = _mm256_and_si256(_mm256_loadu_si256(p), low);
        const __m256i b = _mm256_and_si256(_mm256_loadu_si256(p + 1), low);
        const __m256i c = _mm256_and_si256(_mm256_loadu_si256(p + 2), low);
        const __m256i d = _mm256_and_si256(_mm256_loadu_si256(p + 3), low);
        // Per half: a, b, c, d four values each; the permute puts the halves together.
        const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(a, b), _mm256_packus_epi32(c, d));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permutevar8x32_epi32(packed, order));
    }
    return i;
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
        // Every other row is read here first, straight from memory (see ChromaPairs).
        _mm_prefetch(reinterpret_cast<const char*>(row + 3 * size_t(x) + 2048), _MM_HINT_T0);
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

namespace {

// Eight words, each for two pixels.
JPEG_AVX2 inline __m256i Twice(__m128i v)
{
    return _mm256_set_m128i(_mm_unpackhi_epi16(v, v), _mm_unpacklo_epi16(v, v));
}

} // namespace

JPEG_AVX2 uint32_t RgbFromYccHalf(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t width,
                                  uint8_t* rgb)
{
    // The tables' products, floor-shifted, come out of 16-bit high-half
    // multiplies with the shift folded into the multiplicand: (359 c) >> 8 is
    // the high half of (c << 8) * 359, (7258 c) >> 12 that of (c << 4) * 7258.
    const __m128i centre = _mm_set1_epi16(128);
    const __m128i redFactor = _mm_set1_epi16(359), blueFactor = _mm_set1_epi16(7258);
    const __m128i greenFactors =
        _mm_set1_epi32(int32_t(uint32_t(uint16_t(-2819)) | (uint32_t(uint16_t(-5850)) << 16)));
    // Per half: eight pixels from R0-7 G0-7 (rg) and B0-7 (bb); 16 bytes, then 8.
    const __m256i firstRg = _mm256_setr_epi8(0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5, 0, 8, -1,
                                             1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5);
    const __m256i firstB = _mm256_setr_epi8(-1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1, -1,
                                            0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1);
    const __m256i secondRg = _mm256_setr_epi8(13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                              13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i secondB = _mm256_setr_epi8(-1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                             5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1);
    uint32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i b = _mm_sub_epi16(
            _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + x / 2))), centre);
        const __m128i r = _mm_sub_epi16(
            _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + x / 2))), centre);
        const __m128i red = _mm_mulhi_epi16(_mm_slli_epi16(r, 8), redFactor);
        const __m128i blue = _mm_mulhi_epi16(_mm_slli_epi16(b, 4), blueFactor);
        const __m128i green =
            _mm_packs_epi32(_mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(b, r), greenFactors), 13),
                            _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(b, r), greenFactors), 13));
        const __m256i luma = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x)));
        // The unsigned saturation of the packs is the clamp to 0..255.
        const __m256i rg =
            _mm256_packus_epi16(_mm256_add_epi16(luma, Twice(red)), _mm256_add_epi16(luma, Twice(green)));
        const __m256i bb = _mm256_packus_epi16(_mm256_add_epi16(luma, Twice(blue)), _mm256_setzero_si256());
        const __m256i first =
            _mm256_or_si256(_mm256_shuffle_epi8(rg, firstRg), _mm256_shuffle_epi8(bb, firstB));
        const __m256i second =
            _mm256_or_si256(_mm256_shuffle_epi8(rg, secondRg), _mm256_shuffle_epi8(bb, secondB));
        uint8_t* o = rgb + 3 * size_t(x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(first));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), _mm256_castsi256_si128(second));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 24), _mm256_extracti128_si256(first, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 40), _mm256_extracti128_si256(second, 1));
    }
    return x;
}

namespace {

// The decoder's inverse transform, eight columns (then rows) a vector, in
// 32-bit lanes with its wrapping arithmetic and its shortcuts for empty
// columns and rows, so that every stream, hostile ones too, gives its pixels.
JPEG_AVX2 inline __m256i Sub(__m256i a, __m256i b)
{
    return _mm256_sub_epi32(a, b);
}

template <int N> JPEG_AVX2 inline __m256i DescaleWrap(__m256i x)
{
    return _mm256_srai_epi32(Add(x, _mm256_set1_epi32(1 << (N - 1))), N);
}

// One 1-D pass over inputs i[0..7]; out[k] before descaling by N.
template <int N> JPEG_AVX2 inline void InversePass(const __m256i i[8], __m256i out[8])
{
    const __m256i z1 = Mul(Add(i[2], i[6]), 4433);
    const __m256i t2 = Add(z1, Mul(i[6], -15137)), t3 = Add(z1, Mul(i[2], 6270));
    const __m256i t0 = _mm256_slli_epi32(Add(i[0], i[4]), 13), t1 = _mm256_slli_epi32(Sub(i[0], i[4]), 13);
    const __m256i tmp10 = Add(t0, t3), tmp11 = Add(t1, t2), tmp12 = Sub(t1, t2), tmp13 = Sub(t0, t3);
    const __m256i q1 = Add(i[7], i[1]), q2 = Add(i[5], i[3]), q3 = Add(i[7], i[3]), q4 = Add(i[5], i[1]);
    const __m256i z5 = Mul(Add(q3, q4), 9633);
    const __m256i m1 = Mul(q1, -7373), m2 = Mul(q2, -20995);
    const __m256i m3 = Add(Mul(q3, -16069), z5), m4 = Add(Mul(q4, -3196), z5);
    const __m256i o0 = Add(Add(Mul(i[7], 2446), m1), m3), o1 = Add(Add(Mul(i[5], 16819), m2), m4);
    const __m256i o2 = Add(Add(Mul(i[3], 25172), m2), m3), o3 = Add(Add(Mul(i[1], 12299), m1), m4);
    out[0] = DescaleWrap<N>(Add(tmp10, o3));
    out[7] = DescaleWrap<N>(Sub(tmp10, o3));
    out[1] = DescaleWrap<N>(Add(tmp11, o2));
    out[6] = DescaleWrap<N>(Sub(tmp11, o2));
    out[2] = DescaleWrap<N>(Add(tmp12, o1));
    out[5] = DescaleWrap<N>(Sub(tmp12, o1));
    out[3] = DescaleWrap<N>(Add(tmp13, o0));
    out[4] = DescaleWrap<N>(Sub(tmp13, o0));
}

// Lanes where inputs 1 to 7 are all zero.
JPEG_AVX2 inline __m256i OnlyFirst(const __m256i i[8])
{
    __m256i any = _mm256_or_si256(_mm256_or_si256(i[1], i[2]), _mm256_or_si256(i[3], i[4]));
    any = _mm256_or_si256(any, _mm256_or_si256(_mm256_or_si256(i[5], i[6]), i[7]));
    return _mm256_cmpeq_epi32(any, _mm256_setzero_si256());
}

// 8x8 double words.
JPEG_AVX2 inline void Transpose32(__m256i r[8])
{
    const __m256i a0 = _mm256_unpacklo_epi32(r[0], r[1]), a1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const __m256i a2 = _mm256_unpacklo_epi32(r[2], r[3]), a3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const __m256i a4 = _mm256_unpacklo_epi32(r[4], r[5]), a5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const __m256i a6 = _mm256_unpacklo_epi32(r[6], r[7]), a7 = _mm256_unpackhi_epi32(r[6], r[7]);
    const __m256i b0 = _mm256_unpacklo_epi64(a0, a2), b1 = _mm256_unpackhi_epi64(a0, a2);
    const __m256i b2 = _mm256_unpacklo_epi64(a1, a3), b3 = _mm256_unpackhi_epi64(a1, a3);
    const __m256i b4 = _mm256_unpacklo_epi64(a4, a6), b5 = _mm256_unpackhi_epi64(a4, a6);
    const __m256i b6 = _mm256_unpacklo_epi64(a5, a7), b7 = _mm256_unpackhi_epi64(a5, a7);
    r[0] = _mm256_permute2x128_si256(b0, b4, 0x20);
    r[1] = _mm256_permute2x128_si256(b1, b5, 0x20);
    r[2] = _mm256_permute2x128_si256(b2, b6, 0x20);
    r[3] = _mm256_permute2x128_si256(b3, b7, 0x20);
    r[4] = _mm256_permute2x128_si256(b0, b4, 0x31);
    r[5] = _mm256_permute2x128_si256(b1, b5, 0x31);
    r[6] = _mm256_permute2x128_si256(b2, b6, 0x31);
    r[7] = _mm256_permute2x128_si256(b3, b7, 0x31);
}

} // namespace

JPEG_AVX2 void Inverse(const int32_t coefficients[64], uint8_t* out, int stride)
{
    __m256i in[8], w[8];
    for (int r = 0; r < 8; ++r)
        in[r] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coefficients + 8 * r));
    // Columns: lane c is column c.
    InversePass<13 - 2>(in, w);
    const __m256i columnDc = _mm256_slli_epi32(in[0], 2), emptyColumns = OnlyFirst(in);
    for (int r = 0; r < 8; ++r)
        w[r] = _mm256_blendv_epi8(w[r], columnDc, emptyColumns);
    // Rows: lane r is row r.
    Transpose32(w);
    __m256i o[8];
    InversePass<13 + 2 + 3>(w, o);
    const __m256i rowDc = DescaleWrap<2 + 3>(w[0]), emptyRows = OnlyFirst(w);
    const __m256i centre = _mm256_set1_epi32(128);
    for (int k = 0; k < 8; ++k)
        o[k] = Add(_mm256_blendv_epi8(o[k], rowDc, emptyRows), centre);
    Transpose32(o);
    // Saturating packs clamp to 0..255; rows 0-3 and 4-7 come out as 8-byte runs.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const __m256i top = _mm256_permutevar8x32_epi32(
        _mm256_packus_epi16(_mm256_packs_epi32(o[0], o[1]), _mm256_packs_epi32(o[2], o[3])), order);
    const __m256i bottom = _mm256_permutevar8x32_epi32(
        _mm256_packus_epi16(_mm256_packs_epi32(o[4], o[5]), _mm256_packs_epi32(o[6], o[7])), order);
    const __m128i rows[4] = {_mm256_castsi256_si128(top), _mm256_extracti128_si256(top, 1),
                             _mm256_castsi256_si128(bottom), _mm256_extracti128_si256(bottom, 1)};
    for (int r = 0; r < 4; ++r) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (2 * r) * stride), rows[r]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (2 * r + 1) * stride),
                         _mm_unpackhi_epi64(rows[r], rows[r]));
    }
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

void ForwardPair(const int16_t*, int, const int16_t*, int, int32_t*, int32_t*)
{
}

void QuantisePair(const int16_t*, const int16_t*, const QuantTable&, const QuantTable&, int16_t*, int16_t*,
                  uint64_t*)
{
}

void ForwardQuantisePair(const int16_t*, int, const int16_t*, int, const QuantTable&, const QuantTable&,
                         int16_t*, int16_t*, uint64_t*)
{
}

uint32_t RgbFromBgra(const uint8_t*, uint32_t, uint8_t*)
{
    return 0;
}

uint32_t EveryFourthByte(const uint8_t*, uint32_t, uint8_t*)
{
    return 0;
}

uint32_t RgbFromYccHalf(const uint8_t*, const uint8_t*, const uint8_t*, uint32_t, uint8_t*)
{
    return 0;
}

void Inverse(const int32_t*, uint8_t*, int)
{
}

} // namespace JpegAvx2

#endif
