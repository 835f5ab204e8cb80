#include "ImageProcessing/support/FixtureTarga.h"

#include <algorithm>

FixturePixel FixtureTargaPixel(const FixtureTargaOptions& o, int x, int y)
{
    const int group = (y * o.width + x) / 3;
    FixturePixel p = FixturePattern(group, group / 7);
    p.a = o.fourthByte >= 0 ? static_cast<std::uint8_t>(o.fourthByte)
                            : static_cast<std::uint8_t>(group * 61 + 3);
    return p;
}

std::vector<std::uint8_t> FixtureTarga(const FixtureTargaOptions& o)
{
    FixtureBytes b;
    b.U8(0).U8(0).U8(o.runLength ? 10 : 2).U16(0).U16(0).U8(0).U16(0).U16(0).U16(o.width).U16(o.height);
    b.U8(o.depth).U8((o.topFirst ? 0x20 : 0) | (o.rightFirst ? 0x10 : 0) | (o.alphaBits & 0x0F));
    std::vector<std::vector<std::uint8_t>> pixels; // in file order
    for (int row = 0; row < o.height; ++row) {
        const int y = o.topFirst ? row : o.height - 1 - row;
        for (int column = 0; column < o.width; ++column) {
            const int x = o.rightFirst ? o.width - 1 - column : column;
            const FixturePixel p = FixtureTargaPixel(o, x, y);
            std::vector<std::uint8_t> px{p.b, p.g, p.r};
            if (o.depth == 32)
                px.push_back(p.a);
            pixels.push_back(px);
        }
    }
    if (!o.runLength) {
        for (const auto& px : pixels)
            b.Raw(px);
        return b.Bytes();
    }
    // Repeated pixels become run packets, the others raw packets, both across
    // row ends where the picture runs on.
    std::size_t i = 0;
    while (i < pixels.size()) {
        std::size_t same = 1;
        while (i + same < pixels.size() && same < 128 && pixels[i + same] == pixels[i])
            ++same;
        if (same >= 2) {
            b.U8(0x80 | static_cast<unsigned>(same - 1)).Raw(pixels[i]);
            i += same;
            continue;
        }
        std::size_t n = 1;
        while (i + n < pixels.size() && n < 128 &&
               (i + n + 1 >= pixels.size() || pixels[i + n] != pixels[i + n + 1]))
            ++n;
        b.U8(static_cast<unsigned>(n - 1));
        for (std::size_t k = 0; k < n; ++k)
            b.Raw(pixels[i + k]);
        i += n;
    }
    return b.Bytes();
}
