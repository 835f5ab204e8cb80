// A descriptor decoded into the sample layout the filters' pixel loops use.
#pragma once

#include "ImageDescriptor.h"

#include <cstdint>

struct PixelLayout
{
    int32_t format = 0;
    int32_t samples = 0;
    int32_t bytesPerSample = 0;
    int32_t bytesPerPixel = 0;
    int32_t byteSwap16 = 0;
    uint8_t* pixels = nullptr;
    int32_t rowBytes = 0;
    int32_t regionWidth = 0;
    int32_t regionHeight = 0;
    int32_t red = 0; // sample index of each channel within a pixel
    int32_t green = 0;
    int32_t blue = 0;
    int32_t alpha = -1;
    uint8_t* sample[4] = {};
};

// The source and destination of one strip as a filter sees them.
struct FilterJob
{
    int32_t sameFormat = 1;
    int32_t sameSize = 1;
    int32_t sameMatchWord = 1;
    int32_t sameByteSwap = 1;
    int32_t hasDestination = 1;
    int32_t stripColumn = 0;
    int32_t stripRow = 0;
    PixelLayout source;
    PixelLayout destination;
};

// Samples and bytes per sample of a format code; 2102 and zeros for others.
int32_t DecodeFormat(int32_t format, int32_t* samples, int32_t* bytesPerSample);
int32_t DecodePixelFormat(const ImageDescriptor* descriptor, PixelLayout* layout);
// Without a destination that has pixels the job works in place on the source.
int32_t BuildFilterJob(const ImageDescriptor* source, const ImageDescriptor* destination, FilterJob* job);
