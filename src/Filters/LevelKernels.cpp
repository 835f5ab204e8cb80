#include "LevelKernels.h"
#include "CpuFeatures.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Four sets of counts, used by turns from pixel to pixel: neighbouring pixels
// often share a value, and one set would chain each increment on the last.
constexpr int32_t kCountSets = 4;
using Counts = uint32_t[kCountSets][4][256];

template <int32_t BPP>
void CountRows(const uint8_t* pixels, int64_t rowBytes, int32_t width, int32_t height, Counts& sets)
{
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = pixels + y * rowBytes;
        int32_t x = 0;
        for (; x + kCountSets <= width; x += kCountSets, p += kCountSets * BPP)
            for (int32_t j = 0; j < kCountSets; ++j)
                for (int32_t s = 0; s < BPP; ++s)
                    ++sets[j][s][p[j * BPP + s]];
        for (; x < width; ++x, p += BPP)
            for (int32_t s = 0; s < BPP; ++s)
                ++sets[0][s][p[s]];
    }
}

template <int32_t BPP>
void MapRow(const uint8_t* source, uint8_t* destination, int32_t width, const uint8_t* const tables[4])
{
    const uint8_t* t[BPP];
    for (int32_t s = 0; s < BPP; ++s)
        t[s] = tables[s];
    for (int32_t x = 0; x < width; ++x, source += BPP, destination += BPP)
        for (int32_t s = 0; s < BPP; ++s)
            if (t[s])
                destination[s] = t[s][source[s]];
}

#if defined(__x86_64__) && defined(__GNUC__)
#define LEVEL_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// The bytes of sample place s in vector j (0 to 2) of a 192-byte step.
template <int32_t BPP> constexpr uint64_t PlaceBits(int32_t j, int32_t s)
{
    uint64_t bits = 0;
    for (int32_t i = 0; i < 64; ++i)
        if ((64 * j + i) % BPP == s)
            bits |= uint64_t{1} << i;
    return bits;
}

template <int32_t BPP> struct Places
{
    uint64_t bits[3][BPP] = {};
    constexpr Places()
    {
        for (int32_t j = 0; j < 3; ++j)
            for (int32_t s = 0; s < BPP; ++s)
                bits[j][s] = PlaceBits<BPP>(j, s);
    }
};

// 192 bytes a step, a whole number of pixels for 1, 3 and 4 bytes a pixel: each
// of its three vectors looks a byte up in every table (two 128-byte halves
// picked by the top bit) and keeps the results of its own sample places.
template <int32_t BPP>
LEVEL_VBMI int64_t MapVbmi(const uint8_t* source, uint8_t* destination, int64_t bytes,
                           const uint8_t* const tables[4])
{
    static constexpr Places<BPP> kPlaces;
    __m512i quarter[BPP][4] = {};
    bool mapped[BPP];
    __mmask64 written[3] = {};
    for (int32_t s = 0; s < BPP; ++s) {
        mapped[s] = tables[s] != nullptr;
        for (int32_t q = 0; q < 4 && mapped[s]; ++q)
            quarter[s][q] = _mm512_loadu_si512(tables[s] + 64 * q);
        for (int32_t j = 0; j < 3; ++j)
            if (mapped[s])
                written[j] |= kPlaces.bits[j][s];
    }
    int64_t i = 0;
    for (; i + 192 <= bytes; i += 192)
        for (int32_t j = 0; j < 3; ++j) {
            const __m512i v = _mm512_loadu_si512(source + i + 64 * j);
            const __mmask64 high = _mm512_movepi8_mask(v);
            __m512i out = _mm512_setzero_si512();
            for (int32_t s = 0; s < BPP; ++s) {
                if (!mapped[s])
                    continue;
                const __m512i lo = _mm512_permutex2var_epi8(quarter[s][0], v, quarter[s][1]);
                const __m512i hi = _mm512_permutex2var_epi8(quarter[s][2], v, quarter[s][3]);
                out = _mm512_mask_blend_epi8(kPlaces.bits[j][s], out, _mm512_mask_blend_epi8(high, lo, hi));
            }
            _mm512_mask_storeu_epi8(destination + i + 64 * j, written[j], out);
        }
    return i;
}

#endif

} // namespace

void CountSamples8(const uint8_t* pixels, int64_t rowBytes, int32_t width, int32_t height,
                   int32_t bytesPerPixel, uint32_t* counts)
{
    static_assert(sizeof(Counts) <= 16384, "the counts stay in the first-level cache");
    Counts sets;
    std::memset(sets, 0, sizeof(sets));
    switch (bytesPerPixel) {
    case 1:
        CountRows<1>(pixels, rowBytes, width, height, sets);
        break;
    case 3:
        CountRows<3>(pixels, rowBytes, width, height, sets);
        break;
    case 4:
        CountRows<4>(pixels, rowBytes, width, height, sets);
        break;
    default:
        CountRows<2>(pixels, rowBytes, width, height, sets);
        break;
    }
    // Counts wrap as one set's would, so the sum is the same.
    for (int32_t s = 0; s < bytesPerPixel; ++s)
        for (int32_t v = 0; v < 256; ++v)
            counts[s * 256 + v] += sets[0][s][v] + sets[1][s][v] + sets[2][s][v] + sets[3][s][v];
}

void MapSamples8(const uint8_t* source, uint8_t* destination, int32_t width, int32_t bytesPerPixel,
                 const uint8_t* const tables[4])
{
    if (width <= 0)
        return;
#if defined(__x86_64__) && defined(__GNUC__)
    if (FilterCpu::Avx512Vbmi() && (bytesPerPixel == 1 || bytesPerPixel == 3 || bytesPerPixel == 4)) {
        const int64_t bytes = int64_t{width} * bytesPerPixel;
        const int64_t done = bytesPerPixel == 1   ? MapVbmi<1>(source, destination, bytes, tables)
                             : bytesPerPixel == 3 ? MapVbmi<3>(source, destination, bytes, tables)
                                                  : MapVbmi<4>(source, destination, bytes, tables);
        // The steps end on a pixel boundary.
        source += done;
        destination += done;
        width -= static_cast<int32_t>(done / bytesPerPixel);
    }
#endif
    switch (bytesPerPixel) {
    case 1:
        MapRow<1>(source, destination, width, tables);
        break;
    case 3:
        MapRow<3>(source, destination, width, tables);
        break;
    case 4:
        MapRow<4>(source, destination, width, tables);
        break;
    default:
        MapRow<2>(source, destination, width, tables);
        break;
    }
}
