// "SGAUSS": a separable blur with a flat-topped tent kernel that approximates a
// Gaussian of the given radius. Works in strips with an overlap, and in place
// when the destination has no pixels.
#pragma once

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

private:
    int32_t LoadNextRow(const FilterJob& job, int64_t t);
    void Horizontal(int32_t* ext, int32_t* acc, uint8_t* out, int32_t outStep, bool colour) const;
    int32_t RunPass(const FilterJob& job);

    int32_t m_radius = 0;
    int32_t m_second = 0;
    int32_t m_half = 0;
    int32_t m_taps = 0;
    int32_t m_step = 1;   // the kernel's divisor step d
    int32_t m_boxes = 0;  // nested boxes the kernel splits into
    int32_t m_centre = 0; // centre weight minus the boxes covering it (0 or -1)
    int32_t m_boxSum = 0;
    uint32_t m_norm = 0; // S * S
    double m_inverse = 0;
    int32_t m_width = 0;
    int32_t m_channels = 0;
    int32_t m_ringRows = 0;
    int64_t m_extLength = 0;
    int64_t m_totalRows = 0;
    int64_t m_outputRows = 0;
    int64_t m_nextSourceRow = 0; // absolute index of the next row the source pointer holds
    int64_t m_t = 0;             // index of the last row pushed into the ring
    const uint8_t* m_sourceRow = nullptr;
    int64_t m_sourceRowsLeft = 0;
    int32_t m_sourceRowBytes = 0;
    int32_t m_firstStripDone = 0;
    uint8_t* m_ring = nullptr;      // ring of planar rows
    int32_t* m_verticalA = nullptr; // step-d integrator, d rows
    int32_t* m_verticalB = nullptr; // running column sums
    int32_t* m_ext = nullptr;       // one padded row of column sums
    int32_t* m_acc = nullptr;       // horizontal integrator
};

UCFilter* CreateSgaussFilter(UtilFilter* owner);
