// Masks of images and the two ways of drawing a masked image onto another.
#include "Core/ErrorCheck.h"
#include "Filters/CpuFeatures.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/MaskBlend.h"
#include "ImageProcessing/StretchEngine.h"
#include "Platform/PageAllocator.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <immintrin.h>
#endif

namespace {

// x / 255 for 0 <= x <= 255 * 255, exactly.
inline unsigned Div255(unsigned x)
{
    return (x + 1 + (x >> 8)) >> 8;
}

inline std::uint32_t* RowOf(std::uint8_t* bits, int height, int stride, int y)
{
    return reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride);
}

// The rectangle of a masked drawing, clipped so that it lies inside the
// source, its mask and the destination. False when nothing remains.
struct MaskedSpan
{
    int x, y, width, height, srcX, srcY;
};

bool ClipSpan(MaskedSpan& s, int srcW, int srcH, int dstW, int dstH)
{
    // Negative origins move into the pictures instead of reaching before them.
    if (s.srcX < 0) {
        s.width += s.srcX;
        s.x -= s.srcX;
        s.srcX = 0;
    }
    if (s.srcY < 0) {
        s.height += s.srcY;
        s.y -= s.srcY;
        s.srcY = 0;
    }
    if (s.x < 0) {
        s.width += s.x;
        s.srcX -= s.x;
        s.x = 0;
    }
    if (s.y < 0) {
        s.height += s.y;
        s.srcY -= s.y;
        s.y = 0;
    }
    s.width = std::min({s.width, srcW - s.srcX, dstW - s.x});
    s.height = std::min({s.height, srcH - s.srcY, dstH - s.y});
    return s.width > 0 && s.height > 0;
}

// The plain blend of one pixel: d = (s x (255 - m) + d x m) / 255 per colour byte.
inline std::uint32_t BlendPixel(std::uint32_t s, std::uint32_t d, unsigned m)
{
    std::uint32_t out = d & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        out |= Div255(sc * (255 - m) + dc * m) << shift;
    }
    return out;
}

void BlendTail(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst, int from, int count)
{
    for (int i = from; i < count; ++i) {
        const unsigned m = (mask[i] >> 16) & 0xFF;
        if (m != 255)
            dst[i] = BlendPixel(src[i], dst[i], m);
    }
}

// The vector forms compute the same integers as BlendPixel: the products fit
// 16 bits and (x * 0x8081) >> 23 is x / 255 for every 16-bit x.
#ifdef __SSE2__
void BlendRowSse2(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst, int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i low8 = _mm_set1_epi32(0xFF);
    const __m128i all255 = _mm_set1_epi16(255);
    const __m128i reciprocal = _mm_set1_epi16(static_cast<short>(0x8081));
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i m32 = _mm_and_si128(
            _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i)), 16), low8);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(m32, low8)) == 0xFFFF)
            continue; // all four transparent
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i result;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(m32, zero)) == 0xFFFF) {
            result = s;
        } else {
            __m128i m = _mm_or_si128(m32, _mm_slli_epi32(m32, 8));
            m = _mm_or_si128(m, _mm_slli_epi32(m, 16));
            const __m128i mLo = _mm_unpacklo_epi8(m, zero), mHi = _mm_unpackhi_epi8(m, zero);
            const __m128i xLo =
                _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), _mm_sub_epi16(all255, mLo)),
                              _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), mLo));
            const __m128i xHi =
                _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), _mm_sub_epi16(all255, mHi)),
                              _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), mHi));
            result = _mm_packus_epi16(_mm_srli_epi16(_mm_mulhi_epu16(xLo, reciprocal), 7),
                                      _mm_srli_epi16(_mm_mulhi_epu16(xHi, reciprocal), 7));
        }
        // The fourth byte of the destination stays.
        result = _mm_or_si128(_mm_and_si128(result, colour), _mm_andnot_si128(colour, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), result);
    }
    BlendTail(src, mask, dst, i, count);
}

// Eight pixels of the AVX2 blend.
__attribute__((target("avx2"))) inline void BlendEightAvx2(const std::uint32_t* src,
                                                           const std::uint32_t* mask, std::uint32_t* dst)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi8(static_cast<char>(0xFF));
    const __m256i all255 = _mm256_set1_epi16(255);
    const __m256i reciprocal = _mm256_set1_epi16(static_cast<short>(0x8081));
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    // Byte 2 of each pixel into all four of its bytes.
    const __m256i spread = _mm256_setr_epi8(2, 2, 2, 2, 6, 6, 6, 6, 10, 10, 10, 10, 14, 14, 14, 14, 2, 2, 2,
                                            2, 6, 6, 6, 6, 10, 10, 10, 10, 14, 14, 14, 14);
    const __m256i m = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask)), spread);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(m, ones)) == -1)
        return;
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    __m256i result;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(m, zero)) == -1) {
        result = s;
    } else {
        const __m256i mLo = _mm256_unpacklo_epi8(m, zero), mHi = _mm256_unpackhi_epi8(m, zero);
        const __m256i xLo =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), _mm256_sub_epi16(all255, mLo)),
                             _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), mLo));
        const __m256i xHi =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), _mm256_sub_epi16(all255, mHi)),
                             _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), mHi));
        result = _mm256_packus_epi16(_mm256_srli_epi16(_mm256_mulhi_epu16(xLo, reciprocal), 7),
                                     _mm256_srli_epi16(_mm256_mulhi_epu16(xHi, reciprocal), 7));
    }
    result = _mm256_or_si256(_mm256_and_si256(result, colour), _mm256_andnot_si256(colour, d));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), result);
}

// A cache line of each stream per step, asked for as BlendRowAvx512 asks.
__attribute__((target("avx2"))) void BlendRowAvx2(const std::uint32_t* src, const std::uint32_t* mask,
                                                  std::uint32_t* dst, int count)
{
    const __m256i maskByte = _mm256_set1_epi32(0x00FF0000);
    constexpr int kAhead = 512; // pixels
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        _mm_prefetch(reinterpret_cast<const char*>(mask + i + 2 * kAhead), _MM_HINT_T0);
        if (i + kAhead + 16 <= count) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i + kAhead));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i + kAhead + 8));
            const __m256i clear =
                _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_and_si256(a, maskByte), maskByte),
                                 _mm256_cmpeq_epi32(_mm256_and_si256(b, maskByte), maskByte));
            if (_mm256_movemask_epi8(clear) != -1) {
                _mm_prefetch(reinterpret_cast<const char*>(src + i + kAhead), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(dst + i + kAhead), _MM_HINT_T0);
            }
        }
        BlendEightAvx2(src + i, mask + i, dst + i);
        BlendEightAvx2(src + i + 8, mask + i + 8, dst + i + 8);
    }
    if (i + 8 <= count) {
        BlendEightAvx2(src + i, mask + i, dst + i);
        i += 8;
    }
    BlendRowSse2(src + i, mask + i, dst + i, count - i);
}

// One cache line of each stream per step. The mask is asked for twice as far
// ahead as the pixels, so that its line is in the cache when the pixels'
// lines are asked for, and the pixels of wholly transparent lines (which the
// blend leaves alone) are never fetched: the masked drawing moves a third
// more bytes than a drawing of premultiplied pixels, and less where the
// mask is clear.
__attribute__((target("avx512f,avx512bw"))) void
BlendRowAvx512(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst, int count)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i ones = _mm512_set1_epi8(static_cast<char>(0xFF));
    const __m512i all255 = _mm512_set1_epi16(255);
    const __m512i reciprocal = _mm512_set1_epi16(static_cast<short>(0x8081));
    const __m512i maskByte = _mm512_set1_epi32(0x00FF0000);
    // Byte 2 of each pixel into all four of its bytes.
    const __m512i spread = _mm512_set4_epi32(0x0E0E0E0E, 0x0A0A0A0A, 0x06060606, 0x02020202);
    constexpr __mmask64 kColour = 0x7777777777777777ull; // the fourth byte of the destination stays
    constexpr int kAhead = 512;                          // pixels
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        _mm_prefetch(reinterpret_cast<const char*>(mask + i + 2 * kAhead), _MM_HINT_T0);
        if (i + kAhead + 16 <= count) {
            const __m512i ahead = _mm512_and_si512(_mm512_loadu_si512(mask + i + kAhead), maskByte);
            if (_mm512_cmpneq_epi32_mask(ahead, maskByte) != 0) {
                _mm_prefetch(reinterpret_cast<const char*>(src + i + kAhead), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(dst + i + kAhead), _MM_HINT_T0);
            }
        }
        const __m512i m = _mm512_shuffle_epi8(_mm512_loadu_si512(mask + i), spread);
        if (_mm512_cmpeq_epi8_mask(m, ones) == ~__mmask64(0))
            continue;
        const __m512i d = _mm512_loadu_si512(dst + i);
        const __m512i s = _mm512_loadu_si512(src + i);
        if (_mm512_cmpeq_epi8_mask(m, zero) == ~__mmask64(0)) {
            _mm512_storeu_si512(dst + i, _mm512_mask_blend_epi8(kColour, d, s));
            continue;
        }
        const __m512i mLo = _mm512_unpacklo_epi8(m, zero), mHi = _mm512_unpackhi_epi8(m, zero);
        const __m512i xLo =
            _mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(s, zero), _mm512_sub_epi16(all255, mLo)),
                             _mm512_mullo_epi16(_mm512_unpacklo_epi8(d, zero), mLo));
        const __m512i xHi =
            _mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(s, zero), _mm512_sub_epi16(all255, mHi)),
                             _mm512_mullo_epi16(_mm512_unpackhi_epi8(d, zero), mHi));
        const __m512i result = _mm512_packus_epi16(_mm512_srli_epi16(_mm512_mulhi_epu16(xLo, reciprocal), 7),
                                                   _mm512_srli_epi16(_mm512_mulhi_epu16(xHi, reciprocal), 7));
        _mm512_storeu_si512(dst + i, _mm512_mask_blend_epi8(kColour, d, result));
    }
    BlendRowAvx2(src + i, mask + i, dst + i, count - i);
}
#endif

inline std::uint32_t CompositePixel(std::uint32_t s, unsigned ts, std::uint32_t& d, unsigned td)
{
    // Returns the new destination mask value; d is updated in place.
    if (ts == 0 || td == 255) {
        d = (d & 0xFF000000u) | (s & 0xFFFFFFu);
        return ts;
    }
    if (ts == 255)
        return td;
    std::uint32_t out = d & 0xFF000000u;
    if (td == 0) {
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
            out |= ((sc * (255 - ts) + dc * ts) / 255) << shift;
        }
        d = out;
        return 0;
    }
    const unsigned t = (td * ts) / 255;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        const unsigned v = ((dc * (255 - td) * ts) / 255 + sc * (255 - ts)) / (255 - t);
        out |= std::min(v, 255u) << shift;
    }
    d = out;
    return t;
}

void CompositeTail(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst,
                   std::uint32_t* dstMask, int from, int count)
{
    for (int i = from; i < count; ++i) {
        const unsigned ts = (mask[i] >> 16) & 0xFF, td = (dstMask[i] >> 16) & 0xFF;
        const unsigned t = CompositePixel(src[i], ts, dst[i], td);
        // The mask's grey follows its value in every colour byte.
        dstMask[i] = (dstMask[i] & 0xFF000000u) | (t << 16) | (t << 8) | t;
    }
}

#ifdef __SSE2__
// Eight pixels at a time where each is copied (opaque source or transparent
// destination) or kept (transparent source); any other pixel sends its group
// of eight to CompositePixel.
__attribute__((target("avx2"))) void CompositeRowAvx2(const std::uint32_t* src, const std::uint32_t* mask,
                                                      std::uint32_t* dst, std::uint32_t* dstMask, int count)
{
    const __m256i low8 = _mm256_set1_epi32(0xFF);
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i grey = _mm256_set1_epi32(0x00010101);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
        const __m256i dm = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dstMask + i));
        const __m256i ts = _mm256_and_si256(_mm256_srli_epi32(m, 16), low8);
        const __m256i td = _mm256_and_si256(_mm256_srli_epi32(dm, 16), low8);
        const __m256i copy =
            _mm256_or_si256(_mm256_cmpeq_epi32(ts, _mm256_setzero_si256()), _mm256_cmpeq_epi32(td, low8));
        const __m256i keep = _mm256_cmpeq_epi32(ts, low8);
        if (_mm256_movemask_epi8(_mm256_or_si256(copy, keep)) != -1) {
            CompositeTail(src + i, mask + i, dst + i, dstMask + i, 0, 8);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i copied = _mm256_or_si256(_mm256_and_si256(s, colour), _mm256_andnot_si256(colour, d));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(d, copied, copy));
        const __m256i t = _mm256_blendv_epi8(td, ts, copy);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dstMask + i),
                            _mm256_or_si256(_mm256_andnot_si256(colour, dm), _mm256_mullo_epi32(t, grey)));
    }
    CompositeTail(src, mask, dst, dstMask, i, count);
}
#endif

void CompositeRow(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst,
                  std::uint32_t* dstMask, int count)
{
#ifdef __SSE2__
    if (FilterCpu::Avx2()) {
        CompositeRowAvx2(src, mask, dst, dstMask, count);
        return;
    }
#endif
    CompositeTail(src, mask, dst, dstMask, 0, count);
}

} // namespace

void BlendMaskedRow(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst, int count)
{
    switch (FilterCpu::ActiveLevel()) {
#ifdef __SSE2__
    case FilterCpu::Level::Avx512:
        BlendRowAvx512(src, mask, dst, count);
        return;
    case FilterCpu::Level::Avx2:
        BlendRowAvx2(src, mask, dst, count);
        return;
    case FilterCpu::Level::Sse2:
        BlendRowSse2(src, mask, dst, count);
        return;
#endif
    default:
        BlendTail(src, mask, dst, 0, count);
        return;
    }
}

bool CImage::CreateMask()
{
    if (!IsValid())
        return false;
    if (!m_mask)
        m_mask = std::make_unique<CImage>();
    // Black needs no fill, so the mask's pages stay untouched until drawn on.
    return m_mask->CreateBlack(m_width, m_height);
}

std::uint8_t* CImage::GetMaskPlane() const
{
    std::uint8_t* plane = nullptr;
    try {
        NullCheck(m_mask.get(), 0);
        BoolCheck(m_mask->IsValid(), 0);
        const std::size_t count = static_cast<std::size_t>(m_mask->m_width) * m_mask->m_height;
        plane = static_cast<std::uint8_t*>(PageAlloc(count));
        NullCheck(plane, 0);
        const std::uint8_t* bits = m_mask->GetBits();
        NullCheck(bits, 0);
        for (std::size_t i = 0; i < count; ++i)
            plane[i] = bits[4 * i + 2];
        return plane;
    } catch (int) {
        PageFree(plane);
        return nullptr;
    }
}

int CImage::SetMaskPlane(const std::uint8_t* plane)
{
    if (!plane || !m_mask || !m_mask->IsValid())
        return 0;
    std::uint8_t* bits = m_mask->m_pixels.get();
    const std::size_t count = static_cast<std::size_t>(m_mask->m_width) * m_mask->m_height;
    for (std::size_t i = 0; i < count; ++i)
        bits[4 * i + 2] = plane[i];
    return 1;
}

std::uint8_t* CImage::GetBitsWithMaskAlpha() const
{
    std::uint8_t* out = nullptr;
    try {
        BoolCheck(IsValid(), 0);
        const std::size_t count = static_cast<std::size_t>(m_width) * m_height;
        out = static_cast<std::uint8_t*>(PageAlloc(count * 4));
        NullCheck(out, 0);
        std::memcpy(out, m_pixels.get(), count * 4);
        const std::uint8_t* mask = HasMask() ? m_mask->m_pixels.get() : nullptr;
        for (std::size_t i = 0; i < count; ++i)
            out[4 * i + 3] = mask ? mask[4 * i + 2] : 0;
        return out;
    } catch (int) {
        PageFree(out);
        return nullptr;
    }
}

int CImage::MakeMaskFromColorKey(const CImage* colorSource, COLORREF key)
{
    try {
        NullCheck(colorSource, 0);
        BoolCheck(IsValid() && colorSource->IsValid() && HasMask(), 0);
        BoolCheck(colorSource->m_width == m_width && colorSource->m_height == m_height, 0);
        const std::uint32_t keyPixel = ((key & 0xFFu) << 16) | (key & 0xFF00u) | ((key >> 16) & 0xFFu);
        const auto* src = reinterpret_cast<const std::uint32_t*>(colorSource->m_pixels.get());
        std::uint8_t* mask = m_mask->m_pixels.get();
        const std::size_t count = static_cast<std::size_t>(m_width) * m_height;
        for (std::size_t i = 0; i < count; ++i)
            mask[4 * i + 2] = (src[i] & 0xFFFFFFu) == keyPixel ? 255 : 0;
        return 1;
    } catch (int) {
        return 0;
    }
}

int CImage::DrawMasked(CImage* dest, int x, int y, int width, int height, int srcX, int srcY) const
{
    try {
        BoolCheck(width > 0 && height > 0, 0);
        NullCheck(dest, 0);
        BoolCheck(IsValid() && HasMask() && dest->IsValid(), 0);
        NullCheck(m_mask->GetBits(), 0);
        NullCheck(dest->GetBits(), 0);
        MaskedSpan s{x, y, width, height, srcX, srcY};
        if (!ClipSpan(s, m_width, m_height, dest->m_width, dest->m_height))
            return 1;
        const int srcStride = m_width * 4, dstStride = dest->m_width * 4;
        for (int row = 0; row < s.height; ++row) {
            const std::uint32_t* src = RowOf(m_pixels.get(), m_height, srcStride, s.srcY + row) + s.srcX;
            const std::uint32_t* mask =
                RowOf(m_mask->m_pixels.get(), m_height, srcStride, s.srcY + row) + s.srcX;
            std::uint32_t* dst = RowOf(dest->m_pixels.get(), dest->m_height, dstStride, s.y + row) + s.x;
            BlendMaskedRow(src, mask, dst, s.width);
        }
        return 1;
    } catch (int) {
        return 0;
    }
}

int CImage::Composite(CImage* dest, int x, int y, int width, int height, int srcX, int srcY) const
{
    try {
        BoolCheck(width > 0 && height > 0, 0);
        NullCheck(dest, 0);
        BoolCheck(IsValid() && HasMask() && dest->IsValid() && dest->HasMask(), 0);
        NullCheck(m_mask->GetBits(), 0);
        NullCheck(dest->GetBits(), 0);
        MaskedSpan s{x, y, width, height, srcX, srcY};
        if (!ClipSpan(s, m_width, m_height, dest->m_width, dest->m_height))
            return 1;
        const int srcStride = m_width * 4, dstStride = dest->m_width * 4;
        for (int row = 0; row < s.height; ++row) {
            const std::uint32_t* src = RowOf(m_pixels.get(), m_height, srcStride, s.srcY + row) + s.srcX;
            const std::uint32_t* mask =
                RowOf(m_mask->m_pixels.get(), m_height, srcStride, s.srcY + row) + s.srcX;
            std::uint32_t* dst = RowOf(dest->m_pixels.get(), dest->m_height, dstStride, s.y + row) + s.x;
            std::uint32_t* dstMask =
                RowOf(dest->m_mask->m_pixels.get(), dest->m_height, dstStride, s.y + row) + s.x;
            CompositeRow(src, mask, dst, dstMask, s.width);
        }
        return 1;
    } catch (int) {
        return 0;
    }
}

namespace {

using PlainDraw = int (CImage::*)(CImage*, int, int, int, int, int, int) const;

// Rows stretched and drawn at a time: the band and its mask stay in the cache
// instead of a whole stretched copy being allocated, filled and read back.
constexpr int kStretchBand = 32;

// The stretching forms: both rectangles clipped to their images, then the
// source part stretched with its mask to the destination size and drawn by
// the plain form, band by band. Each band starts as a fresh picture with mask
// would, so pixels the stretch leaves alone draw as they always did. `dest`
// holds the rows from `top` on of a destination of destWidth x destHeight.
int DrawStretched(const CImage& source, PlainDraw draw, CImage* dest, int top, int destWidth, int destHeight,
                  int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight)
{
    if (!dest || !dest->IsValid() || !source.IsValid() || !source.HasMask())
        return 0;
    StretchRects clipped{x, y, width, height, srcX, srcY, srcWidth, srcHeight};
    if (!ClipStretchRects(clipped, source.GetWidth(), source.GetHeight(), destWidth, destHeight))
        return 0;
    width = clipped.width;
    height = clipped.height;
    srcWidth = clipped.srcWidth;
    srcHeight = clipped.srcHeight;
    // Rows of the rectangle that land in `dest`; every row samples the source
    // row it would in one stretch of the whole rectangle.
    const int first = std::max(0, top - y);
    const int last = std::min(height, top + dest->GetHeight() - y);
    if (first >= last)
        return 1;
    const int bandRows = std::min(last - first, kStretchBand);
    CImage band;
    if (!band.Create(width, bandRows) || !band.CreateMask())
        return 0;
    const std::size_t count = static_cast<std::size_t>(width) * bandRows;
    auto* pixels = reinterpret_cast<std::uint32_t*>(band.GetBits());
    auto* maskPixels = reinterpret_cast<std::uint32_t*>(band.GetMask()->GetBits());
    const std::uint32_t freshPixel = pixels[0], freshMask = maskPixels[0];
    for (int row = first; row < last; row += bandRows) {
        if (row > first) {
            std::fill_n(pixels, count, freshPixel);
            std::fill_n(maskPixels, count, freshMask);
        }
        source.StretchBltTo(&band, 0, -row, width, height, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
        source.GetMask()->StretchBltTo(band.GetMask(), 0, -row, width, height, srcX, srcY, srcWidth,
                                       srcHeight, SRCCOPY);
        (band.*draw)(dest, x, y + row - top, width, std::min(bandRows, last - row), 0, 0);
    }
    return 1;
}

} // namespace

int CImage::DrawMaskedRect(CImage* dest, int x, int y, int width, int height, int srcX, int srcY,
                           int srcWidth, int srcHeight) const
{
    return DrawStretched(*this, &CImage::DrawMasked, dest, 0, dest ? dest->GetWidth() : 0,
                         dest ? dest->GetHeight() : 0, x, y, width, height, srcX, srcY, srcWidth, srcHeight);
}

int CImage::CompositeRect(CImage* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                          int srcHeight) const
{
    return DrawStretched(*this, &CImage::Composite, dest, 0, dest ? dest->GetWidth() : 0,
                         dest ? dest->GetHeight() : 0, x, y, width, height, srcX, srcY, srcWidth, srcHeight);
}

int CImage::CompositeRectRows(CImage* dest, int top, int destWidth, int destHeight, int x, int y, int width,
                              int height, int srcX, int srcY, int srcWidth, int srcHeight) const
{
    return DrawStretched(*this, &CImage::Composite, dest, top, destWidth, destHeight, x, y, width, height,
                         srcX, srcY, srcWidth, srcHeight);
}
