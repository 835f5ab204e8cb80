// Conversions of pixel buffers between the file formats' layouts and the
// images' 32-bit layout, and the continue flag that lets long pixel loops be
// stopped. Each thread has its own flag: the free functions act on the calling
// thread's, and a handle lets another thread stop that one.
//
// Buffers come from the page allocator (PageAlloc) and are released with
// PageFree. A function with a freeSource flag releases its input only after it
// succeeded. Failures (no memory, a failed check, a stop request) release what
// the function made, leave the source alone and give null or false.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// --- Continue flag (of the calling thread) ---------------------------------------
void RequestCancel();
// Every reader and writer of image files calls it first.
void ResetCancel();
// True while no stop was requested for this thread.
bool CanContinue();
// Throws the int 7 when a stop was requested; otherwise true.
bool CanContinueOrThrow(const char* file = __builtin_FILE(), int line = __builtin_LINE());

// One thread's continue flag, for the owner of a worker: taken on the worker
// (ThisThreadContinueFlag) and used from any thread to stop the worker's
// running read or write. It stays usable after the worker has ended. Like the
// thread's own request, a stop holds until the worker starts its next file.
class ContinueFlagHandle
{
public:
    // Stands for no thread: a request through it does nothing.
    ContinueFlagHandle() = default;
    void RequestCancel() const;

private:
    friend ContinueFlagHandle ThisThreadContinueFlag();
    std::shared_ptr<std::atomic<int>> m_flag;
};
ContinueFlagHandle ThisThreadContinueFlag();

// --- Row layout ---------------------------------------------------------------------
// Rows of rowLength bytes copied into rows padded to 4 bytes (padding 0).
std::uint8_t* AlignPlaneRows(std::uint8_t* source, int rowLength, int rows, int freeSource);
// Packed rows of rowLength bytes taken from rows lying sourceStride apart.
std::uint8_t* AlignRowsCopy(std::uint8_t* source, int rowLength, int sourceStride, int rows, int freeSource);
// Packed rows of rowLength bytes taken from rows padded to 4 bytes.
std::uint8_t* PadRowsToStride(std::uint8_t* source, int rowLength, int rows, int freeSource);

// --- Three and four bytes per pixel (rowLength in bytes of the source rows) ---------
std::uint8_t* Convert32To24(std::uint8_t* source, int rowLength, int rows, int freeSource);
// Red and blue exchanged on the way.
std::uint8_t* SwapRgbCopy(std::uint8_t* source, int rowLength, int rows, int freeSource);
std::uint8_t* SwapRgbCopyEx(std::uint8_t* source, int rowLength, int rows, int freeSource);
std::uint8_t* Convert24To32(std::uint8_t* source, int rowLength, int rows, int freeSource);
std::uint8_t* Convert24To32Swapped(std::uint8_t* source, int rowLength, int rows, int freeSource);
std::uint8_t* ConvertCmykTo32(std::uint8_t* source, int rowLength, int rows, int freeSource);
// Fills target with sourceLength / 4 three-byte pixels; false at a stop request.
bool CmykToRgb(const std::uint8_t* source, std::uint8_t* target, int sourceLength);

// --- BMP rows (bottom row first, source rows padded to 4 bytes) ---------------------
// sourceSize bounds every read of the source; palette indices at or above
// paletteCount give zero pixels. The result is width x rows packed 4-byte pixels.
std::uint8_t* ConvertBmp24To32(std::uint8_t* source, std::size_t sourceSize, int width, int rows,
                               int freeSource);
std::uint8_t* ConvertBmp8To32(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                              int paletteCount, int width, int rows, int freeSource);
std::uint8_t* ConvertBmp4To32(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                              int paletteCount, int width, int rows, int freeSource);
std::uint8_t* ConvertBmp1To32(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                              int paletteCount, int width, int rows, int freeSource);
// Run-length data of sourceSize bytes to width x height 4-byte pixels, the
// picture's bottom row first; runs, literals and deltas never leave the picture.
std::uint8_t* DecodeBmpRle8(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                            int paletteCount, int width, int height, int freeSource);
std::uint8_t* DecodeBmpRle4(std::uint8_t* source, std::size_t sourceSize, const std::uint8_t* palette,
                            int paletteCount, int width, int height, int freeSource);
// Run-length data to uncompressed index rows (8 bits: stride AlignRowBytes(width);
// 4 bits: stride AlignRowBytes((width + 1) / 2), high nibble first).
std::uint8_t* ExpandBmpRle8(std::uint8_t* source, std::size_t sourceSize, int width, int height,
                            int freeSource);
std::uint8_t* ExpandBmpRle4(std::uint8_t* source, std::size_t sourceSize, int width, int height,
                            int freeSource);

// --- The fourth byte and channel order ------------------------------------------------
// A packed plane of the fourth bytes (rowLength / 4 bytes per row).
std::uint8_t* ExtractAlphaPlane(const std::uint8_t* pixels, int rowLength, int rows);
// The plane of the fourth bytes into *plane; bytes 0 and 2 exchanged in place.
bool ExtractAlphaAndSwap(std::uint8_t* pixels, int rowLength, int rows, std::uint8_t** plane);
bool SwapRedBlue32(std::uint8_t* pixels, int rowLength, int rows);
// Three-byte pixels; false (partly done) at a stop request.
bool SwapRedBlue(std::uint8_t* pixels, int rowLength, int rows);
bool FlipRowsVertical(std::uint8_t* pixels, int rowLength, int rows);

// The rectangle (image rows, 0 at the top) of a bottom-up width x height
// buffer of 4-byte pixels, and of its plane when outPlane is given, as new
// bottom-up buffers. False when the rectangle is empty or not inside.
bool CropBuffer(std::uint8_t** outPixels, std::uint8_t** outPlane, int left, int top, int right, int bottom,
                std::uint8_t* pixels, std::uint8_t* plane, int width, int height, int freeSource);

// --- Byte order -------------------------------------------------------------------------
std::uint16_t Read16(const std::uint8_t* bytes, int bigEndian);
std::uint32_t Read32(const std::uint8_t* bytes, int bigEndian);
