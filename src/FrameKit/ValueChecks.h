#pragma once

#include <cstddef>
#include <cstdint>

// The layout files' header texts (author, copyright, keyword, title, comment)
// hold at most this many bytes; the editor's own limit, which a test pins.
constexpr std::size_t kZavHeaderTextBytes = 128;

// Value checks shared by the layout reader and its draw objects.
struct ZavRect
{
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
};

void NormalizeRect(ZavRect* rect, bool orderX, bool orderY);
bool IsValidUnitCode(int value);
// Placement codes: rotation 0..4, scaling 0..2, anchor 0..8.
bool IsValidStringStyle(const std::uint8_t codes[3]);

// The C library's decimal reading (leading spaces, optional sign, digits; no
// digits gives 0), clamped to int instead of overflowing.
int ZavDecimal(const char* text);
