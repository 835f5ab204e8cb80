// Rendering the page's fixed layer into the frame image file.
#include "Layout/FrameImage.h"

#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"

#include <filesystem>
#include <system_error>

int CLayoutManager::RenderFrameCanvas(CImage& canvas, bool* small) const
{
    const RECT printable = GetPrintableRect();
    const int width = printable.right - printable.left + 1;
    const int height = printable.bottom - printable.top + 1;
    if (GetItemCount(-1, 1, nullptr) <= 1)
        return 1;
    const FramePadding pad = ComputeFramePadding(width, height);
    if (small)
        *small = pad.small;
    // The mask starts white (all transparent): created white in one pass
    // rather than cleared to black and then filled.
    if (!canvas.Create(pad.width, pad.height) || !canvas.GetMask() ||
        !canvas.GetMask()->Create(pad.width, pad.height))
        return -1;
    int failure = 0;
    DrawFrameImageItems(canvas, POINT{pad.offset.x - printable.left, pad.offset.y - printable.top}, failure);
    return failure;
}

int CLayoutManager::RenderStringItems(const std::string& outputPath, const std::string& setIndexPath,
                                      int samplingMode, int* quality, int sizeLimit)
{
    if (GetItemCount(-1, 1, nullptr) <= 1)
        return 1;
    if (outputPath.empty())
        return 0;
    CImage canvas;
    bool small = false;
    const int drawn = RenderFrameCanvas(canvas, &small);
    if (drawn != 0)
        return drawn;
    auto measure = [&]() -> long long {
        if (!setIndexPath.empty()) {
            const ILayoutDocument* document = GetActiveDocument();
            return document ? document->GetUsmTotalFileSize(setIndexPath) : 0;
        }
        std::error_code error;
        const auto size = std::filesystem::file_size(outputPath, error);
        return error ? 0 : static_cast<long long>(size);
    };
    return WriteFrameImage(canvas, small, outputPath, samplingMode, quality, sizeLimit != 0,
                           m_frameImageClock ? *m_frameImageClock : SystemEffClock(), measure);
}
