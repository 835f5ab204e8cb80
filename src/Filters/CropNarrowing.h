// Turns a descriptor into one of its rectangle of interest.
#pragma once

#include "ImageDescriptor.h"

#include <cstdint>

// Moves the pixels to the rectangle's corner and makes it the whole image;
// 2102 for an unknown format.
int32_t NarrowToRect(ImageDescriptor* descriptor, int64_t* byteOffset);
