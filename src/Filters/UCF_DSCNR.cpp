#include "UCF_DSCNR.h"

#include "FilterErrorCode.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr char kName[] = "DSC Noize Reduction";
constexpr int32_t kBlockBytes = 8;
constexpr int32_t kTableBytes = 3 * 256 * 4;
// A window whose colour differences span no more than this counts as flat.
constexpr int32_t kFlatRange = 32;

int32_t ReadLevel(int32_t size, const void* parameters, int32_t* level)
{
    if (size != kBlockBytes || !parameters)
        return UCF_ERR_BADPARAM;
    std::memcpy(level, parameters, 4);
    return UCF_OK;
}

// Insertion sort: windows hold at most 81 values.
int32_t Median(int32_t* values, int32_t count)
{
    for (int32_t i = 1; i < count; ++i) {
        const int32_t v = values[i];
        int32_t j = i - 1;
        for (; j >= 0 && values[j] > v; --j)
            values[j + 1] = values[j];
        values[j + 1] = v;
    }
    return values[count / 2];
}

} // namespace

UCF_DSCNR::UCF_DSCNR(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_DSCNR::~UCF_DSCNR() = default;

int32_t UCF_DSCNR::HalfOfLevel(int32_t level)
{
    switch (level) {
    case 1:
        return 1;
    case 2:
        return 3;
    case 3:
        return 4;
    default:
        return -1;
    }
}

int32_t UCF_DSCNR::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                           FilterInfo* info)
{
    int32_t level = 0;
    if (int32_t rc = ReadLevel(parameterSize, parameters, &level))
        return rc;
    const int32_t half = HalfOfLevel(level);
    *info = FilterInfo{};
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 1;
    info->word17 = 1;
    info->formatMask = UCF_FORMATS_8BIT;
    info->overlap = half;
    int32_t samples = 0, bytes = 0;
    DecodeFormat(source ? source->format : 0, &samples, &bytes);
    const int64_t h = std::max(half, 0);
    const int64_t width = source ? std::max(source->regionWidth, 0) : 0;
    info->workBytes = kTableBytes + ((2 * h + width) * samples * 3 + 4) * (2 * h + 1);
    return UCF_OK;
}

void UCF_DSCNR::BackConvert(int32_t y, int32_t ry, int32_t by, uint8_t rgb[3])
{
    rgb[0] = static_cast<uint8_t>(std::clamp(y + ry, 0, 255));
    rgb[1] = static_cast<uint8_t>(std::clamp(y - ((ry * 32 + by * 12) >> 6), 0, 255));
    rgb[2] = static_cast<uint8_t>(std::clamp(y + by, 0, 255));
}

int32_t UCF_DSCNR::SmoothLuminance(const int32_t above[3], const int32_t centre[3], const int32_t below[3])
{
    const int32_t a = centre[0], b = centre[2], u = above[1], w = below[1];
    const int32_t d1 = std::abs(a - b + u - w);
    const int32_t d2 = std::abs(b - a + u - w);
    int32_t ys;
    if (d2 < d1 && d1 > 128)
        ys = (above[2] + below[0] + centre[1]) / 3;
    else if (d2 > d1 && d2 > 128)
        ys = (above[0] + below[2] + centre[1]) / 3;
    else
        ys = (above[0] + above[1] + above[2] + centre[0] + centre[2] + below[0] + below[1] + below[2] +
              24 * centre[1]) >>
             5;
    const int32_t yc = centre[1];
    // Gives yc back when ys = yc, so flat areas keep their luminance.
    return ((ys * yc + 128) / 255 - ((255 - ys) * (255 - yc) + 128) / 255 + 256) >> 1;
}

int32_t UCF_DSCNR::BeginApply()
{
    const FilterContext* context = m_owner->GetContext();
    if (int32_t rc = ReadLevel(context ? context->parameterSize : 0, m_parameters, &m_level))
        return rc;
    m_half = HalfOfLevel(m_level);
    if (m_half < 0)
        return UCF_ERR_BADPARAM;
    m_taps = 2 * m_half + 1;
    m_width = std::max(m_descriptor.regionWidth, 0);
    m_padded = int64_t{m_width} + 2 * m_half;
    auto* tables = static_cast<int32_t*>(m_owner->AllocWorkBuffer(0, kTableBytes));
    if (!tables)
        return UCF_ERR_NOMEMORY;
    for (int32_t i = 0; i < 256; ++i) {
        tables[i] = 38 * i;
        tables[256 + i] = 76 * i;
        tables[512 + i] = 14 * i;
    }
    m_tables = tables;
    return UCF_OK;
}

const int32_t* UCF_DSCNR::RingRow(int64_t row) const
{
    // Rows past either edge repeat the edge row, which the ring still holds.
    row = std::clamp<int64_t>(row, 0, m_totalRows - 1);
    return m_ring + (row % m_taps) * m_padded * 3;
}

int32_t UCF_DSCNR::LoadNextRow()
{
    if (m_sourceRowsLeft < 1 || !m_sourceRow)
        return UCF_ERR_NOMORELINES;
    int32_t* slot = m_ring + (m_loaded % m_taps) * m_padded * 3;
    const uint8_t* p = m_sourceRow;
    int32_t* t = slot + 3 * int64_t{m_half};
    for (int32_t x = 0; x < m_width; ++x, p += m_sourceStep, t += 3) {
        const int32_t r = p[m_index[0]], g = p[m_index[1]], b = p[m_index[2]];
        const int32_t y = (m_tables[r] + m_tables[256 + g] + m_tables[512 + b]) >> 7;
        t[0] = y;
        t[1] = r - y;
        t[2] = b - y;
    }
    for (int32_t k = 0; k < m_half; ++k) {
        std::memcpy(slot + 3 * k, slot + 3 * m_half, 3 * sizeof(int32_t));
        std::memcpy(slot + 3 * (m_half + m_width + k), slot + 3 * (m_half + m_width - 1),
                    3 * sizeof(int32_t));
    }
    m_sourceRow += m_sourceRowBytes;
    --m_sourceRowsLeft;
    ++m_loaded;
    return UCF_OK;
}

int32_t UCF_DSCNR::PrepareApply()
{
    const uint64_t ringBytes = static_cast<uint64_t>(m_taps) * static_cast<uint64_t>(m_padded) * 3 * 4;
    const uint64_t windowBytes = static_cast<uint64_t>(m_taps) * m_taps * 4;
    const uint64_t bytes = ringBytes + windowBytes + 3 * static_cast<uint64_t>(m_width) + 4;
    auto* base = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(5, bytes));
    if (!base)
        return UCF_ERR_NOMEMORY;
    m_ring = reinterpret_cast<int32_t*>(base);
    m_window = reinterpret_cast<int32_t*>(base + ringBytes);
    m_outRow = base + ringBytes + windowBytes;
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, nullptr, &job))
        return rc;
    if (!(job.source.format & UCF_FORMATS_8BIT))
        return UCF_ERR_UNSUPPORTED;
    if (job.source.regionWidth != m_width)
        return UCF_ERR_BADPARAM;
    m_index[0] = job.source.red;
    m_index[1] = job.source.green;
    m_index[2] = job.source.blue;
    m_sourceStep = job.source.bytesPerPixel;
    m_totalRows = m_descriptor.regionHeight;
    m_loaded = 0;
    m_outputRows = 0;
    m_firstStripDone = false;
    if (m_totalRows < 1 || m_width < 1)
        return UCF_OK;
    m_sourceRow = job.source.pixels;
    m_sourceRowsLeft = job.source.regionHeight;
    m_sourceRowBytes = job.source.rowBytes;
    // Rows above the picture are row 0; an image shorter than the window stops early.
    for (int32_t k = 0; k < m_half && m_loaded < m_totalRows; ++k)
        if (int32_t rc = LoadNextRow())
            return rc;
    return UCF_OK;
}

void UCF_DSCNR::RunKernel(int64_t row)
{
    const int32_t* above = RingRow(row - 1);
    const int32_t* centre = RingRow(row);
    const int32_t* below = RingRow(row + 1);
    const int32_t h = m_half;
    const int32_t count = m_taps * m_taps;
    for (int32_t x = 0; x < m_width; ++x) {
        const int64_t c = int64_t{x} + h; // padded column of the centre
        const int32_t ya[3] = {above[3 * (c - 1)], above[3 * c], above[3 * (c + 1)]};
        const int32_t yc[3] = {centre[3 * (c - 1)], centre[3 * c], centre[3 * (c + 1)]};
        const int32_t yb[3] = {below[3 * (c - 1)], below[3 * c], below[3 * (c + 1)]};
        const int32_t y = SmoothLuminance(ya, yc, yb);
        int32_t difference[2];
        for (int32_t k = 0; k < 2; ++k) {
            int32_t low = 1 << 30, high = -(1 << 30), sum = 0, n = 0;
            for (int64_t r = row - h; r <= row + h; ++r) {
                const int32_t* t = RingRow(r) + 3 * x + 1 + k;
                for (int32_t dx = 0; dx < m_taps; ++dx, t += 3) {
                    low = std::min(low, *t);
                    high = std::max(high, *t);
                    sum += *t;
                    m_window[n++] = *t;
                }
            }
            if (m_level == 1 && high - low <= kFlatRange)
                difference[k] = sum / count;
            else
                difference[k] = Median(m_window, count);
        }
        BackConvert(y, difference[0], difference[1], m_outRow + 3 * x);
    }
}

int32_t UCF_DSCNR::ApplyStrip()
{
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, m_destination, &job))
        return rc;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (!(s.format & UCF_FORMATS_8BIT))
        return UCF_ERR_UNSUPPORTED;
    if (d.regionWidth != s.regionWidth || s.regionWidth != m_width)
        return UCF_ERR_GEOMETRY;
    if (d.format != s.format)
        return UCF_ERR_FORMATMISMATCH;
    if (!m_ring || !m_tables)
        return UCF_ERR_NOBUFFER;
    if (m_totalRows < 1 || m_width < 1)
        return UCF_OK;
    if (m_firstStripDone) {
        m_sourceRow = s.pixels;
        m_sourceRowsLeft = s.regionHeight;
        m_sourceRowBytes = s.rowBytes;
    }
    m_firstStripDone = true;
    uint8_t* dstRow = d.pixels;
    for (int32_t r = 0; r < d.regionHeight && m_outputRows < m_totalRows; ++r, dstRow += d.rowBytes) {
        const int64_t needed = std::min(m_outputRows + m_half, m_totalRows - 1);
        while (m_loaded <= needed)
            if (int32_t rc = LoadNextRow())
                return rc;
        RunKernel(m_outputRows);
        uint8_t* p = dstRow;
        const uint8_t* o = m_outRow;
        for (int32_t x = 0; x < m_width; ++x, p += d.bytesPerPixel, o += 3) {
            p[d.red] = o[0];
            p[d.green] = o[1];
            p[d.blue] = o[2];
        }
        ++m_outputRows;
    }
    return UCF_OK;
}

int32_t UCF_DSCNR::EndApply()
{
    m_owner->FreeWorkBuffer(0);
    m_owner->FreeWorkBuffer(5);
    m_tables = nullptr;
    m_ring = nullptr;
    m_window = nullptr;
    m_outRow = nullptr;
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateDscnrFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_DSCNR(owner));
}
