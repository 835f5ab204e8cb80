// libjpeg as the reference codec of the tests and benchmarks, in memory.
// Errors come back as false; libjpeg's longjmp never crosses C++ frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct JpegReferenceImage
{
    uint32_t width = 0;
    uint32_t height = 0;
    int components = 0;
    std::vector<uint8_t> pixels; // top row first, `components` bytes a pixel
};

struct JpegReferenceEncodeOptions
{
    int quality = 90;
    int hSampling = 2; // luminance sampling; chroma is 1x1
    int vSampling = 2;
    int restartInterval = 0; // in MCUs
    bool cmyk = false;       // four components, no colour transform
    bool jfif = true;
};

// rgb: width x height x 3 bytes (x 4 for cmyk), top row first.
bool JpegReferenceEncode(const uint8_t* pixels, uint32_t width, uint32_t height,
                         const JpegReferenceEncodeOptions& options, std::vector<uint8_t>& stream);
// The same into the caller's buffer, nothing allocated for the output; false
// when the stream does not fit.
bool JpegReferenceEncodeInto(const uint8_t* pixels, uint32_t width, uint32_t height,
                             const JpegReferenceEncodeOptions& options, uint8_t* buffer, size_t capacity,
                             size_t& written);

// Decodes to RGB (or CMYK) with the accurate integer IDCT.
bool JpegReferenceDecode(const uint8_t* stream, size_t size, bool fancyUpsampling, JpegReferenceImage& image);

// libjpeg's quantisation tables (natural order) at a quality, forced to baseline.
bool JpegReferenceQuantTables(int quality, uint16_t luminance[64], uint16_t chrominance[64]);

// An RGB stream coded without colour transform, so that its components are R, G, B;
// with adobeMarker an Adobe segment (transform 0) says so, as RGB writers mark it.
bool JpegReferenceEncodeRgbComponents(const uint8_t* rgb, uint32_t width, uint32_t height, int quality,
                                      std::vector<uint8_t>& stream, bool adobeMarker = false);
