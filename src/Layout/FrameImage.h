// The frame image of a page: the fixed layer (lines, texts, backgrounds)
// flattened into a picture with a mask at one pixel per layout unit, padded
// so that it keeps at least 160 pixels a side on the printing side's display.
#pragma once

#include "Core/PictureLimits.h"
#include "ImageProcessing/GdiTypes.h"
#include "Layout/LayoutItemList.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CImage;
class CEffClock;

constexpr int kFrameImageMinSide = kMinPictureSide;

struct FramePadding
{
    int width = 0; // the canvas, padding included
    int height = 0;
    POINT offset{}; // where the printable rect's top-left lands
    bool small = false;
};

// The canvas for a printable area of w x h units.
FramePadding ComputeFramePadding(int width, int height);

// The string item's line rectangle and alignment for direction 0..3; a and c
// are the line's extents along and across the text.
RECT FrameTextLineRect(int direction, const RECT& item, int line, int along, int across);
unsigned FrameTextLineFormat(int direction);
// The shadow's drawing offset and the correction that keeps the text inside the item.
void FrameTextShadowOffsets(int direction, bool verticalText, POINT shadow, POINT* draw, POINT* correction);

class CFrameInkStore;

// Draws the page's fixed layer (lines, texts, backgrounds, the bottom one
// first) into the canvas whole, or band by band into a strip of its rows, so
// that the encoder can take each band while it is in the cache.
class CFramePainter
{
public:
    // `offset`: where layout unit (0, 0) lands on a canvas of width x height.
    CFramePainter(const LayoutItemList& items, POINT offset, int width, int height);
    ~CFramePainter();
    CFramePainter(const CFramePainter&) = delete;
    CFramePainter& operator=(const CFramePainter&) = delete;

    // Onto the whole canvas as created (white, with a white mask). False when
    // a background cannot be drawn; the canvas is then incomplete.
    bool DrawAll(CImage& canvas);
    // Starts a pass of bands; the backgrounds no band reaches are read for
    // their failure alone, as drawing the whole canvas would.
    bool Begin();
    // The canvas's rows from `top` on into `band` (the canvas's width, created
    // as the canvas would be); the bands of a pass come from the top down.
    bool DrawBand(CImage& band, int top);

private:
    struct Entry;
    int m_width;
    int m_height;
    std::vector<Entry> m_entries;
    std::unique_ptr<CFrameInkStore> m_store;
};

// Saves the canvas (stretched to 160 x 160 first when small) as EFF, lowering
// the quality by 10 while the measured size is at or over the limit.
// 0 written, -1 no image, -2 the writer failed, -3 not under the limit at quality 10.
int WriteFrameImage(CImage& canvas, bool small, const std::string& path, int samplingMode, int* quality,
                    bool sizeLimit, const CEffClock& clock, const std::function<long long()>& measure);

// The canvas (or a band of it) as the frame image starts: white, with a white mask.
bool CreateFrameCanvas(CImage& canvas, int width, int height);

// WriteFrameImage of a canvas that is never held whole: each attempt draws it
// again band by band as the encoder takes it. -1 also when a background
// cannot be drawn.
int WriteFrameImageInBands(CFramePainter& painter, int width, int height, const std::string& path,
                           int samplingMode, int* quality, bool sizeLimit, const CEffClock& clock,
                           const std::function<long long()>& measure);
