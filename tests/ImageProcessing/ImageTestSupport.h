// Helpers of the image tests: pixel access by picture row and a GUI
// application for the tests that need fonts.
#pragma once

#include "ImageProcessing/Image.h"

#include <QGuiApplication>
#include <cstdint>

namespace imagetest {

// The stored pixel at picture coordinates (row 0 at the top).
inline std::uint32_t PixelAt(const CImage& image, int x, int y)
{
    const auto* bits = image.GetBits();
    const int stride = image.GetRowBytes();
    return reinterpret_cast<const std::uint32_t*>(
        bits + static_cast<std::ptrdiff_t>(image.GetHeight() - 1 - y) * stride)[x];
}

inline void SetPixelAt(CImage& image, int x, int y, std::uint32_t value)
{
    auto* bits = image.GetBits();
    const int stride = image.GetRowBytes();
    reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(image.GetHeight() - 1 - y) *
                                                stride)[x] = value;
}

inline std::uint32_t Rgb(std::uint32_t pixel)
{
    return pixel & 0xFFFFFFu;
}

// One application for the whole test program; fonts need it.
inline void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "imageprocessing_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

} // namespace imagetest
