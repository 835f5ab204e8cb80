#include "UCF_SGAUSS.h"

#include "FilterErrorCode.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

// The kernel rises by one every d taps, so it is a sum of nested boxes. Each
// pass runs as two integrators over a four-tap difference (taps 0, M*d, L and
// n + d), which costs the same for every radius and gives exactly the sums of
// the weighted taps: all arithmetic is on integers.

namespace {

constexpr char kName[] = "Super Gaussian FILTER";
constexpr int32_t kMaxRadius = 1 << 20;

int32_t DivisorStep(int32_t radius)
{
    if (radius <= 4)
        return 1;
    if (radius <= 18)
        return 2;
    if (radius <= 29)
        return 3;
    return 5;
}

// Smallest double not below 1 / divisor: multiplying by it and truncating
// gives the exact integer quotient for the numerators a blur can produce.
double InverseRoundedUp(uint64_t divisor)
{
    return std::nextafter(1.0 / static_cast<double>(divisor), std::numeric_limits<double>::infinity());
}

int32_t ReadRadius(int32_t parameterSize, const void* parameters, int32_t* radius, int32_t* second)
{
    if (parameterSize != 8 || !parameters)
        return UCF_ERR_BADPARAM;
    int32_t words[2];
    std::memcpy(words, parameters, sizeof(words));
    if (words[0] < 2 || words[0] > kMaxRadius)
        return UCF_ERR_BADPARAM;
    *radius = words[0];
    *second = words[1];
    return UCF_OK;
}

} // namespace

UCF_SGAUSS::UCF_SGAUSS(UtilFilter* owner) : UCFilter(owner)
{
}

int32_t UCF_SGAUSS::BuildKernel(int32_t radius, int16_t* weights, int32_t* sum)
{
    const int32_t half = radius - 1;
    const int32_t taps = 2 * half + 1;
    const int32_t d = DivisorStep(radius);
    int32_t s = 0;
    for (int32_t i = 0; i < half; ++i) {
        weights[i] = weights[taps - 1 - i] = static_cast<int16_t>(i / d + 1);
        s += 2 * (i / d + 1);
    }
    weights[half] = static_cast<int16_t>(half / d);
    *sum = s + half / d;
    return taps;
}

int32_t UCF_SGAUSS::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                            FilterInfo* info)
{
    int32_t radius = 0, second = 0;
    if (int32_t rc = ReadRadius(parameterSize, parameters, &radius, &second))
        return rc;
    *info = FilterInfo{};
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 3;
    info->word17 = 1;
    info->formatMask = UCF_FORMATS_8BIT;
    info->overlap = radius - 1;
    const int64_t n = 2 * int64_t{radius} - 1;
    const int64_t w = (source ? int64_t{source->regionWidth} : 0) + 2 * (int64_t{radius} - 1);
    info->workBytes = (3 * w + 4) * n + (n + 6 * w) * 2;
    return UCF_OK;
}

int32_t UCF_SGAUSS::BeginApply()
{
    if (int32_t rc = ReadRadius(8, m_parameters, &m_radius, &m_second))
        return rc;
    m_half = m_radius - 1;
    m_taps = 2 * m_half + 1;
    m_step = DivisorStep(m_radius);
    m_boxes = (m_half - 1) / m_step + 1;
    m_centre = m_half / m_step - m_boxes;
    m_width = std::max(m_descriptor.regionWidth, 0);
    m_extLength = int64_t{m_taps} + m_step + m_width + m_half;

    // kernel, column sums (3 channels), step-d integrator, padded row, horizontal integrator
    const uint64_t kernelBytes = (static_cast<uint64_t>(m_taps) * 2 + 3) & ~uint64_t{3};
    const uint64_t plane = 3 * static_cast<uint64_t>(m_width);
    const uint64_t words = plane + m_step * plane + 3 * static_cast<uint64_t>(m_extLength) + m_extLength;
    if (words > (uint64_t{1} << 40))
        return UCF_ERR_NOMEMORY;
    auto* base = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(0, kernelBytes + words * 4));
    if (!base)
        return UCF_ERR_NOMEMORY;
    auto* kernel = reinterpret_cast<int16_t*>(base);
    int32_t sum = 0;
    BuildKernel(m_radius, kernel, &sum);
    m_norm = static_cast<uint32_t>(sum) * static_cast<uint32_t>(sum);
    m_boxSum = sum - m_centre;
    m_verticalB = reinterpret_cast<int32_t*>(base + kernelBytes);
    m_verticalA = m_verticalB + plane;
    m_ext = m_verticalA + m_step * plane;
    m_acc = m_ext + 3 * m_extLength;
    return UCF_OK;
}

int32_t UCF_SGAUSS::LoadNextRow(const FilterJob& job, int64_t t)
{
    const int64_t rowSize = int64_t{m_channels} * m_width;
    uint8_t* slot = m_ring + (t % m_ringRows) * rowSize;
    const int64_t wanted = std::min(t, m_totalRows - 1);
    if (wanted < m_nextSourceRow) { // past the bottom: the last row again
        std::memcpy(slot, m_ring + ((t - 1) % m_ringRows) * rowSize, static_cast<size_t>(rowSize));
        return UCF_OK;
    }
    if (m_sourceRowsLeft < 1 || !m_sourceRow)
        return UCF_ERR_NOMORELINES;
    const PixelLayout& s = job.source;
    const int32_t index[3] = {s.red, s.green, s.blue};
    for (int32_t c = 0; c < m_channels; ++c) {
        const uint8_t* p = m_sourceRow + index[c];
        uint8_t* plane = slot + int64_t{c} * m_width;
        const int32_t step = s.bytesPerPixel;
        for (int32_t x = 0; x < m_width; ++x)
            plane[x] = p[int64_t{x} * step];
    }
    m_sourceRow += m_sourceRowBytes;
    --m_sourceRowsLeft;
    ++m_nextSourceRow;
    return UCF_OK;
}

int32_t UCF_SGAUSS::PrepareApply()
{
    const int64_t ringRows = int64_t{m_taps} + m_step + 1;
    const uint64_t bytes = static_cast<uint64_t>(ringRows) * 3 * static_cast<uint64_t>(m_width);
    m_ring = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(5, bytes));
    if (!m_ring)
        return UCF_ERR_NOMEMORY;
    m_ringRows = static_cast<int32_t>(ringRows);
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, nullptr, &job))
        return rc;
    const int32_t format = job.source.format;
    if (format == UCF_FMT_GRAY8)
        m_channels = 1;
    else if (format & (UCF_FMT_RGB24 | UCF_FMT_BGR24 | UCF_FMT_BGRA32 | UCF_FMT_ARGB32))
        m_channels = 3;
    else
        return UCF_ERR_UNSUPPORTED;
    if (job.source.regionWidth != m_width)
        return UCF_ERR_BADPARAM;
    m_totalRows = m_descriptor.regionHeight;
    m_outputRows = 0;
    m_firstStripDone = 0;
    if (m_totalRows < 1 || m_width < 1)
        return UCF_OK;
    m_sourceRow = job.source.pixels;
    m_sourceRowsLeft = job.source.regionHeight;
    m_sourceRowBytes = job.source.rowBytes;
    m_nextSourceRow = 0;

    // Rows above the picture repeat row 0, so both integrators start settled.
    const int64_t plane = int64_t{m_channels} * m_width;
    if (int32_t rc = LoadNextRow(job, 0))
        return rc;
    std::memset(m_verticalA, 0, static_cast<size_t>(m_step * plane) * 4);
    for (int64_t i = 0; i < plane; ++i)
        m_verticalB[i] = m_boxSum * m_ring[i];
    m_t = 0;
    for (int64_t t = 1; t < m_half; ++t) {
        if (int32_t rc = LoadNextRow(job, t))
            return rc;
        const int64_t rowSize = plane;
        auto slot = [&](int64_t k) { return m_ring + (k < 0 ? 0 : k % m_ringRows) * rowSize; };
        const uint8_t* s0 = slot(t);
        const uint8_t* s1 = slot(t - int64_t{m_boxes} * m_step);
        const uint8_t* s2 = slot(t - (m_taps - int64_t{m_boxes - 1} * m_step));
        const uint8_t* s3 = slot(t - m_taps - m_step);
        int32_t* a = m_verticalA + (t % m_step) * plane;
        for (int64_t i = 0; i < plane; ++i) {
            a[i] += int32_t{s0[i]} - s1[i] - s2[i] + s3[i];
            m_verticalB[i] += a[i];
        }
        m_t = t;
    }
    return UCF_OK;
}

void UCF_SGAUSS::Horizontal(int32_t* ext, int32_t* acc, uint8_t* out, int32_t outStep, bool colour) const
{
    const int64_t off = int64_t{m_taps} + m_step;
    const int64_t md = int64_t{m_boxes} * m_step;
    const int64_t l = m_taps - int64_t{m_boxes - 1} * m_step;
    const int64_t end = off + m_width + m_half; // exclusive
    for (int64_t e = 0; e <= off; ++e)
        acc[e] = 0;
    int64_t b = int64_t{m_boxSum} * ext[off];
    const int32_t d = m_step;
    const int32_t half = m_half;
    const int32_t centre = m_centre;
    const double inverse = m_inverse;
    const uint64_t norm = m_norm;
    for (int64_t e = off + 1; e < end; ++e) {
        const int32_t u = ext[e] - ext[e - md] - ext[e - l] + ext[e - off];
        acc[e] = acc[e - d] + u;
        b += acc[e];
        if (e - off >= half) {
            const int64_t x = e - off - half;
            const int64_t v = b + int64_t{centre} * ext[off + x];
            const double num =
                colour ? static_cast<double>(2 * static_cast<uint64_t>(v) + norm) : static_cast<double>(v);
            out[x * outStep] = static_cast<uint8_t>(static_cast<uint32_t>(num * inverse));
        }
    }
}

int32_t UCF_SGAUSS::RunPass(const FilterJob& job)
{
    const PixelLayout& d = job.destination;
    const int64_t plane = int64_t{m_channels} * m_width;
    const int64_t off = int64_t{m_taps} + m_step;
    const int64_t md = int64_t{m_boxes} * m_step;
    const int64_t l = m_taps - int64_t{m_boxes - 1} * m_step;
    const bool colour = m_channels == 3;
    m_inverse = colour ? InverseRoundedUp(2 * uint64_t{m_norm}) : InverseRoundedUp(m_norm);
    const int32_t dstIndex[3] = {d.red, d.green, d.blue};
    const int32_t width = std::min(m_width, d.regionWidth);
    uint8_t* dstRow = d.pixels;
    auto slot = [&](int64_t k) { return m_ring + (k < 0 ? 0 : k % m_ringRows) * plane; };

    for (int32_t row = 0; row < d.regionHeight && m_outputRows < m_totalRows; ++row) {
        const int64_t t = m_t + 1;
        if (int32_t rc = LoadNextRow(job, t))
            return rc;
        const uint8_t* s0 = slot(t);
        const uint8_t* s1 = slot(t - md);
        const uint8_t* s2 = slot(t - l);
        const uint8_t* s3 = slot(t - off);
        int32_t* a = m_verticalA + (t % m_step) * plane;
        int32_t* b = m_verticalB;
        for (int64_t i = 0; i < plane; ++i) {
            a[i] += int32_t{s0[i]} - s1[i] - s2[i] + s3[i];
            b[i] += a[i];
        }
        m_t = t;
        const uint8_t* centreRow = slot(t - m_half);
        for (int32_t c = 0; c < m_channels; ++c) {
            int32_t* ext = m_ext + c * m_extLength;
            const int32_t* bc = b + int64_t{c} * m_width;
            const uint8_t* sc = centreRow + int64_t{c} * m_width;
            for (int32_t x = 0; x < m_width; ++x)
                ext[off + x] = bc[x] + m_centre * sc[x];
            std::fill(ext, ext + off, ext[off]);
            std::fill(ext + off + m_width, ext + m_extLength, ext[off + m_width - 1]);
            // Columns past the destination's width are computed but not written.
            if (width == m_width)
                Horizontal(ext, m_acc, dstRow + dstIndex[c], d.bytesPerPixel, colour);
            else
                return UCF_ERR_BADPARAM;
        }
        ++m_outputRows;
        ++m_rowCounter;
        dstRow += d.rowBytes;
        const int64_t total = m_descriptor.regionHeight > 0 ? m_descriptor.regionHeight : 1;
        if (ReportProgress(static_cast<int32_t>(m_rowCounter * 100 / total)))
            return UCF_ERR_CANCELLED;
    }
    return UCF_OK;
}

int32_t UCF_SGAUSS::ApplyStrip()
{
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, m_destination, &job))
        return rc;
    const int32_t format = job.source.format;
    if (!(format & UCF_FORMATS_8BIT) || (format == UCF_FMT_GRAY8) != (m_channels == 1))
        return UCF_ERR_UNSUPPORTED;
    if (m_totalRows < 1 || m_width < 1)
        return UCF_OK;
    if (job.source.regionWidth != m_width)
        return UCF_ERR_BADPARAM;
    if (m_firstStripDone) {
        m_sourceRow = job.source.pixels;
        m_sourceRowsLeft = job.source.regionHeight;
        m_sourceRowBytes = job.source.rowBytes;
    }
    const int32_t rc = RunPass(job);
    m_firstStripDone = 1;
    return rc;
}

int32_t UCF_SGAUSS::EndApply()
{
    m_owner->FreeWorkBuffer(0);
    m_owner->FreeWorkBuffer(5);
    m_ring = nullptr;
    m_verticalA = m_verticalB = m_ext = m_acc = nullptr;
    return UCF_OK;
}

UCFilter* CreateSgaussFilter(UtilFilter* owner)
{
    return new (std::nothrow) UCF_SGAUSS(owner);
}
