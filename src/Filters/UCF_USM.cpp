#include "UCF_USM.h"

#include "FilterErrorCode.h"
#include "SampleAccess.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

// The ring keeps each loaded row once, as packed samples padded by the half
// width k. For an output row the rows at distance dy above and below are
// first added (vertical pairs), then every coefficient multiplies the sum of
// the samples that share it: the same integer sums as the per-sample
// formula, in loops the compiler turns into vector multiply-adds.

namespace {

constexpr char kName[] = "Unsharp Mask FILTER";
constexpr int32_t kBlockBytes = 16;
constexpr int64_t kProductTableBytes = 15 * 1021 * 4;
constexpr int32_t kScratchBuffer = 0;
constexpr int32_t kRingBuffer = 5;
constexpr int64_t kAlign = 64;

struct Parameters
{
    int32_t radius = 0;
    int32_t amount = 0;
    int32_t threshold = 0;
    int32_t variant = 0;
};

Parameters ReadParameters(const void* block)
{
    Parameters p;
    int32_t words[4];
    std::memcpy(words, block, sizeof(words));
    // A negative radius would index below the kernel table.
    p.radius = std::clamp(words[0], 0, kUsmMaxRadius);
    p.amount = words[1];
    p.threshold = words[2];
    p.variant = words[3];
    return p;
}

int64_t AlignUp(int64_t n)
{
    return (n + kAlign - 1) / kAlign * kAlign;
}

// Weighted window sums of one row of outputs. v[dy] holds the sum of the rows
// dy above and below (the centre row itself for dy = 0), offset so that index
// j is the centre column of output sample j; c steps samples of neighbouring
// pixels.
template <int K, typename V, typename Acc>
void WindowSums(const V* const* rows, const int16_t* coefficients, int64_t c, int64_t count,
                Acc* __restrict acc)
{
    const V* v[K + 1];
    int16_t w[kUsmCoefficients];
    for (int32_t i = 0; i <= K; ++i)
        v[i] = rows[i];
    for (int32_t i = 0; i < kUsmCoefficients; ++i)
        w[i] = coefficients[i];
    for (int64_t j = 0; j < count; ++j) {
        Acc sum = Acc{w[0]} * Acc{v[0][j]};
        for (int32_t b = 1; b <= K; ++b) {
            const V g = static_cast<V>(v[0][j - b * c] + v[0][j + b * c] + v[b][j]);
            sum += Acc{w[UsmCoefficientIndex(0, b)]} * Acc{g};
        }
        for (int32_t a = 1; a <= K; ++a) {
            const V g = static_cast<V>(v[a][j - a * c] + v[a][j + a * c]);
            sum += Acc{w[UsmCoefficientIndex(a, a)]} * Acc{g};
            for (int32_t b = a + 1; b <= K; ++b) {
                const V h =
                    static_cast<V>(v[a][j - b * c] + v[a][j + b * c] + v[b][j - a * c] + v[b][j + a * c]);
                sum += Acc{w[UsmCoefficientIndex(a, b)]} * Acc{h};
            }
        }
        acc[j] = sum;
    }
}

template <typename V, typename Acc>
void WindowSumsOf(int32_t k, const V* const* rows, const int16_t* coefficients, int64_t c, int64_t count,
                  Acc* acc)
{
    switch (k) {
    case 1:
        return WindowSums<1>(rows, coefficients, c, count, acc);
    case 2:
        return WindowSums<2>(rows, coefficients, c, count, acc);
    case 3:
        return WindowSums<3>(rows, coefficients, c, count, acc);
    default:
        return WindowSums<4>(rows, coefficients, c, count, acc);
    }
}

// The sharpened samples: d = ((p - blur) x A) >> 7, reduced by the threshold
// and clamped. Wide is the type the difference is scaled in.
template <typename Wide, typename V, typename Acc, typename Out>
void Sharpen(const V* centre, const Acc* acc, int64_t count, int32_t shift, Wide amount, Wide threshold,
             Wide maximum, Out* __restrict out)
{
    for (int64_t j = 0; j < count; ++j) {
        const Wide p = static_cast<Wide>(centre[j]);
        const Wide blur = static_cast<Wide>(acc[j] >> shift);
        const Wide d = ((p - blur) * amount) >> 7;
        Wide o = p;
        if (d > threshold)
            o = p + d - threshold;
        else if (d < -threshold)
            o = p + d + threshold;
        out[j] = static_cast<Out>(o < 0 ? 0 : (o > maximum ? maximum : o));
    }
}

template <typename In, typename V>
void VerticalPairs(uint8_t* const* window, int32_t k, int64_t packed, V* const* sums)
{
    const auto* centre = reinterpret_cast<const In*>(window[k]);
    std::copy(centre, centre + packed, sums[0]);
    for (int32_t dy = 1; dy <= k; ++dy) {
        const auto* up = reinterpret_cast<const In*>(window[k - dy]);
        const auto* down = reinterpret_cast<const In*>(window[k + dy]);
        V* __restrict s = sums[dy];
        for (int64_t i = 0; i < packed; ++i)
            s[i] = static_cast<V>(up[i] + down[i]);
    }
}

} // namespace

UCF_USM::UCF_USM(UtilFilter* owner) : UCFilter(owner)
{
}

void UCF_USM::SetChainedFilter(UCFilter* filter)
{
    m_chained = filter;
}

int32_t UCF_USM::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                         FilterInfo* info)
{
    if (parameterSize != kBlockBytes || !parameters)
        return UCF_ERR_BADPARAM;
    const Parameters p = ReadParameters(parameters);
    const int64_t k = UsmHalfWidth(p.radius);
    int32_t samples = 0, sampleBytes = 0;
    if (source)
        DecodeFormat(source->format, &samples, &sampleBytes);
    const int64_t width = source ? std::max(source->regionWidth, 0) : 0;
    *info = FilterInfo{};
    std::memcpy(info->name, kName, sizeof(kName));
    info->formatMask = UCF_FORMATS_ALL;
    info->overlap = static_cast<int32_t>(k);
    info->workBytes = kProductTableBytes + ((2 * k + width) * sampleBytes * 3 + 4) * (2 * k + 1);
    return UCF_OK;
}

int32_t UCF_USM::BeginApply()
{
    const FilterContext* context = m_owner->GetContext();
    // A filter that runs the sharpener inside itself shares a longer block.
    if (!context || context->parameterSize < kBlockBytes || !m_parameters)
        return UCF_ERR_BADPARAM;
    const Parameters p = ReadParameters(m_parameters);
    m_radius = p.radius;
    m_thinned = p.variant != 0;
    m_k = UsmHalfWidth(m_radius);
    m_window = 2 * m_k + 1;
    const UsmKernel& kernel = GetUsmKernel(m_radius, m_thinned);
    m_shift = kernel.shift;
    for (int32_t i = 0; i < kUsmCoefficients; ++i)
        m_coefficients[i] = kernel.c[i];
    m_amount = static_cast<int64_t>(static_cast<double>(p.amount) * 2.56 * 0.5);
    int32_t samples = 0;
    if (int32_t rc = DecodeFormat(m_descriptor.format, &samples, &m_sampleBytes))
        return rc;
    m_threshold = m_sampleBytes == 2 ? int64_t{p.threshold} * 256 : int64_t{p.threshold};
    m_channels = (m_descriptor.format == UCF_FMT_GRAY8 || m_descriptor.format == UCF_FMT_GRAY16) ? 1 : 3;
    m_width = std::max(m_descriptor.regionWidth, 0);
    m_rows = std::max(m_descriptor.regionHeight, 0);
    m_packed = (int64_t{m_width} + 2 * m_k) * m_channels;

    // The destination must be the source's size: the rows are written whole.
    if (m_destination && m_destination->pixels) {
        const bool clientStrips = context->clientStrips != 0;
        if (m_destination->regionWidth != m_source->regionWidth ||
            (!clientStrips && m_destination->totalLines != m_source->totalLines))
            return UCF_ERR_GEOMETRY;
    }

    // window sums of k + 1 row pairs, the blurred sums and the output row
    const int64_t outputs = int64_t{m_width} * m_channels;
    const int64_t bytes = AlignUp((m_k + 1) * m_packed * 4) + AlignUp(outputs * 8) + AlignUp(outputs * 2);
    m_scratch = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(kScratchBuffer, static_cast<size_t>(bytes)));
    return m_scratch ? UCF_OK : UCF_ERR_NOMEMORY;
}

uint8_t* UCF_USM::Slot(int64_t row) const
{
    return m_ring + ((row + m_k) % m_window) * m_slotBytes;
}

int32_t UCF_USM::LoadRow(int64_t row)
{
    uint8_t* slot = Slot(row);
    const int64_t rowBytes = m_packed * m_sampleBytes;
    if (row >= m_rows) { // below the picture: the last row again, already chained
        std::memcpy(slot, Slot(row - 1), static_cast<size_t>(rowBytes));
        return UCF_OK;
    }
    if (m_sourceRowsLeft < 1 || !m_sourceRow)
        return UCF_ERR_NOMORELINES;
    int32_t samples = 0, sampleBytes = 0;
    DecodeFormat(m_descriptor.format, &samples, &sampleBytes);
    const int64_t pixelBytes = int64_t{samples} * sampleBytes;
    const int64_t c = m_channels;
    const uint8_t* src = m_sourceRow;
    if (m_sampleBytes == 1) {
        uint8_t* out = slot + m_k * c;
        for (int64_t x = 0; x < m_width; ++x, src += pixelBytes, out += c)
            for (int64_t ch = 0; ch < c; ++ch)
                out[ch] = src[m_index[ch]];
    } else {
        auto* out = reinterpret_cast<uint16_t*>(slot) + m_k * c;
        for (int64_t x = 0; x < m_width; ++x, src += pixelBytes, out += c)
            for (int64_t ch = 0; ch < c; ++ch)
                out[ch] = static_cast<uint16_t>(Load16(src + 2 * m_index[ch], m_sourceSwap != 0));
    }
    // Pad with the first and last pixels.
    const int64_t pixel = c * m_sampleBytes;
    const uint8_t* first = slot + m_k * pixel;
    const uint8_t* last = slot + (m_k + m_width - 1) * pixel;
    for (int32_t i = 0; i < m_k; ++i) {
        std::memcpy(slot + i * pixel, first, static_cast<size_t>(pixel));
        std::memcpy(slot + (m_k + m_width + i) * pixel, last, static_cast<size_t>(pixel));
    }
    if (m_chained)
        m_chained->ProcessRowInline(slot, m_width + 2 * m_k);
    m_sourceRow += m_sourceRowBytes;
    --m_sourceRowsLeft;
    return UCF_OK;
}

int32_t UCF_USM::PrepareApply()
{
    m_rowsDone = 0;
    m_nextLoad = 0;
    m_firstStripDone = 0;
    m_slotBytes = AlignUp((int64_t{m_width} + 2 * m_k) * m_sampleBytes * 3 + 4);
    const int64_t bytes = m_slotBytes * m_window + int64_t{m_window} * static_cast<int64_t>(sizeof(uint8_t*));
    m_ring = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(kRingBuffer, static_cast<size_t>(bytes)));
    if (!m_ring)
        return UCF_ERR_NOMEMORY;
    std::memset(m_ring, 0, static_cast<size_t>(bytes));
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, nullptr, &job))
        return rc;
    const PixelLayout& s = job.source;
    if (s.format != m_descriptor.format)
        return UCF_ERR_FORMATMISMATCH;
    m_index[0] = s.red;
    m_index[1] = s.green;
    m_index[2] = s.blue;
    if (m_rows < 1 || m_width < 1)
        return UCF_OK;
    if (s.regionWidth != m_width)
        return UCF_ERR_BADPARAM;
    m_sourceRow = s.pixels;
    m_sourceRowsLeft = s.regionHeight;
    m_sourceRowBytes = s.rowBytes;
    m_sourceSwap = s.byteSwap16;

    // Rows above the picture repeat the first; an image shorter than k repeats its last.
    if (int32_t rc = LoadRow(0))
        return rc;
    const size_t rowBytes = static_cast<size_t>(m_packed * m_sampleBytes);
    for (int64_t row = -m_k; row < 0; ++row)
        std::memcpy(Slot(row), Slot(0), rowBytes);
    for (int64_t row = 1; row < m_k; ++row)
        if (int32_t rc = LoadRow(row))
            return rc;
    m_nextLoad = m_k;
    return UCF_OK;
}

int32_t UCF_USM::SharpenRow(const FilterJob& job, uint8_t* destination)
{
    uint8_t* window[9] = {};
    for (int32_t i = 0; i < m_window; ++i)
        window[i] = Slot(m_rowsDone - m_k + i);
    const int64_t outputs = int64_t{m_width} * m_channels;
    const int64_t centre = int64_t{m_k} * m_channels;
    uint8_t* accBase = m_scratch + AlignUp((m_k + 1) * m_packed * 4);
    uint8_t* outBase = accBase + AlignUp(outputs * 8);
    const PixelLayout& d = job.destination;
    const int64_t pixelBytes = d.bytesPerPixel;
    if (m_sampleBytes == 1) {
        uint16_t* sums[5] = {};
        const uint16_t* rows[5] = {};
        for (int32_t i = 0; i <= m_k; ++i) {
            sums[i] = reinterpret_cast<uint16_t*>(m_scratch) + i * m_packed;
            rows[i] = sums[i] + centre;
        }
        VerticalPairs<uint8_t>(window, m_k, m_packed, sums);
        auto* acc = reinterpret_cast<int32_t*>(accBase);
        WindowSumsOf(m_k, rows, m_coefficients, m_channels, outputs, acc);
        uint8_t* out = outBase;
        // Scaled in 32 bits unless the amount or threshold could overflow them.
        if (m_amount >= -(1 << 22) && m_amount <= (1 << 22) && m_threshold >= -(1 << 24) &&
            m_threshold <= (1 << 24))
            Sharpen<int32_t>(rows[0], acc, outputs, m_shift, static_cast<int32_t>(m_amount),
                             static_cast<int32_t>(m_threshold), 255, out);
        else
            Sharpen<int64_t>(rows[0], acc, outputs, m_shift, m_amount, m_threshold, int64_t{255}, out);
        uint8_t* px = destination;
        if (m_channels == 1) {
            for (int64_t x = 0; x < m_width; ++x, px += pixelBytes)
                px[0] = out[x];
        } else {
            for (int64_t x = 0; x < m_width; ++x, px += pixelBytes, out += 3) {
                px[d.red] = out[0];
                px[d.green] = out[1];
                px[d.blue] = out[2];
            }
        }
        return UCF_OK;
    }
    uint32_t* sums[5] = {};
    const uint32_t* rows[5] = {};
    for (int32_t i = 0; i <= m_k; ++i) {
        sums[i] = reinterpret_cast<uint32_t*>(m_scratch) + i * m_packed;
        rows[i] = sums[i] + centre;
    }
    VerticalPairs<uint16_t>(window, m_k, m_packed, sums);
    auto* acc = reinterpret_cast<int64_t*>(accBase);
    WindowSumsOf(m_k, rows, m_coefficients, m_channels, outputs, acc);
    auto* out = reinterpret_cast<uint16_t*>(outBase);
    Sharpen<int64_t>(rows[0], acc, outputs, m_shift, m_amount, m_threshold, int64_t{65535}, out);
    const bool swap = d.byteSwap16 != 0;
    uint8_t* px = destination;
    for (int64_t x = 0; x < m_width; ++x, px += pixelBytes, out += m_channels)
        for (int32_t ch = 0; ch < m_channels; ++ch)
            Store16(px + 2 * m_index[ch], out[ch], swap);
    return UCF_OK;
}

int32_t UCF_USM::RunPass(const FilterJob& job)
{
    const PixelLayout& d = job.destination;
    uint8_t* dstRow = d.pixels;
    const int64_t total = m_rows > 0 ? m_rows : 1;
    for (int32_t row = 0; row < d.regionHeight && m_rowsDone < m_rows; ++row) {
        if (int32_t rc = LoadRow(m_nextLoad))
            return rc;
        ++m_nextLoad;
        if (int32_t rc = SharpenRow(job, dstRow))
            return rc;
        ++m_rowsDone;
        ++m_rowCounter;
        if (ReportProgress(static_cast<int32_t>(int64_t{m_rowCounter} * 100 / total)))
            return UCF_ERR_CANCELLED;
        dstRow += d.rowBytes;
    }
    return UCF_OK;
}

int32_t UCF_USM::ApplyStrip()
{
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, m_destination, &job))
        return rc;
    if (!m_ring || !m_scratch)
        return UCF_ERR_NOBUFFER;
    if (m_rows < 1 || m_width < 1)
        return UCF_OK;
    // Samples go back to the places they came from.
    if (job.source.format != m_descriptor.format || job.destination.format != job.source.format)
        return UCF_ERR_FORMATMISMATCH;
    if (job.destination.regionWidth != m_width)
        return UCF_ERR_GEOMETRY;
    if (job.source.regionWidth != m_width)
        return UCF_ERR_BADPARAM;
    if (m_firstStripDone) {
        m_sourceRow = job.source.pixels;
        m_sourceRowsLeft = job.source.regionHeight;
        m_sourceRowBytes = job.source.rowBytes;
        m_sourceSwap = job.source.byteSwap16;
    }
    const int32_t rc = RunPass(job);
    m_firstStripDone = 1;
    return rc;
}

int32_t UCF_USM::EndApply()
{
    m_owner->FreeWorkBuffer(kScratchBuffer);
    m_owner->FreeWorkBuffer(kRingBuffer);
    m_scratch = nullptr;
    m_ring = nullptr;
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateUnsharpMaskFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_USM(owner));
}
