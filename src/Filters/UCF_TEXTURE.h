// "TEXTURE": adds a tiled grey texture, through a tone table, to the colours.
#pragma once

#include <memory>

#include "UCFilter.h"

class UCF_TEXTURE : public UCFilter
{
public:
    explicit UCF_TEXTURE(UtilFilter* owner);
    ~UCF_TEXTURE() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t SetSecondImage(void* sizeAndDescriptor) override;
    int32_t BeginApply() override;
    int32_t ProcessStrip(const FilterJob& job) override;
    int32_t EndApply() override;

    // The texture's tone table for a contrast and threshold: 100 thresholds,
    // other contrasts steepen (positive) or flatten (negative) about 127.
    static void BuildToneTable(int32_t contrast, float threshold, uint8_t table[256]);

private:
    ImageDescriptor m_texture;
    bool m_hasTexture = false;
    int64_t m_level = 127;
};

std::unique_ptr<UCFilter> CreateTextureFilter(UtilFilter* owner);
