// "NEW MEM COLOR": shifts the hue, saturation and value of one remembered
// colour range (sky, skin), in proportion to how well each pixel matches it.
// Another filter may chain it through ProcessRowInline.
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_NEWMEMC : public UCFilter
{
public:
    explicit UCF_NEWMEMC(UtilFilter* owner);

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t BeginApply() override;
    int32_t EndApply() override;
    int32_t ProcessStrip(const FilterJob& job) override;
    // One row of packed R, G, B bytes, corrected in place.
    void ProcessRowInline(uint8_t* row, int32_t width) override;

    // Membership in degrees 0..360 of the hue range h1..h2 (wrapping when h1 > h2).
    static void BuildHueTable(int32_t h1, int32_t h2, uint8_t table[361]);
    // Membership in percent 0..100 of the range low..high, with soft edges.
    static void BuildRangeTable(int32_t low, int32_t high, uint8_t table[101]);

private:
    void Correct(uint8_t& r, uint8_t& g, uint8_t& b) const;

    uint8_t m_hue[361] = {};
    uint8_t m_saturation[101] = {};
    uint8_t m_value[101] = {};
    int64_t m_amount[3] = {}; // hue, saturation, value
    bool m_ready = false;
};

std::unique_ptr<UCFilter> CreateNewMemoryColourFilter(UtilFilter* owner);
