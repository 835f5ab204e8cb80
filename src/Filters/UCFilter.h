// The base of every filter and itself the inverse filter ("INVS"): it fixes the
// command protocol with the facade and the per-row processing chain that point
// filters override.
#pragma once

#include <memory>

#include "FilterInfo.h"
#include "ImageDescriptor.h"
#include "PixelLayout.h"

#include <cstddef>
#include <cstdint>

class UtilFilter;

// The histogram a source format is counted in (0: RGB 8-bit, 1: RGB 16-bit,
// 2: grey 8-bit, 3: grey 16-bit) and the bytes it takes.
int32_t HistogramKind(int32_t format);
size_t HistogramBytes(int32_t kind);

class UCFilter
{
public:
    explicit UCFilter(UtilFilter* owner);
    virtual ~UCFilter();
    UCFilter(const UCFilter&) = delete;
    UCFilter& operator=(const UCFilter&) = delete;

    virtual int32_t GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                            FilterInfo* info);
    virtual int32_t Command(int32_t number, void* argument);
    virtual void ProcessRowInline(uint8_t* row, int32_t width);

    // Commands 1 to 15, in order.
    virtual int32_t Initialize();
    virtual int32_t BeginAnalysis();
    virtual int32_t AnalyseStrip();
    virtual int32_t EndAnalysis();
    virtual int32_t ReleaseAnalysis();
    virtual int32_t SetSecondImage(void* sizeAndDescriptor);
    virtual int32_t GetStripOverlap();
    virtual int32_t BeginApply();
    virtual int32_t PrepareApply();
    virtual int32_t ApplyStrip();
    virtual int32_t EndApply();
    virtual int32_t SetAnalysisResult(void* sizeAndData);
    virtual int32_t GetAnalysisResult(void* sizeAndData);
    virtual int32_t ReleaseApply();
    virtual int32_t Finish();

    virtual int32_t ProcessStrip(const FilterJob& job);
    virtual int32_t ProcessRow8(const uint8_t* source, uint8_t* destination, int32_t sourceStep,
                                int32_t destinationStep, int32_t width, int32_t samples);
    virtual int32_t ProcessRow16(const uint8_t* source, uint8_t* destination, int32_t sourceStep,
                                 int32_t destinationStep, int32_t width, int32_t samples);
    virtual void ProcessSample8(uint8_t* destination, const uint8_t* source);
    virtual void ProcessSample16(uint8_t* destination, const uint8_t* source);
    virtual int32_t AccumulateHistogram(const FilterJob& job);

    void SetOwner(UtilFilter* owner);
    UtilFilter* GetOwner() const { return m_owner; }
    // Nonzero means the client wants the run stopped.
    int32_t ReportProgress(int32_t percent);
    void EmitOutputLines(int32_t lines);

    // Destination rows handed out strip by strip by the facade; geometric
    // filters write their rows through it.
    class OutputRows
    {
    public:
        explicit OutputRows(UCFilter& filter);
        // Address of the current row, or null when the facade gives no more.
        uint8_t* Row() const { return m_row; }
        // Rows of the current strip from the current one on, and their addresses.
        int32_t Available() const { return m_row ? m_left : 0; }
        uint8_t* RowAt(int32_t k) const { return m_row + static_cast<int64_t>(k) * m_rowBytes; }
        // After a row was written: moves on, reporting a finished strip.
        void Advance();
        // Reports rows written into a strip that was not completed.
        void Finish();

    private:
        void NextStrip();
        UCFilter& m_filter;
        uint8_t* m_row = nullptr;
        int32_t m_left = 0;
        int32_t m_written = 0;
        int64_t m_done = 0;
        int32_t m_rowBytes = 0;
    };

protected:
    // The working source and destination decoded; the first failing code.
    int32_t DecodeSourceAndDestination(PixelLayout* source, PixelLayout* destination) const;

    ImageDescriptor m_descriptor;        // the working source as it was at Initialize
    ImageDescriptor* m_source = nullptr; // the facade's working descriptors
    ImageDescriptor* m_destination = nullptr;
    const void* m_parameters = nullptr;
    FilterJob m_job;
    int32_t m_extraWord = 0;
    int32_t m_matchWordA = 0;
    int32_t m_format = 0;
    int32_t m_samples = 0;
    int32_t m_bytesPerSample = 0;
    int32_t m_hasAnalysisResult = 0;
    UtilFilter* m_owner = nullptr;
    int32_t m_histogramKind = 0;
    int32_t m_rowCounter = 0;
};

// Registry factory of the inverse filter.
std::unique_ptr<UCFilter> CreateInverseFilter(UtilFilter* owner);
