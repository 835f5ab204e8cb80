// "KRS": automatic photo correction. The analysis samples the picture on a
// coarse grid and derives tone curves, cast corrections, a second adjustment
// and a sharpening setting; the apply pass corrects each row as the inner
// sharpener loads it, optionally followed by the memory-colour filter.
#pragma once

#include <memory>

#include "KrsCorrection.h"
#include "UCFilter.h"

#include <cstdint>

class UCF_KRS : public UCFilter
{
public:
    explicit UCF_KRS(UtilFilter* owner);
    ~UCF_KRS() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t Initialize() override;
    int32_t BeginAnalysis() override;
    int32_t EndAnalysis() override;
    int32_t ReleaseAnalysis() override;
    int32_t GetStripOverlap() override;
    int32_t BeginApply() override;
    int32_t PrepareApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;
    int32_t SetAnalysisResult(void* sizeAndData) override;
    int32_t GetAnalysisResult(void* sizeAndData) override;
    int32_t AccumulateHistogram(const FilterJob& job) override;
    void ProcessRowInline(uint8_t* row, int32_t width) override;

    // Saturation on 0..256 and hue in degrees (-1 for grey) of a triple.
    static int32_t Saturation(int32_t r, int32_t g, int32_t b);
    static int32_t Hue(int32_t r, int32_t g, int32_t b);

private:
    struct Statistics;
    void Sample(Statistics& st, int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t* previous);
    void FirstStep(const Statistics& st, uint8_t* result);
    void ReleaseInner();
    void CorrectPixel(uint8_t* p) const;

    KrsCorrection m_state;
    KrsSettings m_settings;
    int32_t m_step = 1;
    int32_t m_columns = 0;
    int32_t m_gridRows = 0;
    int64_t m_rowNumber = 0;
    int32_t m_memoryOn = 0;
    std::unique_ptr<UCFilter> m_sharpener;
    std::unique_ptr<UCFilter> m_memoryColour;
};

std::unique_ptr<UCFilter> CreateKrsFilter(UtilFilter* owner);
