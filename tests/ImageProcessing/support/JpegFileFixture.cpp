#include "JpegFileFixture.h"

#include "LibJpegJump.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

namespace {

// Plain frames only between setjmp and longjmp: nothing here has a destructor.
bool EncodeRaw(JpegFixtureKind kind, const std::uint8_t* samples, std::uint32_t width, std::uint32_t height,
               int quality, unsigned char** out, unsigned long* outSize)
{
    jpeg_compress_struct info;
    LibJpegJump error;
    info.err = UseLibJpegJump(error, false);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = JpegFixtureComponents(kind);
    switch (kind) {
    case JpegFixtureKind::Grey:
        info.in_color_space = JCS_GRAYSCALE;
        break;
    case JpegFixtureKind::Rgb:
    case JpegFixtureKind::AdobeRgb:
        info.in_color_space = JCS_RGB;
        break;
    case JpegFixtureKind::Cmyk:
    case JpegFixtureKind::Ycck:
    case JpegFixtureKind::CmykNoAdobe:
        info.in_color_space = JCS_CMYK;
        break;
    case JpegFixtureKind::TwoComponent:
        info.in_color_space = JCS_UNKNOWN;
        break;
    }
    jpeg_set_defaults(&info);
    if (kind == JpegFixtureKind::Ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    if (kind == JpegFixtureKind::CmykNoAdobe)
        info.write_Adobe_marker = FALSE;
    // Components R, G, B, an Adobe segment with transform 0 and no JFIF segment.
    if (kind == JpegFixtureKind::AdobeRgb)
        jpeg_set_colorspace(&info, JCS_RGB);
    jpeg_set_quality(&info, quality, TRUE);
    if (info.num_components == 4) {
        for (int c = 0; c < 4; ++c) {
            const int factor = (c == 0 || c == 3) ? 2 : 1;
            info.comp_info[c].h_samp_factor = factor;
            info.comp_info[c].v_samp_factor = factor;
        }
    }
    jpeg_start_compress(&info, TRUE);
    WriteLibJpegRows(info, samples, std::size_t(width) * info.input_components, height);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v, bool big)
{
    if (big) {
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
    } else {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v, bool big)
{
    if (big) {
        Put16(out, v >> 16, true);
        Put16(out, v & 0xFFFF, true);
    } else {
        Put16(out, v & 0xFFFF, false);
        Put16(out, v >> 16, false);
    }
}

struct Entry
{
    unsigned tag, type;
    std::uint32_t value;
};

void PutEntry(std::vector<std::uint8_t>& out, const Entry& e, bool big)
{
    Put16(out, e.tag, big);
    Put16(out, e.type, big);
    Put32(out, 1, big);
    if (e.type == 3) { // SHORT: left-justified in the field
        Put16(out, e.value, big);
        Put16(out, 0, big);
    } else {
        Put32(out, e.value, big);
    }
}

} // namespace

int JpegFixtureComponents(JpegFixtureKind kind)
{
    switch (kind) {
    case JpegFixtureKind::Grey:
        return 1;
    case JpegFixtureKind::Rgb:
    case JpegFixtureKind::AdobeRgb:
        return 3;
    case JpegFixtureKind::TwoComponent:
        return 2;
    default:
        return 4;
    }
}

std::vector<std::uint8_t> JpegFixtureEncode(JpegFixtureKind kind, const std::uint8_t* samples,
                                            std::uint32_t width, std::uint32_t height, int quality)
{
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> stream;
    const bool ok = EncodeRaw(kind, samples, width, height, quality, &out, &size);
    TakeLibJpegOutput(ok, out, size, stream);
    return stream;
}

std::vector<std::uint8_t> JpegFixtureSolid(JpegFixtureKind kind, std::vector<std::uint8_t> sample,
                                           std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t(width) * height * sample.size());
    for (std::size_t i = 0; i < std::size_t(width) * height; ++i)
        samples.insert(samples.end(), sample.begin(), sample.end());
    return JpegFixtureEncode(kind, samples.data(), width, height);
}

std::vector<std::uint8_t> JpegFixtureReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> ExifFixtureFile(const ExifFixture& f)
{
    const bool big = f.bigEndian;
    // The TIFF block: header, IFD0 with one entry, IFD1 with the thumbnail
    // fields, then the thumbnail data.
    std::vector<std::uint8_t> block;
    block.push_back(big ? 'M' : 'I');
    block.push_back(big ? 'M' : 'I');
    Put16(block, 42, big);
    Put32(block, 8, big);
    // IFD0: Orientation only.
    Put16(block, 1, big);
    PutEntry(block, {0x0112, 3, static_cast<std::uint32_t>(f.orientation)}, big);
    const std::uint32_t ifd1 = 8 + 2 + 12 + 4;
    Put32(block, ifd1, big);

    std::vector<Entry> entries;
    if (f.withCompressionTag)
        entries.push_back({0x0103, 3, static_cast<std::uint32_t>(f.compression)});
    const std::uint32_t entryCount =
        static_cast<std::uint32_t>(entries.size()) + (f.compression == 1 ? 4 : 2);
    const std::uint32_t dataOffset = ifd1 + 2 + 12 * entryCount + 4;
    if (f.compression == 1) {
        entries.push_back({0x0100, 4, f.width});
        entries.push_back({0x0111, 4, dataOffset});
        entries.push_back({0x0116, 3, f.height});
        entries.push_back({0x0117, 4, f.stripByteCounts});
    } else {
        entries.push_back({0x0201, 4, dataOffset});
        entries.push_back({0x0202, 4, static_cast<std::uint32_t>(f.thumbnail.size())});
    }
    Put16(block, entryCount, big);
    for (const Entry& e : entries)
        PutEntry(block, e, big);
    Put32(block, 0, big);
    block.insert(block.end(), f.thumbnail.begin(), f.thumbnail.end());

    // The start of the image, then the JFIF segment where it comes first.
    const std::uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F',
                                  0,    1,    1,    0,    0,    1,    0,   1,   0,   0};
    std::vector<std::uint8_t> file(std::begin(start), f.jfifFirst ? std::end(start) : std::begin(start) + 2);
    const std::size_t length = 2 + 6 + block.size();
    file.push_back(0xFF);
    file.push_back(0xE1);
    Put16(file, static_cast<unsigned>(length), true);
    file.insert(file.end(), f.identifier.begin(), f.identifier.end());
    file.resize(file.size() + (6 - f.identifier.size()), 0);
    file.insert(file.end(), block.begin(), block.end());
    // A small main picture after the segment, as cameras write it.
    const std::vector<std::uint8_t> main = JpegFixtureSolid(JpegFixtureKind::Rgb, {10, 20, 30}, 16, 16);
    file.insert(file.end(), main.begin() + 2, main.end());
    return file;
}

std::vector<std::uint8_t> EffFixtureWithThumbnail(const std::vector<std::uint8_t>& main,
                                                  const std::vector<std::uint8_t>& thumbnail, int width,
                                                  int height, const std::string& longText)
{
    std::vector<std::uint8_t> header(main.begin(), main.begin() + 90);
    for (int i = 0; i < 5; ++i) {
        if (i == 1)
            header.insert(header.end(), longText.begin(), longText.end());
        header.push_back(0);
    }
    header.push_back(0);
    header.push_back(1); // one thumbnail
    const char extension[] = "EFFEXHE";
    header.insert(header.end(), extension, extension + 8);
    header.resize(header.size() + 8, 0);
    const std::size_t length = header.size() - 4;
    header[4] = static_cast<std::uint8_t>(length >> 8);
    header[5] = static_cast<std::uint8_t>(length);
    const std::size_t segment = 16 + thumbnail.size();
    const char tag[] = "EFFTHUM";
    std::vector<std::uint8_t> thumb = {0xFF, 0xE5, static_cast<std::uint8_t>(segment >> 8),
                                       static_cast<std::uint8_t>(segment)};
    thumb.insert(thumb.end(), tag, tag + 8);
    thumb.insert(thumb.end(), {0, 0, static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
                               static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)});
    thumb.insert(thumb.end(), thumbnail.begin(), thumbnail.end());
    std::vector<std::uint8_t> file = header;
    file.insert(file.end(), thumb.begin(), thumb.end());
    file.insert(file.end(), main.begin() + 97, main.end());
    return file;
}
