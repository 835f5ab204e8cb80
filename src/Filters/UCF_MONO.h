// "MONO": turns colour pixels grey (the mean of red, green and blue), in place
// or into a destination of the same format and size.
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_MONO : public UCFilter
{
public:
    explicit UCF_MONO(UtilFilter* owner);
    ~UCF_MONO() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t ProcessStrip(const FilterJob& job) override;

    // One row each; the sample indices are those of red, green and blue.
    virtual void ProcessRows8(const uint8_t* source, uint8_t* destination, int32_t width, int32_t red,
                              int32_t green, int32_t blue, int32_t sourceStep, int32_t destinationStep);
    virtual void ProcessRows16(const uint8_t* source, uint8_t* destination, int32_t width, int32_t red,
                               int32_t green, int32_t blue, int32_t sourceStep, int32_t destinationStep,
                               int32_t byteSwap16);
};

std::unique_ptr<UCFilter> CreateMonoFilter(UtilFilter* owner);
