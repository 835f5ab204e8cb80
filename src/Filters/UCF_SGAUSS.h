// "SGAUSS": a separable blur with a flat-topped tent kernel that approximates a
// Gaussian of the given radius. Works in strips with an overlap, and in place
// when the destination has no pixels.
#pragma once

#include <memory>

#include "BlurKernels.h"
#include "UCFilter.h"

#include <cstdint>

class UCF_SGAUSS : public UCFilter
{
public:
    explicit UCF_SGAUSS(UtilFilter* owner);

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t BeginApply() override;
    int32_t PrepareApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;

    // The kernel of a radius: taps, weights (out, room for 2 * radius - 1) and sum.
    static int32_t BuildKernel(int32_t radius, int16_t* weights, int32_t* sum);

protected:
    // Called for each finished row before its progress report, with the
    // unblurred source row it came from and its index in the whole region.
    virtual int32_t FinishRow(const FilterJob& job, uint8_t* row, const uint8_t* unblurred, int64_t index);
    const int32_t* ColourIndex() const { return m_index; }
    int32_t Radius() const { return m_radius; }
    bool m_truncateColour = false; // colour sums divided and truncated as grey ones are

private:
    int32_t LoadNextRow(const FilterJob& job, int64_t t);
    void VerticalStep(int64_t t);
    const uint8_t* Slot(int64_t t) const;
    int32_t RunPass(const FilterJob& job);
    int32_t WriteDirect(const FilterJob& job, uint8_t* row);
    int32_t FlushLanes(const FilterJob& job);
    int32_t RowDone();

    int32_t m_radius = 0;
    int32_t m_second = 0;
    int32_t m_half = 0;
    int32_t m_taps = 0;
    bool m_direct = false; // small kernels run tap by tap
    BlurShape m_shape;
    BlurDivider m_divider; // the small kernels' exact division
    int32_t m_width = 0;
    int32_t m_channels = 0;
    int32_t m_index[3] = {}; // the colour samples within a pixel
    int64_t m_rowSize = 0;   // bytes of a row's pixels; the ring holds rows as they are
    int32_t m_ringRows = 0;
    int64_t m_extLength = 0;
    int64_t m_totalRows = 0;
    int64_t m_outputRows = 0;
    int64_t m_nextSourceRow = 0; // absolute index of the row the source pointer holds
    int64_t m_t = 0;             // index of the last row pushed into the ring
    const uint8_t* m_sourceRow = nullptr;
    int64_t m_sourceRowsLeft = 0;
    int32_t m_sourceRowBytes = 0;
    int32_t m_firstStripDone = 0;
    int16_t* m_kernel = nullptr;
    uint8_t* m_ring = nullptr;      // ring of source rows
    int32_t* m_verticalA = nullptr; // step-d integrator, d rows
    int32_t* m_verticalB = nullptr; // running column sums
    int32_t* m_ext = nullptr;       // padded column sums of one channel, rows interleaved by lane
    int32_t* m_acc = nullptr;       // horizontal integrator of the lanes
    int32_t* m_laneOut = nullptr;   // one row of outputs per lane
    int32_t* m_laneSums = nullptr;  // column sums of each lane's row, centre corrected
    uint16_t* m_sums = nullptr;     // small kernels: vertical sums of a row
    uint8_t* m_outRow = nullptr;    // small kernels: one output row
    uint8_t* m_laneRows[kBlurLanes] = {};
    const uint8_t* m_laneCentres[kBlurLanes] = {};
    int64_t m_laneIndex[kBlurLanes] = {};
    int32_t m_lanes = 0;
};

std::unique_ptr<UCFilter> CreateSgaussFilter(UtilFilter* owner);
