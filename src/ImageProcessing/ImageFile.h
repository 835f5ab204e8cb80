// The base of the image-file classes (BMP, JPEG, EFF, TIFF, Targa): the file
// object they read and write through, their virtual read and write operations,
// the result codes they share and the picture-size rule every reader applies.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "Platform/AtomicFileWriter.h"
#include "Platform/PageAllocator.h"
#include "Platform/WaitFeedback.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CImage;

// Result codes of every image-file operation.
enum ImageFileResult : int {
    ImageFileOk = 0,
    ImageFileMissing = 1,     // missing (reading) or not creatable (writing)
    ImageFileOpenFailed = 2,  // open failed (reading), unexpected failure (writing)
    ImageFileReadFailed = 3,  // short read, no pixel data, a failed buffer step
    ImageFileNoMemory = 4,    // out of memory; also every base write operation
    ImageFileDrawFailed = 5,  // a drawing-layer step failed
    ImageFileUnsupported = 6, // unsupported or unusable content
    ImageFileCancelled = 7,   // cancelled, or larger than the given maximum
    ImageFileCheckFailed = 8, // a failed check while reading
};

// Pictures above this many pixels are refused before anything is allocated:
// a 32-bit buffer of them is already 1 GiB.
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;

// Width and height as a header gives them: usable when both are at least 1 and
// their product does not pass the cap (computed in 64 bits).
bool IsUsablePictureSize(std::int64_t width, std::int64_t height);

struct PageBufferFree
{
    void operator()(std::uint8_t* block) const noexcept { PageFree(block); }
};
// A zero-filled block from the page allocator, released when it goes out of scope.
using PageBuffer = std::unique_ptr<std::uint8_t, PageBufferFree>;
// Null when `size` is 0, does not fit size_t or memory is short.
PageBuffer AllocPageBuffer(std::uint64_t size);

class CImageFile
{
public:
    CImageFile() = default;
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;
    virtual ~CImageFile();

    // The format operations. Reads give ImageFileUnsupported and writes
    // ImageFileNoMemory here; each format class overrides what it supports.
    // Buffers handed out come from the page allocator; the caller frees them
    // with PageFree. A maximum component of 0 or more limits that direction.
    virtual int ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                           double* scale, COLORREF background, int noEnlarge, const SIZE* maximum);
    virtual int Read(std::string path, CImage* target);
    virtual int WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane,
                            int width, int height);
    virtual int Write(std::string path, CImage* source);
    virtual int ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                           const SIZE* maximum);

    // Byte-order operations, virtual so that a format may replace them.
    virtual bool SwapRedBlue(std::uint8_t* buffer, int rowBytes, int rows);
    virtual void Swap16InPlace(std::uint16_t* value);
    virtual std::uint16_t Swap16(std::uint16_t value);
    virtual void Swap32InPlace(std::uint32_t* value);
    virtual std::uint32_t Swap32(std::uint32_t value);

    enum class OpenMode { Read, CreateReadWrite };

    // The raw file beneath the format classes. A file opened for writing is
    // staged beside the target and replaces it only at CommitWrite; closing
    // it before then leaves the target as it was.
    bool Open(const std::string& path, OpenMode mode);
    // Syncs the written file and swaps it in for the target; closes in either case.
    bool CommitWrite();
    bool IsOpen() const { return m_fd >= 0; }
    // Bytes moved; fewer than asked at the end of the file or on an error.
    std::size_t ReadBytes(void* buffer, std::size_t count);
    bool WriteBytes(const void* buffer, std::size_t count);
    bool Seek(std::uint64_t position);
    std::uint64_t GetPosition() const;
    std::uint64_t GetLength() const;
    // Closes only when a file is open, so closing twice is harmless.
    virtual void Close();

    // An existing file that is not a folder (the readers' first test).
    static bool IsReadableFile(const std::string& path);

protected:
    // True when the picture passes a non-negative component of the maximum.
    static bool ExceedsMaximum(std::int64_t width, std::int64_t height, const SIZE* maximum);
    // Puts a bottom-up picture (bpp 24 with rows padded to 4 bytes, or packed
    // 32) into the target as the scaled readers do: at its own size when it fits
    // the box and must not be enlarged, shrunk to fit with the no-enlarge flag,
    // else into a box-sized image of the background colour. `scale` is written
    // only when the picture is fitted. Throws a result code.
    static void PlaceScaled(CImage* target, const std::uint8_t* pixels, int bpp, int width, int height,
                            int boxWidth, int boxHeight, double* scale, COLORREF background, int noEnlarge);
    // Creates the target at the picture's size and transfers the rows. Throws.
    static void PlaceWhole(CImage* target, const std::uint8_t* pixels, int bpp, int width, int height);
    // Runs a read (or write) operation's body, the boundary of its failures: a
    // thrown code becomes the result, a failed check (0) ImageFileCheckFailed
    // (ImageFileUnsupported when writing), anything else ImageFileReadFailed
    // (ImageFileOpenFailed). The file is closed on every path.
    template <class Body> int Reading(Body&& body)
    {
        return Guarded(body, ImageFileCheckFailed, ImageFileReadFailed);
    }
    template <class Body> int Writing(Body&& body)
    {
        return Guarded(body, ImageFileUnsupported, ImageFileOpenFailed);
    }

private:
    template <class Body> int Guarded(Body& body, int failedCheck, int other)
    {
        int result = ImageFileOk;
        try {
            body();
        } catch (int code) {
            result = code == 0 ? failedCheck : code;
        } catch (...) {
            result = other;
        }
        Close();
        return result;
    }

    int m_fd = -1;
    AtomicFileWriter m_staged;
};

// The classes of the loaders' extension table.
enum class ImageFileKind { Jpeg, Bmp, Tiff, Eff, Targa };
// The kind the CImage loaders choose: an extension of at least 4 characters
// that begins with a table entry (".jpgx" counts as ".jpg"), in the order
// .jpg .jpeg .bmp .tif .tiff .eff .tga; Targa only when `withTarga`.
std::optional<ImageFileKind> ImageFileKindForLoad(const std::string& path, bool withTarga);
// The kind LoadImageFileToBuffer chooses: the whole extension, no Targa.
std::optional<ImageFileKind> ImageFileKindForBuffer(const std::string& path);
// The reader of a kind.
std::unique_ptr<CImageFile> CreateImageFile(ImageFileKind kind);

// A new 32-bit buffer (and, when `plane` is not null, a mask plane) from the
// file whose extension is exactly one of ".jpg", ".jpeg", ".bmp", ".tif",
// ".tiff", ".eff" (any case); anything else gives ImageFileUnsupported.
int LoadImageFileToBuffer(const std::string& path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                          const SIZE* maximum);

// The wait feedback shown while a loader of CImage runs; none until the
// application installs one. It is called on the loading thread, which may be a
// thumbnail worker.
void SetImageWaitFeedback(IWaitFeedback* feedback);
