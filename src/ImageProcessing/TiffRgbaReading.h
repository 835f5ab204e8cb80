// libtiff's RGBA reading of a TIFF picture as the file stores it (no flips:
// the caller turns it by its Orientation), with CIELab converted through the
// file's white point to sRGB and signed samples read as signed.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <cstdint>

typedef struct tiff TIFF;

// The picture's rows top row first as libtiff's packed RGBA (red, green, blue,
// alpha premultiplied). ImageFileUnsupported for what the RGBA reading cannot
// convert (also floating-point and complex samples, and signed samples other
// than 8- and 16-bit grey and RGB), ImageFileReadFailed when the data does not
// decode, ImageFileNoMemory.
int ReadStoredRgba(TIFF* tif, std::uint16_t photometric, std::uint32_t width, std::uint32_t height,
                   PageBuffer* raster);
