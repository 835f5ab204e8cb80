// Fixtures of the JPEG, EFF and Exif file tests: JPEG files written by libjpeg
// at test time in the colour spaces the readers tell apart, and byte builders
// for camera files with an Exif thumbnail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class JpegFixtureKind {
    Grey,         // one component
    Rgb,          // three components, YCbCr with a JFIF segment
    AdobeRgb,     // three components R, G, B; Adobe marker transform 0, no JFIF
    Cmyk,         // four components, Adobe marker transform 0
    Ycck,         // four components, Adobe marker transform 2
    CmykNoAdobe,  // four components as given, no Adobe marker (no real CMYK writer omits it)
    TwoComponent, // two components, no colour space
};

int JpegFixtureComponents(JpegFixtureKind kind);

// samples: width x height x components bytes, top row first (for Cmyk and
// Ycck the C, M, Y, K values as stored, inverted as Adobe writers keep them).
// Four-component files are sampled 2x2 on the first and fourth component.
std::vector<std::uint8_t> JpegFixtureEncode(JpegFixtureKind kind, const std::uint8_t* samples,
                                            std::uint32_t width, std::uint32_t height, int quality = 95);

// One colour everywhere.
std::vector<std::uint8_t> JpegFixtureSolid(JpegFixtureKind kind, std::vector<std::uint8_t> sample,
                                           std::uint32_t width, std::uint32_t height);

std::vector<std::uint8_t> JpegFixtureReadFile(const std::string& path);

// A camera-like file: SOI, APP1 "Exif" with a TIFF block in the given byte
// order whose IFD1 holds the thumbnail, then a small main picture. With
// compression 6 `thumbnail` is a JPEG stream; with 1 it is width x height RGB
// triplets and `stripByteCounts` is written as given.
struct ExifFixture
{
    bool bigEndian = false;
    int compression = 6;
    std::vector<std::uint8_t> thumbnail;
    std::uint32_t width = 0;  // compression 1
    std::uint32_t height = 0; // compression 1
    std::uint32_t stripByteCounts = 0;
    bool withCompressionTag = true;
    bool jfifFirst = false; // an APP0 JFIF segment before the Exif segment
    std::string identifier = "Exif";
    int orientation = 1; // IFD0's Orientation, the main picture's
};
std::vector<std::uint8_t> ExifFixtureFile(const ExifFixture& fixture);

// An EFF file with header text fields and one thumbnail segment (`thumbnail`,
// a JPEG stream of width x height), built from our own EFF file `main`;
// `longText` becomes the second text field.
std::vector<std::uint8_t> EffFixtureWithThumbnail(const std::vector<std::uint8_t>& main,
                                                  const std::vector<std::uint8_t>& thumbnail, int width,
                                                  int height, const std::string& longText);
