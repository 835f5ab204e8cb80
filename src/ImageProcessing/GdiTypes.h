// Plain value types and constants of the drawing layer: colours, rectangles,
// points, sizes, raster operations and text formats, in the shapes the
// imaging, layout and dialog code exchange.
#pragma once

#include "Core/Geometry.h"

#include <cstdint>

using COLORREF = std::uint32_t; // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

// The shared rectangle (right and bottom exclusive) and point under the
// names the drawing calls use.
using RECT = Rect;
using POINT = Point;

struct SIZE
{
    int cx = 0;
    int cy = 0;
};

// Raster operations of block transfers: bit n of the operation's index byte is
// the result for pattern (bit 2), source (bit 1) and destination (bit 0) of n.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Mix modes of pens and brushes (SetROP2).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Stretch modes; every stretch here samples the nearest pixel.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// Text format flags.
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;

// Edge kinds and sides of DrawEdge.
constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_ADJUST = 0x2000;
