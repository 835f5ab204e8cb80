// CGaussianBlur: blurs an image (radius 2 to 100) into a destination, or in
// place when there is none; the transparency tools feather masks with it.
#pragma once

#include "CUtilFilter/UtilFilter.h"

class CGaussianBlur : public CUtilFilter
{
public:
    CGaussianBlur();

    virtual int ExecuteOnFormattedBuffers(int radius, uint8_t* sourcePixels, int sourceWidth,
                                          int sourceHeight, int sourceFormat, uint8_t* destinationPixels,
                                          int destinationWidth, int destinationHeight, int destinationFormat);
    virtual int ExecuteOnBuffers(int radius, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                                 uint8_t* destinationPixels, int destinationWidth, int destinationHeight);
    virtual int ExecuteOnImages(int radius, CImage* source, CImage* destination);

private:
    int Run(int radius);

    int32_t m_parameters[2];
};
