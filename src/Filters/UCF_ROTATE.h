// "ROTATE": a quarter turn of the source into a destination of the turned size.
#pragma once

#include <memory>

#include "UCFilter.h"

class UCF_ROTATE : public UCFilter
{
public:
    explicit UCF_ROTATE(UtilFilter* owner);
    ~UCF_ROTATE() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t ApplyStrip() override;
};

std::unique_ptr<UCFilter> CreateRotateFilter(UtilFilter* owner);
