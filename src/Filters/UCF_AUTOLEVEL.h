// "AUTO LEVEL": stretches each channel so that a given share of the darkest
// pixels becomes black and of the brightest full intensity. The analysis finds
// a black and a white point per channel; a client may store its own instead.
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_AUTOLEVEL : public UCFilter
{
public:
    static constexpr int32_t kResultBytes = 32;

    explicit UCF_AUTOLEVEL(UtilFilter* owner);
    ~UCF_AUTOLEVEL() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t EndAnalysis() override;
    int32_t BeginApply() override;
    int32_t EndApply() override;
    int32_t SetAnalysisResult(void* sizeAndData) override;
    int32_t GetAnalysisResult(void* sizeAndData) override;
    int32_t ProcessStrip(const FilterJob& job) override;

    // Black and white point of one histogram of `levels` counts (32-bit
    // counts for 256 levels, 64-bit for 65536) over `pixels` pixels.
    static void FindPoints(const void* histogram, int32_t levels, int64_t pixels, double lowPercent,
                           double highPercent, uint32_t* lo, uint32_t* hi);
    // A level table from a black and a white point (bytes or 16-bit entries).
    static void BuildLevels(uint32_t lo, uint32_t hi, int32_t levels, void* table);

private:
    int32_t m_tableKind = -1; // histogram kind the level tables were built for
};

std::unique_ptr<UCFilter> CreateAutoLevelFilter(UtilFilter* owner);
