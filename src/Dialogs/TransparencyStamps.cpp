#include "Dialogs/TransparencyStamps.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/ImageDC.h"

#include <QFile>

#include <cmath>
#include <cstdint>

namespace {

constexpr int kStampResourceIds[kStampCount] = {3001, 3004, 3003, 3005, 3006};

int Word(const QByteArray& data, int index)
{
    const auto lo = static_cast<std::uint8_t>(data[2 * index]);
    const auto hi = static_cast<std::uint8_t>(data[2 * index + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

std::function<QByteArray(int)>& Reader()
{
    static std::function<QByteArray(int)> reader;
    return reader;
}

} // namespace

void SetStampResourceReader(std::function<QByteArray(int resourceId)> reader)
{
    Reader() = std::move(reader);
}

int StampResourceId(int stamp)
{
    return stamp >= 0 && stamp < kStampCount ? kStampResourceIds[stamp] : 0;
}

StampOutline ParseStampOutline(const QByteArray& data)
{
    BoolCheck(data.size() >= 4 && data.size() % 2 == 0, ErrorIdReported);
    const int words = static_cast<int>(data.size() / 2);
    StampOutline outline;
    outline.base = Word(data, 0);
    const int count = Word(data, 1);
    BoolCheck(outline.base > 0 && count >= 3 && words == 2 + 2 * count, ErrorIdReported);
    outline.points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        outline.points.push_back(POINT{Word(data, 2 + 2 * i), Word(data, 3 + 2 * i)});
    return outline;
}

StampOutline LoadStampOutline(int stamp)
{
    const int id = StampResourceId(stamp);
    BoolCheck(id != 0, ErrorIdReported);
    if (Reader())
        return ParseStampOutline(Reader()(id));
    QFile file(QStringLiteral(":/SHAPESBIT/%1").arg(id));
    BoolCheck(file.open(QIODevice::ReadOnly), ErrorIdReported);
    return ParseStampOutline(file.readAll());
}

std::vector<POINT> ScaleStampOutline(const StampOutline& outline, int left, int top, int right, int bottom)
{
    const double fx = static_cast<double>(right - left) / outline.base;
    const double fy = static_cast<double>(bottom - top) / outline.base;
    std::vector<POINT> points;
    points.reserve(outline.points.size());
    for (const POINT& p : outline.points)
        points.push_back(POINT{static_cast<int>(std::floor(p.x * fx)) + left,
                               static_cast<int>(std::floor(p.y * fy)) + top});
    return points;
}

int DrawStampShape(int stamp, CImageDC& dc, int left, int top, int right, int bottom)
{
    const std::vector<POINT> points = ScaleStampOutline(LoadStampOutline(stamp), left, top, right, bottom);
    dc.Polygon(points.data(), static_cast<int>(points.size()));
    return 1;
}
