// Integer rectangles (right and bottom exclusive) and the fitting, clipping
// and aspect operations on them. Integer divisions truncate toward zero.
#pragma once

struct Point
{
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The rectangle with width and height exchanged about the same centre.
Rect RotateRect90(const Rect& rect);
// The source's size fitted into the bounds keeping its proportions: shrunk
// when larger, enlarged to touch the bounds only with `enlarge`, placed at the
// bounds' top-left or, with `centre`, in their middle. A source with neither
// width nor height gives (0, 0, 0, 0).
Rect FitRectInRect(const Rect& bounds, const Rect& source, bool centre, bool enlarge);
// The rectangle's edges clamped into the bounds; the empty rectangle when it
// lies wholly outside them.
Rect ClipRectToBounds(const Rect& bounds, const Rect& rect);
// Places a picture in a box keeping its aspect: inside and centred with
// `fit`, covering the box without it (then the offset is how far the scaled
// picture reaches past the box on each side). The scaled side is rounded up.
// `scale` receives the factor. Sizes below 1 give the empty rectangle and a
// scale of 0.
Rect CalcAspectFitRect(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight, bool fit,
                       double* scale = nullptr);
// Resizes the rectangle to the aspect aw:ah. Mode 0 shrinks the longer side,
// 1 keeps the width, 2 keeps the height, others keep the size; sides stay at
// least 1. The anchor keeps one corner: 0 top-left, 1 top-right, 2
// bottom-left, 3 bottom-right; any other anchor leaves the rectangle as it is.
void AdjustRectToAspect(Rect& rect, int aspectWidth, int aspectHeight, int mode, int anchor);
