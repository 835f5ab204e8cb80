#include "EndToEnd/support/Pictures.h"

#include <QDir>
#include <QImage>

#include <cstdint>

std::string MakeDetailedPicture(const std::string& parent, const std::string& name, int width, int height,
                                unsigned seed)
{
    const QString folder = QString::fromStdString(parent) + QString::fromStdString(name);
    QDir().mkpath(folder);
    QImage image(width, height, QImage::Format_RGB888);
    std::uint32_t state = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(static_cast<int>(state >> 24), (x + y) & 0xFF, (y * 3) & 0xFF));
        }
    image.save(folder + "/" + QString::fromStdString(name) + ".bmp", "BMP");
    return folder.toStdString();
}
