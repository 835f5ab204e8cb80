// The coverage of the transparency editor's drawn shapes (polygon, quarter
// ellipse, free-hand stroke, stamps): the shape drawn in white on black into
// a work image of its working area, raised to the fill level, feathered by
// the blur and laid out like the mask (bottom-up bytes, no row padding).
// Every maker throws enumErrorID (1 for memory, drawing and resources, -1 for
// the blur) with every buffer it took released.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFile.h"

#include <functional>
#include <vector>

class CImageDC;
class IFilterProgressSink;

struct ShapeCoverageArea
{
    int width = 0;  // W: the shape's width plus twice the blur
    int height = 0; // H
    int blur = 0;   // the shape lies at (blur, blur) in the working area
};

// Draws with `draw` (white pen and brush selected) into a black work image of
// W x H, or of ceil(W / 2) x H with `mirrored`, whose columns are then
// mirrored into the right half (the centre column of an odd width once).
PageBuffer MakeDrawnCoverage(const ShapeCoverageArea& area, bool mirrored, int level,
                             IFilterProgressSink* progress, const std::function<void(CImageDC&)>& draw);

// Vertices in picture pixels; `shape` is the rectangle the working area grows from.
PageBuffer MakePolygonCoverage(const std::vector<POINT>& points, const RECT& shape,
                               const ShapeCoverageArea& area, int level, IFilterProgressSink* progress);
// A quarter of the ellipse whose centre is the corner the drag began at,
// reaching in the drag's direction over at least 2 x 2 pixels.
PageBuffer MakeQuarterEllipseCoverage(int width, int height, bool leftwards, bool upwards,
                                      const ShapeCoverageArea& area, int level,
                                      IFilterProgressSink* progress);
// A stroke of a round pen `penWidth` pixels wide through the points.
PageBuffer MakeFreehandCoverage(const std::vector<POINT>& points, const RECT& shape, int penWidth,
                                const ShapeCoverageArea& area, int level, IFilterProgressSink* progress);
// Stamp 0..4 filling the shape's w x h, symmetric about its centre column.
PageBuffer MakeStampCoverage(int stamp, int width, int height, const ShapeCoverageArea& area, int level,
                             IFilterProgressSink* progress);

// The pen of free-hand tool 9..12: 1, 4, 8 or 16 pixels.
int FreehandPenWidth(int tool);
