// Draws the transparency view's display image: the picture through its
// edited mask over white or a checker, the pixel grid at the largest zoom, the
// workspace colour around the picture; after a scroll it moves what is drawn
// and draws only the strip that came into view.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <cstdint>
#include <vector>

class CImage;
class CTransparencyGeometry;
class CTransparencyMask;

// The colour of the window around the picture (the application workspace).
constexpr COLORREF kTransparencyWorkspaceColor = 0xABABAB;

// Bitmap resources: the checker tile, and the dotted strips of the grid.
constexpr int kCheckerBitmapId = 422;
constexpr int kGridRowBitmapId = 423;
constexpr int kGridColumnBitmapId = 502;

enum TransparencyRenderKind : int {
    RenderArea = 0,
    RenderAfterVerticalScroll = 1,
    RenderAfterHorizontalScroll = 2,
};

class CTransparencyRenderer
{
public:
    CTransparencyRenderer();

    // Kind 0 with a picture rectangle (null: everything), or 1 / 2 after a
    // scroll; the display image has the client's size. Returns 1; throws
    // ErrorIdSilent when the display image is unusable.
    int Render(CImage& display, const CTransparencyGeometry& geometry, const CTransparencyMask& picture,
               bool checker, int kind, const RECT* rect);

    // Tiles the checker into a window rectangle, its phase following the picture.
    void DrawCheckerBackground(CImage& image, const CTransparencyGeometry& geometry, const RECT& rect) const;
    // Dotted lines on every picture-pixel border inside the window rectangle.
    void DrawPixelGrid(CImage& image, const CTransparencyGeometry& geometry, int left, int top, int right,
                       int bottom) const;

    int GetCheckerTileWidth() const { return m_tileWidth; }
    int GetCheckerTileHeight() const { return m_tileHeight; }

private:
    void RenderRect(CImage& display, const CTransparencyGeometry& geometry, const CTransparencyMask& picture,
                    bool checker, RECT area);
    void RenderAll(CImage& display, const CTransparencyGeometry& geometry, const CTransparencyMask& picture,
                   bool checker);
    // The picture rectangle drawn into the window rectangle, both given whole
    // (the window one may reach past the display, which clips it).
    void DrawArea(CImage& display, const CTransparencyGeometry& geometry, const CTransparencyMask& picture,
                  bool checker, const RECT& window, const RECT& area);
    void AfterScroll(CImage& display, const CTransparencyGeometry& geometry, const CTransparencyMask& picture,
                     bool checker, bool vertical);

    std::vector<std::uint32_t> m_tile;
    int m_tileWidth = 0;
    int m_tileHeight = 0;
    std::vector<int> m_tileRowClass;
    std::vector<std::uint32_t> m_rowDots;
    std::vector<std::uint32_t> m_columnDots;
};
