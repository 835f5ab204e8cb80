#include "UCF_AFFINE.h"

#include "CubicTable.h"
#include "FilterErrorCode.h"
#include "GeometricInfo.h"
#include "SampleAccess.h"
#include "UtilFilter.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

namespace {

constexpr double kDegree = 0.017453292519943295;

struct Sampler
{
    const PixelLayout& s;
    int32_t c; // byte offset of the sample within a pixel
    int64_t white;
    bool swap;

    // A sample outside the picture reads as white.
    int64_t At(int64_t x, int64_t y) const
    {
        if (x < 0 || y < 0 || x >= s.regionWidth || y >= s.regionHeight)
            return white;
        const uint8_t* p = s.pixels + y * s.rowBytes + x * s.bytesPerPixel + c;
        return s.bytesPerSample == 1 ? int64_t{*p} : int64_t{Load16(p, swap)};
    }

    int64_t Bilinear(int64_t xi, int64_t yi, int64_t fx, int64_t fy) const
    {
        const int64_t last = s.regionWidth - 1;
        int64_t p = At(xi, yi), r = At(xi + 1, yi), b = At(xi, yi + 1), br = At(xi + 1, yi + 1);
        if (xi == 0) {
            p = b = white;
        } else if (yi == 0) {
            p = r = white;
            if (xi == last)
                br = At(xi, 1);
        } else if (xi == last) {
            r = br = white;
        }
        if (yi + 1 >= s.regionHeight)
            b = br = white;
        return ((p * (512 - fx) * (512 - fy) + r * fx * (512 - fy)) >> 18) +
               ((b * (512 - fx) * fy + br * fx * fy) >> 18);
    }

    int64_t Bicubic(int64_t xi, int64_t yi, int64_t fx, int64_t fy) const
    {
        const int16_t* cy = kCubicTable[fy >> 3];
        const int16_t* cx = kCubicTable[fx >> 3];
        int64_t sum = 0;
        for (int k = 0; k < 4; ++k) {
            int64_t column = 0;
            for (int r = 0; r < 4; ++r)
                column += cy[r] * At(xi - 1 + k, yi - 1 + r);
            sum += cx[k] * column;
        }
        return Clamp64((sum + 0x80000) >> 20, 0, white);
    }
};

} // namespace

UCF_AFFINE::UCF_AFFINE(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_AFFINE::~UCF_AFFINE() = default;

int32_t UCF_AFFINE::GetInfo(const ImageDescriptor*, int32_t parameterSize, const void* parameters,
                            FilterInfo* info)
{
    // The angle and the method are read, so the block must hold both.
    if (parameterSize < static_cast<int32_t>(offsetof(AffineParameters, unused)) || !parameters)
        return UCF_ERR_BADPARAM;
    FillGeometricInfo(info, "Affine FILTER");
    return UCF_OK;
}

int32_t UCF_AFFINE::ApplyStrip()
{
    if (!m_destination || !m_destination->pixels)
        return UCF_ERR_GEOMETRY;
    PixelLayout s, d;
    if (int32_t rc = DecodeSourceAndDestination(&s, &d))
        return rc;
    double angle = 0;
    int32_t method = 0;
    std::memcpy(&angle, m_parameters, sizeof(angle));
    std::memcpy(&method, static_cast<const uint8_t*>(m_parameters) + offsetof(AffineParameters, method), 4);
    if (method < 0 || method > 2)
        return UCF_ERR_BADPARAM;
    if (s.format != d.format)
        return UCF_ERR_FORMATMISMATCH;
    if (!s.pixels)
        return UCF_ERR_GEOMETRY;

    const int64_t sn = static_cast<int64_t>(std::sin(angle * kDegree) * 512);
    const int64_t cs = static_cast<int64_t>(std::cos(angle * kDegree) * 512);
    int64_t hx = 512 * int64_t{s.regionWidth};
    int64_t hy = 512 * int64_t{s.regionHeight};
    if (std::fabs(angle) == 180.0) {
        hx -= 1;
        hy -= 1;
    }
    const int64_t ws = s.regionWidth, hs = s.regionHeight;
    const int64_t wd = d.regionWidth, hd = d.regionHeight;
    const ColourSamples samples = ColourSamplesOf(s);
    const bool wide = s.bytesPerSample == 2;
    const int64_t white = wide ? 65535 : 255;
    const bool swap = s.byteSwap16 != 0;

    OutputRows out(*this);
    for (int64_t j = 0; j < hd && out.Row(); ++j) {
        uint8_t* row = out.Row();
        for (int64_t i = 0; i < wd; ++i) {
            const int64_t X = (2 * i - wd) * cs - (2 * j - hd) * sn + hx;
            const int64_t Y = (2 * i - wd) * sn + (2 * j - hd) * cs + hy;
            uint8_t* px = row + i * d.bytesPerPixel;
            for (int32_t k = 0; k < samples.count; ++k) {
                const Sampler sampler{s, samples.offset[k], white, swap};
                int64_t v;
                if (method == 1) {
                    v = sampler.At(X >> 10, Y >> 10);
                } else {
                    const int64_t x2 = X >> 1, y2 = Y >> 1;
                    const int64_t xi = x2 >> 9, yi = y2 >> 9;
                    const int64_t fx = x2 & 511, fy = y2 & 511;
                    if (xi < 0 || yi < 0 || xi >= ws || yi >= hs)
                        v = white;
                    else if (method == 2 && xi >= 2 && xi < ws - 2 && yi >= 2 && yi < hs - 2)
                        v = sampler.Bicubic(xi, yi, fx, fy);
                    else
                        v = sampler.Bilinear(xi, yi, fx, fy);
                }
                if (wide)
                    Store16(px + samples.offset[k], static_cast<uint32_t>(v), swap);
                else
                    px[samples.offset[k]] = static_cast<uint8_t>(v);
            }
        }
        out.Advance();
    }
    out.Finish();
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateAffineFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_AFFINE(owner));
}
