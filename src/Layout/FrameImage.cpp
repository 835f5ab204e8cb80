// Rendering the page's fixed layer into the frame image file.
#include "Layout/FrameImage.h"

#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"

#include <filesystem>
#include <system_error>

namespace {

// The canvas of the printable area and where the layout's origin lands on it.
FramePadding PagePadding(const RECT& printable, POINT* origin)
{
    const FramePadding pad =
        ComputeFramePadding(printable.right - printable.left + 1, printable.bottom - printable.top + 1);
    *origin = POINT{pad.offset.x - printable.left, pad.offset.y - printable.top};
    return pad;
}

} // namespace

int CLayoutManager::RenderFrameCanvas(CImage& canvas, bool* small) const
{
    if (GetItemCount(-1, 1, nullptr) <= 1)
        return 1;
    POINT origin;
    const FramePadding pad = PagePadding(GetPrintableRect(), &origin);
    if (small)
        *small = pad.small;
    if (!CreateFrameCanvas(canvas, pad.width, pad.height))
        return -1;
    int failure = 0;
    DrawFrameImageItems(canvas, origin, failure);
    return failure;
}

int CLayoutManager::RenderStringItems(const std::string& outputPath, const std::string& setIndexPath,
                                      int samplingMode, int* quality, int sizeLimit)
{
    if (GetItemCount(-1, 1, nullptr) <= 1)
        return 1;
    if (outputPath.empty())
        return 0;
    auto measure = [&]() -> long long {
        if (!setIndexPath.empty()) {
            const ILayoutDocument* document = GetActiveDocument();
            return document ? document->GetUsmTotalFileSize(setIndexPath) : 0;
        }
        std::error_code error;
        const auto size = std::filesystem::file_size(outputPath, error);
        return error ? 0 : static_cast<long long>(size);
    };
    const CEffClock& clock = m_frameImageClock ? *m_frameImageClock : DefaultEffClock();
    POINT origin;
    const FramePadding pad = PagePadding(GetPrintableRect(), &origin);
    if (!pad.small) {
        CFramePainter painter(m_items, origin, pad.width, pad.height);
        return WriteFrameImageInBands(painter, pad.width, pad.height, outputPath, samplingMode, quality,
                                      sizeLimit != 0, clock, measure);
    }
    // A small canvas is stretched whole before it is written.
    CImage canvas;
    bool small = false;
    const int drawn = RenderFrameCanvas(canvas, &small);
    if (drawn != 0)
        return drawn;
    return WriteFrameImage(canvas, small, outputPath, samplingMode, quality, sizeLimit != 0, clock, measure);
}
