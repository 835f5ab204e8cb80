#include "CUtilFilter/Resize.h"

#include "Filters/FilterRegistry.h"

int CResize::ExecuteOnFormattedBuffers(int method, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                                       int sourceFormat, uint8_t* destinationPixels, int destinationWidth,
                                       int destinationHeight, int destinationFormat)
{
    BindBothBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                    destinationHeight);
    SetPixelFormats(sourceFormat, destinationFormat);
    return Run(method);
}

int CResize::ExecuteOnBuffers(int method, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                              uint8_t* destinationPixels, int destinationWidth, int destinationHeight)
{
    BindBothBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                    destinationHeight);
    return Run(method);
}

int CResize::ExecuteOnImages(int method, CImage* source, CImage* destination)
{
    BindBothImages(source, destination);
    return Run(method);
}

int CResize::Run(int method)
{
    m_parameters[0] = method;
    m_parameters[1] = 0;
    return RunFilter(UCF_ID_RESIZE, m_parameters, sizeof(m_parameters), true);
}
