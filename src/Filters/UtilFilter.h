// The one entry into the filter library: a client describes its images, names a
// filter by registry id and runs it, whole or in strips. Every operation answers
// a result code; nothing is thrown across it.
#pragma once

#include "FilterErrorCode.h"
#include "FilterInfo.h"
#include "ImageDescriptor.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

class UCFilter;
class UtilFilter;

using FilterCallback = int32_t (*)(void* clientData, int32_t event, UtilFilter* filter);

constexpr int kWorkBufferCount = 7;

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};

// Everything a facade holds for one filter; clients read the last percentage
// and move the working source descriptor here from their callback.
struct FilterContext
{
    std::unique_ptr<ImageDescriptor> source;
    std::unique_ptr<ImageDescriptor> destination;
    int32_t parameterSize = 0;
    std::unique_ptr<uint8_t, FreeDeleter> parameters;
    FilterCallback callback = nullptr;
    int32_t stopRequest = 0; // 1: every progress report answers 2005
    void* clientData = nullptr;
    int32_t filterId = 0;
    int32_t secondImageSize = 0;
    ImageDescriptor* secondImage = nullptr;
    int32_t lastPercent = 0;
    uint32_t registryFlags = 0;
    FilterInfo info;
    bool hasAnalysis = false;
    bool stripsAllowed = false;
    bool parametersHandedOver = false;
    bool clientStripsOffered = false;
    bool destinationRequired = false;
    int32_t stepMode = 0;
    int32_t runMode = 0;
    int32_t clientStrips = 0;
    int32_t stripLines = -1;
    int32_t overlap = -1;
    int32_t remainingLines = 0;
    int32_t outputRemaining = 0; // rows the output strips may still hand out
    int32_t sourceHeight = 0;
    int32_t sourceWidth = 0;
    int32_t counter0 = 0;
    int32_t counter1 = 0;
    ImageDescriptor workingSource;
    ImageDescriptor workingDestination;
    std::unique_ptr<UCFilter> filter;
    std::unique_ptr<uint8_t, FreeDeleter> workBuffers[kWorkBufferCount];
    int32_t stepSourceRemaining = 0;
    int32_t stepSourceDone = 0;
    int32_t stepDestinationDone = 0;
    int32_t stepDestinationRemaining = 0;
};

class UtilFilter
{
public:
    UtilFilter(const ImageDescriptor* source, const ImageDescriptor* destination, int32_t filterId,
               int32_t parameterSize, const void* parameters);
    virtual ~UtilFilter();
    UtilFilter(const UtilFilter&) = delete;
    UtilFilter& operator=(const UtilFilter&) = delete;

    int32_t GetLastResult() const { return m_lastResult; }
    FilterContext* GetContext() const { return m_context.get(); }
    // The word handed back to the callback as its first argument.
    void SetClientData(void* data);

    virtual int32_t GetAnalysisResult(void* resultBlock);
    virtual int32_t QueryAnalysisResult(void* resultBlock);
    virtual int32_t SetAnalysisResult(void* resultBlock);
    virtual int32_t StoreAnalysisResult(void* resultBlock);
    virtual int32_t SetSecondImage(int32_t size, ImageDescriptor* descriptor);
    virtual int32_t ClampStripLines(int32_t lines);
    virtual int32_t Execute(FilterCallback callback, int32_t mode, int32_t lines);
    virtual int32_t AnalyseImage();
    virtual int32_t ApplyImage();
    virtual int32_t ApplyWhole();
    virtual int32_t ApplyStripsInPlace();
    virtual int32_t ApplyStrips();
    virtual int32_t ExecuteStrips(FilterCallback callback, int32_t mode, int32_t lines);
    virtual int32_t AnalyseStrips();
    virtual int32_t ApplyStripsEx();
    virtual int32_t BeginAnalysis(int32_t* totalLines);
    virtual int32_t AnalyseStrip(const ImageDescriptor* strip, int32_t* remainingLines);
    virtual int32_t EndAnalysis();
    virtual int32_t BeginApply(int32_t* overlap, int32_t* totalLines);
    virtual int32_t GetApplyOverlap();
    virtual int32_t ApplyStrip(const ImageDescriptor* source, const ImageDescriptor* destination,
                               int32_t* remainingSourceLines);
    virtual int32_t EndApply();
    virtual void FreeResources();
    virtual int32_t Notify(int32_t event);

    int32_t ReportProgress(int32_t percent);
    void* AllocWorkBuffer(int32_t index, size_t bytes);
    void FreeWorkBuffer(int32_t index);
    void* GetWorkBuffer(int32_t index) const;
    const void* GetParameterBlock() const;
    // For filters that write their destination rows themselves: the number of
    // rows they may write at rowAddress before reporting them.
    int32_t NextOutputStrip(uint8_t** rowAddress);
    void OutputStripDone(int32_t lines);
    int32_t SetSourceDescriptor(const ImageDescriptor* descriptor);
    int32_t SetDestinationDescriptor(const ImageDescriptor* descriptor);

private:
    int32_t Fail(int32_t code);
    int32_t SendCommand(int32_t number, void* argument = nullptr);
    int32_t CheckRun(FilterCallback callback, int32_t mode, int32_t lines, bool stepped);
    int32_t PrepareDestination();
    void SetRunMode(int32_t mode);
    int32_t StartRun(FilterCallback callback);
    int32_t BeginApplyRun();
    int32_t EndApplyRun(int32_t code);
    int32_t FinishApplyRun();
    int32_t ApplyOverlap();
    int32_t BeginAnalysisRun();
    int32_t EndAnalysisRun(int32_t code);
    int32_t FinishAnalysisRun();
    void PrepareWorkingDescriptors(bool asStrips);
    int32_t StoreDescriptor(std::unique_ptr<ImageDescriptor> FilterContext::*slot,
                            const ImageDescriptor* descriptor);

    std::unique_ptr<FilterContext> m_context;
    int32_t m_lastResult = 0;
};
