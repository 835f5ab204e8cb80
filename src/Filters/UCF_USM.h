// "USM": unsharp mask. Each channel is blurred with a small integer kernel
// chosen by the radius and the difference to the blur, scaled by the amount
// and reduced by the threshold, is added back. Works whole or in strips with
// an overlap of the kernel's half width; another filter may be chained in
// front, correcting every row the sharpener loads before it is sharpened.
#pragma once

#include <memory>

#include "UCFilter.h"
#include "UsmKernels.h"

#include <cstdint>

class UCF_USM : public UCFilter
{
public:
    explicit UCF_USM(UtilFilter* owner);

    // Not owned. It receives each loaded row as packed samples (R, G, B or
    // grey), padded by the half width on both sides.
    void SetChainedFilter(UCFilter* filter);

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t BeginApply() override;
    int32_t PrepareApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;

private:
    uint8_t* Slot(int64_t row) const;
    int32_t LoadRow(int64_t row);
    int32_t RunPass(const FilterJob& job);
    int32_t SharpenRow(const FilterJob& job, uint8_t* destination);

    UCFilter* m_chained = nullptr;
    int32_t m_radius = 0;
    int64_t m_amount = 0;    // A = trunc(amount x 1.28): the difference is scaled by A / 128
    int64_t m_threshold = 0; // in the samples' own units
    bool m_thinned = false;
    int32_t m_k = 1;
    int32_t m_window = 3;
    int32_t m_shift = 7;
    int16_t m_coefficients[kUsmCoefficients] = {};
    int32_t m_width = 0;
    int32_t m_channels = 3;
    int32_t m_sampleBytes = 1;
    int32_t m_index[3] = {};
    int64_t m_rows = 0;
    int64_t m_rowsDone = 0;  // output rows written
    int64_t m_nextLoad = 0;  // the next row to enter the ring
    int64_t m_slotBytes = 0; // bytes from one ring row to the next
    int64_t m_packed = 0;    // samples of a padded row
    uint8_t* m_ring = nullptr;
    uint8_t* m_scratch = nullptr; // window sums, blur and output row
    const uint8_t* m_sourceRow = nullptr;
    int64_t m_sourceRowsLeft = 0;
    int32_t m_sourceRowBytes = 0;
    int32_t m_sourceSwap = 0;
    int32_t m_firstStripDone = 0;
};

std::unique_ptr<UCFilter> CreateUnsharpMaskFilter(UtilFilter* owner);
