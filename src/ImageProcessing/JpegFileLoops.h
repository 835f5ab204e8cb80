// What the JPEG and EFF file classes share: decoding a stream fed in chunks of
// 5000 bytes through the own decoder, encoding a picture in batches of 32 rows
// through the own encoder into a file, the opening and result codes of their
// readers, and the encoder parameters of their writers.
#pragma once

#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegEncoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

class CImageFile;

struct StreamClose
{
    void operator()(std::FILE* stream) const noexcept { std::fclose(stream); }
};
using StreamPtr = std::unique_ptr<std::FILE, StreamClose>;

// Opens `path` for reading into `stream`: 0, or 1 when the file is missing and
// 2 when it cannot be opened.
int OpenForReading(const std::string& path, StreamPtr& stream);

// The result code for a code a reader threw: a failed check throws 0.
int ReaderCode(int code);

// The encoder's parameters for a picture of the given size; a size outside
// 1 .. 65535 throws 0.
JpegEncodeParams EncodeParams(int width, int height, int samplingMode, int quality);

// Where the decoding loop takes its bytes from.
class IJpegChunkSource
{
public:
    virtual ~IJpegChunkSource() = default;
    // Up to `capacity` next bytes; 0 when none remain.
    virtual std::size_t Next(std::uint8_t* buffer, std::size_t capacity) = 0;
    // Bytes the whole stream holds.
    virtual std::uint64_t TotalLength() const = 0;
};

// No JPEG stream, however it is coded, holds more than this many pixels per
// byte (a 1-bit code for each block's DC and end of block at the coarsest
// sampling stays far below it); a header that claims more would only make us
// allocate and fill a picture its data cannot hold.
constexpr std::uint64_t kMaxPixelsPerStreamByte = 4096;
bool IsPlausiblePictureSize(std::uint64_t width, std::uint64_t height, std::uint64_t streamLength);

// The length of a stream positioned at its start; 0 when it cannot be told.
std::uint64_t StreamLength(std::FILE* stream);

class CStreamChunkSource : public IJpegChunkSource
{
public:
    explicit CStreamChunkSource(std::FILE* stream) : m_stream(stream), m_length(StreamLength(stream)) {}
    std::size_t Next(std::uint8_t* buffer, std::size_t capacity) override;
    std::uint64_t TotalLength() const override { return m_length; }

private:
    std::FILE* m_stream;
    std::uint64_t m_length;
};

class CMemoryChunkSource : public IJpegChunkSource
{
public:
    explicit CMemoryChunkSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t Next(std::uint8_t* buffer, std::size_t capacity) override;
    std::uint64_t TotalLength() const override { return m_bytes.size(); }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// Receives what the decoder gives.
class IJpegRowSink
{
public:
    virtual ~IJpegRowSink() = default;
    // Once, before any row: the picture's size and bytes per pixel (3 or 4).
    // Throws a result code to stop.
    virtual void OnSize(std::uint32_t width, std::uint32_t height, std::uint32_t components) = 0;
    // `count` rows of width x components bytes (R, G, B and the fourth
    // component), starting at picture row `firstRow` counted from the top.
    virtual void OnRows(const std::uint8_t* rows, std::uint32_t firstRow, std::uint32_t count) = 0;
};

// Decodes the whole stream. Throws an int result code: 3 when the decoder
// refuses the stream or the data ends before the picture does, 4 when memory
// is short, 7 at a stop request, 8 when the decoder's output does not add up
// or the picture is larger than the stream could hold.
// `widthHint`, when not 0, is the picture width known from elsewhere; it sizes
// the output block so that one row of MCUs always fits.
void DecodeInChunks(IJpegChunkSource& source, IJpegRowSink& sink, std::uint32_t widthHint = 0);

// Supplies the encoder's input one batch at a time.
class IJpegBatchSource
{
public:
    virtual ~IJpegBatchSource() = default;
    // Packed R, G, B rows (width x 3 bytes each) for picture rows firstRow ..
    // firstRow + count - 1 counted from the top, and for EFF the matching plane
    // rows (width bytes each). Throws a result code to stop.
    virtual void Batch(std::uint32_t firstRow, std::uint32_t count, const std::uint8_t** rgb,
                       const std::uint8_t** plane) = 0;
};

// Rows per encoder batch.
constexpr std::uint32_t kJpegBatchRows = 32;

// Writes the stream as the new contents of `path`. Returns 0, or throws an int
// result code: 1 the file cannot be created, 2 a write (or the final swap)
// failed, 3 no memory, 6 the encoder refused, 7 a stop request. On any failure
// the previous file stays as it was and no partial stream is left on disk.
int EncodeInBatches(CImageFile& file, const std::string& path, CJpegEncoder& encoder,
                    const JpegEncodeParams& params, bool eff, IJpegBatchSource& source);

// An output block that always holds one 32-row batch of the given width.
std::uint64_t JpegEncoderBlockSize(std::uint32_t width, bool eff);

// Batches from our own pixels: 4-byte pixels (B, G, R, fourth byte) bottom row
// first, rowStride bytes apart; for EFF a mask read beside them (maskStep bytes
// apart, bottom row first, maskStride bytes a row) or, without one, opaque.
class CPixelBatchSource : public IJpegBatchSource
{
public:
    CPixelBatchSource(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height,
                      std::size_t rowStride, const std::uint8_t* mask = nullptr, std::uint32_t maskStep = 1,
                      std::size_t maskStride = 0, bool withPlane = false);
    void Batch(std::uint32_t firstRow, std::uint32_t count, const std::uint8_t** rgb,
               const std::uint8_t** plane) override;

private:
    const std::uint8_t* m_pixels;
    std::uint32_t m_width, m_height;
    std::size_t m_stride;
    const std::uint8_t* m_mask;
    std::uint32_t m_maskStep;
    std::size_t m_maskStride;
    bool m_withPlane;
    PageBuffer m_rows;
    PageBuffer m_plane;
};
