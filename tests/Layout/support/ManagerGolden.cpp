#include "Layout/support/ManagerGolden.h"

#include "Layout/support/LayoutTestSupport.h"

#include <QImage>

#include <cstdlib>

namespace managertest {

std::string CompareWithGolden(const CImage& canvas, const std::string& name)
{
    const std::string path = std::string(ZAV_SOURCE_DIR) + "/tests/fixtures/layout/" + name;
    QImage drawn(canvas.GetWidth(), canvas.GetHeight(), QImage::Format_RGB32);
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x)
            drawn.setPixel(x, y, 0xFF000000u | layouttest::RgbAt(canvas, x, y));
    if (std::getenv("ZAV_UPDATE_GOLDEN"))
        return drawn.save(QString::fromStdString(path), "PNG") ? std::string() : "cannot write " + path;
    QImage golden(QString::fromStdString(path));
    if (golden.isNull())
        return "missing golden picture " + path;
    golden = golden.convertToFormat(QImage::Format_RGB32);
    if (golden.size() != drawn.size())
        return "size differs from " + path;
    int differing = 0;
    std::string first;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if ((drawn.pixel(x, y) & 0xFFFFFFu) != (golden.pixel(x, y) & 0xFFFFFFu)) {
                if (differing++ == 0)
                    first = "first at " + std::to_string(x) + "," + std::to_string(y);
            }
    return differing ? std::to_string(differing) + " pixels differ from " + path + ", " + first
                     : std::string();
}

} // namespace managertest
