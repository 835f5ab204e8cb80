// CResize: scales an image or a buffer of 4-byte pixels into a destination of
// the caller's size; the method is the resize filter's mode (0 bilinear,
// 1 bicubic, 2 area average).
#pragma once

#include "CUtilFilter/UtilFilter.h"

class CResize : public CUtilFilter
{
public:
    virtual int ExecuteOnFormattedBuffers(int method, uint8_t* sourcePixels, int sourceWidth,
                                          int sourceHeight, int sourceFormat, uint8_t* destinationPixels,
                                          int destinationWidth, int destinationHeight, int destinationFormat);
    virtual int ExecuteOnBuffers(int method, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                                 uint8_t* destinationPixels, int destinationWidth, int destinationHeight);
    virtual int ExecuteOnImages(int method, CImage* source, CImage* destination);

private:
    int Run(int method);

    int32_t m_parameters[2] = {0, 0};
};
