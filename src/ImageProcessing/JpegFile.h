// CJpegFile: the image-file class for JPEG files. Grey and colour files are
// decoded by libjpeg, four-component files by the editor's own decoder fed in
// chunks; everything written goes through the editor's own encoder. Also reads
// the Exif thumbnail of camera files and decodes JPEG streams held in memory.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFile.h"

#include <cstdint>
#include <cstdio>
#include <string>

class CImage;

class CJpegFile : public CImageFile
{
public:
    int ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                   double* scale, COLORREF background, int noEnlarge, const SIZE* maximum) override;
    int Read(std::string path, CImage* target) override;
    // WriteBufferEx at sampling mode 0, quality 100.
    int WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                    int height) override;
    // WriteImage at sampling mode 0, quality 100.
    int Write(std::string path, CImage* source) override;
    // A 32-bit picture (B, G, R, 0) bottom row first; the plane, when wanted, all 0.
    int ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                   const SIZE* maximum) override;

    // pixels: bottom row first, B, G, R and a fourth byte that is not read; the
    // plane is not used by this format.
    virtual int WriteBufferEx(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane,
                              int width, int height, int samplingMode, int quality);
    virtual int WriteImage(std::string path, CImage* source, int samplingMode, int quality);

    // The thumbnail of an Exif segment that directly follows the start of image.
    int ReadExifThumbnail(std::string path, CImage* target);
    // 1 when the stream was decoded into the target, 0 (target released) otherwise.
    int DecodeMemory(const std::uint8_t* data, int length, CImage* target);

    // Read on a stream already open (from its start); the fuzz harness feeds memory through it.
    int ReadStream(std::FILE* stream, CImage* target);
};

// The orientation (1 to 8) the Exif segment of the JPEG file at `path`
// records for its picture; 1 (upright) when it records none or the file's
// header cannot be read. The readers above apply it themselves.
int JpegFileOrientation(const std::string& path);

// Cuts the used range out of a JPEG file and writes it as a new JPEG file (the
// whole picture when the range covers it). 1 on success, 0 on failure.
int CropJpegFile(const std::string& source, const std::string& target, const RECT& range);
