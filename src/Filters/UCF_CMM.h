// "CMM": the place of colour management; a run succeeds and leaves the pixels
// as they were.
#pragma once

#include <memory>

#include "UCFilter.h"

class UCF_CMM : public UCFilter
{
public:
    explicit UCF_CMM(UtilFilter* owner);

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t ProcessStrip(const FilterJob& job) override;
};

std::unique_ptr<UCFilter> CreateCmmFilter(UtilFilter* owner);
