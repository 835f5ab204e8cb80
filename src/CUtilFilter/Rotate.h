// CRotate: turns an image a quarter turn into a destination of the turned size.
// On the editor's bottom-up images direction 1 turns the picture clockwise and
// direction 0 counter-clockwise.
#pragma once

#include "CUtilFilter/UtilFilter.h"

class CRotate : public CUtilFilter
{
public:
    virtual int ExecuteOnFormattedBuffers(int direction, uint8_t* sourcePixels, int sourceWidth,
                                          int sourceHeight, int sourceFormat, uint8_t* destinationPixels,
                                          int destinationWidth, int destinationHeight, int destinationFormat);
    virtual int ExecuteOnBuffers(int direction, uint8_t* sourcePixels, int sourceWidth, int sourceHeight,
                                 uint8_t* destinationPixels, int destinationWidth, int destinationHeight);
    virtual int ExecuteOnImages(int direction, CImage* source, CImage* destination);

private:
    int Run(int direction);
};
