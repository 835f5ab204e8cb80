// CEFFFile: the image-file class for EFF files, JPEG streams with an "EFFHEAD"
// header segment and a fourth component that carries the picture's mask.
// Reads into an image with its mask or into buffers, writes from an image and
// its mask or from a buffer and a plane, and reads the header and thumbnails.
#pragma once

#include "ImageProcessing/EffFormat.h"
#include "ImageProcessing/ImageFile.h"

#include <cstdint>
#include <span>
#include <string>

class CImage;
class IJpegBatchSource;

// The header segment as read; 16-bit values in the machine's order, fields the
// file does not hold 0. Text fields keep at most 127 bytes and their NUL.
struct EffHeaderRecord
{
    std::uint16_t marker = 0;
    std::uint16_t segmentLength = 0;
    char tag[8] = {};
    char headerText[52] = {};
    std::uint8_t byte66 = 0;
    std::uint8_t byte67 = 0;
    std::uint16_t value68 = 0;
    std::uint16_t value70 = 0;
    std::uint16_t value72 = 0;
    char date[8] = {};
    char time[8] = {};
    char text[5][128] = {};
    std::uint16_t thumbnailCount = 0;
    char extensionTag[8] = {};
    std::uint8_t extensionByte0 = 0;
    std::uint8_t extensionByte1 = 0;
    std::uint16_t extensionValue0 = 0;
    std::uint8_t extensionByte2 = 0;
    std::uint8_t extensionByte3 = 0;
    std::uint16_t extensionValue1 = 0;
};

// The fields of a thumbnail segment.
struct EffThumbnailInfo
{
    std::uint16_t marker = 0;
    std::uint16_t segmentLength = 0;
    char tag[8] = {};
    std::uint8_t byte0 = 0;
    std::uint8_t byte1 = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

class CEFFFile : public CImageFile
{
public:
    // The clock stamps the header of the files written.
    explicit CEFFFile(const CEffClock& clock = DefaultEffClock()) : m_clock(clock) {}

    // The image gets its mask. A stream without the fourth component is refused with 6.
    int ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                   double* scale, COLORREF background, int noEnlarge, const SIZE* maximum) override;
    int Read(std::string path, CImage* target) override;
    // WriteBufferEx at sampling mode 0, quality 90.
    int WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                    int height) override;
    // WriteImage at sampling mode 0, quality 90.
    int Write(std::string path, CImage* source) override;
    // Pixels B, G, R and the mask value, bottom row first; the plane, when
    // wanted, the mask values alone.
    int ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                   const SIZE* maximum) override;

    // pixels: bottom row first, B, G, R and a fourth byte that is not read;
    // plane: the mask, width bytes a row, bottom row first; null writes opaque.
    virtual int WriteBufferEx(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane,
                              int width, int height, int samplingMode, int quality);
    virtual int WriteImage(std::string path, CImage* source, int samplingMode, int quality);
    // WriteImage of a picture made a batch of rows at a time as the encoder
    // asks for them, never held whole.
    int WriteRows(std::string path, int width, int height, IJpegBatchSource& rows, int samplingMode,
                  int quality);

    // 1 read, 0 failed (the record zeroed).
    int ReadEffHeader(std::string path, EffHeaderRecord* record);
    // Thumbnail `number` (0 the first) into the target; a result code.
    int ReadThumbnail(std::string path, int number, CImage* target, EffThumbnailInfo* info);
    // 1 when the EFF stream was decoded into the target with its mask; 0 (target released) otherwise.
    int DecodeWithHeader(const std::uint8_t* data, int length, CImage* target);

    // The header segment from the file's first bytes (`bytes` may end early):
    // 1 read, 0 refused (the record zeroed).
    static int ParseEffHeader(std::span<const std::uint8_t> bytes, EffHeaderRecord* record);

private:
    const CEffClock& m_clock;
};
