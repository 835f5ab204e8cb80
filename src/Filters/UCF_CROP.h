// "CROP": copies the source's rectangle of interest into a destination.
#pragma once

#include <memory>

#include "UCFilter.h"

class UCF_CROP : public UCFilter
{
public:
    explicit UCF_CROP(UtilFilter* owner);
    ~UCF_CROP() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t ApplyStrip() override;
};

std::unique_ptr<UCFilter> CreateCropFilter(UtilFilter* owner);
