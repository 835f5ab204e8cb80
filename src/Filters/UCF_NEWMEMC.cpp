#include "UCF_NEWMEMC.h"

#include "FilterErrorCode.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

// Hue is kept in 1/255 degree, saturation and value in 0..255; membership is
// the product of three byte tables, up to 255^3, so every product with an
// amount is formed in 64 bits.

namespace {

constexpr char kName[] = "New Memory color FILTER";
constexpr int32_t kFormats = UCF_FMT_RGB24 | UCF_FMT_BGR24 | UCF_FMT_BGRA32 | UCF_FMT_ARGB32;
constexpr int32_t kBlockBytes = 52; // words 0-12; words 0-3 belong to the sharpener
constexpr int64_t kSector = 60 * 255;
constexpr int64_t kFullTurn = 360 * 255;
constexpr int64_t kFullMembership = int64_t{255} * 255 * 255;

int32_t ReadWords(int32_t size, const void* block, int32_t words[13])
{
    if (!block || size < kBlockBytes)
        return UCF_ERR_BADPARAM;
    std::memcpy(words, block, kBlockBytes);
    return UCF_OK;
}

struct Hsv
{
    int64_t hue = 0; // 0 .. 360 * 255 - 1
    int64_t saturation = 0;
    int64_t value = 0;
};

Hsv ToHsv(int64_t r, int64_t g, int64_t b)
{
    Hsv c;
    const int64_t mx = std::max({r, g, b});
    const int64_t mn = std::min({r, g, b});
    const int64_t d = mx - mn;
    c.value = mx;
    c.saturation = mx == 0 ? 0 : d * 255 / mx;
    if (d == 0)
        return c; // grey: no hue to divide out
    if (mx == r)
        c.hue = kSector * (g - b) / d;
    else if (mx == g)
        c.hue = 2 * kSector + kSector * (b - r) / d;
    else
        c.hue = 4 * kSector + kSector * (r - g) / d;
    if (c.hue < 0)
        c.hue += kFullTurn;
    return c;
}

void FromHsv(const Hsv& c, uint8_t& r, uint8_t& g, uint8_t& b)
{
    const int64_t v = c.value, s = c.saturation;
    const int64_t sector = c.hue / kSector;
    const int64_t f = c.hue % kSector;
    const int64_t p = v * (255 - s) / 255;
    const int64_t q = v * (255 * kSector - s * f) / (255 * kSector);
    const int64_t t = v * (255 * kSector - s * (kSector - f)) / (255 * kSector);
    int64_t rgb[3];
    switch (sector) {
    case 0:
        rgb[0] = v, rgb[1] = t, rgb[2] = p;
        break;
    case 1:
        rgb[0] = q, rgb[1] = v, rgb[2] = p;
        break;
    case 2:
        rgb[0] = p, rgb[1] = v, rgb[2] = t;
        break;
    case 3:
        rgb[0] = p, rgb[1] = q, rgb[2] = v;
        break;
    case 4:
        rgb[0] = t, rgb[1] = p, rgb[2] = v;
        break;
    default:
        rgb[0] = v, rgb[1] = p, rgb[2] = q;
        break;
    }
    r = static_cast<uint8_t>(std::clamp<int64_t>(rgb[0], 0, 255));
    g = static_cast<uint8_t>(std::clamp<int64_t>(rgb[1], 0, 255));
    b = static_cast<uint8_t>(std::clamp<int64_t>(rgb[2], 0, 255));
}

int32_t Wrap360(int32_t degree)
{
    return ((degree % 360) + 360) % 360;
}

void Raise(uint8_t table[361], int32_t degree, int32_t value)
{
    const int32_t d = Wrap360(degree);
    table[d] = static_cast<uint8_t>(std::max<int32_t>(table[d], value));
    if (d == 0)
        table[360] = static_cast<uint8_t>(std::max<int32_t>(table[360], value));
}

} // namespace

UCF_NEWMEMC::UCF_NEWMEMC(UtilFilter* owner) : UCFilter(owner)
{
}

int32_t UCF_NEWMEMC::GetInfo(const ImageDescriptor*, int32_t parameterSize, const void* parameters,
                             FilterInfo* info)
{
    int32_t words[13];
    if (int32_t rc = ReadWords(parameterSize, parameters, words))
        return rc;
    *info = FilterInfo{};
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 1;
    info->word17 = 1;
    info->formatMask = kFormats;
    return UCF_OK;
}

void UCF_NEWMEMC::BuildHueTable(int32_t h1, int32_t h2, uint8_t table[361])
{
    std::memset(table, 0, 361);
    for (int32_t d = 0; d <= 360; ++d) {
        const bool inside = h1 <= h2 ? (d >= h1 && d <= h2) : (d >= h1 || d <= h2);
        if (inside)
            table[d] = 255;
    }
    for (int32_t j = 1; j <= 50; ++j) {
        const int32_t v = (50 - j) * 255 / 50;
        Raise(table, h1 - j, v);
        Raise(table, h2 + j, v);
    }
}

void UCF_NEWMEMC::BuildRangeTable(int32_t low, int32_t high, uint8_t table[101])
{
    for (int32_t i = 0; i <= 100; ++i) {
        int32_t v = 0;
        if (i < low - 20)
            v = 0;
        else if (i < low)
            v = (i - (low - 20)) * 255 / 20;
        else if (i <= high)
            v = 255;
        else if (i <= high + 20)
            v = (high - i) * 255 / 20 - 1; // negative past high: kept as its byte, a falling ramp
        table[i] = static_cast<uint8_t>(v);
    }
}

int32_t UCF_NEWMEMC::BeginApply()
{
    m_ready = false;
    const FilterContext* context = m_owner->GetContext();
    int32_t words[13];
    if (int32_t rc = ReadWords(context ? context->parameterSize : 0, m_parameters, words))
        return rc;
    if (words[4] == 0 && words[5] == 0 && words[6] == 0)
        return UCF_ERR_BADPARAM;
    for (int32_t i = 0; i < 3; ++i)
        m_amount[i] = words[4 + i];
    BuildHueTable(std::clamp(words[7], 0, 360), std::clamp(words[8], 0, 360), m_hue);
    BuildRangeTable(std::clamp(words[9], 0, 100), std::clamp(words[10], 0, 100), m_saturation);
    BuildRangeTable(std::clamp(words[11], 0, 100), std::clamp(words[12], 0, 100), m_value);
    m_ready = true;
    return UCF_OK;
}

int32_t UCF_NEWMEMC::EndApply()
{
    m_ready = false;
    return UCF_OK;
}

void UCF_NEWMEMC::Correct(uint8_t& r, uint8_t& g, uint8_t& b) const
{
    Hsv c = ToHsv(r, g, b);
    const int64_t m =
        int64_t{m_hue[c.hue / 255]} * m_saturation[c.saturation * 100 / 255] * m_value[c.value * 100 / 255];
    if (m == 0)
        return; // outside the range: the colour is not touched
    const int64_t hueShift = m_amount[0] * (m / 255) / 255;
    // Saturation and value move by percent of their full scale.
    const int64_t saturationShift = m_amount[1] * m * 255 / (kFullMembership * 100);
    const int64_t valueShift = m_amount[2] * m * 255 / (kFullMembership * 100);
    if (hueShift == 0 && saturationShift == 0 && valueShift == 0)
        return;
    c.hue = ((c.hue + hueShift) % kFullTurn + kFullTurn) % kFullTurn;
    c.saturation = std::clamp<int64_t>(c.saturation + saturationShift, 0, 255);
    c.value = std::clamp<int64_t>(c.value + valueShift, 0, 255);
    FromHsv(c, r, g, b);
}

int32_t UCF_NEWMEMC::ProcessStrip(const FilterJob& job)
{
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    if (!(d.format & kFormats) || !(s.format & kFormats))
        return UCF_ERR_FORMATMISMATCH;
    if (!m_ready)
        return UCF_ERR_NOBUFFER;
    const uint8_t* srcRow = s.pixels;
    uint8_t* dstRow = d.pixels;
    const int32_t total = m_descriptor.regionHeight > 0 ? m_descriptor.regionHeight : 1;
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        const uint8_t* p = srcRow;
        uint8_t* q = dstRow;
        for (int32_t x = 0; x < s.regionWidth; ++x, p += s.bytesPerPixel, q += d.bytesPerPixel) {
            uint8_t r = p[s.red], g = p[s.green], b = p[s.blue];
            Correct(r, g, b);
            q[d.red] = r;
            q[d.green] = g;
            q[d.blue] = b;
        }
        ++m_rowCounter;
        if (ReportProgress(static_cast<int32_t>(int64_t{m_rowCounter} * 100 / total)))
            return UCF_ERR_CANCELLED;
        srcRow += s.rowBytes;
        dstRow += d.rowBytes;
    }
    return UCF_OK;
}

void UCF_NEWMEMC::ProcessRowInline(uint8_t* row, int32_t width)
{
    if (!m_ready || !row)
        return;
    for (int32_t x = 0; x < width; ++x, row += 3)
        Correct(row[0], row[1], row[2]);
}

std::unique_ptr<UCFilter> CreateNewMemoryColourFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_NEWMEMC(owner));
}
