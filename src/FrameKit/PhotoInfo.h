#pragma once

#include <cstddef>
#include <cstdint>

// Random-access bytes of a photo, so that the reader can be fed from memory.
class ZAVByteSource
{
public:
    virtual ~ZAVByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads count bytes at offset; false when any of them lies past the end.
    virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const = 0;
};

class ZAVMemoryByteSource : public ZAVByteSource
{
public:
    ZAVMemoryByteSource(const void* data, std::size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size)
    {
    }
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
};

// Photo information record; the texts are always terminated.
struct ZAVPhotoInfo
{
    std::int32_t reserved[2];
    std::int32_t fileSizeKiB;
    char exposureText[28];
    char fNumberText[20];
    char isoText[20];
    char modelText[128];
    std::int32_t flash;   // 1 did not fire, 2 fired, 0 unknown
    std::int32_t unknown; // -1
    char dateOriginal[20];
    char dateDigitized[20];
    char dateTime[20];
    char makeText[128];
    // Values the macros do not use.
    std::uint32_t imageWidth;
    std::uint32_t imageLength;
    std::int32_t photometric;
    char exifVersion[5];
    std::int32_t exposureBiasNum;
    std::int32_t exposureBiasDen;
    std::int32_t meteringMode;
    std::int32_t lightSource;
    std::uint32_t makerNoteOffset;
    std::uint32_t makerNoteLength;
    std::uint32_t pixelXDimension;
    std::uint32_t pixelYDimension;
    std::int32_t exposureMode;
    std::int32_t whiteBalance;
    std::int32_t sceneCaptureType;
    std::int32_t gainControl;
    std::int32_t contrast;
    std::int32_t saturation;
    std::int32_t sharpness;
    std::int32_t subjectDistanceRange;
};

// Flags of what the reader met in the file.
enum ZAVPhotoFlag : std::uint32_t {
    ZAV_PHOTO_JFIF = 1u << 0,
    ZAV_PHOTO_EXIF = 1u << 1,
    ZAV_PHOTO_VLVDX = 1u << 2,
    ZAV_PHOTO_ICC = 1u << 3,
    ZAV_PHOTO_TEXT = 1u << 4,
    ZAV_PHOTO_TIFF = 1u << 5,
    ZAV_PHOTO_PRINT_BLOCK = 1u << 6,
};

// Kinds of information; the reader answers the first that applies, in this order.
enum ZAVPhotoKind : int {
    ZAV_PHOTO_NOTHING = 0,    // nothing usable, or the file ends early
    ZAV_PHOTO_KIND_EXIF = 1,  // JPEG with an Exif segment
    ZAV_PHOTO_KIND_TIFF = 2,  // TIFF file
    ZAV_PHOTO_KIND_TEXT = 3,  // JPEG with the camera's text segment only
    ZAV_PHOTO_KIND_JFIF = 4,  // plain JFIF
    ZAV_PHOTO_KIND_MAKER = 5, // only the maker's segment, whose contents the kit does not decode
    ZAV_PHOTO_BAD_ARGUMENT = 101,
    ZAV_PHOTO_CANNOT_OPEN = 100,
};

// Print-matching parameters. Nothing in the kit uses them beyond parsing, so the
// ranges below are ours: a parameter out of its range is left absent.
struct ZAVVividexRecord
{
    std::int32_t version;        // the four version characters as a decimal number
    bool present;                // any parameter below was recognised
    bool hasParam[15];           // tags 1 to 14 at their index
    std::uint8_t param[15][4];   // tags 1 to 6: the value in its first bytes; 7 to 14 unchanged
    bool hasSwitch[8];           // tags 257 to 262 at index 1 to 6, 272 at index 7
    std::uint8_t switchValue[8]; // low four bits
    bool hasColorSwitch;         // tag 263
    std::uint8_t colorSwitch[3]; // 0 for 128, 2 otherwise
    bool hasMode;                // tag 256
    std::uint8_t mode;
};

// Tag 272 counts from this block version on.
constexpr std::int32_t kVividexSwitch272Since = 310;

// Where the print-matching block may lie and in which byte order it is written.
struct ZAVVividexBlockReader
{
    const ZAVByteSource* source;
    std::uint64_t offset; // the tag word
    std::uint64_t limit;  // the first byte not belonging to the block
    bool bigEndian;
};

// 0, or 2 when the block is not valid.
int VividexBlockParser(const ZAVVividexBlockReader& block, ZAVVividexRecord* record);

// See ZAVPhotoKind for the answers.
int ExifPhotoInfoReader(const char* path, ZAVPhotoInfo* info, std::uint32_t* flags, ZAVVividexRecord* record);
int ExifPhotoInfoReader(const ZAVByteSource& source, ZAVPhotoInfo* info, std::uint32_t* flags,
                        ZAVVividexRecord* record);

// Camera names of the text segment's type codes; nullptr for an unknown code.
const char* ZavCameraTypeName(int code);
