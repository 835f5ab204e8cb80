#include "ImageProcessing/support/FixtureBmp.h"

FixturePixel FixtureBmpPaletteEntry(int i)
{
    return {static_cast<std::uint8_t>(i * 7 + 1), static_cast<std::uint8_t>(255 - i),
            static_cast<std::uint8_t>(i * 13), 0};
}

int FixtureBmpIndex(const FixtureBmpOptions& o, int x, int y)
{
    const int full = 1 << o.bits;
    const int used = o.colorsUsed ? o.colorsUsed : full;
    return (x * 3 + y * 5) % used;
}

FixturePixel FixtureBmpPixel(const FixtureBmpOptions& o, int x, int y)
{
    if (o.bits <= 8)
        return FixtureBmpPaletteEntry(FixtureBmpIndex(o, x, y));
    FixturePixel p = FixturePattern(x, y);
    p.a = static_cast<std::uint8_t>(x * 40 + y * 9);
    return p;
}

std::vector<std::uint8_t> FixtureBmp(const FixtureBmpOptions& o)
{
    const bool core = o.headerSize == 12;
    const int full = o.bits <= 8 ? 1 << o.bits : 0;
    const int entries = o.paletteEntries >= 0 ? o.paletteEntries : (o.colorsUsed ? o.colorsUsed : full);
    const int entrySize = core ? 3 : 4;
    const std::size_t stride = (static_cast<std::size_t>(o.width) * o.bits + 31) / 32 * 4;
    std::vector<std::uint8_t> rows;
    if (o.compression != 0) {
        rows = o.rle;
    } else {
        rows.assign(stride * o.height, 0);
        for (int r = 0; r < o.height; ++r) {
            const int y = o.topDown ? r : o.height - 1 - r;
            std::uint8_t* row = &rows[r * stride];
            for (int x = 0; x < o.width; ++x) {
                const FixturePixel p = FixtureBmpPixel(o, x, y);
                switch (o.bits) {
                case 1:
                    row[x / 8] |= static_cast<std::uint8_t>(FixtureBmpIndex(o, x, y) << (7 - x % 8));
                    break;
                case 4:
                    row[x / 2] |= static_cast<std::uint8_t>(FixtureBmpIndex(o, x, y) << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    row[x] = static_cast<std::uint8_t>(FixtureBmpIndex(o, x, y));
                    break;
                case 16:
                    row[x * 2] = p.b;
                    row[x * 2 + 1] = p.g & 0x7F;
                    break;
                case 24:
                    row[x * 3] = p.b;
                    row[x * 3 + 1] = p.g;
                    row[x * 3 + 2] = p.r;
                    break;
                case 32:
                    row[x * 4] = p.b;
                    row[x * 4 + 1] = p.g;
                    row[x * 4 + 2] = p.r;
                    row[x * 4 + 3] = p.a;
                    break;
                }
            }
        }
    }
    const std::uint32_t offset = 14 + o.headerSize + entries * entrySize + o.gapBeforePixels;
    FixtureBytes b;
    b.U8('B').U8('M').U32(offset + static_cast<std::uint32_t>(rows.size())).U16(0).U16(0);
    b.U32(offset - static_cast<std::uint32_t>(o.offsetBack));
    if (core) {
        b.U32(12).U16(o.width).U16(o.height).U16(1).U16(o.bits);
    } else {
        b.U32(o.headerSize).I32(o.width).I32(o.topDown ? -o.height : o.height).U16(1).U16(o.bits);
        b.U32(o.compression).U32(static_cast<std::uint32_t>(rows.size())).I32(2835).I32(2835);
        b.U32(o.colorsUsed).U32(0).Zeros(o.headerSize - 40);
    }
    for (int i = 0; i < entries; ++i) {
        const FixturePixel p = FixtureBmpPaletteEntry(i);
        b.U8(p.b).U8(p.g).U8(p.r);
        if (!core)
            b.U8(o.paletteReserved);
    }
    b.Zeros(o.gapBeforePixels).Raw(rows);
    return b.Bytes();
}
