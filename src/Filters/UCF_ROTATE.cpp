#include "UCF_ROTATE.h"

#include "FilterErrorCode.h"
#include "GeometricInfo.h"
#include "SampleAccess.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t kBand = 16; // destination rows written together, so source reads stay in cache

// Copies one source pixel into a destination pixel, keeping the destination's alpha.
template <int BPP> struct PixelCopy
{
    const ColourSamples* samples;
    int32_t bytesPerSample;
    uint32_t keepMask; // 4-byte pixels: the alpha byte's bits

    void operator()(uint8_t* d, const uint8_t* s) const
    {
        if constexpr (BPP == 4) {
            uint32_t dv, sv;
            std::memcpy(&dv, d, 4);
            std::memcpy(&sv, s, 4);
            dv = (dv & keepMask) | (sv & ~keepMask);
            std::memcpy(d, &dv, 4);
        } else {
            CopyColour(d, s, *samples, bytesPerSample);
        }
    }
};

template <int BPP>
void Turn(const PixelLayout& s, int32_t mode, UCFilter::OutputRows& out, const PixelCopy<BPP>& copy,
          int32_t bytesPerPixel)
{
    const int64_t w = s.regionWidth;
    const int64_t h = s.regionHeight;
    const int64_t bpp = BPP ? BPP : bytesPerPixel;
    int64_t j = 0; // destination row
    while (j < w && out.Available() > 0) {
        const int32_t band = static_cast<int32_t>(std::min<int64_t>({kBand, out.Available(), w - j}));
        int64_t i = 0;
#ifdef __SSE2__
        if constexpr (BPP == 4) {
            // Four by four blocks turned in registers: four pixels read and
            // written at a time instead of one.
            const int32_t band4 = band & ~3;
            const __m128i keep = _mm_set1_epi32(static_cast<int>(copy.keepMask));
            for (; i + 4 <= h; i += 4) {
                const uint8_t* rows[4];
                for (int q = 0; q < 4; ++q)
                    rows[q] = s.pixels + (mode == 0 ? h - 1 - (i + q) : i + q) * s.rowBytes;
                for (int32_t k = 0; k < band4; k += 4) {
                    __m128i r[4];
                    for (int q = 0; q < 4; ++q) {
                        if (mode == 0) {
                            r[q] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[q] + (j + k) * 4));
                        } else {
                            r[q] = _mm_shuffle_epi32(
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[q] + (w - 4 - j - k) * 4)),
                                0x1B);
                        }
                    }
                    const __m128i t0 = _mm_unpacklo_epi32(r[0], r[1]), t1 = _mm_unpacklo_epi32(r[2], r[3]);
                    const __m128i t2 = _mm_unpackhi_epi32(r[0], r[1]), t3 = _mm_unpackhi_epi32(r[2], r[3]);
                    const __m128i turned[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                                               _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
                    for (int t = 0; t < 4; ++t) {
                        auto* d = reinterpret_cast<__m128i*>(out.RowAt(k + t) + i * 4);
                        const __m128i kept = _mm_and_si128(_mm_loadu_si128(d), keep);
                        _mm_storeu_si128(d, _mm_or_si128(kept, _mm_andnot_si128(keep, turned[t])));
                    }
                }
                for (int32_t k = band4; k < band; ++k) {
                    const int64_t col = mode == 0 ? j + k : w - 1 - (j + k);
                    for (int q = 0; q < 4; ++q)
                        copy(out.RowAt(k) + (i + q) * 4, rows[q] + col * 4);
                }
            }
        }
#endif
        for (; i < h; ++i) { // destination column
            // clockwise: (i, j) <- (j, h-1-i); counter-clockwise: (i, j) <- (w-1-j, i)
            const uint8_t* srcRow = s.pixels + (mode == 0 ? h - 1 - i : i) * s.rowBytes;
            for (int32_t k = 0; k < band; ++k) {
                const int64_t col = mode == 0 ? j + k : w - 1 - (j + k);
                copy(out.RowAt(k) + i * bpp, srcRow + col * bpp);
            }
        }
        for (int32_t k = 0; k < band; ++k)
            out.Advance();
        j += band;
    }
    out.Finish();
}

} // namespace

UCF_ROTATE::UCF_ROTATE(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_ROTATE::~UCF_ROTATE() = default;

int32_t UCF_ROTATE::GetInfo(const ImageDescriptor*, int32_t parameterSize, const void* parameters,
                            FilterInfo* info)
{
    // The mode word is read, so the block must hold it.
    if (parameterSize < 4 || !parameters)
        return UCF_ERR_BADPARAM;
    FillGeometricInfo(info, "Rotate FILTER");
    return UCF_OK;
}

int32_t UCF_ROTATE::ApplyStrip()
{
    int32_t mode = 0;
    std::memcpy(&mode, m_parameters, 4);
    if (mode > 1)
        return UCF_ERR_BADPARAM;
    if (!m_destination || !m_destination->pixels)
        return UCF_ERR_GEOMETRY;
    PixelLayout s, d;
    if (int32_t rc = DecodeSourceAndDestination(&s, &d))
        return rc;
    if (!s.pixels || d.regionWidth != s.regionHeight || d.regionHeight != s.regionWidth)
        return UCF_ERR_GEOMETRY;
    if (s.format != d.format)
        return UCF_ERR_FORMATMISMATCH;
    if (mode < 0)
        mode = 1;
    OutputRows out(*this);
    const ColourSamples cs = ColourSamplesOf(s);
    if (s.bytesPerPixel == 4 && s.bytesPerSample == 1) {
        uint32_t keep = 0;
        if (s.alpha >= 0)
            std::memset(reinterpret_cast<uint8_t*>(&keep) + s.alpha, 0xFF, 1);
        const PixelCopy<4> copy{&cs, 1, keep};
        Turn<4>(s, mode, out, copy, 4);
    } else {
        const PixelCopy<0> copy{&cs, s.bytesPerSample, 0};
        Turn<0>(s, mode, out, copy, s.bytesPerPixel);
    }
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateRotateFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_ROTATE(owner));
}
