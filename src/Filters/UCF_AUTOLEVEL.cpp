#include "UCF_AUTOLEVEL.h"

#include "LevelKernels.h"
#include "SampleAccess.h"
#include "ToneSamples.h"
#include "UtilFilter.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr char kName[] = "Auto White Level FILTER";
constexpr int32_t kBlockBytes = 16;

// Percentages that are not finite or outside 0..100 make the counts undefined.
int32_t ReadPercents(int32_t size, const void* parameters, double* low, double* high)
{
    if (!parameters || size < kBlockBytes)
        return UCF_ERR_BADPARAM;
    std::memcpy(low, parameters, 8);
    std::memcpy(high, static_cast<const uint8_t*>(parameters) + 8, 8);
    const auto valid = [](double p) { return std::isfinite(p) && p >= 0 && p <= 100; };
    return valid(*low) && valid(*high) ? UCF_OK : UCF_ERR_BADPARAM;
}

template <typename Count>
void Search(const Count* h, int32_t levels, int64_t lowCount, int64_t highCount, uint32_t* lo, uint32_t* hi)
{
    uint64_t sum = 0;
    int32_t level = 0;
    for (; level < levels - 1; ++level) {
        sum += h[level];
        if (sum > static_cast<uint64_t>(lowCount))
            break;
    }
    *lo = static_cast<uint32_t>(level);
    sum = 0;
    level = levels - 1;
    for (; level > 0; --level) {
        sum += h[level];
        if (sum > static_cast<uint64_t>(highCount))
            break;
    }
    *hi = static_cast<uint32_t>(level);
}

} // namespace

UCF_AUTOLEVEL::UCF_AUTOLEVEL(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_AUTOLEVEL::~UCF_AUTOLEVEL() = default;

int32_t UCF_AUTOLEVEL::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                               FilterInfo* info)
{
    // Without a block the filter can still apply a stored result.
    if (parameters || parameterSize > 0) {
        double low = 0, high = 0;
        if (int32_t rc = ReadPercents(parameterSize, parameters, &low, &high))
            return rc;
    }
    UCFilter::GetInfo(source, parameterSize, parameters, info);
    std::memset(info->name, 0, sizeof(info->name));
    std::memcpy(info->name, kName, sizeof(kName));
    info->overlap = 0;
    info->word20 = info->word21 = info->word22 = 0;
    info->workBytes = info->word25 =
        static_cast<int64_t>(HistogramBytes(HistogramKind(source ? source->format : 0)));
    return UCF_OK;
}

void UCF_AUTOLEVEL::FindPoints(const void* histogram, int32_t levels, int64_t pixels, double lowPercent,
                               double highPercent, uint32_t* lo, uint32_t* hi)
{
    const auto count = [&](double percent) {
        return static_cast<int64_t>(static_cast<double>(pixels) * percent * 0.01);
    };
    const auto search = [&](int64_t low, int64_t high) {
        if (levels == 256)
            Search(static_cast<const uint32_t*>(histogram), levels, low, high, lo, hi);
        else
            Search(static_cast<const uint64_t*>(histogram), levels, low, high, lo, hi);
    };
    search(count(lowPercent), count(highPercent));
    if (*lo != *hi)
        return;
    search(0, 0);
    if (*lo == *hi) { // a flat channel stays as it is
        *lo = 0;
        *hi = static_cast<uint32_t>(levels - 1);
    }
}

void UCF_AUTOLEVEL::BuildLevels(uint32_t lo, uint32_t hi, int32_t levels, void* table)
{
    const int64_t max = levels - 1;
    for (int64_t i = 0; i < levels; ++i) {
        int64_t v;
        if (i < lo)
            v = 0;
        else if (lo >= hi || i > hi) // lo = hi would divide by zero
            v = max;
        else
            v = (i - lo) * max / (int64_t{hi} - lo);
        if (levels == 256)
            static_cast<uint8_t*>(table)[i] = static_cast<uint8_t>(v);
        else
            static_cast<uint16_t*>(table)[i] = static_cast<uint16_t>(v);
    }
}

int32_t UCF_AUTOLEVEL::EndAnalysis()
{
    const FilterContext* context = m_owner->GetContext();
    double low = 0, high = 0;
    if (int32_t rc = ReadPercents(context->parameterSize, m_parameters, &low, &high))
        return rc;
    const auto* histograms = static_cast<const uint8_t*>(m_owner->GetWorkBuffer(3));
    if (!histograms)
        return UCF_ERR_NOBUFFER;
    uint32_t result[8] = {};
    const int64_t pixels = int64_t{m_descriptor.regionWidth} * m_descriptor.regionHeight;
    switch (m_histogramKind) {
    case 0:
    case 1: {
        const int32_t levels = m_histogramKind == 0 ? 256 : 65536;
        const int64_t tableBytes = m_histogramKind == 0 ? 1024 : 65536 * 8;
        for (int32_t c = 0; c < 3; ++c)
            FindPoints(histograms + c * tableBytes, levels, pixels, low, high, &result[2 * c],
                       &result[2 * c + 1]);
        break;
    }
    default:
        FindPoints(histograms, m_histogramKind == 2 ? 256 : 65536, pixels, low, high, &result[6], &result[7]);
        break;
    }
    void* stored = m_owner->AllocWorkBuffer(4, kResultBytes);
    if (!stored) {
        m_hasAnalysisResult = 0;
        return UCF_ERR_NOMEMORY;
    }
    std::memcpy(stored, result, kResultBytes);
    m_hasAnalysisResult = 1;
    return UCF_OK;
}

int32_t UCF_AUTOLEVEL::BeginApply()
{
    const auto* result = static_cast<const uint32_t*>(m_owner->GetWorkBuffer(4));
    if (!m_hasAnalysisResult || !result)
        return UCF_ERR_NOTANALYSED;
    const int32_t kind = HistogramKind(m_descriptor.format);
    const int32_t levels = (kind & 1) ? 65536 : 256;
    const int64_t tableBytes = int64_t{levels} * ((kind & 1) ? 2 : 1);
    const int32_t tables = kind < 2 ? 3 : 1;
    auto* buffer =
        static_cast<uint8_t*>(m_owner->AllocWorkBuffer(0, static_cast<size_t>(tableBytes * tables)));
    if (!buffer)
        return UCF_ERR_NOMEMORY;
    m_tableKind = kind;
    const int32_t first = kind < 2 ? 0 : 3;
    for (int32_t t = 0; t < tables; ++t)
        BuildLevels(result[2 * (first + t)], result[2 * (first + t) + 1], levels, buffer + t * tableBytes);
    return UCF_OK;
}

int32_t UCF_AUTOLEVEL::EndApply()
{
    m_owner->FreeWorkBuffer(0);
    m_tableKind = -1;
    return UCF_OK;
}

int32_t UCF_AUTOLEVEL::SetAnalysisResult(void* sizeAndData)
{
    if (!sizeAndData)
        return UCF_ERR_BADPARAM;
    int64_t size = 0;
    const void* data = nullptr;
    std::memcpy(&size, sizeAndData, sizeof(size));
    std::memcpy(&data, static_cast<const uint8_t*>(sizeAndData) + sizeof(int64_t), sizeof(data));
    if (size != kResultBytes || !data)
        return UCF_ERR_BADPARAM;
    void* stored = m_owner->AllocWorkBuffer(4, kResultBytes);
    if (!stored) {
        m_hasAnalysisResult = 0;
        return UCF_ERR_NOMEMORY;
    }
    std::memcpy(stored, data, kResultBytes);
    m_hasAnalysisResult = 1;
    return UCF_OK;
}

int32_t UCF_AUTOLEVEL::GetAnalysisResult(void* sizeAndData)
{
    void* stored = m_owner->GetWorkBuffer(4);
    if (!m_hasAnalysisResult || !stored || !sizeAndData)
        return UCF_OK;
    const int64_t size = kResultBytes;
    std::memcpy(sizeAndData, &size, sizeof(size));
    std::memcpy(static_cast<uint8_t*>(sizeAndData) + sizeof(int64_t), &stored, sizeof(stored));
    return UCF_OK;
}

int32_t UCF_AUTOLEVEL::ProcessStrip(const FilterJob& job)
{
    bool write = false;
    if (int32_t rc = CheckPointJob(job, &write); rc || !write)
        return rc;
    const auto* tables = static_cast<const uint8_t*>(m_owner->GetWorkBuffer(0));
    if (!tables)
        return UCF_ERR_NOBUFFER;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (HistogramKind(s.format) != m_tableKind) // the tables would be read past their end
        return UCF_ERR_FORMAT;
    const ToneSamples tones = ToneSamplesOf(s);
    const bool wide = s.bytesPerSample == 2;
    const bool swap = s.byteSwap16 != 0;
    const int64_t tableBytes = wide ? 65536 * 2 : 256;
    if (!wide && s.bytesPerPixel >= 1 && s.bytesPerPixel <= 4) {
        // Tables follow red, green, blue; each goes to the place its sample holds.
        const uint8_t* places[4] = {};
        for (int32_t k = 0; k < tones.count; ++k)
            places[tones.index[k]] = tables + k * tableBytes;
        for (int32_t y = 0; y < s.regionHeight; ++y) {
            MapSamples8(s.pixels + static_cast<int64_t>(y) * s.rowBytes,
                        d.pixels + static_cast<int64_t>(y) * d.rowBytes, s.regionWidth, s.bytesPerPixel,
                        places);
            if (ReportProgress(StripPercent(y, s.regionHeight)))
                return UCF_ERR_CANCELLED;
        }
        return UCF_OK;
    }
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        const uint8_t* src = s.pixels + static_cast<int64_t>(y) * s.rowBytes;
        uint8_t* dst = d.pixels + static_cast<int64_t>(y) * d.rowBytes;
        for (int32_t x = 0; x < s.regionWidth; ++x, src += s.bytesPerPixel, dst += d.bytesPerPixel) {
            if (!wide && tones.count == 3) {
                dst[s.red] = tables[src[s.red]];
                dst[s.green] = tables[256 + src[s.green]];
                dst[s.blue] = tables[512 + src[s.blue]];
                continue;
            }
            // Tables follow red, green, blue; a grey format has the one table.
            const int32_t channel[3] = {s.red, s.green, s.blue};
            for (int32_t k = 0; k < tones.count; ++k) {
                const uint8_t* table = tables + k * tableBytes;
                const int32_t i = channel[k];
                if (wide)
                    Store16(dst + 2 * i, reinterpret_cast<const uint16_t*>(table)[Load16(src + 2 * i, swap)],
                            swap);
                else
                    dst[i] = table[src[i]];
            }
        }
        if (ReportProgress(StripPercent(y, s.regionHeight)))
            return UCF_ERR_CANCELLED;
    }
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateAutoLevelFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_AUTOLEVEL(owner));
}
