#include "CUtilFilter/GaussianBlur.h"

#include "Core/ErrorCheck.h"
#include "Filters/FilterRegistry.h"

namespace {

void CheckRadius(int radius)
{
    BoolCheck(radius >= 2 && radius <= 100, ErrorIdSilent);
}

} // namespace

CGaussianBlur::CGaussianBlur() : m_parameters{0, 0}
{
}

int CGaussianBlur::ExecuteOnFormattedBuffers(int radius, uint8_t* sourcePixels, int sourceWidth,
                                             int sourceHeight, int sourceFormat, uint8_t* destinationPixels,
                                             int destinationWidth, int destinationHeight,
                                             int destinationFormat)
{
    BoolCheck(sourcePixels != nullptr, ErrorIdSilent);
    CheckRadius(radius);
    BindBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                destinationHeight);
    SetPixelFormats(sourceFormat, destinationFormat);
    return Run(radius);
}

int CGaussianBlur::ExecuteOnBuffers(int radius, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                                    uint8_t* destinationPixels, int destinationWidth, int destinationHeight)
{
    BoolCheck(sourcePixels != nullptr, ErrorIdSilent);
    CheckRadius(radius);
    BindBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                destinationHeight);
    return Run(radius);
}

int CGaussianBlur::ExecuteOnImages(int radius, CImage* source, CImage* destination)
{
    BoolCheck(source != nullptr, ErrorIdSilent);
    CheckRadius(radius);
    BoolCheck(BindImages(source, destination) == 1, ErrorIdSilent);
    return Run(radius);
}

int CGaussianBlur::Run(int radius)
{
    m_parameters[0] = radius;
    return RunFilter(UCF_ID_SGAUSS, m_parameters, sizeof(m_parameters), m_destination.pixels != nullptr);
}
