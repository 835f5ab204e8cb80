// libjpeg driven from the test helpers: its errors jump back to the caller's
// setjmp instead of ending the process, and its output buffer becomes a vector.
// Header-only, so that every target compiling the helpers gets it without a
// source file of its own.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

struct LibJpegJump
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

inline void LibJpegJumpExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<LibJpegJump*>(info->err)->jump, 1);
}

inline void LibJpegNoMessage(j_common_ptr, int)
{
}

// What goes to info.err; with `quiet` the library's warnings are not printed.
inline jpeg_error_mgr* UseLibJpegJump(LibJpegJump& error, bool quiet)
{
    jpeg_error_mgr* base = jpeg_std_error(&error.base);
    error.base.error_exit = LibJpegJumpExit;
    if (quiet)
        error.base.emit_message = LibJpegNoMessage;
    return base;
}

// Feeds `height` rows of `rowBytes` bytes, top row first, to a started
// compressor. Plain C frame: it may be left by the library's longjmp.
inline void WriteLibJpegRows(jpeg_compress_struct& info, const std::uint8_t* rows, std::size_t rowBytes,
                             std::uint32_t height)
{
    while (info.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows + std::size_t(info.next_scanline) * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
}

// The stream a memory destination wrote, into `stream` when `ok`; the
// library's buffer is freed either way. Returns `ok`.
inline bool TakeLibJpegOutput(bool ok, unsigned char* out, unsigned long outSize,
                              std::vector<std::uint8_t>& stream)
{
    if (ok)
        stream.assign(out, out + outSize);
    std::free(out);
    return ok;
}
