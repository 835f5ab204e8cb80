#include "UCF_FLIP.h"

#include "FilterErrorCode.h"
#include "GeometricInfo.h"
#include "SampleAccess.h"
#include "UtilFilter.h"

#include <cstring>
#include <new>
#include <utility>

UCF_FLIP::UCF_FLIP(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_FLIP::~UCF_FLIP() = default;

int32_t UCF_FLIP::GetInfo(const ImageDescriptor*, int32_t parameterSize, const void* parameters,
                          FilterInfo* info)
{
    if (parameterSize < 4 || !parameters)
        return UCF_ERR_BADPARAM;
    FillGeometricInfo(info, "Flip FILTER");
    return UCF_OK;
}

int32_t UCF_FLIP::ApplyStrip()
{
    int32_t mode = 0;
    std::memcpy(&mode, m_parameters, 4);
    if (mode > 2)
        return UCF_ERR_BADPARAM;
    PixelLayout s;
    if (int32_t rc = DecodePixelFormat(m_source, &s))
        return rc;
    if (mode < 0 || !s.pixels)
        return UCF_OK;
    if (!m_destination || !m_destination->pixels || m_destination->pixels == s.pixels)
        return InPlace(s, mode);
    PixelLayout d;
    if (int32_t rc = DecodePixelFormat(m_destination, &d))
        return rc;
    if (d.format != s.format)
        return UCF_ERR_FORMATMISMATCH;
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    const ColourSamples cs = ColourSamplesOf(s);
    const int64_t w = s.regionWidth;
    const int64_t h = s.regionHeight;
    const int32_t bpp = s.bytesPerPixel;
    OutputRows out(*this);
    for (int64_t j = 0; j < h && out.Row(); ++j) {
        const uint8_t* src = s.pixels + (mode == 0 ? j : h - 1 - j) * s.rowBytes;
        uint8_t* dst = out.Row();
        for (int64_t i = 0; i < w; ++i)
            CopyColour(dst + i * bpp, src + (mode == 1 ? i : w - 1 - i) * bpp, cs, s.bytesPerSample);
        out.Advance();
    }
    out.Finish();
    m_source->extraWord = -1;
    m_destination->extraWord = -1;
    return UCF_OK;
}

// Swaps the colour samples of two pixels; alpha stays where it is.
static void SwapColour(uint8_t* a, uint8_t* b, const ColourSamples& cs, int32_t bytesPerSample)
{
    for (int32_t k = 0; k < cs.count; ++k)
        for (int32_t byte = 0; byte < bytesPerSample; ++byte)
            std::swap(a[cs.offset[k] + byte], b[cs.offset[k] + byte]);
}

static void ReverseRow(uint8_t* row, int64_t width, int32_t bpp, const ColourSamples& cs,
                       int32_t bytesPerSample)
{
    for (int64_t i = 0; i < width / 2; ++i)
        SwapColour(row + i * bpp, row + (width - 1 - i) * bpp, cs, bytesPerSample);
}

int32_t UCF_FLIP::InPlace(const PixelLayout& s, int32_t mode)
{
    const ColourSamples cs = ColourSamplesOf(s);
    const int64_t w = s.regionWidth;
    const int64_t h = s.regionHeight;
    const int32_t bpp = s.bytesPerPixel;
    auto row = [&](int64_t k) { return s.pixels + k * s.rowBytes; };
    if (mode == 0) {
        for (int64_t k = 0; k < h; ++k)
            ReverseRow(row(k), w, bpp, cs, s.bytesPerSample);
    } else {
        for (int64_t k = 0; k < h / 2; ++k) {
            uint8_t* a = row(k);
            uint8_t* b = row(h - 1 - k);
            for (int64_t i = 0; i < w; ++i)
                SwapColour(a + i * bpp, b + (mode == 2 ? w - 1 - i : i) * bpp, cs, s.bytesPerSample);
        }
        if (mode == 2 && h % 2 == 1)
            ReverseRow(row(h / 2), w, bpp, cs, s.bytesPerSample);
    }
    m_source->extraWord = -1;
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateFlipFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_FLIP(owner));
}
