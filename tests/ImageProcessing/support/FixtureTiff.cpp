#include "ImageProcessing/support/FixtureTiff.h"

#include <tiffio.h>

#include <cstdarg>

namespace {
void Quiet(const char*, const char*, va_list)
{
}
} // namespace

FixturePixel FixtureTiffPixel(const FixtureTiffOptions& o, int x, int y)
{
    if (o.samples == 1) {
        const std::uint8_t v = (x + 2 * y) % 3 == 0 ? 255 : 0;
        return {v, v, v, 255};
    }
    FixturePixel p = FixturePattern(x, y);
    if (o.samples == 4)
        p.a = o.fixedAlpha >= 0 ? static_cast<std::uint8_t>(o.fixedAlpha)
                                : static_cast<std::uint8_t>((x * 50 + y * 90) % 256);
    return p;
}

bool WriteFixtureTiff(const std::string& path, const FixtureTiffOptions& o)
{
    TIFFSetWarningHandler(Quiet);
    TIFFSetErrorHandler(Quiet);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(o.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(o.height));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, static_cast<std::uint16_t>(o.orientation));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    // A codec libtiff cannot write must fail the fixture, not fall back to none.
    if (!TIFFSetField(tif, TIFFTAG_COMPRESSION, static_cast<std::uint16_t>(o.compression))) {
        TIFFClose(tif);
        return false;
    }
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(o.samples));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(o.samples == 1 ? 1 : 8));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, o.samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(o.height));
    if (o.samples == 4) {
        const std::uint16_t extra = static_cast<std::uint16_t>(o.extraSample);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    const tmsize_t rowBytes = o.samples == 1 ? (o.width + 7) / 8 : o.width * o.samples;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    bool ok = true;
    for (int y = 0; y < o.height && ok; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < o.width; ++x) {
            const FixturePixel p = FixtureTiffPixel(o, x, y);
            if (o.samples == 1) {
                if (p.r)
                    row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                continue;
            }
            std::uint8_t* d = &row[static_cast<std::size_t>(x * o.samples)];
            const bool premultiply = o.samples == 4 && o.extraSample == EXTRASAMPLE_ASSOCALPHA;
            auto c = [&](std::uint8_t v) {
                return premultiply ? static_cast<std::uint8_t>((v * p.a + 127) / 255) : v;
            };
            d[0] = c(p.r);
            d[1] = c(p.g);
            d[2] = c(p.b);
            if (o.samples == 4)
                d[3] = p.a;
        }
        ok = TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(y), 0) == 1;
    }
    TIFFClose(tif);
    return ok;
}

std::vector<std::uint8_t> FixtureTiffHeaderOnly(std::uint32_t width, std::uint32_t height,
                                                std::uint32_t dataBytes)
{
    FixtureBytes b;
    const std::uint16_t count = 8;
    const std::uint32_t dataAt = 8 + 2 + count * 12 + 4;
    b.U8('I').U8('I').U16(42).U32(8).U16(count);
    auto entry = [&](unsigned tag, unsigned type, std::uint32_t n, std::uint32_t value) {
        b.U16(tag).U16(type).U32(n).U32(value);
    };
    entry(256, 4, 1, width);
    entry(257, 4, 1, height);
    entry(258, 3, 1, 8);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 1);
    entry(273, 4, 1, dataAt);
    entry(278, 4, 1, height);
    entry(279, 4, 1, dataBytes);
    b.U32(0).Zeros(dataBytes);
    return b.Bytes();
}
