#include "Layout/support/LayoutTestSupport.h"

#include <QGuiApplication>
#include <algorithm>
#include <fstream>

namespace layouttest {

void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "layout_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

std::uint32_t PixelAt(const CImage& image, int x, int y)
{
    const auto* bits = image.GetBits();
    const int stride = image.GetRowBytes();
    return reinterpret_cast<const std::uint32_t*>(
        bits + static_cast<std::ptrdiff_t>(image.GetHeight() - 1 - y) * stride)[x];
}

int MaskAt(const CImage& image, int x, int y)
{
    const CImage* mask = image.GetMask();
    return static_cast<int>((PixelAt(*mask, x, y) >> 16) & 0xFF);
}

RECT InkBounds(const CImage& image, std::uint32_t ground)
{
    RECT box{image.GetWidth(), image.GetHeight(), 0, 0};
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if ((PixelAt(image, x, y) & 0xFFFFFFu) != (ground & 0xFFFFFFu)) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    if (box.right <= box.left)
        return RECT{};
    return box;
}

int CountColor(const CImage& image, std::uint32_t color)
{
    int count = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if ((PixelAt(image, x, y) & 0xFFFFFFu) == (color & 0xFFFFFFu))
                ++count;
    return count;
}

namespace {
void Put16(std::vector<char>& out, unsigned v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::vector<char>& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
} // namespace

std::string WriteBmp24(const std::string& path, int width, int height, std::uint32_t rgb)
{
    return WriteBmp24(path, width, height, [rgb](int, int) { return rgb; });
}

std::string WriteBmp24(const std::string& path, int width, int height,
                       const std::function<std::uint32_t(int, int)>& rgbAt)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    const unsigned imageSize = static_cast<unsigned>(stride) * static_cast<unsigned>(height);
    std::vector<char> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(width));
    Put32(out, static_cast<unsigned>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    std::vector<char> row(static_cast<std::size_t>(stride), 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = rgbAt(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<char>(rgb & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    std::ofstream(path, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
    return path;
}

} // namespace layouttest
