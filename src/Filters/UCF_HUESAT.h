// "HUESAT": turns every pixel's hue, scales its saturation and lightness, or
// gives every coloured pixel one hue (colorize). Colour formats only.
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_HUESAT : public UCFilter
{
public:
    explicit UCF_HUESAT(UtilFilter* owner);
    ~UCF_HUESAT() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t Initialize() override;
    int32_t BeginApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;

    virtual int32_t ProcessRows8(const FilterJob& job, int32_t hue, int32_t colorize);
    virtual int32_t ProcessRows16(const FilterJob& job, int32_t hue, int32_t colorize);

private:
    template <typename Sample, typename Wide, int32_t N>
    int32_t ProcessRows(const FilterJob& job, int32_t hue, int32_t colorize);

    int32_t m_words[4] = {}; // lightness, hue, saturation, colorize
    int32_t m_effectiveHue = 0;
};

std::unique_ptr<UCFilter> CreateHueSaturationFilter(UtilFilter* owner);
