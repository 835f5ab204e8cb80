// Masks of images and the two ways of drawing a masked image onto another.
#include "Core/ErrorCheck.h"
#include "ImageProcessing/Image.h"
#include "Platform/PageAllocator.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
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

void BlendRow(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst, int count)
{
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i low8 = _mm_set1_epi32(0xFF);
    const __m128i all255 = _mm_set1_epi16(255);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= count; i += 4) {
        const __m128i m32 = _mm_and_si128(
            _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i)), 16), low8);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // All four mask values 255: the destination stays; all 0: a plain copy.
        const int allTransparent = _mm_movemask_epi8(_mm_cmpeq_epi32(m32, low8)) == 0xFFFF;
        if (allTransparent)
            continue;
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i result;
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(m32, zero)) == 0xFFFF) {
            result = s;
        } else {
            __m128i m = _mm_or_si128(m32, _mm_slli_epi32(m32, 8));
            m = _mm_or_si128(m, _mm_slli_epi32(m, 16));
            const __m128i mLo = _mm_unpacklo_epi8(m, zero), mHi = _mm_unpackhi_epi8(m, zero);
            const __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
            const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
            __m128i xLo =
                _mm_add_epi16(_mm_mullo_epi16(sLo, _mm_sub_epi16(all255, mLo)), _mm_mullo_epi16(dLo, mLo));
            __m128i xHi =
                _mm_add_epi16(_mm_mullo_epi16(sHi, _mm_sub_epi16(all255, mHi)), _mm_mullo_epi16(dHi, mHi));
            xLo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(xLo, one), _mm_srli_epi16(xLo, 8)), 8);
            xHi = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(xHi, one), _mm_srli_epi16(xHi, 8)), 8);
            result = _mm_packus_epi16(xLo, xHi);
        }
        // The fourth byte of the destination stays.
        result = _mm_or_si128(_mm_and_si128(result, colour), _mm_andnot_si128(colour, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), result);
    }
#endif
    for (; i < count; ++i) {
        const unsigned m = (mask[i] >> 16) & 0xFF;
        if (m == 255)
            continue;
        const std::uint32_t s = src[i], d = dst[i];
        std::uint32_t out = d & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
            out |= Div255(sc * (255 - m) + dc * m) << shift;
        }
        dst[i] = out;
    }
}

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

} // namespace

bool CImage::CreateMask()
{
    if (!IsValid())
        return false;
    if (!m_mask)
        m_mask = std::make_unique<CImage>();
    if (!m_mask->Create(m_width, m_height))
        return false;
    m_mask->FillRect(0, 0, m_width, m_height, 0);
    return true;
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
        NullCheck(m_mask->m_pixels.get(), 0);
        NullCheck(dest->m_pixels.get(), 0);
        MaskedSpan s{x, y, width, height, srcX, srcY};
        if (!ClipSpan(s, m_width, m_height, dest->m_width, dest->m_height))
            return 1;
        const int srcStride = m_width * 4, dstStride = dest->m_width * 4;
        for (int row = 0; row < s.height; ++row) {
            const std::uint32_t* src = RowOf(m_pixels.get(), m_height, srcStride, s.srcY + row) + s.srcX;
            const std::uint32_t* mask =
                RowOf(m_mask->m_pixels.get(), m_height, srcStride, s.srcY + row) + s.srcX;
            std::uint32_t* dst = RowOf(dest->m_pixels.get(), dest->m_height, dstStride, s.y + row) + s.x;
            BlendRow(src, mask, dst, s.width);
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
            for (int i = 0; i < s.width; ++i) {
                const unsigned ts = (mask[i] >> 16) & 0xFF, td = (dstMask[i] >> 16) & 0xFF;
                const unsigned t = CompositePixel(src[i], ts, dst[i], td);
                // The mask's grey follows its value in every colour byte.
                dstMask[i] = (dstMask[i] & 0xFF000000u) | (t << 16) | (t << 8) | t;
            }
        }
        return 1;
    } catch (int) {
        return 0;
    }
}

namespace {

// The stretched copy of the source rectangle and its mask, for the stretching forms.
bool StretchWithMask(const CImage& source, CImage& temp, int width, int height, int srcX, int srcY,
                     int srcWidth, int srcHeight)
{
    if (!temp.Create(width, height) || !temp.CreateMask())
        return false;
    source.StretchBltTo(&temp, 0, 0, width, height, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
    source.GetMask()->StretchBltTo(temp.GetMask(), 0, 0, width, height, srcX, srcY, srcWidth, srcHeight,
                                   SRCCOPY);
    return true;
}

} // namespace

int CImage::DrawMaskedRect(CImage* dest, int x, int y, int width, int height, int srcX, int srcY,
                           int srcWidth, int srcHeight) const
{
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0 || !dest || !dest->IsValid() ||
        !IsValid() || !HasMask())
        return 0;
    srcWidth = std::min(srcWidth, m_width - srcX);
    srcHeight = std::min(srcHeight, m_height - srcY);
    width = std::min(width, dest->m_width - x);
    height = std::min(height, dest->m_height - y);
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    CImage temp;
    if (!StretchWithMask(*this, temp, width, height, srcX, srcY, srcWidth, srcHeight))
        return 0;
    temp.DrawMasked(dest, x, y, width, height, 0, 0);
    return 1;
}

int CImage::CompositeRect(CImage* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                          int srcHeight) const
{
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0 || !dest || !dest->IsValid() ||
        !IsValid() || !HasMask())
        return 0;
    srcWidth = std::min(srcWidth, m_width - srcX);
    srcHeight = std::min(srcHeight, m_height - srcY);
    width = std::min(width, dest->m_width - x);
    height = std::min(height, dest->m_height - y);
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    CImage temp;
    if (!StretchWithMask(*this, temp, width, height, srcX, srcY, srcWidth, srcHeight))
        return 0;
    temp.Composite(dest, x, y, width, height, 0, 0);
    return 1;
}
