// "AFFINE": turns the source by any angle about its centre into a destination,
// sampling nearest, bilinear or bicubic; what falls outside becomes white.
#pragma once

#include <memory>

#include "UCFilter.h"

class UCF_AFFINE : public UCFilter
{
public:
    explicit UCF_AFFINE(UtilFilter* owner);
    ~UCF_AFFINE() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t ApplyStrip() override;
};

// The parameter block of the affine filter.
struct AffineParameters
{
    double angle;   // degrees
    int32_t method; // 0 bilinear, 1 nearest, 2 bicubic
    int32_t unused;
};

std::unique_ptr<UCFilter> CreateAffineFilter(UtilFilter* owner);
