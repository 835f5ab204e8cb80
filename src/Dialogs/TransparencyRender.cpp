#include "Dialogs/TransparencyRender.h"

#include "Core/ErrorCheck.h"
#include "Dialogs/TransparencyGeometry.h"
#include "Dialogs/TransparencyMask.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageIcon.h"
#include "ImageProcessing/MaskBlend.h"
#include "ImageProcessing/RasterOps.h"
#include "ImageProcessing/StretchEngine.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDotStrip = 1024;

// The bitmap resource's pixels, top row first, or nothing when it is missing.
std::vector<std::uint32_t> LoadPattern(int id, int* width, int* height)
{
    const QImage picture = LoadBitmapResourcePicture(id);
    if (picture.isNull())
        return {};
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(rgb.width()) * rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            pixels[static_cast<std::size_t>(y) * rgb.width() + x] = from[x] & 0x00FFFFFFu;
    }
    *width = rgb.width();
    *height = rgb.height();
    return pixels;
}

std::vector<std::uint32_t> Dots()
{
    std::vector<std::uint32_t> dots(kDotStrip);
    for (int i = 0; i < kDotStrip; ++i)
        dots[i] = (i % 2 == 0) ? 0x000000u : 0xFFFFFFu;
    return dots;
}

// Window row y of a display image (top row 0).
std::uint32_t* DisplayRow(CImage& display, int y)
{
    return reinterpret_cast<std::uint32_t*>(
        display.GetBits() + static_cast<std::size_t>(display.GetHeight() - 1 - y) * display.GetRowBytes());
}

int PositiveMod(int a, int b)
{
    const int m = a % b;
    return m < 0 ? m + b : m;
}

bool IsEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

} // namespace

CTransparencyRenderer::CTransparencyRenderer()
{
    m_tile = LoadPattern(kCheckerBitmapId, &m_tileWidth, &m_tileHeight);
    if (m_tile.empty()) {
        // The same checker as the shipped bitmap, should it be missing.
        m_tileWidth = m_tileHeight = 16;
        m_tile.resize(256);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                m_tile[y * 16 + x] = ((x / 8 + y / 8) % 2 == 0) ? 0xFFFFFFu : 0xCCCCCCu;
    }
    int w = 0;
    int h = 0;
    m_rowDots = LoadPattern(kGridRowBitmapId, &w, &h);
    if (m_rowDots.size() < kDotStrip)
        m_rowDots = Dots();
    m_columnDots = LoadPattern(kGridColumnBitmapId, &w, &h);
    if (m_columnDots.size() < kDotStrip)
        m_columnDots = Dots();
    // Tile rows with the same pixels share a class, so a zoomed row can be copied.
    m_tileRowClass.resize(static_cast<std::size_t>(m_tileHeight));
    for (int r = 0; r < m_tileHeight; ++r) {
        m_tileRowClass[r] = r;
        for (int q = 0; q < r; ++q)
            if (std::equal(m_tile.begin() + q * m_tileWidth, m_tile.begin() + (q + 1) * m_tileWidth,
                           m_tile.begin() + r * m_tileWidth)) {
                m_tileRowClass[r] = q;
                break;
            }
    }
}

int CTransparencyRenderer::Render(CImage& display, const CTransparencyGeometry& geometry,
                                  const CTransparencyMask& picture, bool checker, int kind, const RECT* rect)
{
    BoolCheck(display.IsValid() && display.GetBits() != nullptr, ErrorIdSilent);
    if (!picture.IsLoaded()) {
        display.FillRect(0, 0, display.GetWidth(), display.GetHeight(), kTransparencyWorkspaceColor);
        return 1;
    }
    const bool whole = geometry.GetZoom() >= 100;
    switch (kind) {
    case RenderAfterVerticalScroll:
    case RenderAfterHorizontalScroll:
        if (whole)
            AfterScroll(display, geometry, picture, checker, kind == RenderAfterVerticalScroll);
        else
            RenderAll(display, geometry, picture, checker);
        break;
    default:
        if (rect && whole)
            RenderRect(display, geometry, picture, checker, *rect);
        else
            RenderAll(display, geometry, picture, checker);
        break;
    }
    return 1;
}

void CTransparencyRenderer::RenderRect(CImage& display, const CTransparencyGeometry& geometry,
                                       const CTransparencyMask& picture, bool checker, RECT area)
{
    area = Intersect(area, RECT{0, 0, picture.GetWidth(), picture.GetHeight()});
    area = Intersect(area, geometry.GetVisiblePictureRect());
    if (IsEmpty(area))
        return;
    const RECT window = geometry.PictureToClient(area, true, true);
    DrawArea(display, geometry, picture, checker, window, area);
    const int cw = display.GetWidth();
    const int ch = display.GetHeight();
    const POINT offset = geometry.GetOffset();
    if (area.right == picture.GetWidth() && window.right < cw)
        display.FillRect(window.right, window.top, cw - window.right, window.bottom - window.top,
                         kTransparencyWorkspaceColor);
    if (area.bottom == picture.GetHeight() && window.bottom < ch)
        display.FillRect(window.left, window.bottom, cw - window.left, ch - window.bottom,
                         kTransparencyWorkspaceColor);
    if (offset.x > 0)
        display.FillRect(0, window.top, offset.x, window.bottom - window.top, kTransparencyWorkspaceColor);
    if (offset.y > 0)
        display.FillRect(window.left, 0, window.right - window.left, offset.y, kTransparencyWorkspaceColor);
}

void CTransparencyRenderer::RenderAll(CImage& display, const CTransparencyGeometry& geometry,
                                      const CTransparencyMask& picture, bool checker)
{
    display.FillRect(0, 0, display.GetWidth(), display.GetHeight(), kTransparencyWorkspaceColor);
    const RECT area = geometry.GetVisiblePictureRect();
    if (IsEmpty(area))
        return;
    const POINT offset = geometry.GetOffset();
    const int zoom = geometry.GetZoom();
    const RECT window{offset.x, offset.y, offset.x + (area.right - area.left) * zoom / 100,
                      offset.y + (area.bottom - area.top) * zoom / 100};
    if (IsEmpty(window))
        return;
    DrawArea(display, geometry, picture, checker, window, area);
}

void CTransparencyRenderer::DrawArea(CImage& display, const CTransparencyGeometry& geometry,
                                     const CTransparencyMask& picture, bool checker, const RECT& window,
                                     const RECT& area)
{
    const RECT shown = Intersect(window, RECT{0, 0, display.GetWidth(), display.GetHeight()});
    if (IsEmpty(shown))
        return;
    const int count = shown.right - shown.left;
    const int zoom = geometry.GetZoom();

    // Nearest picture pixel of every window column and row of the stretch, and
    // the checker's tile column under it, in the phase DrawCheckerBackground gives.
    const std::int64_t dw = window.right - window.left;
    const std::int64_t dh = window.bottom - window.top;
    const std::int64_t sw = area.right - area.left;
    const std::int64_t sh = area.bottom - area.top;
    int x0 = 0;
    int y0 = 0;
    if (checker) {
        const POINT p = geometry.ClientToPicture(POINT{shown.left, shown.top});
        x0 = shown.left - PositiveMod(p.x, m_tileWidth) * zoom / 100;
        y0 = shown.top - PositiveMod(p.y, m_tileHeight) * zoom / 100;
    }
    std::vector<int> columns(static_cast<std::size_t>(count));
    std::vector<int> tileColumns(static_cast<std::size_t>(count));
    for (int x = shown.left; x < shown.right; ++x) {
        columns[x - shown.left] = area.left + static_cast<int>((x - window.left) * sw / dw);
        tileColumns[x - shown.left] = checker ? PositiveMod(x - x0, m_tileWidth) : 0;
    }
    // The background of each tile row along the window row, made when first needed.
    std::vector<std::vector<std::uint32_t>> grounds(checker ? static_cast<std::size_t>(m_tileHeight) : 1);
    auto groundLine = [&](int tileRow) -> const std::vector<std::uint32_t>& {
        std::vector<std::uint32_t>& line = grounds[static_cast<std::size_t>(tileRow)];
        if (line.empty()) {
            line.resize(static_cast<std::size_t>(count), 0xFFFFFFu); // white without the checker
            if (checker)
                for (int i = 0; i < count; ++i)
                    line[i] = m_tile[static_cast<std::size_t>(tileRow) * m_tileWidth + tileColumns[i]];
        }
        return line;
    };

    const int height = picture.GetHeight();
    const int stride = picture.GetStride();
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(picture.GetPixels());
    const std::uint8_t* mask = picture.GetMask();
    // The picture row under the window row, sampled along it; the mask in the
    // layout of an image's mask, so that the masked drawing's blend applies:
    // (s x (255 - a) + d x a) / 255 per colour byte over the background.
    std::vector<std::uint32_t> sampled(static_cast<std::size_t>(count));
    std::vector<std::uint32_t> sampledMask(static_cast<std::size_t>(count));
    int previousRow = -1;
    int sampledRow = -1;
    int previousTileClass = -1;
    const std::uint32_t* previousOut = nullptr;
    for (int y = shown.top; y < shown.bottom; ++y) {
        const int py = area.top + static_cast<int>((y - window.top) * sh / dh);
        const int tileRow = checker ? PositiveMod(y - y0, m_tileHeight) : 0;
        const int tileClass = checker ? m_tileRowClass[tileRow] : 0;
        std::uint32_t* out = DisplayRow(display, y) + shown.left;
        if (py == previousRow && tileClass == previousTileClass) {
            // A zoomed picture row over the same background row: the same pixels.
            std::memcpy(out, previousOut, static_cast<std::size_t>(count) * 4);
            continue;
        }
        if (py != sampledRow) {
            const std::size_t stored = static_cast<std::size_t>(height - 1 - py);
            GatherPixels(pixels + stored * picture.GetWidth(), picture.GetWidth(), columns.data(),
                         sampled.data(), count);
            GatherMaskBytes(mask + stored * stride, columns.data(), sampledMask.data(), count);
            sampledRow = py;
        }
        // The picture's fourth bytes never reach the display: the background's (0) stay.
        std::memcpy(out, groundLine(tileClass).data(), static_cast<std::size_t>(count) * 4);
        BlendMaskedRow(sampled.data(), sampledMask.data(), out, count);
        previousRow = py;
        previousTileClass = tileClass;
        previousOut = out;
    }
    if (zoom >= 800)
        DrawPixelGrid(display, geometry, shown.left, shown.top, shown.right, shown.bottom);
}

void CTransparencyRenderer::DrawCheckerBackground(CImage& image, const CTransparencyGeometry& geometry,
                                                  const RECT& rect) const
{
    const RECT shown = Intersect(rect, RECT{0, 0, image.GetWidth(), image.GetHeight()});
    if (IsEmpty(shown) || !image.GetBits())
        return;
    const POINT p = geometry.ClientToPicture(POINT{rect.left, rect.top});
    const int zoom = geometry.GetZoom();
    const int x0 = rect.left - PositiveMod(p.x, m_tileWidth) * zoom / 100;
    const int y0 = rect.top - PositiveMod(p.y, m_tileHeight) * zoom / 100;
    for (int y = shown.top; y < shown.bottom; ++y) {
        const std::uint32_t* tileRow =
            m_tile.data() + static_cast<std::size_t>(PositiveMod(y - y0, m_tileHeight)) * m_tileWidth;
        std::uint32_t* out = DisplayRow(image, y);
        int tx = PositiveMod(shown.left - x0, m_tileWidth);
        for (int x = shown.left; x < shown.right;) {
            const int run = std::min(m_tileWidth - tx, shown.right - x);
            std::memcpy(out + x, tileRow + tx, static_cast<std::size_t>(run) * 4);
            x += run;
            tx = 0;
        }
    }
}

void CTransparencyRenderer::DrawPixelGrid(CImage& image, const CTransparencyGeometry& geometry, int left,
                                          int top, int right, int bottom) const
{
    const RECT shown =
        Intersect(RECT{left, top, right, bottom}, RECT{0, 0, image.GetWidth(), image.GetHeight()});
    if (IsEmpty(shown) || !image.GetBits())
        return;
    const int z = geometry.GetZoom() / 100;
    if (z < 1)
        return;
    const POINT offset = geometry.GetOffset();
    // Picture-pixel borders lie a whole number of zoomed pixels from the
    // picture's window origin; the dots keep their phase to it as well.
    const int firstRow = shown.top + PositiveMod(offset.y - shown.top, z);
    for (int y = firstRow; y < shown.bottom; y += z) {
        std::uint32_t* out = DisplayRow(image, y);
        for (int x = shown.left; x < shown.right; ++x)
            out[x] = m_rowDots[PositiveMod(x - offset.x, kDotStrip)];
    }
    const int firstColumn = shown.left + PositiveMod(offset.x - shown.left, z);
    for (int y = shown.top; y < shown.bottom; ++y) {
        std::uint32_t* out = DisplayRow(image, y);
        const std::uint32_t dot = m_columnDots[PositiveMod(y - offset.y, kDotStrip)];
        for (int x = firstColumn; x < shown.right; x += z)
            out[x] = dot;
    }
}

void CTransparencyRenderer::AfterScroll(CImage& display, const CTransparencyGeometry& geometry,
                                        const CTransparencyMask& picture, bool checker, bool vertical)
{
    const POINT origin = geometry.GetScrollOrigin();
    const POINT previous = geometry.GetPreviousScrollOrigin();
    const int d = vertical ? origin.y - previous.y : origin.x - previous.x;
    if (d == 0)
        return;
    const int zoom = geometry.GetZoom();
    const int cw = display.GetWidth();
    const int ch = display.GetHeight();
    const int extent = vertical ? ch : cw;
    const int wholeUnits = extent * 100 / zoom;
    if (std::abs(d) >= wholeUnits) {
        RenderAll(display, geometry, picture, checker);
        return;
    }
    const int shift = std::abs(d) * zoom / 100;
    const int z = zoom / 100;
    RECT strip{};
    RECT area{0, 0, picture.GetWidth(), picture.GetHeight()};
    if (vertical) {
        // Rows move whole: window row y takes what row y + shift held (d > 0).
        const std::size_t rowBytes = static_cast<std::size_t>(display.GetRowBytes());
        if (d > 0) {
            for (int y = 0; y + shift < ch; ++y)
                std::memcpy(DisplayRow(display, y), DisplayRow(display, y + shift), rowBytes);
            strip = RECT{0, ch - shift, cw, ch};
            area.top = origin.y + (ch - shift - geometry.GetOffset().y) / z;
            area.bottom = origin.y + (ch + z - 1) / z;
        } else {
            for (int y = ch - 1; y - shift >= 0; --y)
                std::memcpy(DisplayRow(display, y), DisplayRow(display, y - shift), rowBytes);
            strip = RECT{0, 0, cw, shift};
            area.top = origin.y;
            area.bottom = origin.y - d;
        }
    } else {
        for (int y = 0; y < ch; ++y) {
            std::uint32_t* row = DisplayRow(display, y);
            if (d > 0)
                std::memmove(row, row + shift, static_cast<std::size_t>(cw - shift) * 4);
            else
                std::memmove(row + shift, row, static_cast<std::size_t>(cw - shift) * 4);
        }
        if (d > 0) {
            strip = RECT{cw - shift, 0, cw, ch};
            area.left = origin.x + (cw - shift - geometry.GetOffset().x) / z;
            area.right = origin.x + (cw + z - 1) / z;
        } else {
            strip = RECT{0, 0, shift, ch};
            area.left = origin.x;
            area.right = origin.x - d;
        }
    }
    display.FillRect(strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
                     kTransparencyWorkspaceColor);
    RenderRect(display, geometry, picture, checker, area);
}
