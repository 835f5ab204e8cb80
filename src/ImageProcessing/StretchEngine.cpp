#include "ImageProcessing/StretchEngine.h"

#include "Filters/CpuFeatures.h"
#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/RasterOps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// dst[i] = row[columns[i]] for every i from `from` on.
void GatherPlain(const std::uint32_t* row, const int* columns, std::uint32_t* dst, int from, int count)
{
    for (int i = from; i < count; ++i)
        dst[i] = row[columns[i]];
}

#if defined(__x86_64__)
// The masked forms of the 512-bit operations, with every lane: their plain
// forms start from an "undefined" vector that GCC 12 warns about.
constexpr __mmask16 kAllLanes = 0xFFFF;

// Eight destination pixels whose columns lie within eight source pixels of
// the first (any enlargement) come from one load and one permute, any others
// from one gather. rowWidth bounds the columns.
__attribute__((target("avx2"))) int GatherAvx2(const std::uint32_t* row, int rowWidth, const int* columns,
                                               std::uint32_t* dst, int count)
{
    const __m256i last = _mm256_set1_epi32(7);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i cols = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + i));
        const int base = columns[i];
        const __m256i offsets = _mm256_sub_epi32(cols, _mm256_set1_epi32(base));
        // Unsigned: a column before the first is out of reach as well.
        const bool near =
            _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_min_epu32(offsets, last), offsets)) == -1;
        if (near && base + 8 <= rowWidth)
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(dst + i),
                _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base)),
                                            offsets));
        else
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                                _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), cols, 4));
    }
    return i;
}

// Sixteen destination pixels whose columns lie within 32 source pixels of the
// first (enlargements and shrinks to half) come from two loads and one
// two-register permute, any others from one gather.
__attribute__((target("avx512f"))) int GatherAvx512(const std::uint32_t* row, int rowWidth,
                                                    const int* columns, std::uint32_t* dst, int count)
{
    const __m512i reach = _mm512_set1_epi32(32);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m512i cols = _mm512_loadu_si512(columns + i);
        const int base = columns[i];
        const __m512i offsets = _mm512_sub_epi32(cols, _mm512_set1_epi32(base));
        if (_mm512_cmplt_epu32_mask(offsets, reach) == kAllLanes && base + 32 <= rowWidth)
            _mm512_storeu_si512(dst + i, _mm512_permutex2var_epi32(_mm512_loadu_si512(row + base), offsets,
                                                                   _mm512_loadu_si512(row + base + 16)));
        else
            _mm512_storeu_si512(dst + i,
                                _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), kAllLanes, cols, row, 4));
    }
    return i;
}
#endif

#if defined(__x86_64__)
// Each byte is taken from the aligned word that holds it, which the padding
// of the row keeps inside it.
__attribute__((target("avx2"))) int GatherMaskBytesAvx2(const std::uint8_t* row, const int* columns,
                                                        std::uint32_t* dst, int count)
{
    const __m256i three = _mm256_set1_epi32(3);
    const __m256i byte = _mm256_set1_epi32(0xFF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i cols = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + i));
        const __m256i words =
            _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), _mm256_andnot_si256(three, cols), 1);
        const __m256i shift = _mm256_slli_epi32(_mm256_and_si256(cols, three), 3);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_slli_epi32(_mm256_and_si256(_mm256_srlv_epi32(words, shift), byte), 16));
    }
    return i;
}

__attribute__((target("avx512f"))) int GatherMaskBytesAvx512(const std::uint8_t* row, const int* columns,
                                                             std::uint32_t* dst, int count)
{
    const __m512i three = _mm512_set1_epi32(3);
    const __m512i notThree = _mm512_set1_epi32(~3);
    const __m512i byte = _mm512_set1_epi32(0xFF);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m512i cols = _mm512_loadu_si512(columns + i);
        const __m512i words = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), kAllLanes,
                                                          _mm512_and_si512(cols, notThree), row, 1);
        const __m512i shift = _mm512_maskz_slli_epi32(kAllLanes, _mm512_and_si512(cols, three), 3);
        const __m512i value = _mm512_and_si512(_mm512_maskz_srlv_epi32(kAllLanes, words, shift), byte);
        _mm512_storeu_si512(dst + i, _mm512_maskz_slli_epi32(kAllLanes, value, 16));
    }
    return i;
}
#endif

} // namespace

void GatherMaskBytes(const std::uint8_t* row, const int* columns, std::uint32_t* dst, int count)
{
    int done = 0;
#if defined(__x86_64__)
    switch (FilterCpu::ActiveLevel()) {
    case FilterCpu::Level::Avx512:
        done = GatherMaskBytesAvx512(row, columns, dst, count);
        break;
    case FilterCpu::Level::Avx2:
        done = GatherMaskBytesAvx2(row, columns, dst, count);
        break;
    default:
        break;
    }
#endif
    for (int i = done; i < count; ++i)
        dst[i] = std::uint32_t{row[columns[i]]} << 16;
}

void GatherPixels(const std::uint32_t* row, int rowWidth, const int* columns, std::uint32_t* dst, int count)
{
    int done = 0;
#if defined(__x86_64__)
    switch (FilterCpu::ActiveLevel()) {
    case FilterCpu::Level::Avx512:
        done = GatherAvx512(row, rowWidth, columns, dst, count);
        break;
    case FilterCpu::Level::Avx2:
        done = GatherAvx2(row, rowWidth, columns, dst, count);
        break;
    default:
        break;
    }
#endif
    (void)rowWidth;
    GatherPlain(row, columns, dst, done, count);
}

namespace {

// Asks for the cache lines of row[first .. last] while the current row is drawn,
// so that the next source row of a shrink does not start with a miss per line.
inline void PrefetchSpan(const std::uint32_t* row, int first, int last)
{
#if defined(__x86_64__)
    const char* from = reinterpret_cast<const char*>(row + first);
    const char* to = reinterpret_cast<const char*>(row + last);
    for (const char* p = from; p <= to; p += 64)
        _mm_prefetch(p, _MM_HINT_T0);
    _mm_prefetch(to, _MM_HINT_T0);
#else
    (void)row, (void)first, (void)last;
#endif
}

inline std::uint32_t PaletteEntry(const StretchSource& src, unsigned index)
{
    if (!src.palette || static_cast<int>(index) >= src.paletteCount)
        return 0;
    const RGBQUAD& q = src.palette[index];
    return (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

template <int Bpp> inline std::uint32_t Fetch(const StretchSource& src, const std::uint8_t* row, int x)
{
    if constexpr (Bpp == 32) {
        return reinterpret_cast<const std::uint32_t*>(row)[x];
    } else if constexpr (Bpp == 24) {
        const std::uint8_t* p = row + 3 * x;
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    } else if constexpr (Bpp == 16) {
        const unsigned v = row[2 * x] | (unsigned(row[2 * x + 1]) << 8);
        const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
    } else if constexpr (Bpp == 8) {
        return PaletteEntry(src, row[x]);
    } else if constexpr (Bpp == 4) {
        const std::uint8_t b = row[x / 2];
        return PaletteEntry(src, (x & 1) ? (b & 0x0F) : (b >> 4));
    } else {
        return PaletteEntry(src, (row[x / 8] >> (7 - (x & 7))) & 1);
    }
}

// Rows whose source lies further than this many bytes apart are not prefetched.
constexpr int kPrefetchSpan = 1 << 16;

template <int Bpp, bool Copy>
void Run(const StretchTarget& target, const StretchAxis& cols, const StretchAxis& rows,
         const StretchSource& src, std::uint32_t rop, std::uint32_t pattern)
{
    const int colEnd = cols.first + static_cast<int>(cols.source.size());
    const int rowEnd = rows.first + static_cast<int>(rows.source.size());
    for (const QRect& r : target.visible) {
        const int x0 = std::max(cols.first, r.left()), x1 = std::min(colEnd, r.right() + 1);
        const int y0 = std::max(rows.first, r.top()), y1 = std::min(rowEnd, r.bottom() + 1);
        if (x0 >= x1 || y0 >= y1)
            continue;
        const int* colMap = cols.source.data() + (x0 - cols.first);
        const int n = x1 - x0;
        // Copies of 32-bit pixels where every column has its source: a row
        // that samples the same source row as the row above is that row
        // again, and a run of consecutive columns is one block.
        constexpr bool kPlainCopy = Copy && Bpp == 32;
        bool whole = false, consecutive = false, rising = false;
        if constexpr (kPlainCopy) {
            whole = consecutive = rising = true;
            for (int i = 0; i < n; ++i) {
                whole = whole && colMap[i] >= 0;
                consecutive = consecutive && colMap[i] == colMap[0] + i;
            }
            rising = whole && colMap[n - 1] >= colMap[0] && (colMap[n - 1] - colMap[0]) * 4 <= kPrefetchSpan;
        }
        int previousSource = -1;
        for (int y = y0; y < y1; ++y) {
            const int sr = rows.source[y - rows.first];
            const std::uint8_t* srcRow = nullptr;
            if (src.bits) {
                if (sr < 0) {
                    previousSource = -1;
                    continue;
                }
                srcRow = src.bits + static_cast<std::ptrdiff_t>(sr) * src.stride;
            }
            std::uint32_t* dst = target.dc->Row(y) + x0;
            if constexpr (kPlainCopy) {
                if (whole) {
                    if (sr == previousSource) {
                        std::memcpy(dst, target.dc->Row(y - 1) + x0, std::size_t(n) * 4);
                    } else {
                        if (rising && !consecutive && y + 1 < y1) {
                            const int next = rows.source[y + 1 - rows.first];
                            if (next >= 0 && next != sr)
                                PrefetchSpan(reinterpret_cast<const std::uint32_t*>(
                                                 src.bits + static_cast<std::ptrdiff_t>(next) * src.stride),
                                             colMap[0], colMap[n - 1]);
                        }
                        if (consecutive)
                            std::memcpy(dst, reinterpret_cast<const std::uint32_t*>(srcRow) + colMap[0],
                                        std::size_t(n) * 4);
                        else
                            GatherPixels(reinterpret_cast<const std::uint32_t*>(srcRow), src.width, colMap,
                                         dst, n);
                    }
                    previousSource = sr;
                    continue;
                }
            }
            for (int i = 0; i < n; ++i) {
                std::uint32_t s = 0;
                if (srcRow) {
                    const int sc = colMap[i];
                    if (sc < 0)
                        continue;
                    s = Fetch<Bpp>(src, srcRow, sc);
                }
                if constexpr (Copy)
                    dst[i] = s;
                else
                    dst[i] = ApplyRop3(pattern, s, dst[i], rop);
            }
        }
    }
}

template <int Bpp>
void RunRop(const StretchTarget& target, const StretchAxis& cols, const StretchAxis& rows,
            const StretchSource& src, std::uint32_t rop, std::uint32_t pattern)
{
    if (((rop >> 16) & 0xFF) == 0xCC && src.bits)
        Run<Bpp, true>(target, cols, rows, src, rop, pattern);
    else
        Run<Bpp, false>(target, cols, rows, src, rop, pattern);
}

} // namespace

StretchAxis MapStretchAxis(int dst, int dstExtent, int src, int srcExtent, int sourceLimit, int targetLimit)
{
    StretchAxis map;
    const long long count = std::abs(static_cast<long long>(dstExtent));
    const long long srcCount = std::abs(static_cast<long long>(srcExtent));
    const long long start = dstExtent > 0 ? dst : static_cast<long long>(dst) + dstExtent + 1;
    const long long first = std::max<long long>(start, 0);
    const long long end = std::min<long long>(start + count, targetLimit);
    map.first = static_cast<int>(first);
    if (end <= first || count == 0)
        return map;
    map.source.resize(static_cast<std::size_t>(end - first));
    for (long long c = first; c < end; ++c) {
        // i counts from the destination origin, which mirrors for negative extents.
        const long long i = dstExtent > 0 ? c - dst : dst - c;
        const long long j = ((2 * i + 1) * srcCount) / (2 * count);
        const long long s = srcExtent > 0 ? src + j : src - j;
        map.source[c - first] = (s >= 0 && s < sourceLimit) ? static_cast<int>(s) : -1;
    }
    return map;
}

void StretchMapped(const StretchTarget& target, const StretchAxis& cols, const StretchAxis& storedRows,
                   const StretchSource& source, std::uint32_t rop, std::uint32_t pattern)
{
    if (!target.dc || cols.source.empty() || storedRows.source.empty())
        return;
    switch (source.bpp) {
    case 32:
        RunRop<32>(target, cols, storedRows, source, rop, pattern);
        break;
    case 24:
        RunRop<24>(target, cols, storedRows, source, rop, pattern);
        break;
    case 16:
        RunRop<16>(target, cols, storedRows, source, rop, pattern);
        break;
    case 8:
        RunRop<8>(target, cols, storedRows, source, rop, pattern);
        break;
    case 4:
        RunRop<4>(target, cols, storedRows, source, rop, pattern);
        break;
    case 1:
        RunRop<1>(target, cols, storedRows, source, rop, pattern);
        break;
    default:
        break;
    }
}

void StretchPixels(const StretchTarget& target, int x, int y, int width, int height,
                   const StretchSource& source, int srcX, int srcY, int srcWidth, int srcHeight,
                   std::uint32_t rop, std::uint32_t pattern)
{
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0 || !target.dc)
        return;
    const int colLimit = source.bits ? source.width : 1 << 30;
    const int rowLimit = source.bits ? source.rows : 1 << 30;
    const StretchAxis cols = MapStretchAxis(x, width, srcX, srcWidth, colLimit, target.dc->GetWidth());
    StretchAxis rows = MapStretchAxis(y, height, srcY, srcHeight, rowLimit, target.dc->GetHeight());
    // Rows are counted from the top of the source, and stored bottom first.
    for (int& r : rows.source)
        if (r >= 0)
            r = source.rows - 1 - r;
    StretchMapped(target, cols, rows, source, rop, pattern);
}

bool ClipStretchRects(StretchRects& r, int sourceWidth, int sourceHeight, int destWidth, int destHeight)
{
    if (r.width <= 0 || r.height <= 0 || r.srcWidth <= 0 || r.srcHeight <= 0)
        return false;
    r.srcWidth = std::min(r.srcWidth, sourceWidth - r.srcX);
    r.srcHeight = std::min(r.srcHeight, sourceHeight - r.srcY);
    r.width = std::min(r.width, destWidth - r.x);
    r.height = std::min(r.height, destHeight - r.y);
    return r.width > 0 && r.height > 0 && r.srcWidth > 0 && r.srcHeight > 0;
}

namespace {

// The colour bytes of a row and an opaque mask row, over pixels whose fourth
// bytes are 0; written around the cache, as nothing reads them again soon.
#if defined(__x86_64__)
__attribute__((target("avx2"))) void StreamOpaqueRowAvx2(const std::uint32_t* from, std::uint32_t* to,
                                                         std::uint32_t* mask, int count)
{
    int i = 0;
    for (; i < count && (reinterpret_cast<std::uintptr_t>(to + i) & 31) != 0; ++i)
        to[i] = from[i] & 0x00FFFFFFu;
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    for (; i + 8 <= count; i += 8)
        _mm256_stream_si256(
            reinterpret_cast<__m256i*>(to + i),
            _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i)), colour));
    for (; i < count; ++i)
        to[i] = from[i] & 0x00FFFFFFu;
    i = 0;
    for (; i < count && (reinterpret_cast<std::uintptr_t>(mask + i) & 31) != 0; ++i)
        mask[i] = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(mask + i), _mm256_setzero_si256());
    for (; i < count; ++i)
        mask[i] = 0;
}

// The same over pixels already drawn on: their fourth bytes kept.
__attribute__((target("avx2"))) int KeepFourthRowAvx2(const std::uint32_t* from, std::uint32_t* to,
                                                      std::uint32_t* mask, int count)
{
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i fourth = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* t = reinterpret_cast<__m256i*>(to + i);
        auto* m = reinterpret_cast<__m256i*>(mask + i);
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i));
        _mm256_storeu_si256(
            t, _mm256_or_si256(_mm256_and_si256(_mm256_loadu_si256(t), fourth), _mm256_and_si256(s, colour)));
        _mm256_storeu_si256(m, _mm256_and_si256(_mm256_loadu_si256(m), fourth));
    }
    return i;
}
#endif

void WriteOpaqueRow(const std::uint32_t* __restrict from, std::uint32_t* __restrict to,
                    std::uint32_t* __restrict mask, int count, bool untouched)
{
#if defined(__x86_64__)
    const bool avx2 = FilterCpu::Avx2();
    if (untouched && avx2) {
        StreamOpaqueRowAvx2(from, to, mask, count);
        return;
    }
#endif
    int done = 0;
#if defined(__x86_64__)
    if (avx2)
        done = KeepFourthRowAvx2(from, to, mask, count);
#endif
    // Untouched pixels have fourth bytes 0, which the general form keeps.
    for (int i = done; i < count; ++i)
        to[i] = (to[i] & 0xFF000000u) | (from[i] & 0x00FFFFFFu);
    for (int i = done; i < count; ++i)
        mask[i] &= 0xFF000000u;
}

} // namespace

bool COpaqueStretch::Prepare(StretchRects r, const StretchSource& source, int destWidth, int destHeight)
{
    m_cols.clear();
    m_rows.clear();
    if (!source.bits || source.bpp != 32)
        return false;
    m_source = source;
    if (!ClipStretchRects(r, source.width, source.rows, destWidth, destHeight))
        return true;
    StretchAxis cols = MapStretchAxis(r.x, r.width, r.srcX, r.srcWidth, source.width, destWidth);
    StretchAxis rows = MapStretchAxis(r.y, r.height, r.srcY, r.srcHeight, source.rows, destHeight);
    auto outside = [](const StretchAxis& map) {
        return std::find(map.source.begin(), map.source.end(), -1) != map.source.end();
    };
    if (outside(cols) || outside(rows))
        return false;
    if (cols.source.empty())
        return true;
    m_colFirst = cols.first;
    m_rowFirst = rows.first;
    m_cols = std::move(cols.source);
    m_rows = std::move(rows.source);
    return true;
}

void COpaqueStretch::Draw(CImageDC& dest, CImageDC& destMask, int top, bool untouched) const
{
    const int n = static_cast<int>(m_cols.size());
    if (n == 0 || destMask.GetWidth() != dest.GetWidth() || destMask.GetHeight() != dest.GetHeight() ||
        m_colFirst + n > dest.GetWidth())
        return;
    const int rowEnd = m_rowFirst + static_cast<int>(m_rows.size());
    const int y0 = std::max(m_rowFirst, top);
    const int y1 = std::min(rowEnd, top + dest.GetHeight());
    // Each source row is gathered once, however many rows repeat it.
    std::vector<std::uint32_t> line(static_cast<std::size_t>(n));
    int gathered = -1;
    for (int y = y0; y < y1; ++y) {
        const int sr = m_rows[static_cast<std::size_t>(y - m_rowFirst)];
        if (sr != gathered) {
            const auto* srcRow = reinterpret_cast<const std::uint32_t*>(
                m_source.bits + static_cast<std::ptrdiff_t>(m_source.rows - 1 - sr) * m_source.stride);
            GatherPixels(srcRow, m_source.width, m_cols.data(), line.data(), n);
            gathered = sr;
        }
        WriteOpaqueRow(line.data(), dest.Row(y - top) + m_colFirst, destMask.Row(y - top) + m_colFirst, n,
                       untouched);
    }
#if defined(__x86_64__)
    if (untouched)
        _mm_sfence(); // the streamed rows are seen before anything reads them
#endif
}
