// TIFF files, read through libtiff's RGBA interface into the editor's 32-bit
// layout (blue, green, red, mask value; bottom row first), and the read-only
// file class over them.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <cstdint>
#include <string>

// Compressions the reader accepts: none, CCITT run length, Group 3, Group 4, LZW.
bool IsAcceptedTiffCompression(int compression);

// Reads the picture at `path`. A limit component of 0 or more bounds that
// direction, a negative one none; a picture beyond it gives ImageFileCancelled
// with `width` and `height` set, before the compression is looked at. The
// pixels' fourth byte is the mask value (255 - alpha), their colours with
// libtiff's premultiplication undone.
int ReadTiffPixels(const std::string& path, int limitWidth, int limitHeight, int* width, int* height,
                   PageBuffer* pixels);

// libtiff reports nothing to the user: its warnings and errors are dropped.
void InstallSilentTiffHandlers();

// Reads TIFF files through libtiff. Writing keeps the base's answer.
class CTiffFile : public CImageFile
{
public:
    int ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                   double* scale, COLORREF background, int noEnlarge, const SIZE* maximum) override;
    int Read(std::string path, CImage* target) override;
    int ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                   const SIZE* maximum) override;
};
