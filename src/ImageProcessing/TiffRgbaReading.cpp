#include "ImageProcessing/TiffRgbaReading.h"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// libtiff's RGBA reading state, with what our own put routines need beside it.
// libtiff hands a put routine the address of its state, the first member, so
// the routine finds the rest from it.
struct TiffRgbaReading
{
    TIFFRGBAImage img{};
    tileContigRoutine libraryPut = nullptr; // the routine libtiff chose
    double xyzToSrgb[3][3] = {};            // XYZ of the file's white (Y 0..100) to linear sRGB
    bool begun = false;

    TiffRgbaReading() = default;
    TiffRgbaReading(const TiffRgbaReading&) = delete;
    TiffRgbaReading& operator=(const TiffRgbaReading&) = delete;
    ~TiffRgbaReading()
    {
        if (begun)
            TIFFRGBAImageEnd(&img);
    }
};

TiffRgbaReading& ReadingOf(TIFFRGBAImage* img)
{
    return *reinterpret_cast<TiffRgbaReading*>(img);
}

// Signed samples (two's complement) read as unsigned ones with the sign bit
// flipped: the most negative value black, the most positive white.
void PutSignedSamples(TIFFRGBAImage* img, std::uint32_t* cp, std::uint32_t x, std::uint32_t y,
                      std::uint32_t w, std::uint32_t h, std::int32_t fromskew, std::int32_t toskew,
                      unsigned char* pp)
{
    const std::size_t samples = img->samplesperpixel;
    const std::size_t rowSamples = (std::size_t{w} + static_cast<std::size_t>(fromskew)) * samples;
    for (std::uint32_t row = 0; row < h; ++row) {
        if (img->bitspersample == 16) {
            auto* p = reinterpret_cast<std::uint16_t*>(pp) + row * rowSamples;
            for (std::size_t i = 0; i < std::size_t{w} * samples; ++i)
                p[i] ^= 0x8000;
        } else {
            unsigned char* p = pp + row * rowSamples;
            for (std::size_t i = 0; i < std::size_t{w} * samples; ++i)
                p[i] ^= 0x80;
        }
    }
    ReadingOf(img).libraryPut(img, cp, x, y, w, h, fromskew, toskew, pp);
}

// sRGB's transfer curve, sampled finely enough that no 8-bit value is missed.
std::uint8_t SrgbEncoded(double linear)
{
    static const auto table = [] {
        std::array<std::uint8_t, 4097> t{};
        for (std::size_t i = 0; i < t.size(); ++i) {
            const double v = static_cast<double>(i) / 4096.0;
            const double e = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
            t[i] = static_cast<std::uint8_t>(std::lround(std::clamp(e, 0.0, 1.0) * 255.0));
        }
        return t;
    }();
    const double clamped = std::clamp(linear, 0.0, 1.0);
    return table[static_cast<std::size_t>(std::lround(clamped * 4096.0))];
}

std::uint32_t PackSrgb(const TiffRgbaReading& reading, float x, float y, float z)
{
    const auto& m = reading.xyzToSrgb;
    const std::uint32_t r = SrgbEncoded(m[0][0] * x + m[0][1] * y + m[0][2] * z);
    const std::uint32_t g = SrgbEncoded(m[1][0] * x + m[1][1] * y + m[1][2] * z);
    const std::uint32_t b = SrgbEncoded(m[2][0] * x + m[2][1] * y + m[2][2] * z);
    return r | g << 8 | b << 16 | 0xFFu << 24;
}

// CIELab through libtiff's conversion to XYZ, which takes the file's white
// point, and on to sRGB with that white adapted to sRGB's own: libtiff's
// display step assumes the two whites are one, which tints D50 white yellow.
void PutLab(TIFFRGBAImage* img, std::uint32_t* cp, std::uint32_t, std::uint32_t, std::uint32_t w,
            std::uint32_t h, std::int32_t fromskew, std::int32_t toskew, unsigned char* pp)
{
    const TiffRgbaReading& reading = ReadingOf(img);
    const std::size_t samples = img->samplesperpixel;
    const bool wide = img->bitspersample == 16;
    const std::size_t sampleBytes = wide ? 2 : 1;
    for (std::uint32_t row = 0; row < h; ++row) {
        for (std::uint32_t col = 0; col < w; ++col, pp += samples * sampleBytes) {
            std::uint32_t l = 0;
            std::int32_t a = 0, b = 0;
            if (wide) {
                std::uint16_t v[3];
                std::memcpy(v, pp, sizeof v);
                l = (std::uint32_t{v[0]} * 255 + 32767) / 65535;
                a = static_cast<std::int16_t>(v[1]) / 256;
                b = static_cast<std::int16_t>(v[2]) / 256;
            } else {
                l = pp[0];
                a = static_cast<std::int8_t>(pp[1]);
                b = static_cast<std::int8_t>(pp[2]);
            }
            float x = 0, y = 0, z = 0;
            TIFFCIELabToXYZ(img->cielab, l, a, b, &x, &y, &z);
            *cp++ = PackSrgb(reading, x, y, z);
        }
        cp += toskew;
        pp += static_cast<std::size_t>(fromskew) * samples * sampleBytes;
    }
}

// XYZ relative to `white` (Y = 100) to linear sRGB: Bradford adaptation of the
// white to D65, then sRGB's primaries.
void XyzToSrgbMatrix(const float white[3], double out[3][3])
{
    static constexpr double kBradford[3][3] = {
        {0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};
    static constexpr double kBradfordInverse[3][3] = {{0.9869929, -0.1470543, 0.1599627},
                                                      {0.4323053, 0.5183603, 0.0492912},
                                                      {-0.0085287, 0.0400428, 0.9684867}};
    static constexpr double kSrgb[3][3] = {{3.2404542, -1.5371385, -0.4985314},
                                           {-0.9692660, 1.8760108, 0.0415560},
                                           {0.0556434, -0.2040259, 1.0572252}};
    static constexpr double kD65[3] = {0.95047, 1.0, 1.08883};
    const double source[3] = {white[0] / white[1], 1.0, white[2] / white[1]};
    double coneSource[3] = {}, coneTarget[3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            coneSource[i] += kBradford[i][j] * source[j];
            coneTarget[i] += kBradford[i][j] * kD65[j];
        }
    double adapt[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                adapt[i][j] += kBradfordInverse[i][k] * (coneTarget[k] / coneSource[k]) * kBradford[k][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += kSrgb[i][k] * adapt[k][j];
            out[i][j] = sum / white[1]; // the file's Y runs to 100, linear sRGB to 1
        }
}

// Sample kinds the RGBA reading would take for unsigned integers: signed grey
// and RGB of 8 or 16 bits are read as signed; floats and complex numbers, and
// signed samples of any other kind, are not read.
bool AcceptsSampleFormat(TIFF* tif, std::uint16_t photometric)
{
    std::uint16_t format = SAMPLEFORMAT_UINT, bits = 1, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    if (format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_VOID)
        return true;
    return format == SAMPLEFORMAT_INT && (bits == 8 || bits == 16) && planar == PLANARCONFIG_CONTIG &&
           (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE ||
            photometric == PHOTOMETRIC_RGB);
}

} // namespace

int ReadStoredRgba(TIFF* tif, std::uint16_t photometric, std::uint32_t width, std::uint32_t height,
                   PageBuffer* raster)
{
    if (!AcceptsSampleFormat(tif, photometric))
        return ImageFileUnsupported;
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        return ImageFileUnsupported;
    TiffRgbaReading reading;
    if (!TIFFRGBAImageBegin(&reading.img, tif, 1, message))
        return ImageFileUnsupported;
    reading.begun = true;
    TIFFRGBAImage& img = reading.img;
    if (img.width != width || img.height != height)
        return ImageFileUnsupported;
    // No flips by libtiff (it only flips, so it transposes Orientation 5 to 8): we turn the picture
    // ourselves.
    img.req_orientation = img.orientation;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    if (img.photometric == PHOTOMETRIC_CIELAB) {
        if (!img.isContig || !img.cielab || !img.put.contig)
            return ImageFileUnsupported;
        const float white[3] = {img.cielab->X0, img.cielab->Y0, img.cielab->Z0};
        if (!(white[1] > 0.0f))
            return ImageFileUnsupported;
        XyzToSrgbMatrix(white, reading.xyzToSrgb);
        img.put.contig = PutLab;
    } else if (format == SAMPLEFORMAT_INT) {
        if (!img.isContig || !img.put.contig)
            return ImageFileUnsupported;
        reading.libraryPut = img.put.contig;
        img.put.contig = PutSignedSamples;
    }
    PageBuffer out = AllocPageBuffer(std::uint64_t{width} * height * 4);
    if (!out)
        return ImageFileNoMemory;
    if (!TIFFRGBAImageGet(&img, reinterpret_cast<std::uint32_t*>(out.get()), width, height))
        return ImageFileReadFailed;
    *raster = std::move(out);
    return ImageFileOk;
}
