// "RESIZE": scales the source to the size of a separate destination, bilinear
// (mode 0), bicubic (mode 1) or by area averaging (mode 2, reduction only).
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_RESIZE : public UCFilter
{
public:
    explicit UCF_RESIZE(UtilFilter* owner);
    ~UCF_RESIZE() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t BeginApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;

private:
    int32_t Mode() const;
    int32_t CheckGeometry(const PixelLayout& s, const PixelLayout& d) const;
    int32_t Bilinear(const PixelLayout& s, const PixelLayout& d);
    int32_t Bicubic(const PixelLayout& s, const PixelLayout& d);
    int32_t AreaAverage(const PixelLayout& s, const PixelLayout& d);

    int32_t* m_columns = nullptr;     // source column of each destination column
    uint8_t* m_phases = nullptr;      // its cubic phase
    int32_t* m_accumulator = nullptr; // one row of vertical sums, one entry each side
};

std::unique_ptr<UCFilter> CreateResizeFilter(UtilFilter* owner);
