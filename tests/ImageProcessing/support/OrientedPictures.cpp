#include "ImageProcessing/support/OrientedPictures.h"

#include "ImageProcessing/JpegFile.h"

#include <fstream>
#include <iterator>

namespace {

using C = FixtureCorner;

void CornerPoint(FixtureCorner c, int width, int height, int* x, int* y)
{
    *x = (c == C::TopRight || c == C::BottomRight) ? width - 1 : 0;
    *y = (c == C::BottomLeft || c == C::BottomRight) ? height - 1 : 0;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v, bool big)
{
    const std::uint8_t hi = static_cast<std::uint8_t>(v >> 8), lo = static_cast<std::uint8_t>(v);
    out.push_back(big ? hi : lo);
    out.push_back(big ? lo : hi);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v, bool big)
{
    Put16(out, big ? v >> 16 : v & 0xFFFF, big);
    Put16(out, big ? v & 0xFFFF : v >> 16, big);
}

} // namespace

const std::vector<FixtureOrientation>& FixtureOrientations()
{
    static const std::vector<FixtureOrientation> all = {
        {"TopLeft", 1, C::TopLeft, C::TopRight, C::BottomLeft},
        {"TopRight", 2, C::TopRight, C::TopLeft, C::BottomRight},
        {"BottomRight", 3, C::BottomRight, C::BottomLeft, C::TopRight},
        {"BottomLeft", 4, C::BottomLeft, C::BottomRight, C::TopLeft},
        {"LeftTop", 5, C::TopLeft, C::BottomLeft, C::TopRight},
        {"RightTop", 6, C::BottomLeft, C::TopLeft, C::BottomRight},
        {"RightBottom", 7, C::BottomRight, C::TopRight, C::BottomLeft},
        {"LeftBottom", 8, C::TopRight, C::BottomRight, C::TopLeft},
    };
    return all;
}

int FixtureUprightWidth(const FixtureOrientation& o, int width, int height)
{
    int x0, y0, x1, y1;
    CornerPoint(o.topLeft, width, height, &x0, &y0);
    CornerPoint(o.topRight, width, height, &x1, &y1);
    return y0 == y1 ? width : height; // the upright top edge runs along a stored row or a column
}

int FixtureUprightHeight(const FixtureOrientation& o, int width, int height)
{
    return FixtureUprightWidth(o, width, height) == width ? height : width;
}

void FixtureStoredPoint(const FixtureOrientation& o, int width, int height, int ux, int uy, int* x, int* y)
{
    const int uw = FixtureUprightWidth(o, width, height);
    const int uh = FixtureUprightHeight(o, width, height);
    int tlx, tly, trx, try_, blx, bly;
    CornerPoint(o.topLeft, width, height, &tlx, &tly);
    CornerPoint(o.topRight, width, height, &trx, &try_);
    CornerPoint(o.bottomLeft, width, height, &blx, &bly);
    // Moving right in the upright picture walks from its top-left corner to its
    // top-right one; moving down, to its bottom-left one.
    const auto step = [](int from, int to, int along, int length) {
        return length > 1 ? (to - from) / (length - 1) * along : 0;
    };
    *x = tlx + step(tlx, trx, ux, uw) + step(tlx, blx, uy, uh);
    *y = tly + step(tly, try_, ux, uw) + step(tly, bly, uy, uh);
}

std::uint32_t FixtureQuadrantColour(int width, int height, int x, int y)
{
    static const std::uint32_t colours[4] = {0xE01010, 0x10C020, 0x2030E0, 0xF0F0F0};
    return colours[(x < width / 2 ? 0 : 1) + (y < height / 2 ? 0 : 2)];
}

std::vector<std::uint8_t> FixtureExifOrientationSegment(int orientation, bool big)
{
    std::vector<std::uint8_t> block;
    block.push_back(big ? 'M' : 'I');
    block.push_back(big ? 'M' : 'I');
    Put16(block, 42, big);
    Put32(block, 8, big);
    Put16(block, 1, big); // one entry: Orientation, SHORT, count 1, left-justified
    Put16(block, 0x0112, big);
    Put16(block, 3, big);
    Put32(block, 1, big);
    Put16(block, static_cast<unsigned>(orientation), big);
    Put16(block, 0, big);
    Put32(block, 0, big);
    std::vector<std::uint8_t> segment = {0xFF, 0xE1};
    Put16(segment, static_cast<unsigned>(2 + 6 + block.size()), true);
    for (char c : {'E', 'x', 'i', 'f', '\0', '\0'})
        segment.push_back(static_cast<std::uint8_t>(c));
    segment.insert(segment.end(), block.begin(), block.end());
    return segment;
}

std::vector<std::uint8_t> FixtureWithExifOrientation(const std::vector<std::uint8_t>& jpeg, int orientation,
                                                     bool bigEndian)
{
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    const std::vector<std::uint8_t> segment = FixtureExifOrientationSegment(orientation, bigEndian);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<std::uint8_t> FixtureOrientedQuadrantJpeg(const std::string& path, int width, int height,
                                                      int orientation)
{
    // The encoder takes 4-byte pixels (blue, green, red, unused) bottom row first.
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = FixtureQuadrantColour(width, height, x, y);
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(height - 1 - y) * width + x) * 4];
            p[0] = static_cast<std::uint8_t>(rgb);
            p[1] = static_cast<std::uint8_t>(rgb >> 8);
            p[2] = static_cast<std::uint8_t>(rgb >> 16);
        }
    if (CJpegFile().WriteBuffer(path, pixels.data(), nullptr, width, height) != 0)
        return {};
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> plain((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (plain.size() < 2)
        return {};
    std::vector<std::uint8_t> oriented = FixtureWithExifOrientation(plain, orientation);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(oriented.data()), static_cast<std::streamsize>(oriented.size()));
    return out ? oriented : std::vector<std::uint8_t>{};
}
