#include "Core/PictureLimits.h"

#include <algorithm>
#include <cmath>

bool IsPictureTooLong(int width, int height, double maxAspect)
{
    if (width < 1 || height < 1)
        return false;
    return std::ceil(static_cast<double>(width) / height) > maxAspect ||
           std::ceil(static_cast<double>(height) / width) > maxAspect;
}

Rect CoverMinPictureSide(int width, int height, double* factor)
{
    return CalcAspectFitRect(width, height, kMinPictureSide, kMinPictureSide, false, factor);
}

PictureWorkingSize CalcPictureWorkingSize(int width, int height)
{
    // A collapsed side counts as one unit, so that the factor stays finite.
    width = std::max(width, 1);
    height = std::max(height, 1);
    PictureWorkingSize size{width, height, 1.0};
    if (IsPictureTooLarge(width, height)) {
        const Rect fit =
            CalcAspectFitRect(width, height, kMaxPictureSide, kMaxPictureSide, true, &size.factor);
        size.width = fit.Width();
        size.height = fit.Height();
        return size;
    }
    if (!IsPictureTooSmall(width, height))
        return size;
    double factor = 1.0;
    const Rect cover = CoverMinPictureSide(width, height, &factor);
    if (IsPictureTooLarge(cover.Width(), cover.Height()))
        return size;
    return PictureWorkingSize{cover.Width(), cover.Height(), factor};
}

bool FitsPictureLimits(int width, int height)
{
    const PictureWorkingSize size = CalcPictureWorkingSize(width, height);
    return !IsPictureTooLarge(size.width, size.height) && !IsPictureTooSmall(size.width, size.height);
}
