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
    m_width = std::max(m_descriptor.regionWidth, 0);
    BlurShape& sh = m_shape;
    sh = BlurShape{};
    sh.width = m_width;
    sh.half = m_half;
    sh.step = DivisorStep(m_radius);
    const int32_t boxes = (m_half - 1) / sh.step + 1;
    sh.centre = m_half / sh.step - boxes;
    sh.md = int64_t{boxes} * sh.step;
    sh.l = m_taps - int64_t{boxes - 1} * sh.step;
    sh.off = int64_t{m_taps} + sh.step;
    m_extLength = sh.off + m_width + m_half;

    // kernel, column sums and the step-d integrator over whole rows, the padded
    // lanes of one channel, their integrator and outputs, small-kernel sums and
    // output row, and the corrected sums of each lane
    const uint64_t w = static_cast<uint64_t>(m_width);
    int32_t samples = 0, bytes = 0;
    DecodeFormat(m_descriptor.format, &samples, &bytes);
    const uint64_t plane = w * static_cast<uint64_t>(std::max(samples * bytes, 1));
    const uint64_t lanes = kBlurLanes;
    const uint64_t kernelWords = (static_cast<uint64_t>(m_taps) + 1) / 2;
    const uint64_t words = kernelWords + plane + sh.step * plane +
                           lanes * static_cast<uint64_t>(m_extLength) + sh.step * lanes + w * lanes + plane +
                           plane + lanes * plane;
    if (words > (uint64_t{1} << 40))
        return UCF_ERR_NOMEMORY;
    auto* base = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(0, words * 4));
    if (!base)
        return UCF_ERR_NOMEMORY;
    std::memset(base, 0, words * 4);
    m_kernel = reinterpret_cast<int16_t*>(base);
    int32_t sum = 0;
    BuildKernel(m_radius, m_kernel, &sum);
    auto* words32 = reinterpret_cast<int32_t*>(base) + kernelWords;
    m_verticalB = words32;
    m_verticalA = m_verticalB + plane;
    m_ext = m_verticalA + sh.step * plane;
    m_acc = m_ext + lanes * m_extLength;
    m_laneOut = m_acc + sh.step * lanes;
    m_sums = reinterpret_cast<uint16_t*>(m_laneOut + w * lanes);
    m_outRow = reinterpret_cast<uint8_t*>(m_sums + 2 * plane);
    m_laneSums = reinterpret_cast<int32_t*>(m_laneOut + w * lanes + 2 * plane);
    m_shape.norm = static_cast<uint32_t>(sum) * static_cast<uint32_t>(sum);
    m_shape.boxSum = sum - sh.centre;
    return UCF_OK;
}

const uint8_t* UCF_SGAUSS::Slot(int64_t t) const
{
    // Rows above the picture are row 0, which stays in slot 0 while they are reached.
    return m_ring + (t < 0 ? 0 : t % m_ringRows) * m_rowSize;
}

int32_t UCF_SGAUSS::LoadNextRow(const FilterJob& job, int64_t t)
{
    const int64_t rowSize = m_rowSize;
    uint8_t* slot = m_ring + (t % m_ringRows) * rowSize;
    const int64_t wanted = std::min(t, m_totalRows - 1);
    if (wanted < m_nextSourceRow) { // past the bottom: the last row again
        std::memcpy(slot, Slot(t - 1), static_cast<size_t>(rowSize));
        return UCF_OK;
    }
    if (m_sourceRowsLeft < 1 || !m_sourceRow)
        return UCF_ERR_NOMORELINES;
    (void)job;
    std::memcpy(slot, m_sourceRow, static_cast<size_t>(rowSize));
    m_sourceRow += m_sourceRowBytes;
    --m_sourceRowsLeft;
    ++m_nextSourceRow;
    return UCF_OK;
}

void UCF_SGAUSS::VerticalStep(int64_t t)
{
    const int64_t plane = m_rowSize;
    BlurVerticalStep(Slot(t), Slot(t - m_shape.md), Slot(t - m_shape.l), Slot(t - m_shape.off),
                     m_verticalA + (t % m_shape.step) * plane, m_verticalB, plane);
}

int32_t UCF_SGAUSS::PrepareApply()
{
    const int64_t ringRows = int64_t{m_taps} + m_shape.step + 1;
    int32_t samples = 0, sampleBytes = 0;
    DecodeFormat(m_descriptor.format, &samples, &sampleBytes);
    m_rowSize = int64_t{m_width} * std::max(samples * sampleBytes, 1);
    const uint64_t bytes = static_cast<uint64_t>(ringRows) * static_cast<uint64_t>(m_rowSize);
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
    if (job.source.regionWidth != m_width || int64_t{m_width} * job.source.bytesPerPixel != m_rowSize)
        return UCF_ERR_BADPARAM;
    m_index[0] = job.source.red;
    m_index[1] = job.source.green;
    m_index[2] = job.source.blue;
    m_shape.colour = m_channels == 3 && !m_truncateColour;
    const uint64_t divisor = m_shape.colour ? 2 * uint64_t{m_shape.norm} : m_shape.norm;
    m_shape.inverse = InverseRoundedUp(divisor);
    // Kernels whose sums outgrow 16 bits take the recursive path, exact for any radius.
    m_direct = m_taps <= 7 && BlurMakeDivider(m_shape.norm, m_shape.colour, &m_divider);
    m_totalRows = m_descriptor.regionHeight;
    m_outputRows = 0;
    m_firstStripDone = 0;
    m_lanes = 0;
    if (m_totalRows < 1 || m_width < 1)
        return UCF_OK;
    m_sourceRow = job.source.pixels;
    m_sourceRowsLeft = job.source.regionHeight;
    m_sourceRowBytes = job.source.rowBytes;
    m_nextSourceRow = 0;

    // Rows above the picture repeat row 0, so both integrators start settled.
    const int64_t plane = m_rowSize;
    if (int32_t rc = LoadNextRow(job, 0))
        return rc;
    std::memset(m_verticalA, 0, static_cast<size_t>(m_shape.step * plane) * 4);
    for (int64_t i = 0; i < plane; ++i)
        m_verticalB[i] = m_shape.boxSum * m_ring[i];
    m_t = 0;
    for (int64_t t = 1; t < m_half; ++t) {
        if (int32_t rc = LoadNextRow(job, t))
            return rc;
        if (!m_direct)
            VerticalStep(t);
        m_t = t;
    }
    return UCF_OK;
}

int32_t UCF_SGAUSS::FinishRow(const FilterJob&, uint8_t*, const uint8_t*, int64_t)
{
    return UCF_OK;
}

int32_t UCF_SGAUSS::RowDone()
{
    ++m_rowCounter;
    const int64_t total = m_descriptor.regionHeight > 0 ? m_descriptor.regionHeight : 1;
    return ReportProgress(static_cast<int32_t>(m_rowCounter * 100 / total)) ? UCF_ERR_CANCELLED : UCF_OK;
}

int32_t UCF_SGAUSS::WriteDirect(const FilterJob& job, uint8_t* row)
{
    const PixelLayout& d = job.destination;
    const uint8_t* rows[7];
    for (int32_t k = 0; k < m_taps; ++k)
        rows[k] = Slot(m_t - 2 * m_half + k);
    BlurDirectVertical(rows, m_kernel, m_taps, m_rowSize, m_sums);
    // Without alpha the row is written straight into the destination.
    uint8_t* out = d.alpha < 0 ? row : m_outRow;
    BlurDirectHorizontal(m_sums, m_kernel, m_taps, m_width, d.bytesPerPixel, m_divider, out);
    if (d.alpha >= 0)
        BlurWriteRow(m_outRow, m_width, d.bytesPerPixel, d.alpha, row);
    if (int32_t rc = FinishRow(job, row, Slot(m_t - m_half), m_outputRows - 1))
        return rc;
    return RowDone();
}

int32_t UCF_SGAUSS::FlushLanes(const FilterJob& job)
{
    if (m_lanes == 0)
        return UCF_OK;
    const int32_t step = job.destination.bytesPerPixel;
    for (int32_t c = 0; c < m_channels; ++c) {
        const int32_t* rows[kBlurLanes];
        uint8_t* targets[kBlurLanes];
        for (int32_t lane = 0; lane < m_lanes; ++lane) {
            rows[lane] = m_laneSums + lane * m_rowSize + m_index[c];
            targets[lane] = m_laneRows[lane] + m_index[c];
        }
        BlurGatherLanes(rows, m_lanes, job.source.bytesPerPixel, m_shape, m_ext, m_extLength);
        BlurHorizontalLanes(m_ext, m_acc, m_laneOut, m_shape);
        BlurScatterLanes(m_laneOut, m_lanes, m_width, step, targets);
    }
    const int32_t lanes = m_lanes;
    m_lanes = 0;
    for (int32_t lane = 0; lane < lanes; ++lane) {
        if (int32_t rc = FinishRow(job, m_laneRows[lane], m_laneCentres[lane], m_laneIndex[lane]))
            return rc;
        if (int32_t rc = RowDone())
            return rc;
    }
    return UCF_OK;
}

int32_t UCF_SGAUSS::RunPass(const FilterJob& job)
{
    const PixelLayout& d = job.destination;
    if (d.regionWidth != m_width)
        return UCF_ERR_BADPARAM;
    // Samples go back to the places they came from.
    if (d.format != job.source.format)
        return UCF_ERR_FORMATMISMATCH;
    uint8_t* dstRow = d.pixels;
    for (int32_t row = 0; row < d.regionHeight && m_outputRows < m_totalRows; ++row) {
        const int64_t t = m_t + 1;
        if (int32_t rc = LoadNextRow(job, t))
            return rc;
        m_t = t;
        ++m_outputRows;
        if (m_direct) {
            if (int32_t rc = WriteDirect(job, dstRow))
                return rc;
        } else {
            VerticalStep(t);
            BlurCentreRow(m_verticalB, Slot(t - m_half), m_shape.centre, m_rowSize,
                          m_laneSums + m_lanes * m_rowSize);
            m_laneCentres[m_lanes] = Slot(t - m_half);
            m_laneIndex[m_lanes] = m_outputRows - 1;
            m_laneRows[m_lanes++] = dstRow;
            if (m_lanes == kBlurLanes)
                if (int32_t rc = FlushLanes(job))
                    return rc;
        }
        dstRow += d.rowBytes;
    }
    return FlushLanes(job);
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
    m_kernel = nullptr;
    m_verticalA = m_verticalB = m_ext = m_acc = m_laneOut = nullptr;
    m_sums = nullptr;
    m_outRow = nullptr;
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateSgaussFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_SGAUSS(owner));
}
