#include "UCF_RESIZE.h"

#include "CubicTable.h"
#include "FilterErrorCode.h"
#include "GeometricInfo.h"
#include "ResizeKernels.h"
#include "SampleAccess.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int32_t kAccumulatorPad = 3; // one entry before the first column, two after the last

uint8_t Clamp8(int32_t v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

} // namespace

UCF_RESIZE::UCF_RESIZE(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_RESIZE::~UCF_RESIZE() = default;

int32_t UCF_RESIZE::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                            FilterInfo* info)
{
    if (parameterSize != 8 || !parameters)
        return UCF_ERR_BADPARAM;
    FillGeometricInfo(info, "Resizing FILTER");
    int32_t mode;
    std::memcpy(&mode, parameters, 4);
    if (mode == 1 && source) {
        int32_t samples = 0, bytes = 0;
        DecodeFormat(source->format, &samples, &bytes);
        const int64_t w = source->regionWidth;
        info->workBytes += w + 4 * ((w + 3) * samples + w);
    }
    return UCF_OK;
}

int32_t UCF_RESIZE::Mode() const
{
    int32_t mode = -1;
    if (m_parameters)
        std::memcpy(&mode, m_parameters, 4);
    return mode;
}

// Sizes of zero have no scale, and the bicubic column map divides by the
// destination size minus one.
int32_t UCF_RESIZE::CheckGeometry(const PixelLayout& s, const PixelLayout& d) const
{
    if (!d.pixels || !s.pixels)
        return UCF_ERR_GEOMETRY;
    if (s.regionWidth < 1 || s.regionHeight < 1 || d.regionWidth < 1 || d.regionHeight < 1)
        return UCF_ERR_GEOMETRY;
    if (Mode() == 1 && (d.regionWidth < 2 || d.regionHeight < 2))
        return UCF_ERR_GEOMETRY;
    if (s.format != d.format)
        return UCF_ERR_FORMATMISMATCH;
    return UCF_OK;
}

int32_t UCF_RESIZE::BeginApply()
{
    if (Mode() != 1)
        return UCF_OK;
    PixelLayout s, d;
    if (int32_t rc = DecodeSourceAndDestination(&s, &d))
        return rc;
    if (int32_t rc = CheckGeometry(s, d))
        return rc;
    const uint64_t ws = static_cast<uint64_t>(s.regionWidth);
    const uint64_t wd = static_cast<uint64_t>(d.regionWidth);
    const uint64_t bytes = (ws + kAccumulatorPad) * s.samples * 4 + wd * 5;
    auto* buffer = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(0, bytes));
    if (!buffer)
        return UCF_ERR_NOMEMORY;
    m_accumulator = reinterpret_cast<int32_t*>(buffer);
    m_columns = reinterpret_cast<int32_t*>(buffer + (ws + kAccumulatorPad) * s.samples * 4);
    m_phases = buffer + (ws + kAccumulatorPad) * s.samples * 4 + wd * 4;
    const int64_t span = s.regionWidth - 1;
    const int64_t steps = d.regionWidth - 1;
    for (int64_t i = 0; i < d.regionWidth; ++i) {
        m_columns[i] = static_cast<int32_t>(i * span / steps);
        m_phases[i] = static_cast<uint8_t>((i * span * 64 / steps) % 64);
    }
    return UCF_OK;
}

int32_t UCF_RESIZE::ApplyStrip()
{
    PixelLayout s, d;
    if (int32_t rc = DecodePixelFormat(m_source, &s))
        return rc;
    if (!m_destination || !m_destination->pixels)
        return UCF_ERR_GEOMETRY;
    if (int32_t rc = DecodePixelFormat(m_destination, &d))
        return rc;
    const int32_t mode = Mode();
    if (mode < 0 || mode > 2)
        return UCF_ERR_BADPARAM;
    if (int32_t rc = CheckGeometry(s, d))
        return rc;
    switch (mode) {
    case 0:
        return Bilinear(s, d);
    case 1:
        return m_accumulator ? Bicubic(s, d) : UCF_ERR_NOBUFFER;
    default:
        return AreaAverage(s, d);
    }
}

int32_t UCF_RESIZE::EndApply()
{
    m_owner->FreeWorkBuffer(0);
    m_columns = nullptr;
    m_phases = nullptr;
    m_accumulator = nullptr;
    return UCF_OK;
}

namespace {

// One destination row of the bilinear kernel; the two weighted halves are
// truncated separately, as the vertical blend of two horizontal blends.
template <int BPP>
void BilinearRow8(const uint8_t* top, const uint8_t* bottom, uint8_t* out, int32_t width, const int32_t* cols,
                  const int32_t* rights, const int32_t* fxs, int32_t fy, const ColourSamples& cs)
{
    const int32_t wy0 = 1024 - fy;
    for (int32_t i = 0; i < width; ++i) {
        const int32_t fx = fxs[i];
        const int32_t wx0 = 1024 - fx;
        const uint8_t* p = top + cols[i] * BPP;
        const uint8_t* r = top + rights[i] * BPP;
        const uint8_t* b = bottom + cols[i] * BPP;
        const uint8_t* br = bottom + rights[i] * BPP;
        uint8_t* o = out + int64_t{i} * BPP;
        for (int32_t k = 0; k < cs.count; ++k) {
            const int32_t c = cs.offset[k];
            const uint32_t ht = static_cast<uint32_t>(p[c] * wx0 + r[c] * fx);
            const uint32_t hb = static_cast<uint32_t>(b[c] * wx0 + br[c] * fx);
            o[c] = static_cast<uint8_t>(((hb * fy) >> 20) + ((ht * wy0) >> 20));
        }
    }
}

// The four-tap kernel reads one pixel before each column and two after it:
// the row's first pixel is repeated before it and its last twice after it.
// The row's sums start one pixel (spp entries) into the accumulator.
template <class Sum> void PadRowEdges(Sum* accumulator, int64_t n, int32_t spp)
{
    Sum* a = accumulator + spp;
    for (int32_t c = 0; c < spp; ++c) {
        accumulator[c] = a[c];
        a[n + c] = a[n - spp + c];
        a[n + spp + c] = a[n - spp + c];
    }
}

} // namespace

int32_t UCF_RESIZE::Bilinear(const PixelLayout& s, const PixelLayout& d)
{
    const int64_t ystep = int64_t{s.regionHeight} * 1024 / d.regionHeight;
    const int64_t xstep = int64_t{s.regionWidth} * 1024 / d.regionWidth;
    std::vector<int32_t> cols(static_cast<size_t>(d.regionWidth)), rights(cols.size()), fxs(cols.size());
    for (int64_t i = 0; i < d.regionWidth; ++i) {
        const int64_t x = i * xstep;
        cols[i] = static_cast<int32_t>(std::min<int64_t>(x >> 10, s.regionWidth - 1));
        rights[i] = std::min(cols[i] + 1, s.regionWidth - 1);
        fxs[i] = static_cast<int32_t>(x & 1023);
    }
    const ColourSamples cs = ColourSamplesOf(s);
    const bool swap = s.byteSwap16 != 0;
    OutputRows out(*this);
    if (s.bytesPerPixel == 4 && s.bytesPerSample == 1) {
        uint32_t keep = 0;
        if (s.alpha >= 0)
            keep = uint32_t{0xFF} << (8 * s.alpha);
        const BilinearRows4 rows(cols, rights, fxs, s.regionWidth, keep);
        for (int64_t j = 0; j < d.regionHeight && out.Row(); ++j) {
            const int64_t y = j * ystep;
            const int64_t row = std::min<int64_t>(y >> 10, s.regionHeight - 1);
            const uint8_t* top = s.pixels + row * s.rowBytes;
            const uint8_t* bottom = row + 1 < s.regionHeight ? top + s.rowBytes : top;
            rows.Row(top, bottom, static_cast<int32_t>(y & 1023), out.Row());
            out.Advance();
        }
        out.Finish();
        return UCF_OK;
    }
    for (int64_t j = 0; j < d.regionHeight && out.Row(); ++j) {
        const int64_t y = j * ystep;
        const int64_t row = std::min<int64_t>(y >> 10, s.regionHeight - 1);
        const int32_t fy = static_cast<int32_t>(y & 1023);
        const uint8_t* top = s.pixels + row * s.rowBytes;
        const uint8_t* bottom = row + 1 < s.regionHeight ? top + s.rowBytes : top;
        uint8_t* o = out.Row();
        if (s.bytesPerSample == 1) {
            switch (s.bytesPerPixel) {
            case 4:
                BilinearRow8<4>(top, bottom, o, d.regionWidth, cols.data(), rights.data(), fxs.data(), fy,
                                cs);
                break;
            case 3:
                BilinearRow8<3>(top, bottom, o, d.regionWidth, cols.data(), rights.data(), fxs.data(), fy,
                                cs);
                break;
            default:
                BilinearRow8<1>(top, bottom, o, d.regionWidth, cols.data(), rights.data(), fxs.data(), fy,
                                cs);
                break;
            }
        } else {
            const int32_t bpp = s.bytesPerPixel;
            for (int32_t i = 0; i < d.regionWidth; ++i) {
                const int64_t fx = fxs[i];
                const int64_t wP = (1024 - fx) * (1024 - fy), wR = fx * (1024 - fy);
                const int64_t wB = (1024 - fx) * fy, wBR = fx * fy;
                for (int32_t k = 0; k < cs.count; ++k) {
                    const int32_t c = cs.offset[k];
                    auto at = [&](const uint8_t* r, int32_t col) {
                        return int64_t{Load16(r + col * bpp + c, swap)};
                    };
                    const int64_t v = ((at(bottom, rights[i]) * wBR + at(bottom, cols[i]) * wB) >> 20) +
                                      ((at(top, cols[i]) * wP + at(top, rights[i]) * wR) >> 20);
                    Store16(o + int64_t{i} * bpp + c, static_cast<uint32_t>(v), swap);
                }
            }
        }
        out.Advance();
    }
    out.Finish();
    return UCF_OK;
}

int32_t UCF_RESIZE::Bicubic(const PixelLayout& s, const PixelLayout& d)
{
    const int32_t ws = s.regionWidth;
    const int32_t hs = s.regionHeight;
    const int32_t spp = s.samples;
    const int32_t bps = s.bytesPerSample;
    const bool swap = s.byteSwap16 != 0;
    const ColourSamples cs = ColourSamplesOf(s);
    const int64_t spanY = hs - 1;
    const int64_t stepsY = d.regionHeight - 1;
    std::vector<int64_t> acc64(bps == 2 ? static_cast<size_t>(ws + kAccumulatorPad) * spp : 0);
    OutputRows out(*this);
    for (int64_t j = 0; j < d.regionHeight && out.Row(); ++j) {
        const int64_t y = j * spanY / stepsY;
        const int32_t phase = static_cast<int32_t>((j * spanY * 64 / stepsY) % 64);
        const int16_t* cy = kCubicTable[phase];
        const uint8_t* rows[4];
        for (int k = 0; k < 4; ++k)
            rows[k] = s.pixels + Clamp64(y - 1 + k, 0, hs - 1) * s.rowBytes;
        uint8_t* o = out.Row();
        if (bps == 1) {
            // All samples of a row, alpha too: contiguous and cheap; alpha is never written.
            int32_t* a = m_accumulator + spp;
            const int64_t n = int64_t{ws} * spp;
            const int32_t c0 = cy[0], c1 = cy[1], c2 = cy[2], c3 = cy[3];
            for (int64_t i = 0; i < n; ++i)
                a[i] = c0 * rows[0][i] + c1 * rows[1][i] + c2 * rows[2][i] + c3 * rows[3][i];
            PadRowEdges(m_accumulator, n, spp);
            for (int32_t i = 0; i < d.regionWidth; ++i) {
                const int16_t* cx = kCubicTable[m_phases[i]];
                const int32_t* q = m_accumulator + int64_t{m_columns[i]} * spp; // entry x - 1
                uint8_t* px = o + int64_t{i} * spp;
                for (int32_t k = 0; k < cs.count; ++k) {
                    const int32_t c = cs.offset[k];
                    const int32_t v = cx[0] * q[c] + cx[1] * q[spp + c] + cx[2] * q[2 * spp + c] +
                                      cx[3] * q[3 * spp + c] + 0x80000;
                    px[c] = Clamp8(v >> 20);
                }
            }
        } else {
            int64_t* a = acc64.data() + spp;
            for (int64_t x = 0; x < ws; ++x)
                for (int32_t c = 0; c < spp; ++c) {
                    int64_t v = 0;
                    for (int k = 0; k < 4; ++k)
                        v += int64_t{cy[k]} * Load16(rows[k] + (x * spp + c) * 2, swap);
                    a[x * spp + c] = v;
                }
            const int64_t n = int64_t{ws} * spp;
            PadRowEdges(acc64.data(), n, spp);
            for (int32_t i = 0; i < d.regionWidth; ++i) {
                const int16_t* cx = kCubicTable[m_phases[i]];
                const int64_t* q = acc64.data() + int64_t{m_columns[i]} * spp;
                for (int32_t c = 0; c < spp; ++c) {
                    const int64_t v = (cx[0] * q[c] + cx[1] * q[spp + c] + cx[2] * q[2 * spp + c] +
                                       cx[3] * q[3 * spp + c] + 0x80000) >>
                                      20;
                    Store16(o + (int64_t{i} * spp + c) * 2, static_cast<uint32_t>(Clamp64(v, 0, 65535)),
                            swap);
                }
            }
        }
        out.Advance();
    }
    out.Finish();
    return UCF_OK;
}

int32_t UCF_RESIZE::AreaAverage(const PixelLayout& s, const PixelLayout& d)
{
    const int64_t ratioX = s.regionWidth / d.regionWidth;
    const int64_t ratioY = s.regionHeight / d.regionHeight;
    if (ratioX < 1 || ratioY < 1)
        return UCF_ERR_UNSUPPORTED;
    const int64_t xstep = int64_t{s.regionWidth} * 1024 / d.regionWidth;
    const int64_t ystep = int64_t{s.regionHeight} * 1024 / d.regionHeight;
    std::vector<int32_t> colStart(static_cast<size_t>(d.regionWidth)), colCount(colStart.size());
    int64_t end = 0;
    for (int64_t i = 0; i < d.regionWidth; ++i) {
        colStart[i] = static_cast<int32_t>(end);
        const int64_t next = i + 1 == d.regionWidth ? end + ratioX : (i * xstep + xstep) >> 10;
        colCount[i] = static_cast<int32_t>(std::max<int64_t>(next - end, 1));
        end = next;
    }
    // Exact reciprocals for the small box sizes of 8-bit samples.
    constexpr int32_t kMagicLimit = 4096;
    std::vector<uint64_t> magic(kMagicLimit);
    for (uint64_t k = 1; k < kMagicLimit; ++k)
        magic[k] = (uint64_t{1} << 32) / k + 1;

    const ColourSamples cs = ColourSamplesOf(s);
    const bool swap = s.byteSwap16 != 0;
    const int32_t bpp = s.bytesPerPixel;
    std::vector<uint64_t> sums(static_cast<size_t>(s.regionWidth) * bpp);
    OutputRows out(*this);
    for (int64_t j = 0; j < d.regionHeight && out.Row(); ++j) {
        const int64_t first = (j * ystep) >> 10;
        const int64_t rows = j + 1 == d.regionHeight ? ratioY : ((j * ystep + ystep) >> 10) - first;
        // Column sums over the row's box rows, then box sums along the row.
        std::fill(sums.begin(), sums.end(), 0);
        for (int64_t r = 0; r < rows; ++r) {
            const uint8_t* src = s.pixels + (first + r) * s.rowBytes;
            if (s.bytesPerSample == 1) {
                const int64_t n = int64_t{s.regionWidth} * bpp;
                for (int64_t i = 0; i < n; ++i)
                    sums[i] += src[i];
            } else {
                for (int64_t i = 0; i < int64_t{s.regionWidth} * s.samples; ++i)
                    sums[i] += Load16(src + 2 * i, swap);
            }
        }
        uint8_t* o = out.Row();
        for (int32_t i = 0; i < d.regionWidth; ++i) {
            const uint64_t count = static_cast<uint64_t>(rows) * colCount[i];
            if (s.bytesPerSample == 1) {
                const uint64_t* box = sums.data() + int64_t{colStart[i]} * bpp;
                for (int32_t k = 0; k < cs.count; ++k) {
                    const int32_t c = cs.offset[k];
                    uint64_t total = 0;
                    for (int32_t x = 0; x < colCount[i]; ++x)
                        total += box[x * bpp + c];
                    const uint64_t v = count < kMagicLimit ? (total * magic[count]) >> 32 : total / count;
                    o[int64_t{i} * bpp + c] = static_cast<uint8_t>(v);
                }
            } else {
                const uint64_t* box = sums.data() + int64_t{colStart[i]} * s.samples;
                for (int32_t c = 0; c < s.samples; ++c) {
                    uint64_t total = 0;
                    for (int32_t x = 0; x < colCount[i]; ++x)
                        total += box[x * s.samples + c];
                    Store16(o + (int64_t{i} * s.samples + c) * 2, static_cast<uint32_t>(total / count), swap);
                }
            }
        }
        out.Advance();
    }
    out.Finish();
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateResizeFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_RESIZE(owner));
}
