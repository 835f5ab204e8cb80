// The orientation a picture file records (Exif tag 0x0112 of a JPEG, a TIFF's
// Orientation, both 1 to 8) and its application, so that every reader hands
// out the picture upright, as a viewer shows it.
#pragma once

#include "ImageProcessing/DecodedPicture.h"

#include <cstddef>
#include <cstdint>
#include <span>

class CImage;
class CTiffIfdReader;

// The stored first row is the top and its first pixel the left: nothing to do.
constexpr int kUprightOrientation = 1;

// The value itself for 1 to 8; anything else counts as upright.
int KnownOrientation(int value);
// 5 to 8 stand the picture on its side: the upright width is the stored height.
bool OrientationSwapsSides(int orientation);
// The upright size of a picture stored `width` x `height`.
void UprightSize(int orientation, std::uint32_t width, std::uint32_t height, std::uint32_t* uprightWidth,
                 std::uint32_t* uprightHeight);

// Orientation of the main picture in an Exif block (the TIFF-structured body of
// an APP1 "Exif" segment): tag 0x0112 of the first directory, upright when it
// is missing, malformed or out of range.
int ExifOrientation(const CTiffIfdReader& block);
// The same for the APP1 payload as it follows the marker ("Exif", two NULs,
// the block); upright for a payload that is not Exif.
int ExifSegmentOrientation(std::span<const std::uint8_t> payload);

// 4-byte pixels as stored: `top` is the stored first row, `rowStep` the bytes
// from one stored row to the next (negative for a bottom-up buffer).
struct StoredPixels
{
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t rowStep = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// A bottom-up picture (the editor's layout) whose rows lie `rowBytes` apart.
StoredPixels BottomUpPixels(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height,
                            std::size_t rowBytes);

// Writes the stored pixels upright into `upright`, whose size must be the
// upright size. All four bytes of each pixel move together.
void OrientPixels(const StoredPixels& stored, int orientation, const PictureView& upright);

// A packed 4-byte picture stored top row first (`width` x `height`) as a new
// packed picture upright and bottom row first, the editor's layout; the size
// becomes the upright one. Null when memory is short.
PageBuffer OrientTopDownPixels(const std::uint8_t* pixels, int orientation, std::uint32_t* width,
                               std::uint32_t* height);

// Turns or mirrors the image in place (its mask is dropped: only pictures
// without one come here). Throws ImageFileDrawFailed when the upright image
// cannot be made.
void OrientImage(CImage* image, int orientation);
