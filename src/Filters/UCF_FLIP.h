// "FLIP": mirrors left-right, upside down or both, in place or into a
// destination of the same size.
#pragma once

#include <memory>

#include "UCFilter.h"

class UCF_FLIP : public UCFilter
{
public:
    explicit UCF_FLIP(UtilFilter* owner);
    ~UCF_FLIP() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t ApplyStrip() override;

private:
    int32_t InPlace(const PixelLayout& s, int32_t mode);
};

std::unique_ptr<UCFilter> CreateFlipFilter(UtilFilter* owner);
