#include "Dialogs/TransparencyShapeMakers.h"

#include "Core/ErrorCheck.h"
#include "Dialogs/TransparencyShapes.h"
#include "Dialogs/TransparencyStamps.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageDC.h"

#include <algorithm>

PageBuffer MakeDrawnCoverage(const ShapeCoverageArea& area, bool mirrored, int level,
                             IFilterProgressSink* progress, const std::function<void(CImageDC&)>& draw)
{
    BoolCheck(area.blur >= 0, ErrorIdReported);
    return MakeShapeCoverage(
        area.width, area.height, mirrored ? CoverageMirror::Horizontal : CoverageMirror::None,
        [&](CImage& work) {
            CImageDC* dc = work.GetDC();
            NullCheck(dc, ErrorIdReported);
            dc->SelectObject(CImagePen{PS_SOLID, 1, 0xFFFFFF});
            dc->SelectObject(CImageBrush{0xFFFFFF, false});
            draw(*dc);
        },
        area.blur, level, progress);
}

PageBuffer MakePolygonCoverage(const std::vector<POINT>& points, const RECT& shape,
                               const ShapeCoverageArea& area, int level, IFilterProgressSink* progress)
{
    BoolCheck(points.size() >= 3, ErrorIdReported);
    std::vector<POINT> local;
    local.reserve(points.size());
    for (const POINT& p : points)
        local.push_back(POINT{p.x - shape.left + area.blur, p.y - shape.top + area.blur});
    return MakeDrawnCoverage(area, false, level, progress,
                             [&](CImageDC& dc) { dc.Polygon(local.data(), static_cast<int>(local.size())); });
}

PageBuffer MakeQuarterEllipseCoverage(int width, int height, bool leftwards, bool upwards,
                                      const ShapeCoverageArea& area, int level, IFilterProgressSink* progress)
{
    const int b = area.blur;
    const int w = std::max(width, 2);
    const int h = std::max(height, 2);
    // Drawn as dragged right and down from (b, b); the other directions are
    // that drawing mirrored about the working area's centre.
    PageBuffer coverage = MakeDrawnCoverage(area, false, level, progress, [&](CImageDC& dc) {
        const int right = b + w + (width < 3 ? 1 : 0);
        const int bottom = b + h + (height < 3 ? 1 : 0);
        dc.Pie(b - w, b - h, right, bottom, b, b + h, b + w, b);
    });
    const int W = area.width;
    const int H = area.height;
    std::uint8_t* bytes = coverage.get();
    if (leftwards)
        for (int y = 0; y < H; ++y)
            std::reverse(bytes + static_cast<std::size_t>(y) * W,
                         bytes + static_cast<std::size_t>(y + 1) * W);
    if (upwards)
        for (int y = 0; y < H / 2; ++y)
            std::swap_ranges(bytes + static_cast<std::size_t>(y) * W,
                             bytes + static_cast<std::size_t>(y + 1) * W,
                             bytes + static_cast<std::size_t>(H - 1 - y) * W);
    return coverage;
}

PageBuffer MakeFreehandCoverage(const std::vector<POINT>& points, const RECT& shape, int penWidth,
                                const ShapeCoverageArea& area, int level, IFilterProgressSink* progress)
{
    BoolCheck(points.size() >= 2, ErrorIdReported);
    std::vector<POINT> local;
    local.reserve(points.size());
    for (const POINT& p : points)
        local.push_back(POINT{p.x - shape.left + area.blur, p.y - shape.top + area.blur});
    return MakeDrawnCoverage(area, false, level, progress, [&](CImageDC& dc) {
        dc.SelectObject(CImagePen{PS_SOLID, penWidth, 0xFFFFFF});
        dc.SelectObject(CImageBrush{0xFFFFFF, true});
        dc.Polyline(local.data(), static_cast<int>(local.size()));
        // A segment of no length draws nothing; the pen's round tip is drawn for it.
        dc.SelectObject(CImagePen{PS_NULL, 1, 0xFFFFFF});
        dc.SelectObject(CImageBrush{0xFFFFFF, false});
        for (std::size_t i = 1; i < local.size(); ++i) {
            const POINT& p = local[i];
            if (penWidth > 1 && p.x == local[i - 1].x && p.y == local[i - 1].y) {
                const int left = p.x - penWidth / 2;
                const int top = p.y - penWidth / 2;
                dc.Ellipse(left, top, left + penWidth + 1, top + penWidth + 1);
            }
        }
    });
}

PageBuffer MakeStampCoverage(int stamp, int width, int height, const ShapeCoverageArea& area, int level,
                             IFilterProgressSink* progress)
{
    // Read before anything is allocated, so a bad resource costs nothing.
    const StampOutline outline = LoadStampOutline(stamp);
    const int b = area.blur;
    return MakeDrawnCoverage(area, true, level, progress, [&](CImageDC& dc) {
        const std::vector<POINT> points = ScaleStampOutline(outline, b, b, b + width, b + height);
        dc.Polygon(points.data(), static_cast<int>(points.size()));
    });
}

int FreehandPenWidth(int tool)
{
    switch (tool) {
    case 10:
        return 4;
    case 11:
        return 8;
    case 12:
        return 16;
    default:
        return 1;
    }
}
