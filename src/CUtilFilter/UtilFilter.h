// CUtilFilter: the base of the editor's filter adapters. Binds 32-bit images or
// pixel buffers to the filter library, runs one filter over the whole image and
// turns its result codes into enumErrorID exceptions (1 memory, -1 otherwise).
#pragma once

#include "Filters/ImageDescriptor.h"

#include <cstdint>
#include <memory>

class CImage;
class IFilterProgressSink;
class UtilFilter;

class CUtilFilter
{
public:
    CUtilFilter();
    virtual ~CUtilFilter();
    CUtilFilter(const CUtilFilter&) = delete;
    CUtilFilter& operator=(const CUtilFilter&) = delete;

    // None (null) sends no progress messages.
    virtual int SetProgressWindow(IFilterProgressSink* window);
    virtual int BindBuffers(uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                            uint8_t* destinationPixels, int destinationWidth, int destinationHeight);
    // 0 when the source is missing or not a 32-bit image with pixels; an
    // unsuitable destination is left unbound.
    virtual int BindImages(CImage* source, CImage* destination);
    virtual void ResetFilter();
    virtual int OnProgress(int event, UtilFilter* filter);

    // Throws -1 for a code other than 1, 2, 4 and 8.
    void SetPixelFormats(int sourceFormat, int destinationFormat);
    static int32_t ProgressCallback(void* clientData, int32_t event, UtilFilter* filter);

    const ImageDescriptor& GetSourceDescriptor() const { return m_source; }
    const ImageDescriptor& GetDestinationDescriptor() const { return m_destination; }

protected:
    // The binding of the adapters that need both a source and a destination:
    // a missing pixel buffer or image, or images that cannot be bound, throw -1.
    void BindBothBuffers(uint8_t* sourcePixels, int sourceWidth, int sourceHeight, uint8_t* destinationPixels,
                         int destinationWidth, int destinationHeight);
    void BindBothImages(CImage* source, CImage* destination);
    // Runs the filter over the bound images; 1 on success, throws on failure.
    int RunFilter(int32_t filterId, const void* parameters, int32_t parameterSize, bool passDestination);

    ImageDescriptor m_source;
    ImageDescriptor m_destination;
    std::unique_ptr<UtilFilter> m_filter;
    IFilterProgressSink* m_progressWindow = nullptr;
};
