#include "UCF_SCONTRAST.h"

#include "SampleAccess.h"
#include "ToneSamples.h"
#include "UCSpline.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr char kName[] = "S-Courve Contrast FILTER";
constexpr int32_t kBlockBytes = 8;
// Below it the gamma step's exponent reaches zero or turns negative.
constexpr int32_t kLowestBrightness = -142;

int32_t CheckBlock(int32_t size, const void* parameters, int32_t words[2])
{
    if (!parameters || size <= 0)
        return UCF_ERR_CURVE;
    if (size < kBlockBytes)
        return UCF_ERR_BADPARAM;
    std::memcpy(words, parameters, kBlockBytes);
    return words[0] < kLowestBrightness ? UCF_ERR_BADPARAM : UCF_OK;
}

bool IsSixteenBit(int32_t format)
{
    return (format & UCF_FORMATS_16BIT) != 0;
}

} // namespace

UCF_SCONTRAST::UCF_SCONTRAST(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_SCONTRAST::~UCF_SCONTRAST() = default;

int32_t UCF_SCONTRAST::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                               FilterInfo* info)
{
    if (parameters) {
        int32_t words[2];
        if (int32_t rc = CheckBlock(parameterSize, parameters, words))
            return rc;
    }
    UCFilter::GetInfo(source, parameterSize, parameters, info);
    std::memset(info->name, 0, sizeof(info->name));
    std::memcpy(info->name, kName, sizeof(kName));
    info->overlap = 0;
    info->word20 = info->word21 = info->word22 = 0;
    const bool wide = source && IsSixteenBit(source->format);
    info->workBytes = info->word25 = wide ? 0x20000 : 256;
    return UCF_OK;
}

void UCF_SCONTRAST::BuildCurve(int32_t brightness, int32_t contrast, bool sixteenBit, void* table)
{
    const int64_t s = sixteenBit ? 256 : 1;
    contrast = std::clamp(contrast, -100, 100);
    const auto d = static_cast<int64_t>(contrast * 0.32 * static_cast<double>(s));
    const int64_t x[5] = {0, (contrast >= 0 ? 64 : 32) * s, 128 * s, (contrast >= 0 ? 160 : 194) * s,
                          256 * s};
    const int64_t y[5] = {0, x[1] - d, x[2], x[3] + d, x[4]};
    const UCSpline curve(x, y, 5);
    const double e = brightness >= 0 ? 2.0 * brightness : 0.7 * brightness;
    const double gamma = 1.0 / ((e + 100) * 0.01);
    if (!sixteenBit) {
        auto* t = static_cast<uint8_t*>(table);
        curve.FillTable8(t);
        for (int32_t i = 0; i < 256; ++i)
            t[i] = static_cast<uint8_t>(std::pow(t[i] * 0.00392156862745098, gamma) * 255 + 0.5);
        return;
    }
    auto* t = static_cast<uint16_t*>(table);
    curve.FillTable16(t);
    for (int32_t i = 0; i < 65536; ++i)
        t[i] = static_cast<uint16_t>(std::pow(t[i] / 65535.0, gamma) * 65535 + 0.5);
}

int32_t UCF_SCONTRAST::BeginApply()
{
    const FilterContext* context = m_owner->GetContext();
    int32_t words[2];
    if (int32_t rc = CheckBlock(context ? context->parameterSize : 0, m_parameters, words))
        return rc;
    const bool wide = IsSixteenBit(m_descriptor.format);
    m_table = m_owner->AllocWorkBuffer(0, wide ? 0x20000 : 256);
    if (!m_table)
        return UCF_ERR_NOMEMORY;
    BuildCurve(words[0], words[1], wide, m_table);
    return UCF_OK;
}

int32_t UCF_SCONTRAST::EndApply()
{
    m_owner->FreeWorkBuffer(0);
    m_table = nullptr;
    return UCF_OK;
}

int32_t UCF_SCONTRAST::ProcessStrip(const FilterJob& job)
{
    bool write = false;
    if (int32_t rc = CheckPointJob(job, &write); rc || !write)
        return rc;
    if (!m_table)
        return UCF_ERR_NOBUFFER;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    const ToneSamples tones = ToneSamplesOf(s);
    const bool wide = s.bytesPerSample == 2;
    const bool swap = s.byteSwap16 != 0;
    const auto* t8 = static_cast<const uint8_t*>(m_table);
    const auto* t16 = static_cast<const uint16_t*>(m_table);
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        const uint8_t* src = s.pixels + static_cast<int64_t>(y) * s.rowBytes;
        uint8_t* dst = d.pixels + static_cast<int64_t>(y) * d.rowBytes;
        for (int32_t x = 0; x < s.regionWidth; ++x, src += s.bytesPerPixel, dst += d.bytesPerPixel)
            for (int32_t k = 0; k < tones.count; ++k) {
                const int32_t i = tones.index[k];
                if (wide)
                    Store16(dst + 2 * i, t16[Load16(src + 2 * i, swap)], swap);
                else
                    dst[i] = t8[src[i]];
            }
        if (ReportProgress(StripPercent(y, s.regionHeight)))
            return UCF_ERR_CANCELLED;
    }
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateSContrastFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_SCONTRAST(owner));
}
