// "BLUR MASK": the blur's kernel, truncated, mixed with the unblurred picture
// through a grey mask, or through a blend mode when there is none.
#pragma once

#include "UCF_SGAUSS.h"
#include "UCFilterMerge.h"

#include <memory>

class UCF_BLURMASK : public UCF_SGAUSS
{
public:
    explicit UCF_BLURMASK(UtilFilter* owner);
    ~UCF_BLURMASK() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t SetSecondImage(void* sizeAndDescriptor) override;
    int32_t BeginApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;

protected:
    int32_t FinishRow(const FilterJob& job, uint8_t* row, const uint8_t* unblurred, int64_t index) override;

private:
    ImageDescriptor m_mask;
    bool m_hasMask = false;
    std::unique_ptr<UCFilterMerge> m_merge;
};

std::unique_ptr<UCFilter> CreateBlurMaskFilter(UtilFilter* owner);
