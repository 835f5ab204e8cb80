// How a client describes a source or destination image to the filter library.
// The facade and the filters keep their own copies; only the pixels are shared.
#pragma once

#include <cstdint>

struct ImageDescriptor
{
    int32_t version = 1;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0; // size of the pixel buffer
    int32_t height = 0;
    int32_t regionWidth = 0; // pixels per row and rows to process
    int32_t regionHeight = 0;
    int32_t rowBytes = 0;
    uint8_t* pixels = nullptr; // first row; null means no pixel data
    int32_t matchWordA = 1;
    int32_t format = 8;
    int32_t byteSwap16 = 0;
    int32_t extraWord = 1;
    int32_t rectLeft = 0; // rectangle of interest; the crop filter narrows to it
    int32_t rectTop = 0;
    int32_t rectRight = 0;
    int32_t rectBottom = 0;
    int32_t totalLines = 0; // the remaining words are set by the facade on strips
    int32_t isStrip = 0;
    int32_t stripRow = 0;
    int32_t stripColumn = 0;
    int32_t stripTop = 0;
};

// Pixel format codes, one bit each so that a filter can accept a mask of them.
enum PixelFormatCode : int32_t {
    UCF_FMT_GRAY8 = 1,
    UCF_FMT_RGB24 = 2,
    UCF_FMT_BGR24 = 4,
    UCF_FMT_BGRA32 = 8,
    UCF_FMT_ARGB32 = 16,
    UCF_FMT_GRAY16 = 32,
    UCF_FMT_RGB48 = 64,
};

constexpr int32_t UCF_FORMATS_8BIT = 31;
constexpr int32_t UCF_FORMATS_16BIT = 96;
constexpr int32_t UCF_FORMATS_ALL = 127;

// Address of row `row` of a descriptor's buffer; rows may be far apart, so the
// offset is formed in pointer-sized arithmetic.
inline uint8_t* DescriptorRow(const ImageDescriptor& d, int64_t row)
{
    return d.pixels + row * static_cast<int64_t>(d.rowBytes);
}
