#include "UCF_HUESAT.h"

#include "SampleAccess.h"
#include "ToneSamples.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr char kName[] = "HueSaturation FILTER";
constexpr int32_t kBlockBytes = 16;
constexpr int32_t kFormats = UCF_FMT_RGB24 | UCF_FMT_BGR24 | UCF_FMT_BGRA32 | UCF_FMT_ARGB32 | UCF_FMT_RGB48;
constexpr int64_t kTableBytes8 = 256 + 256 * 2 + 511 * 2;
constexpr int64_t kTableBytes16 = 65536 * 2 + 65536 * 4 + 131072 * 4;

// Outside these ranges hues leave 0..360 and table entries overflow.
int32_t CheckBlock(int32_t size, const void* parameters, int32_t words[4])
{
    if (!parameters || size <= 0)
        return UCF_ERR_CURVE;
    if (size < kBlockBytes)
        return UCF_ERR_BADPARAM;
    std::memcpy(words, parameters, kBlockBytes);
    const auto in = [](int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; };
    if (!in(words[0], -100, 100) || !in(words[1], -180, 180) || !in(words[2], -100, 100))
        return UCF_ERR_BADPARAM;
    return UCF_OK;
}

int32_t EffectiveHue(int32_t hue, int32_t colorize)
{
    if (!colorize)
        return hue;
    if (hue + 180 >= 0 && hue + 180 <= 360)
        return hue + 180;
    return hue + 180 > 360 ? hue - 180 : hue + 540;
}

// L, T1 and T2 for samples 0..n, laid out one after the other.
template <typename L, typename T> void BuildTables(const int32_t words[4], int32_t n, void* buffer)
{
    auto* lightness = static_cast<L*>(buffer);
    auto* t1 = reinterpret_cast<T*>(lightness + n + 1);
    T* t2 = t1 + n + 1;
    const int32_t l = words[0], s = words[2];
    for (int64_t i = 0; i <= n; ++i) {
        if (l > 0)
            lightness[i] = static_cast<L>(static_cast<double>(n - i) * (l * 0.01) + static_cast<double>(i));
        else
            lightness[i] = static_cast<L>(static_cast<double>(i) * ((l + 100) * 0.01));
        t1[i] = static_cast<T>(static_cast<double>(i * (2 * s + 300)) * 0.013333333333333334);
    }
    for (int64_t k = 0; k <= 2 * int64_t{n}; ++k)
        t2[k] = static_cast<T>(static_cast<double>(k * -s) * 0.013333333333333334);
}

} // namespace

UCF_HUESAT::UCF_HUESAT(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_HUESAT::~UCF_HUESAT() = default;

int32_t UCF_HUESAT::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                            FilterInfo* info)
{
    if (source && !(source->format & kFormats))
        return UCF_ERR_UNSUPPORTED;
    if (parameters) {
        int32_t words[4];
        if (int32_t rc = CheckBlock(parameterSize, parameters, words))
            return rc;
    }
    UCFilter::GetInfo(source, parameterSize, parameters, info);
    std::memset(info->name, 0, sizeof(info->name));
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 1;
    info->formatMask = kFormats;
    info->overlap = 0;
    info->word20 = info->word21 = info->word22 = 0;
    const bool wide = source && source->format == UCF_FMT_RGB48;
    info->workBytes = info->word25 = wide ? kTableBytes16 : kTableBytes8;
    return UCF_OK;
}

int32_t UCF_HUESAT::Initialize()
{
    if (int32_t rc = UCFilter::Initialize())
        return rc;
    const FilterContext* context = m_owner->GetContext();
    if (!m_parameters)
        return UCF_ERR_CURVE;
    if (!(m_format & kFormats))
        return UCF_ERR_UNSUPPORTED;
    return CheckBlock(context->parameterSize, m_parameters, m_words);
}

int32_t UCF_HUESAT::BeginApply()
{
    const FilterContext* context = m_owner->GetContext();
    if (int32_t rc = CheckBlock(context->parameterSize, m_parameters, m_words))
        return rc;
    m_effectiveHue = EffectiveHue(m_words[1], m_words[3]);
    const bool wide = m_format == UCF_FMT_RGB48;
    void* buffer = m_owner->AllocWorkBuffer(0, static_cast<size_t>(wide ? kTableBytes16 : kTableBytes8));
    if (!buffer)
        return UCF_ERR_NOMEMORY;
    if (wide)
        BuildTables<uint16_t, int32_t>(m_words, 65535, buffer);
    else
        BuildTables<uint8_t, int16_t>(m_words, 255, buffer);
    return UCF_OK;
}

int32_t UCF_HUESAT::ApplyStrip()
{
    if (int32_t rc = BuildFilterJob(m_source, m_destination, &m_job))
        return rc;
    bool write = false;
    if (int32_t rc = CheckPointJob(m_job, &write); rc || !write)
        return rc;
    if (!(m_job.source.format & kFormats))
        return UCF_ERR_UNSUPPORTED;
    if (m_job.source.bytesPerSample == 1)
        return ProcessRows8(m_job, m_effectiveHue, m_words[3]);
    return ProcessRows16(m_job, m_effectiveHue, m_words[3]);
}

int32_t UCF_HUESAT::EndApply()
{
    m_owner->FreeWorkBuffer(0);
    return UCF_OK;
}

int32_t UCF_HUESAT::ProcessRows8(const FilterJob& job, int32_t hue, int32_t colorize)
{
    return ProcessRows<uint8_t, int16_t, 255>(job, hue, colorize);
}

int32_t UCF_HUESAT::ProcessRows16(const FilterJob& job, int32_t hue, int32_t colorize)
{
    return ProcessRows<uint16_t, int32_t, 65535>(job, hue, colorize);
}

template <typename Sample, typename Wide, int32_t N>
int32_t UCF_HUESAT::ProcessRows(const FilterJob& job, int32_t hue, int32_t colorize)
{
    auto* lightness = static_cast<const Sample*>(m_owner->GetWorkBuffer(0));
    if (!lightness)
        return UCF_ERR_NOBUFFER;
    const auto* t1 = reinterpret_cast<const Wide*>(lightness + N + 1);
    const Wide* t2 = t1 + N + 1;
    const bool relight = m_words[0] != 0;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    const bool swap = s.byteSwap16 != 0;
    const auto load = [&](const uint8_t* p, int32_t i) -> int32_t {
        if constexpr (N == 255)
            return p[i];
        else
            return static_cast<int32_t>(Load16(p + 2 * i, swap));
    };
    const auto store = [&](uint8_t* p, int32_t i, int32_t v) {
        if constexpr (N == 255)
            p[i] = static_cast<uint8_t>(v);
        else
            Store16(p + 2 * i, static_cast<uint32_t>(v), swap);
    };
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        const uint8_t* src = s.pixels + static_cast<int64_t>(y) * s.rowBytes;
        uint8_t* dst = d.pixels + static_cast<int64_t>(y) * d.rowBytes;
        for (int32_t x = 0; x < s.regionWidth; ++x, src += s.bytesPerPixel, dst += d.bytesPerPixel) {
            int32_t r = load(src, s.red), g = load(src, s.green), b = load(src, s.blue);
            const int32_t max = std::max({r, g, b});
            const int32_t min = std::min({r, g, b});
            const int32_t delta = max - min;
            if (delta != 0) {
                // The hue is kept as h x delta: a whole-degree hue would round the
                // middle channel, and all zeros would not give the pixel back.
                const int64_t full = 360 * int64_t{delta};
                int64_t h = int64_t{hue} * delta;
                if (!colorize) {
                    int64_t h0;
                    if (r == max)
                        h0 = 60 * int64_t{g - b};
                    else if (g == max)
                        h0 = 60 * int64_t{b - r} + 120 * int64_t{delta};
                    else
                        h0 = 60 * int64_t{r - g} + 240 * int64_t{delta};
                    h += h0;
                    if (h < 0)
                        h += full;
                    else if (h > full)
                        h -= full;
                }
                const auto part = [&](int64_t scaled) { return static_cast<int32_t>(min + scaled / 60); };
                const int64_t d = delta;
                switch (h / (60 * d)) {
                case 0:
                    r = max, g = part(h), b = min;
                    break;
                case 1:
                    r = part(120 * d - h), g = max, b = min;
                    break;
                case 2:
                    r = min, g = max, b = part(h - 120 * d);
                    break;
                case 3:
                    r = min, g = part(240 * d - h), b = max;
                    break;
                case 4:
                    r = part(h - 240 * d), g = min, b = max;
                    break;
                default:
                    r = max, g = min, b = part(360 * d - h);
                    break;
                }
                const auto saturate = [&](int32_t c, int32_t o1, int32_t o2) {
                    return std::clamp((int32_t{t1[c]} + int32_t{t2[o1 + o2]}) >> 2, 0, N);
                };
                const int32_t r2 = saturate(r, g, b), g2 = saturate(g, r, b), b2 = saturate(b, r, g);
                r = r2, g = g2, b = b2;
            }
            if (relight) {
                r = lightness[r];
                g = lightness[g];
                b = lightness[b];
            }
            store(dst, d.red, r);
            store(dst, d.green, g);
            store(dst, d.blue, b);
        }
        if (ReportProgress(StripPercent(y, s.regionHeight)))
            return UCF_ERR_CANCELLED;
    }
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateHueSaturationFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_HUESAT(owner));
}
