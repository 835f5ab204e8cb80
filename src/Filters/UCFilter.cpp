#include "UCFilter.h"

#include "FilterErrorCode.h"
#include "LevelKernels.h"
#include "UtilFilter.h"

#include <cstring>
#include <new>

namespace {

constexpr char kInverseName[] = "Inverse FILTER";

uint16_t Load16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

} // namespace

size_t HistogramBytes(int32_t kind)
{
    switch (kind) {
    case 0:
        return 3 * 256 * sizeof(uint32_t);
    case 1:
        return 3 * 65536 * sizeof(uint64_t);
    case 2:
        return 256 * sizeof(uint32_t);
    default:
        return 65536 * sizeof(uint64_t);
    }
}

int32_t HistogramKind(int32_t format)
{
    switch (format) {
    case UCF_FMT_RGB48:
        return 1;
    case UCF_FMT_GRAY8:
        return 2;
    case UCF_FMT_GRAY16:
        return 3;
    default:
        return 0;
    }
}

UCFilter::UCFilter(UtilFilter* owner)
{
    SetOwner(owner);
}

UCFilter::~UCFilter() = default;

void UCFilter::SetOwner(UtilFilter* owner)
{
    m_owner = owner;
    FilterContext* context = owner ? owner->GetContext() : nullptr;
    m_source = context ? &context->workingSource : nullptr;
    m_destination = context ? &context->workingDestination : nullptr;
}

int32_t UCFilter::GetInfo(const ImageDescriptor*, int32_t, const void*, FilterInfo* info)
{
    *info = FilterInfo{};
    std::memcpy(info->name, kInverseName, sizeof(kInverseName));
    info->word16 = 3;
    info->word17 = 3;
    info->formatMask = UCF_FORMATS_ALL;
    info->overlap = 0;
    info->workBytes = 3072;
    info->word25 = 3072;
    return UCF_OK;
}

int32_t UCFilter::Command(int32_t number, void* argument)
{
    if (!m_owner)
        return UCF_ERR_NOOWNER;
    if (number == 2 || number == 8)
        m_rowCounter = 0;
    switch (number) {
    case 1:
        return Initialize();
    case 2:
        return BeginAnalysis();
    case 3:
        return AnalyseStrip();
    case 4:
        return EndAnalysis();
    case 5:
        return ReleaseAnalysis();
    case 6:
        return SetSecondImage(argument);
    case 7:
        return GetStripOverlap();
    case 8:
        return BeginApply();
    case 9:
        return PrepareApply();
    case 10:
        return ApplyStrip();
    case 11:
        return EndApply();
    case 12:
        return SetAnalysisResult(argument);
    case 13:
        return GetAnalysisResult(argument);
    case 14:
        return ReleaseApply();
    case 15:
        return Finish();
    default:
        return UCF_ERR_BADCOMMAND;
    }
}

void UCFilter::ProcessRowInline(uint8_t*, int32_t)
{
}

int32_t UCFilter::Initialize()
{
    m_parameters = m_owner->GetParameterBlock();
    m_descriptor = *m_source;
    m_extraWord = m_descriptor.extraWord;
    m_matchWordA = m_descriptor.matchWordA;
    m_format = m_descriptor.format;
    return DecodeFormat(m_format, &m_samples, &m_bytesPerSample);
}

int32_t UCFilter::BeginAnalysis()
{
    m_histogramKind = HistogramKind(m_source->format);
    const size_t bytes = HistogramBytes(m_histogramKind);
    void* buffer = m_owner->AllocWorkBuffer(3, bytes);
    if (!buffer)
        return UCF_ERR_NOMEMORY;
    std::memset(buffer, 0, bytes);
    return UCF_OK;
}

int32_t UCFilter::AnalyseStrip()
{
    if (int32_t rc = BuildFilterJob(m_source, nullptr, &m_job))
        return rc;
    return AccumulateHistogram(m_job);
}

int32_t UCFilter::EndAnalysis()
{
    m_owner->FreeWorkBuffer(4);
    m_hasAnalysisResult = 0;
    return UCF_OK;
}

int32_t UCFilter::ReleaseAnalysis()
{
    m_owner->FreeWorkBuffer(3);
    return UCF_OK;
}

int32_t UCFilter::SetSecondImage(void*)
{
    return UCF_ERR_UNSUPPORTED;
}
int32_t UCFilter::GetStripOverlap()
{
    return -1;
}
int32_t UCFilter::BeginApply()
{
    return UCF_OK;
}
int32_t UCFilter::PrepareApply()
{
    return UCF_OK;
}

int32_t UCFilter::ApplyStrip()
{
    if (int32_t rc = BuildFilterJob(m_source, m_destination, &m_job))
        return rc;
    return ProcessStrip(m_job);
}

int32_t UCFilter::EndApply()
{
    return UCF_OK;
}
int32_t UCFilter::SetAnalysisResult(void*)
{
    return UCF_ERR_UNSUPPORTED;
}

int32_t UCFilter::GetAnalysisResult(void* sizeAndData)
{
    if (sizeAndData) {
        auto* pair = static_cast<int64_t*>(sizeAndData);
        pair[0] = 0;
        pair[1] = 0;
    }
    return UCF_ERR_UNSUPPORTED;
}

int32_t UCFilter::ReleaseApply()
{
    if (m_hasAnalysisResult) {
        m_owner->FreeWorkBuffer(4);
        m_hasAnalysisResult = 0;
    }
    return UCF_OK;
}

int32_t UCFilter::Finish()
{
    return UCF_OK;
}

int32_t UCFilter::ProcessStrip(const FilterJob& job)
{
    if (job.sameFormat != 1)
        return UCF_OK; // the base filter never converts formats
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    // Rows are written source-sized: a smaller destination would be overrun.
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    const bool eightBit = (s.format & UCF_FORMATS_8BIT) != 0;
    const uint8_t* srcRow = s.pixels;
    uint8_t* dstRow = d.pixels;
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        if (eightBit)
            ProcessRow8(srcRow, dstRow, s.bytesPerPixel, d.bytesPerPixel, s.regionWidth, s.samples);
        else
            ProcessRow16(srcRow, dstRow, s.bytesPerPixel, d.bytesPerPixel, s.regionWidth, s.samples);
        ++m_rowCounter;
        const int32_t total = m_descriptor.regionHeight > 0 ? m_descriptor.regionHeight : 1;
        if (ReportProgress(static_cast<int32_t>(int64_t{m_rowCounter} * 100 / total)))
            return UCF_ERR_CANCELLED;
        srcRow += s.rowBytes;
        dstRow += d.rowBytes;
    }
    return UCF_OK;
}

int32_t UCFilter::ProcessRow8(const uint8_t* source, uint8_t* destination, int32_t sourceStep,
                              int32_t destinationStep, int32_t width, int32_t samples)
{
    for (int32_t x = 0; x < width; ++x) {
        for (int32_t c = 0; c < samples; ++c)
            ProcessSample8(destination + c, source + c);
        source += sourceStep;
        destination += destinationStep;
    }
    return UCF_OK;
}

int32_t UCFilter::ProcessRow16(const uint8_t* source, uint8_t* destination, int32_t sourceStep,
                               int32_t destinationStep, int32_t width, int32_t samples)
{
    for (int32_t x = 0; x < width; ++x) {
        for (int32_t c = 0; c < samples; ++c)
            ProcessSample16(destination + 2 * c, source + 2 * c);
        source += sourceStep;
        destination += destinationStep;
    }
    return UCF_OK;
}

void UCFilter::ProcessSample8(uint8_t* destination, const uint8_t* source)
{
    *destination = ~*source;
}

void UCFilter::ProcessSample16(uint8_t* destination, const uint8_t* source)
{
    const uint16_t v = static_cast<uint16_t>(~Load16(source));
    std::memcpy(destination, &v, 2);
}

int32_t UCFilter::AccumulateHistogram(const FilterJob& job)
{
    void* buffer = m_owner->GetWorkBuffer(3);
    if (!buffer)
        return UCF_ERR_NOBUFFER;
    const PixelLayout& s = job.source;
    if ((m_histogramKind == 0 || m_histogramKind == 2) && s.bytesPerSample == 1 && s.bytesPerPixel >= 1 &&
        s.bytesPerPixel <= 4) {
        uint32_t counts[4 * 256] = {};
        CountSamples8(s.pixels, s.rowBytes, s.regionWidth, s.regionHeight, s.bytesPerPixel, counts);
        auto* t = static_cast<uint32_t*>(buffer);
        const int32_t places[3] = {s.red, s.green, s.blue};
        for (int32_t k = 0; k < (m_histogramKind == 0 ? 3 : 1); ++k) {
            // A grey histogram counts the first sample, whatever the layout names.
            const uint32_t* from = counts + 256 * (m_histogramKind == 0 ? places[k] : 0);
            for (int32_t v = 0; v < 256; ++v)
                t[256 * k + v] += from[v];
        }
        return UCF_OK;
    }
    const uint8_t* row = s.pixels;
    for (int32_t y = 0; y < s.regionHeight; ++y, row += s.rowBytes) {
        const uint8_t* p = row;
        for (int32_t x = 0; x < s.regionWidth; ++x, p += s.bytesPerPixel) {
            switch (m_histogramKind) {
            case 0: {
                auto* t = static_cast<uint32_t*>(buffer);
                ++t[p[s.red]];
                ++t[256 + p[s.green]];
                ++t[512 + p[s.blue]];
                break;
            }
            case 1: {
                auto* t = static_cast<uint64_t*>(buffer);
                auto sample = [&](int32_t i) {
                    uint16_t v = Load16(p + 2 * i);
                    return s.byteSwap16 ? static_cast<uint16_t>(v >> 8 | v << 8) : v;
                };
                ++t[sample(s.red)];
                ++t[65536 + sample(s.green)];
                ++t[131072 + sample(s.blue)];
                break;
            }
            case 2:
                ++static_cast<uint32_t*>(buffer)[p[0]];
                break;
            default: {
                uint16_t v = Load16(p);
                if (s.byteSwap16)
                    v = static_cast<uint16_t>(v >> 8 | v << 8);
                ++static_cast<uint64_t*>(buffer)[v];
                break;
            }
            }
        }
    }
    return UCF_OK;
}

int32_t UCFilter::ReportProgress(int32_t percent)
{
    if (!m_owner)
        return 0;
    return m_owner->ReportProgress(percent > 100 ? 100 : percent);
}

void UCFilter::EmitOutputLines(int32_t lines)
{
    if (m_owner)
        m_owner->OutputStripDone(lines);
}

UCFilter::OutputRows::OutputRows(UCFilter& filter) : m_filter(filter)
{
    m_rowBytes = filter.m_destination ? filter.m_destination->rowBytes : 0;
    NextStrip();
}

void UCFilter::OutputRows::NextStrip()
{
    m_row = nullptr;
    m_written = 0;
    if (!m_filter.m_owner || !m_filter.m_destination)
        return;
    uint8_t* address = nullptr;
    m_left = m_filter.m_owner->NextOutputStrip(&address);
    if (m_left <= 0)
        return;
    // Outside client strips the facade leaves the whole destination to the filter.
    const bool clientStrips = m_filter.m_owner->GetContext()->clientStrips != 0;
    m_row = clientStrips ? address : DescriptorRow(*m_filter.m_destination, m_done);
}

void UCFilter::OutputRows::Advance()
{
    ++m_written;
    ++m_done;
    if (--m_left > 0) {
        m_row += m_rowBytes;
        return;
    }
    m_filter.EmitOutputLines(m_written);
    NextStrip();
}

void UCFilter::OutputRows::Finish()
{
    if (m_written > 0)
        m_filter.EmitOutputLines(m_written);
    m_written = 0;
}

int32_t UCFilter::DecodeSourceAndDestination(PixelLayout* source, PixelLayout* destination) const
{
    if (int32_t rc = DecodePixelFormat(m_source, source))
        return rc;
    return DecodePixelFormat(m_destination, destination);
}

std::unique_ptr<UCFilter> CreateInverseFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCFilter(owner));
}
