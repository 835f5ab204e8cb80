#include "ResizeKernels.h"
#include "CpuFeatures.h"

#include "VectorClones.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

FILTER_VECTOR_CLONES void ResizeBilinearRow(const uint8_t* top, const uint8_t* bottom, const int32_t* columns,
                                            const int32_t* rights, const int32_t* weights, int32_t width,
                                            int32_t fy, uint32_t keepMask, uint8_t* out)
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

namespace {

constexpr int32_t kBlock = 16;        // destination pixels a 512-bit block
constexpr int32_t kSteps = 3;         // vectors of sixteen colour samples a block
constexpr int32_t kWindowPixels = 32; // source pixels one permute reaches
constexpr int32_t kBlock2 = 8;        // destination pixels a 256-bit block

// The split weights of one sample: (1024 - fx) and fx as sixteens and units.
int32_t SplitWeights(int32_t fx)
{
    const int32_t w0 = 1024 - fx, w1 = fx;
    const int8_t split[4] = {static_cast<int8_t>(w0 & 15), static_cast<int8_t>(w1 & 15),
                             static_cast<int8_t>(w0 >> 4), static_cast<int8_t>(w1 >> 4)};
    int32_t v;
    std::memcpy(&v, split, 4);
    return v;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define RESIZE_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#define RESIZE_AVX2 __attribute__((target("avx2")))

ResizePath Probe()
{
    if (FilterCpu::Avx512Vbmi())
        return ResizePath::Vbmi;
    return FilterCpu::Avx2() ? ResizePath::Avx2 : ResizePath::PerPixel;
}

// Each colour sample's dword holds its source pair as bytes (P, R, P, R); the
// weights split 1024 - fx and fx into sixteens and units, (b0, b1, a0, a1), so
// the byte multiply-add gives the words Y = P b0 + R b1 and X = P a0 + R a1
// with 16 X + Y = P (1024 - fx) + R fx. Neither word can saturate (X <= 255 * 64).
// One word multiply-add by (wy, 16 wy) then gives the exact 28-bit vertical
// product that the per-pixel row forms in 32 bits.
RESIZE_VBMI __m512i BlendStep(const uint8_t* top, const uint8_t* bottom, const BilinearRows4::Step& step,
                              __m512i topWeight, __m512i bottomWeight)
{
    const __m512i index = _mm512_load_si512(step.index);
    const __m512i weights = _mm512_load_si512(step.weights);
    const __m512i t = _mm512_permutex2var_epi8(_mm512_loadu_si512(top), index, _mm512_loadu_si512(top + 64));
    const __m512i b =
        _mm512_permutex2var_epi8(_mm512_loadu_si512(bottom), index, _mm512_loadu_si512(bottom + 64));
    const __m512i vt = _mm512_madd_epi16(_mm512_maddubs_epi16(t, weights), topWeight);
    const __m512i vb = _mm512_madd_epi16(_mm512_maddubs_epi16(b, weights), bottomWeight);
    // The zero-masking forms: GCC 12's plain ones start from a self-initialised
    // vector that -Wuninitialized reports.
    const __mmask16 all = 0xFFFF;
    return _mm512_add_epi32(_mm512_maskz_srli_epi32(all, vb, 20), _mm512_maskz_srli_epi32(all, vt, 20));
}

RESIZE_VBMI void WideBlocks(const uint8_t* top, const uint8_t* bottom, const int32_t* windows,
                            const BilinearRows4::Step* steps, int32_t first, int32_t end, int32_t fy,
                            const uint8_t* order, uint64_t colourBytes, uint8_t* out)
{
    const __m512i vfy = _mm512_set1_epi32(fy | (16 * fy) << 16);
    const __m512i vwy = _mm512_set1_epi32((1024 - fy) | (16 * (1024 - fy)) << 16);
    const __m512i pixelOrder = _mm512_loadu_si512(order);
    for (int32_t b = first; b < end; ++b) {
        const int32_t* w = windows + kSteps * b;
        const BilinearRows4::Step* s = steps + kSteps * b;
        const __m512i d0 = BlendStep(top + 4 * int64_t{w[0]}, bottom + 4 * int64_t{w[0]}, s[0], vwy, vfy);
        const __m512i d1 = BlendStep(top + 4 * int64_t{w[1]}, bottom + 4 * int64_t{w[1]}, s[1], vwy, vfy);
        const __m512i d2 = BlendStep(top + 4 * int64_t{w[2]}, bottom + 4 * int64_t{w[2]}, s[2], vwy, vfy);
        // Every sum is at most 255, so the saturating packs only narrow.
        const __m512i packed = _mm512_packus_epi16(_mm512_packus_epi32(d0, d1), _mm512_packus_epi32(d2, d2));
        _mm512_mask_storeu_epi8(out + int64_t{b} * kBlock * 4, colourBytes,
                                _mm512_maskz_permutexvar_epi8(~__mmask64{0}, pixelOrder, packed));
    }
}
RESIZE_AVX2 __m256i LoadPair(const uint8_t* row, int64_t low, int64_t high)
{
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + high)), 1);
}

// The 256-bit form of the same sums: a lane per pixel, its 16-byte source load
// starting at P, so the shuffle is one for all pixels and R is four bytes on.
RESIZE_AVX2 __m256i BlendPair(const uint8_t* top, const uint8_t* bottom, int64_t p0, int64_t p1,
                              const int32_t* splits, __m256i shuffle, __m256i topWeight, __m256i bottomWeight)
{
    const __m256i weights = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(splits));
    const __m256i t = _mm256_shuffle_epi8(LoadPair(top, p0, p1), shuffle);
    const __m256i b = _mm256_shuffle_epi8(LoadPair(bottom, p0, p1), shuffle);
    const __m256i vt = _mm256_madd_epi16(_mm256_maddubs_epi16(t, weights), topWeight);
    const __m256i vb = _mm256_madd_epi16(_mm256_maddubs_epi16(b, weights), bottomWeight);
    return _mm256_add_epi32(_mm256_srli_epi32(vb, 20), _mm256_srli_epi32(vt, 20));
}

RESIZE_AVX2 void Avx2Blocks(const uint8_t* top, const uint8_t* bottom, const int32_t* columns,
                            const int32_t* splits, int32_t first, int32_t end, int32_t fy,
                            const uint8_t* shuffleBytes, uint32_t keepMask, uint8_t* out)
{
    const __m256i vfy = _mm256_set1_epi32(fy | (16 * fy) << 16);
    const __m256i vwy = _mm256_set1_epi32((1024 - fy) | (16 * (1024 - fy)) << 16);
    const __m256i shuffle =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffleBytes)));
    const __m256i keep = _mm256_set1_epi32(static_cast<int32_t>(keepMask));
    // The packs leave pixels 0, 2, 4, 6 in the low lane and 1, 3, 5, 7 in the high one.
    const __m256i pixelOrder = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (int32_t b = first; b < end; ++b) {
        const int32_t* c = columns + b * kBlock2;
        const int32_t* w = splits + int64_t{b} * kBlock2 * 4;
        __m256i d[4];
        for (int32_t q = 0; q < 4; ++q)
            d[q] = BlendPair(top, bottom, 4 * int64_t{c[2 * q]}, 4 * int64_t{c[2 * q + 1]}, w + 8 * q,
                             shuffle, vwy, vfy);
        // Every sum is at most 255 and alpha lanes are zero: the packs only narrow.
        const __m256i packed = _mm256_permutevar8x32_epi32(
            _mm256_packus_epi16(_mm256_packus_epi32(d[0], d[1]), _mm256_packus_epi32(d[2], d[3])),
            pixelOrder);
        __m256i* o = reinterpret_cast<__m256i*>(out + int64_t{b} * kBlock2 * 4);
        _mm256_storeu_si256(o, _mm256_or_si256(packed, _mm256_and_si256(_mm256_loadu_si256(o), keep)));
    }
}
#else
ResizePath Probe()
{
    return ResizePath::PerPixel;
}
#endif

} // namespace

BilinearRows4::BilinearRows4(std::span<const int32_t> columns, std::span<const int32_t> rights,
                             std::span<const int32_t> fractions, int32_t sourceWidth, uint32_t keepMask,
                             ResizePath widest)
    : m_columns(columns.begin(), columns.end()), m_rights(rights.begin(), rights.end()),
      m_weights(fractions.size()), m_keep(keepMask), m_width(static_cast<int32_t>(columns.size()))
{
    for (size_t i = 0; i < fractions.size(); ++i)
        m_weights[i] = (fractions[i] << 16) | (1024 - fractions[i]);
    int32_t alpha = -1;
    for (int32_t k = 0; k < 4; ++k)
        if (keepMask == uint32_t{0xFF} << (8 * k))
            alpha = k;
    if (alpha < 0)
        return;
    int32_t colour[3];
    for (int32_t k = 0, n = 0; k < 4; ++k)
        if (k != alpha)
            colour[n++] = k;
    const ResizePath path = std::min(widest, Supported());
    if (path == ResizePath::Vbmi && sourceWidth >= kWindowPixels && m_width >= kBlock)
        PlanVbmi(sourceWidth, colour, fractions);
    else if (path >= ResizePath::Avx2 && m_width >= kBlock2)
        PlanAvx2(sourceWidth, alpha, fractions);
}

void BilinearRows4::PlanVbmi(int32_t sourceWidth, const int32_t colour[3], std::span<const int32_t> fractions)
{
    m_path = ResizePath::Vbmi;
    m_blockPixels = kBlock;
    // The packs leave colour sample e of a block (step e / 16, lane e % 16) at
    // byte 16 (lane / 4) + 4 step + lane % 4.
    for (int32_t e = 0; e < kBlock * 3; ++e) {
        const int32_t step = e / 16, lane = e % 16;
        m_order[4 * (e / 3) + colour[e % 3]] = static_cast<uint8_t>(16 * (lane / 4) + 4 * step + lane % 4);
        m_colourBytes |= uint64_t{1} << (4 * (e / 3) + colour[e % 3]);
    }
    const int32_t blocks = m_width / kBlock;
    m_wide.assign(static_cast<size_t>(blocks), 0);
    m_windows.assign(static_cast<size_t>(blocks) * kSteps, 0);
    m_steps.resize(m_windows.size());
    for (int32_t b = 0; b < blocks; ++b) {
        bool fits = true;
        for (int32_t step = 0; step < kSteps && fits; ++step) {
            const int32_t firstPixel = b * kBlock + 16 * step / 3;
            const int32_t window = std::min(m_columns[firstPixel], sourceWidth - kWindowPixels);
            Step& st = m_steps[kSteps * b + step];
            for (int32_t lane = 0; lane < 16 && fits; ++lane) {
                const int32_t e = 16 * step + lane;
                const int32_t pixel = b * kBlock + e / 3;
                const int32_t p = m_columns[pixel] - window, r = m_rights[pixel] - window;
                fits = p >= 0 && r >= 0 && p < kWindowPixels && r < kWindowPixels;
                const uint8_t pi = static_cast<uint8_t>(4 * p + colour[e % 3]);
                const uint8_t ri = static_cast<uint8_t>(4 * r + colour[e % 3]);
                const uint8_t pair[4] = {pi, ri, pi, ri};
                std::memcpy(st.index + 4 * lane, pair, 4);
                st.weights[lane] = SplitWeights(fractions[pixel]);
            }
            m_windows[kSteps * b + step] = window;
        }
        m_wide[b] = fits;
        m_wideBlocks += fits;
    }
}

void BilinearRows4::PlanAvx2(int32_t sourceWidth, int32_t alpha, std::span<const int32_t> fractions)
{
    m_path = ResizePath::Avx2;
    m_blockPixels = kBlock2;
    // Byte k of a pixel from P at k and R at k + 4; alpha bytes come out zero.
    for (int32_t k = 0; k < 4; ++k) {
        const uint8_t pick[4] = {static_cast<uint8_t>(k), static_cast<uint8_t>(k + 4),
                                 static_cast<uint8_t>(k), static_cast<uint8_t>(k + 4)};
        if (k == alpha)
            std::memset(m_order + 4 * k, 0x80, 4);
        else
            std::memcpy(m_order + 4 * k, pick, 4);
    }
    m_splits.assign(static_cast<size_t>(m_width) * 4, 0);
    for (int32_t i = 0; i < m_width; ++i)
        for (int32_t k = 0; k < 4; ++k)
            if (k != alpha)
                m_splits[4 * size_t(i) + k] = SplitWeights(fractions[i]);
    const int32_t blocks = m_width / kBlock2;
    m_wide.assign(static_cast<size_t>(blocks), 0);
    for (int32_t b = 0; b < blocks; ++b) {
        bool fits = true;
        for (int32_t i = b * kBlock2; i < (b + 1) * kBlock2 && fits; ++i)
            fits = m_columns[i] >= 0 && int64_t{m_columns[i]} + 4 <= sourceWidth &&
                   m_rights[i] == m_columns[i] + 1;
        m_wide[b] = fits;
        m_wideBlocks += fits;
    }
}

ResizePath BilinearRows4::Supported()
{
    return Probe(); // not kept: a test's cap applies at the next resize
}

void BilinearRows4::Row(const uint8_t* top, const uint8_t* bottom, int32_t fy, uint8_t* out) const
{
    int32_t done = 0; // columns written so far
    auto perPixel = [&](int32_t end) {
        if (end > done)
            ResizeBilinearRow(top, bottom, m_columns.data() + done, m_rights.data() + done,
                              m_weights.data() + done, end - done, fy, m_keep, out + 4 * int64_t{done});
        done = end;
    };
#if defined(__x86_64__) && defined(__GNUC__)
    const int32_t blocks = static_cast<int32_t>(m_wide.size());
    for (int32_t b = 0; b < blocks;) {
        if (!m_wide[b]) {
            ++b;
            continue;
        }
        int32_t end = b + 1;
        while (end < blocks && m_wide[end])
            ++end;
        perPixel(b * m_blockPixels);
        if (m_path == ResizePath::Vbmi)
            WideBlocks(top, bottom, m_windows.data(), m_steps.data(), b, end, fy, m_order, m_colourBytes,
                       out);
        else
            Avx2Blocks(top, bottom, m_columns.data(), m_splits.data(), b, end, fy, m_order, m_keep, out);
        done = end * m_blockPixels;
        b = end;
    }
#endif
    perPixel(m_width);
}
