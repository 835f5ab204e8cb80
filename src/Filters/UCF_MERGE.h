// "MERGE": blends a colour or the source itself through a grey mask with one
// of the blend modes of UCFilterMerge.
#pragma once

#include "UCFilter.h"
#include "UCFilterMerge.h"

#include <cstddef>
#include <memory>

class UCF_MERGE : public UCFilter
{
public:
    explicit UCF_MERGE(UtilFilter* owner);
    ~UCF_MERGE() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t SetSecondImage(void* sizeAndDescriptor) override;
    int32_t BeginApply() override;
    int32_t ProcessStrip(const FilterJob& job) override;
    int32_t EndApply() override;

private:
    ImageDescriptor m_mask;
    bool m_hasMask = false;
    std::unique_ptr<UCFilterMerge> m_merge;
};

// Checks a (size, descriptor) pair handed to a second-image filter and copies
// the descriptor: 2006 a wrong size, 2102 not 8-bit grey.
int32_t TakeGreySecondImage(const void* sizeAndDescriptor, ImageDescriptor* copy);
// The same, storing the copy and marking it held only when it was taken.
int32_t HoldGreySecondImage(const void* sizeAndDescriptor, ImageDescriptor& held, bool& isHeld);
// The names and fields every second-image filter reports alike.
void FillSecondImageInfo(FilterInfo* info, const char* name, std::size_t nameBytes);
// A mask read at the image's own rows must cover the whole region: 2006 otherwise.
int32_t CheckMaskCovers(const ImageDescriptor& mask, const ImageDescriptor& image);

std::unique_ptr<UCFilter> CreateMergeFilter(UtilFilter* owner);
