// "DSCNR": reduces the colour noise of camera pictures. Each pixel becomes a
// luminance and two colour differences; a 3 x 3 edge-aware rule smooths the
// luminance and the window's colour differences are evened out (their mean
// where the window is nearly flat, else their median; levels 2 and 3 take the
// median of a 7 x 7 or 9 x 9 window). Works in strips with an overlap, and in
// place when the destination has no pixels.
#pragma once

#include <memory>

#include "UCFilter.h"

#include <cstdint>

class UCF_DSCNR : public UCFilter
{
public:
    explicit UCF_DSCNR(UtilFilter* owner);
    ~UCF_DSCNR() override;

    int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                    FilterInfo* info) override;
    int32_t BeginApply() override;
    int32_t PrepareApply() override;
    int32_t ApplyStrip() override;
    int32_t EndApply() override;

    // Rows of the window above and below the centre; -1 for a level without one.
    static int32_t HalfOfLevel(int32_t level);
    // (R, G, B) from a luminance and two colour differences, clamped to 0..255.
    static void BackConvert(int32_t y, int32_t ry, int32_t by, uint8_t rgb[3]);
    // The luminance of the 3 x 3 rule: rows above, centre and below, each three
    // luminances left to right.
    static int32_t SmoothLuminance(const int32_t above[3], const int32_t centre[3], const int32_t below[3]);

private:
    int32_t LoadNextRow();
    const int32_t* RingRow(int64_t row) const;
    void RunKernel(int64_t row);

    int32_t m_level = 0;
    int32_t m_half = 0;
    int32_t m_taps = 0;
    int32_t m_width = 0;
    int64_t m_padded = 0; // triples per ring row
    int64_t m_totalRows = 0;
    int64_t m_loaded = 0; // rows converted into the ring so far
    int64_t m_outputRows = 0;
    int32_t m_index[3] = {}; // red, green and blue within a source pixel
    int32_t m_sourceStep = 0;
    const uint8_t* m_sourceRow = nullptr;
    int64_t m_sourceRowsLeft = 0;
    int32_t m_sourceRowBytes = 0;
    bool m_firstStripDone = false;
    const int32_t* m_tables = nullptr; // 38 i, 76 i, 14 i
    int32_t* m_ring = nullptr;
    uint8_t* m_outRow = nullptr;
    int32_t* m_window = nullptr; // one colour difference of a window, for the median
};

std::unique_ptr<UCFilter> CreateDscnrFilter(UtilFilter* owner);
