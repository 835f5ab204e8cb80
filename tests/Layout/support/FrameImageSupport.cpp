#include "Layout/support/FrameImageSupport.h"

#include "ImageProcessing/Image.h"
#include "Layout/support/LayoutTestSupport.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace frameimagetest {

RECT ColorBounds(const CImage& image, COLORREF color)
{
    const std::uint32_t wanted = layouttest::Px(color);
    RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (layouttest::RgbAt(image, x, y) == wanted) {
                r.left = std::min<long>(r.left, x);
                r.top = std::min<long>(r.top, y);
                r.right = std::max<long>(r.right, x + 1);
                r.bottom = std::max<long>(r.bottom, y + 1);
            }
    return r.left == INT_MAX ? RECT{} : r;
}

int MaxMaskDifference(const CImage& a, const CImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return -1;
    int worst = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            worst = std::max(worst, std::abs(layouttest::MaskAt(a, x, y) - layouttest::MaskAt(b, x, y)));
    return worst;
}

double ColorPsnr(const CImage& a, const CImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return 0.0;
    double sum = 0.0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const std::uint32_t p = layouttest::RgbAt(a, x, y);
            const std::uint32_t q = layouttest::RgbAt(b, x, y);
            for (int shift : {0, 8, 16}) {
                const double d = double((p >> shift) & 0xFF) - double((q >> shift) & 0xFF);
                sum += d * d;
            }
        }
    const double mse = sum / (3.0 * a.GetWidth() * a.GetHeight());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace frameimagetest
