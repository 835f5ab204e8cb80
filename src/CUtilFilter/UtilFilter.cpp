#include "CUtilFilter/UtilFilter.h"

#include "CUtilFilter/FilterProgressSink.h"
#include "Core/ErrorCheck.h"
#include "Filters/UtilFilter.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/Image.h"

#include <new>

namespace {

void ResetDescriptor(ImageDescriptor& d)
{
    d = ImageDescriptor{};
    d.version = 1;
    d.matchWordA = 1;
    d.format = 8;
    d.byteSwap16 = 0;
    d.extraWord = 1;
}

void BindDescriptor(ImageDescriptor& d, uint8_t* pixels, int width, int height, int rowBytes)
{
    d.width = d.regionWidth = width;
    d.height = d.regionHeight = height;
    d.rowBytes = rowBytes;
    d.pixels = pixels;
    d.rectLeft = d.left;
    d.rectTop = d.top;
    d.rectRight = d.width;
    d.rectBottom = d.height;
}

bool Suitable(CImage* image)
{
    return image && image->IsValid() && image->GetBits() && image->GetBitsPerPixel() == 32;
}

} // namespace

CUtilFilter::CUtilFilter()
{
    ResetFilter();
}

CUtilFilter::~CUtilFilter()
{
    CUtilFilter::ResetFilter();
}

int CUtilFilter::SetProgressWindow(IFilterProgressSink* window)
{
    m_progressWindow = window;
    return 1;
}

int CUtilFilter::BindBuffers(uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                             uint8_t* destinationPixels, int destinationWidth, int destinationHeight)
{
    ResetFilter();
    BindDescriptor(m_source, sourcePixels, sourceWidth, sourceHeight, 4 * sourceWidth);
    if (destinationPixels)
        BindDescriptor(m_destination, destinationPixels, destinationWidth, destinationHeight,
                       4 * destinationWidth);
    return 1;
}

int CUtilFilter::BindImages(CImage* source, CImage* destination)
{
    ResetFilter();
    if (!Suitable(source)) {
        ResetFilter();
        return 0;
    }
    BindDescriptor(m_source, source->GetBits(), source->GetWidth(), source->GetHeight(),
                   source->GetRowBytes());
    if (Suitable(destination))
        BindDescriptor(m_destination, destination->GetBits(), destination->GetWidth(),
                       destination->GetHeight(), destination->GetRowBytes());
    return 1;
}

void CUtilFilter::BindBothBuffers(uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                                  uint8_t* destinationPixels, int destinationWidth, int destinationHeight)
{
    BoolCheck(sourcePixels && destinationPixels, ErrorIdSilent);
    BindBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                destinationHeight);
}

void CUtilFilter::BindBothImages(CImage* source, CImage* destination)
{
    BoolCheck(source && destination, ErrorIdSilent);
    BoolCheck(BindImages(source, destination) == 1, ErrorIdSilent);
}

void CUtilFilter::ResetFilter()
{
    ResetDescriptor(m_source);
    ResetDescriptor(m_destination);
    m_filter.reset();
}

int CUtilFilter::OnProgress(int event, UtilFilter* filter)
{
    if (!m_progressWindow)
        return 0;
    const intptr_t percent =
        event == 1 && filter && filter->GetContext() ? filter->GetContext()->lastPercent : 0;
    return static_cast<int>(m_progressWindow->SendFilterMessage(UM_FILTERPROGRESS, event, percent));
}

void CUtilFilter::SetPixelFormats(int sourceFormat, int destinationFormat)
{
    for (auto [d, format] :
         {std::pair{&m_source, sourceFormat}, std::pair{&m_destination, destinationFormat}}) {
        int rowBytes = 0;
        switch (format) {
        case 1:
            rowBytes = d->regionWidth;
            break;
        case 2:
            rowBytes = 3 * d->regionWidth;
            break;
        case 4:
            rowBytes = AlignRowBytes(3 * d->regionWidth);
            break;
        case 8:
            rowBytes = 4 * d->regionWidth;
            break;
        default:
            throw ErrorIdSilent;
        }
        d->format = format;
        d->rowBytes = rowBytes;
    }
}

int32_t CUtilFilter::ProgressCallback(void* clientData, int32_t event, UtilFilter* filter)
{
    if (clientData)
        static_cast<CUtilFilter*>(clientData)->OnProgress(event, filter);
    return 0; // the editor never stops a filter
}

int CUtilFilter::RunFilter(int32_t filterId, const void* parameters, int32_t parameterSize,
                           bool passDestination)
{
    try {
        m_filter.reset(new (std::nothrow) UtilFilter(&m_source, passDestination ? &m_destination : nullptr,
                                                     filterId, parameterSize, parameters));
        NullCheck(m_filter.get(), ErrorIdReported);
        const int32_t built = m_filter->GetLastResult();
        BoolCheck(built != 2000, ErrorIdReported);
        BoolCheck(built == 0, ErrorIdSilent);
        m_filter->SetClientData(this);
        const int32_t result = m_filter->Execute(&CUtilFilter::ProgressCallback, 3, 0);
        BoolCheck(result != 2000, ErrorIdReported);
        BoolCheck(result == 0, ErrorIdSilent);
    } catch (...) {
        m_filter.reset();
        throw;
    }
    m_filter.reset();
    return 1;
}
