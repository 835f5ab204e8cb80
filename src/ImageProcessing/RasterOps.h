// Pixel-level rules shared by the drawing context and the image: colour to
// pixel conversion, mix modes of pens and raster operations of transfers.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <cstdint>

// A COLORREF as a stored pixel (blue, green, red, fourth byte 0).
constexpr std::uint32_t ColorToPixel(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

constexpr COLORREF PixelToColor(std::uint32_t p)
{
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// The pen's mix with the destination. Modes that keep part of the destination
// keep its fourth byte; modes that replace it write 0 there.
inline std::uint32_t MixPen(std::uint32_t d, std::uint32_t p, int mode)
{
    std::uint32_t r;
    switch (mode) {
    case R2_BLACK:
        return 0;
    case R2_NOTMERGEPEN:
        r = ~(d | p);
        break;
    case R2_MASKNOTPEN:
        r = d & ~p;
        break;
    case R2_NOTCOPYPEN:
        return ~p & 0xFFFFFFu;
    case R2_MASKPENNOT:
        r = p & ~d;
        break;
    case R2_NOT:
        r = ~d;
        break;
    case R2_XORPEN:
        r = d ^ p;
        break;
    case R2_NOTMASKPEN:
        r = ~(d & p);
        break;
    case R2_MASKPEN:
        r = d & p;
        break;
    case R2_NOTXORPEN:
        r = ~(d ^ p);
        break;
    case R2_NOP:
        return d;
    case R2_MERGENOTPEN:
        r = d | ~p;
        break;
    case R2_MERGEPENNOT:
        r = p | ~d;
        break;
    case R2_MERGEPEN:
        r = d | p;
        break;
    case R2_WHITE:
        return 0xFFFFFFu;
    default:
        return p; // R2_COPYPEN
    }
    return (r & 0xFFFFFFu) | (d & 0xFF000000u);
}

// A ternary raster operation on whole pixels: bit ((P << 2) | (S << 1) | D) of
// the operation's index byte gives the result bit.
inline std::uint32_t ApplyRop3(std::uint32_t p, std::uint32_t s, std::uint32_t d, std::uint32_t rop)
{
    const unsigned index = (rop >> 16) & 0xFFu;
    switch (index) {
    case 0xCC:
        return s;
    case 0x00:
        return 0;
    case 0xFF:
        return 0xFFFFFFFFu;
    case 0x88:
        return s & d;
    case 0xEE:
        return s | d;
    case 0x66:
        return s ^ d;
    case 0x33:
        return ~s;
    case 0x55:
        return ~d;
    case 0xF0:
        return p;
    default:
        break;
    }
    std::uint32_t r = 0;
    for (unsigned bit = 0; bit < 8; ++bit) {
        if (!(index & (1u << bit)))
            continue;
        r |= ((bit & 4) ? p : ~p) & ((bit & 2) ? s : ~s) & ((bit & 1) ? d : ~d);
    }
    return r;
}

// True when the raster operation reads the source.
inline bool RopUsesSource(std::uint32_t rop)
{
    const unsigned index = (rop >> 16) & 0xFFu;
    return ((index >> 2) & 0x33u) != (index & 0x33u);
}
