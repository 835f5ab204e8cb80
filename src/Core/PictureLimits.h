// The size limits of the pictures a layout holds and hands to the printing
// side: every picture (and every text rendered as one) is at least 160 and at
// most 4095 pixels a side, and an insert-photo frame's picture is at most 80
// times as long as it is wide. Every place that applies a limit asks here.
#pragma once

#include "Core/Geometry.h"

constexpr int kMinPictureSide = 160;
constexpr int kMaxPictureSide = 4095;
// The longer side divided by the shorter, rounded up, may not exceed it.
constexpr double kMaxInsertPictureAspect = 80.0;

constexpr bool IsPictureTooLarge(int width, int height)
{
    return width > kMaxPictureSide || height > kMaxPictureSide;
}
constexpr bool IsPictureTooSmall(int width, int height)
{
    return width < kMinPictureSide || height < kMinPictureSide;
}
// Either side divided by the other, rounded up, above `maxAspect`; sides
// below 1 are never too long (they are refused as unreadable).
bool IsPictureTooLong(int width, int height, double maxAspect = kMaxInsertPictureAspect);

// The size at which a shape of w x h is worked into a picture: fitted inside
// 4095 x 4095 when a side is above it; kept when both sides are at least 160;
// else enlarged until its smaller side is 160, unless a side would then pass
// 4095, when it is kept. `factor` is the scale from the shape to that size.
struct PictureWorkingSize
{
    int width = 0;
    int height = 0;
    double factor = 1.0;
};
PictureWorkingSize CalcPictureWorkingSize(int width, int height);
// Whether the working size of a w x h shape lies within the limits, so that
// it can be rendered and handed over; a collapsed side counts as one unit.
bool FitsPictureLimits(int width, int height);
// A shape with a side below 160 enlarged, keeping its aspect, until it covers
// 160 x 160 (its smaller side becomes 160).
Rect CoverMinPictureSide(int width, int height, double* factor = nullptr);
