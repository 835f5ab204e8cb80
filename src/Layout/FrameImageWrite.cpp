#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "Layout/FrameImage.h"

#include <algorithm>
#include <cstdint>

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

// Writes at the asked quality, then 10 lower each time while the measured
// size is at or over the limit. `write` gives 0, or the result to return.
template <class Write>
int WriteUnderLimit(int* quality, bool sizeLimit, const std::function<long long()>& measure, Write write)
{
    if (!quality)
        return -2;
    for (int q = *quality; q >= 10; q -= 10) {
        if (const int failed = write(q))
            return failed;
        if (!sizeLimit || (measure && measure() < kSizeLimit)) {
            *quality = q;
            return 0;
        }
    }
    return -3;
}

// The encoder's batches drawn as it asks for them into one strip of rows,
// which stays in the cache between being drawn and being encoded.
class CBandSource : public IJpegBatchSource
{
public:
    // `band` holds what CreateFrameCanvas left there: `freshPixel` and `freshMask`.
    CBandSource(CFramePainter& painter, CImage& band, std::uint32_t freshPixel, std::uint32_t freshMask)
        : m_painter(painter), m_band(band),
          m_rows(band.GetBits(), static_cast<std::uint32_t>(band.GetWidth()),
                 static_cast<std::uint32_t>(band.GetHeight()), static_cast<std::size_t>(band.GetRowBytes()),
                 band.GetMask()->GetBits() + 2, 4, static_cast<std::size_t>(band.GetMask()->GetRowBytes()),
                 true),
          m_freshPixel(freshPixel), m_freshMask(freshMask)
    {
    }

    void Batch(std::uint32_t firstRow, std::uint32_t count, const std::uint8_t** rgb,
               const std::uint8_t** plane) override
    {
        const std::size_t pixels = static_cast<std::size_t>(m_band.GetWidth()) * m_band.GetHeight();
        std::fill_n(reinterpret_cast<std::uint32_t*>(m_band.GetBits()), pixels, m_freshPixel);
        std::fill_n(reinterpret_cast<std::uint32_t*>(m_band.GetMask()->GetBits()), pixels, m_freshMask);
        if (!m_painter.DrawBand(m_band, static_cast<int>(firstRow))) {
            m_failed = true;
            throw static_cast<int>(ImageFileReadFailed);
        }
        m_rows.Batch(0, count, rgb, plane);
    }

    bool Failed() const { return m_failed; }

private:
    CFramePainter& m_painter;
    CImage& m_band;
    CPixelBatchSource m_rows;
    std::uint32_t m_freshPixel;
    std::uint32_t m_freshMask;
    bool m_failed = false;
};

} // namespace

bool CreateFrameCanvas(CImage& canvas, int width, int height)
{
    // The mask starts white (all transparent): created white in one pass
    // rather than cleared to black and then filled.
    return canvas.Create(width, height) && canvas.GetMask() && canvas.GetMask()->Create(width, height);
}

int WriteFrameImage(CImage& canvas, bool small, const std::string& path, int samplingMode, int* quality,
                    bool sizeLimit, const CEffClock& clock, const std::function<long long()>& measure)
{
    if (!quality)
        return -2;
    CImage stretched;
    if (small && !StretchToMinimum(canvas, stretched))
        return -1;
    CImage& image = small ? stretched : canvas;
    return WriteUnderLimit(quality, sizeLimit, measure, [&](int q) {
        CEFFFile writer(clock);
        return writer.WriteImage(path, &image, samplingMode, q) == ImageFileOk ? 0 : -2;
    });
}

int WriteFrameImageInBands(CFramePainter& painter, int width, int height, const std::string& path,
                           int samplingMode, int* quality, bool sizeLimit, const CEffClock& clock,
                           const std::function<long long()>& measure)
{
    CImage band;
    if (!CreateFrameCanvas(
            band, width,
            static_cast<int>(std::min<std::uint32_t>(kJpegBatchRows, static_cast<std::uint32_t>(height)))))
        return -1;
    const std::uint32_t freshPixel = *reinterpret_cast<const std::uint32_t*>(band.GetBits());
    const std::uint32_t freshMask = *reinterpret_cast<const std::uint32_t*>(band.GetMask()->GetBits());
    return WriteUnderLimit(quality, sizeLimit, measure, [&](int q) {
        if (!painter.Begin())
            return -1;
        CBandSource source(painter, band, freshPixel, freshMask);
        CEFFFile writer(clock);
        const int written = writer.WriteRows(path, width, height, source, samplingMode, q);
        if (source.Failed())
            return -1;
        return written == ImageFileOk ? 0 : -2;
    });
}
