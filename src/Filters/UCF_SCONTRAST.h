// "SCONTRAST": an S-shaped tone curve that steepens or flattens the middle
// tones, followed by a gamma step for brightness.
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_SCONTRAST : public UCFilter
{
public:
    explicit UCF_SCONTRAST(UtilFilter* owner);
    ~UCF_SCONTRAST() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t BeginApply() override;
    int32_t EndApply() override;
    int32_t ProcessStrip(const FilterJob& job) override;

    // The tone curve of a block into table (256 bytes or 65536 16-bit entries).
    static void BuildCurve(int32_t brightness, int32_t contrast, bool sixteenBit, void* table);

private:
    void* m_table = nullptr;
};

std::unique_ptr<UCFilter> CreateSContrastFilter(UtilFilter* owner);
