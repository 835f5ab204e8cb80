#include "UCF_CROP.h"

#include "CropNarrowing.h"
#include "FilterErrorCode.h"
#include "GeometricInfo.h"
#include "UtilFilter.h"

#include <cstring>
#include <new>

UCF_CROP::UCF_CROP(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_CROP::~UCF_CROP() = default;

int32_t UCF_CROP::GetInfo(const ImageDescriptor*, int32_t, const void*, FilterInfo* info)
{
    FillGeometricInfo(info, "Crop FILTER");
    return UCF_OK;
}

int32_t UCF_CROP::ApplyStrip()
{
    ImageDescriptor& s = *m_source;
    // The rectangle must lie inside the buffer, and the destination inside it,
    // or the copy would read past the picture.
    PixelLayout probe;
    if (int32_t rc = DecodePixelFormat(&s, &probe))
        return rc;
    if (s.rectLeft < 0 || s.rectTop < 0 || s.rectLeft >= s.rectRight || s.rectTop >= s.rectBottom ||
        s.rectRight > s.regionWidth || s.rectBottom > s.regionHeight)
        return UCF_ERR_GEOMETRY;
    if (int32_t rc = NarrowToRect(&s, nullptr))
        return rc;
    if (!m_destination || !m_destination->pixels)
        return UCF_ERR_GEOMETRY;
    PixelLayout src, dst;
    if (int32_t rc = DecodePixelFormat(&s, &src))
        return rc;
    if (int32_t rc = DecodePixelFormat(m_destination, &dst))
        return rc;
    if (src.format != dst.format)
        return UCF_ERR_FORMATMISMATCH;
    if (!src.pixels || dst.regionWidth > src.regionWidth || dst.regionHeight > src.regionHeight)
        return UCF_ERR_GEOMETRY;
    const size_t rowBytes = static_cast<size_t>(dst.regionWidth) * dst.bytesPerPixel;
    const uint8_t* from = src.pixels;
    OutputRows out(*this);
    for (int32_t j = 0; j < dst.regionHeight && out.Row(); ++j) {
        std::memcpy(out.Row(), from, rowBytes);
        from += src.rowBytes;
        out.Advance();
    }
    out.Finish();
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateCropFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_CROP(owner));
}
