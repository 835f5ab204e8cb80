// Pictures that record an orientation, and what each orientation means: the
// stored corner that a viewer shows at each corner of the upright picture, as
// Exif and TIFF define the eight values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class FixtureCorner { TopLeft, TopRight, BottomLeft, BottomRight };

struct FixtureOrientation
{
    const char* name;
    int value; // 1 to 8
    // The stored corners shown at the upright top left, top right and bottom left.
    FixtureCorner topLeft, topRight, bottomLeft;
};

// The eight orientations in order of their values.
const std::vector<FixtureOrientation>& FixtureOrientations();

// The upright size of a picture stored `width` x `height`.
int FixtureUprightWidth(const FixtureOrientation& o, int width, int height);
int FixtureUprightHeight(const FixtureOrientation& o, int width, int height);
// The stored pixel (x, y) (y = 0 the top row) a viewer shows at upright (ux, uy).
void FixtureStoredPoint(const FixtureOrientation& o, int width, int height, int ux, int uy, int* x, int* y);

// Colour of the stored quadrant that holds (x, y) in a picture stored
// `width` x `height`, as 0xRRGGBB: every quadrant its own colour, so every
// orientation shows a different picture.
std::uint32_t FixtureQuadrantColour(int width, int height, int x, int y);

// An APP1 "Exif" segment (marker included) whose first directory records
// `orientation` (tag 0x0112, a SHORT), in either byte order.
std::vector<std::uint8_t> FixtureExifOrientationSegment(int orientation, bool bigEndian = false);
// A JPEG stream with that segment put directly after its start of image.
std::vector<std::uint8_t> FixtureWithExifOrientation(const std::vector<std::uint8_t>& jpeg, int orientation,
                                                     bool bigEndian = false);
// The quadrant picture `width` x `height` written by the editor's own encoder
// to `path`, then given the orientation segment; the file's bytes. Empty when
// the encoder fails.
std::vector<std::uint8_t> FixtureOrientedQuadrantJpeg(const std::string& path, int width, int height,
                                                      int orientation);
