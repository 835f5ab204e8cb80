#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "Layout/FrameImage.h"

namespace {

constexpr long long kSizeLimit = 245760;

bool StretchToMinimum(CImage& canvas, CImage& out)
{
    const int side = kFrameImageMinSide;
    if (!out.Create(side, side) || !out.CreateMask() || !canvas.HasMask())
        return false;
    return canvas.StretchBltTo(&out, 0, 0, side, side, 0, 0, canvas.GetWidth(), canvas.GetHeight(), SRCCOPY) >
               0 &&
           canvas.GetMask()->StretchBltTo(out.GetMask(), 0, 0, side, side, 0, 0, canvas.GetWidth(),
                                          canvas.GetHeight(), SRCCOPY) > 0;
}

} // namespace

int WriteFrameImage(CImage& canvas, bool small, const std::string& path, int samplingMode, int* quality,
                    bool sizeLimit, const CEffClock& clock, const std::function<long long()>& measure)
{
    if (!quality)
        return -2;
    CImage stretched;
    if (small && !StretchToMinimum(canvas, stretched))
        return -1;
    CImage& image = small ? stretched : canvas;
    for (int q = *quality; q >= 10; q -= 10) {
        CEFFFile writer(clock);
        if (writer.WriteImage(path, &image, samplingMode, q) != ImageFileOk)
            return -2;
        if (!sizeLimit || (measure && measure() < kSizeLimit)) {
            *quality = q;
            return 0;
        }
    }
    return -3;
}
