#include "CropNarrowing.h"

#include "FilterErrorCode.h"
#include "PixelLayout.h"

int32_t NarrowToRect(ImageDescriptor* d, int64_t* byteOffset)
{
    int32_t samples = 0, bytes = 0;
    if (int32_t rc = DecodeFormat(d->format, &samples, &bytes))
        return rc;
    const int32_t w = d->rectRight - d->rectLeft;
    const int32_t h = d->rectBottom - d->rectTop;
    const int64_t offset = int64_t{d->rowBytes} * d->rectTop + int64_t{d->rectLeft} * samples * bytes;
    if (d->pixels)
        d->pixels += offset;
    d->width = d->regionWidth = d->rectRight = w;
    d->height = d->regionHeight = d->rectBottom = h;
    d->left = d->top = d->rectLeft = d->rectTop = 0;
    if (byteOffset)
        *byteOffset = offset;
    return UCF_OK;
}
