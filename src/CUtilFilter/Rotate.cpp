#include "CUtilFilter/Rotate.h"

#include "Filters/FilterRegistry.h"

int CRotate::ExecuteOnFormattedBuffers(int direction, uint8_t* sourcePixels, int sourceWidth,
                                       int sourceHeight, int sourceFormat, uint8_t* destinationPixels,
                                       int destinationWidth, int destinationHeight, int destinationFormat)
{
    BindBothBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                    destinationHeight);
    SetPixelFormats(sourceFormat, destinationFormat);
    return Run(direction);
}

int CRotate::ExecuteOnBuffers(int direction, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                              uint8_t* destinationPixels, int destinationWidth, int destinationHeight)
{
    BindBothBuffers(sourcePixels, sourceWidth, sourceHeight, destinationPixels, destinationWidth,
                    destinationHeight);
    return Run(direction);
}

int CRotate::ExecuteOnImages(int direction, CImage* source, CImage* destination)
{
    BindBothImages(source, destination);
    return Run(direction);
}

int CRotate::Run(int direction)
{
    const int32_t block = direction;
    return RunFilter(UCF_ID_ROTATE, &block, sizeof(block), true);
}
