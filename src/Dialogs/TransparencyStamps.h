// The transparency editor's stamp outlines: polygons in a design square,
// stored as resources of type "SHAPESBIT" (":/SHAPESBIT/<id>"), scaled into
// a rectangle and drawn filled.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QByteArray>

#include <functional>
#include <vector>

class CImageDC;

constexpr int kStampCount = 5;

struct StampOutline
{
    int base = 0; // side of the design square
    std::vector<POINT> points;
};

// The resource id of stamp 0..4 (star, spade, heart, diamond, club); 0 for another index.
int StampResourceId(int stamp);
// Reads little-endian signed 16-bit words: base, n, then n pairs. A base not
// above 0, fewer than 3 points or a size other than 2 + 2n words throws 1.
StampOutline ParseStampOutline(const QByteArray& data);
// Where the outlines are read from: the program's resources, or (tests) a
// reader answering the bytes of a resource id; null restores the resources.
void SetStampResourceReader(std::function<QByteArray(int resourceId)> reader);
// The outline of stamp 0..4 from the program's resources; throws 1 when it is
// missing or malformed.
StampOutline LoadStampOutline(int stamp);
// Point i becomes (floor(x_i fx) + left, floor(y_i fy) + top) with the real
// factors fx = (right - left) / base and fy = (bottom - top) / base.
std::vector<POINT> ScaleStampOutline(const StampOutline& outline, int left, int top, int right, int bottom);
// Draws stamp 0..4 scaled into the rectangle as one filled polygon with the
// context's pen and brush; returns 1, throws 1 for a missing resource.
int DrawStampShape(int stamp, CImageDC& dc, int left, int top, int right, int bottom);
