#include "ImageProcessing/Image.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/RasterOps.h"
#include "ImageProcessing/ShapePainter.h"
#include "ImageProcessing/StretchEngine.h"
#include "Platform/PageAllocator.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

struct InfoDeleter
{
    void operator()(BITMAPINFO* info) const { PageFree(info); }
};
using InfoPtr = std::unique_ptr<BITMAPINFO, InfoDeleter>;

} // namespace

void CImage::PageDeleter::operator()(std::uint8_t* block) const
{
    PageFree(block);
}

CImage::CImage() = default;

CImage::~CImage()
{
    Release();
}

CImage::CImage(CImage&&) noexcept = default;
CImage& CImage::operator=(CImage&&) noexcept = default;

std::uint32_t* CImage::Row(int y) const
{
    return m_dc->Row(y);
}

bool CImage::CreatePixels(int width, int height, int bpp, bool cleared)
{
    Release();
    if (width <= 0 || height <= 0)
        return false;
    const long long bytes = 4LL * width * height;
    if (bytes > std::numeric_limits<std::int32_t>::max())
        return false;
    const auto size = static_cast<std::size_t>(bytes);
    auto* block = static_cast<std::uint8_t*>(cleared ? PageAlloc(size) : PageAllocUncleared(size));
    if (!block)
        return false;
    m_pixels.reset(block);
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_dc = std::make_unique<CImageDC>(block, width, height, width * 4);
    return true;
}

bool CImage::Create(int width, int height)
{
    if (!CreatePixels(width, height, 32, false))
        return false;
    m_isDib = true;
    m_mask = std::make_unique<CImage>();
    // The white fill, which writes every pixel, leaves the fourth byte 0.
    FillPixelSpan(reinterpret_cast<std::uint32_t*>(m_pixels.get()), static_cast<std::size_t>(width) * height,
                  0x00FFFFFFu);
    return true;
}

bool CImage::CreateBlack(int width, int height)
{
    if (!CreatePixels(width, height, 32)) // zero-filled: black, the fourth byte 0
        return false;
    m_isDib = true;
    m_mask = std::make_unique<CImage>();
    return true;
}

bool CImage::CreateFromInfo(int width, int height, int bpp, int paletteCount, const RGBQUAD* palette)
{
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (paletteCount < 0 || paletteCount > 256 || (paletteCount > 0 && !palette))
        return false;
    if (!Create(width, height))
        return false;
    if (bpp <= 8 && paletteCount > 0) {
        // A palette picture cannot show white unless its palette has it.
        int best = 0, bestDistance = std::numeric_limits<int>::max();
        for (int i = 0; i < paletteCount; ++i) {
            const int d =
                (255 - palette[i].rgbRed) + (255 - palette[i].rgbGreen) + (255 - palette[i].rgbBlue);
            if (d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        const RGBQUAD& q = palette[best];
        m_dc->FillRect({0, 0, width, height}, RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
    return true;
}

bool CImage::CreateCompatible(int width, int height)
{
    if (!CreatePixels(width, height, 32))
        return false;
    m_isDib = false;
    m_dc->FillRect({0, 0, width, height}, 0xFFFFFF);
    return true;
}

bool CImage::Attach(CImageBitmap bitmap)
{
    Release();
    if (bitmap.IsNull() || bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return false;
    if (!CreatePixels(bitmap.width, bitmap.height, 32))
        return false;
    m_isDib = true;
    std::memcpy(m_pixels.get(), bitmap.pixels.data(), bitmap.pixels.size() * 4);
    return true;
}

bool CImage::LoadBitmapResource(int id)
{
    Release();
    const QImage picture = LoadBitmapResourcePicture(id);
    if (picture.isNull() || !Create(picture.width(), picture.height()))
        return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        std::uint32_t* to = Row(y);
        for (int x = 0; x < rgb.width(); ++x)
            to[x] = from[x] & 0x00FFFFFFu;
    }
    m_resourceId = id;
    return true;
}

bool CImage::LoadIconResource(int id)
{
    Release();
    CImageIcon icon = LoadIconResourcePicture(id);
    if (icon.IsNull())
        return false;
    m_icon = std::move(icon);
    m_resourceId = id;
    return true;
}

void CImage::Release()
{
    m_dc.reset();
    m_pixels.reset();
    m_width = m_height = m_bpp = 0;
    m_isDib = false;
    m_icon = CImageIcon();
    m_resourceId = 0;
    if (m_mask) {
        m_mask->Release();
        m_mask.reset();
    }
}

bool CImage::CopyFrom(const CImage* other)
{
    if (!other || !other->IsValid() || this == other)
        return false;
    if (!Create(other->GetWidth(), other->GetHeight()))
        return false;
    std::memcpy(m_pixels.get(), other->m_pixels.get(), static_cast<std::size_t>(m_width) * m_height * 4);
    if (other->HasMask()) {
        if (!CreateMask())
            return false;
        std::memcpy(m_mask->m_pixels.get(), other->m_mask->m_pixels.get(),
                    static_cast<std::size_t>(m_width) * m_height * 4);
    }
    return true;
}

CImageBitmap CImage::CopyBitmapHandle() const
{
    CImageBitmap bitmap;
    if (!IsValid())
        return bitmap;
    bitmap.width = m_width;
    bitmap.height = m_height;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(m_pixels.get());
    bitmap.pixels.assign(pixels, pixels + static_cast<std::size_t>(m_width) * m_height);
    return bitmap;
}

int CImage::GetWidth() const
{
    if (IsValid())
        return m_width;
    return m_icon.IsNull() ? 0 : m_icon.GetSize().cx;
}

int CImage::GetHeight() const
{
    if (IsValid())
        return m_height;
    return m_icon.IsNull() ? 0 : m_icon.GetSize().cy;
}

bool CImage::GetBitmapInfo(BITMAP* out) const
{
    if (!IsValid() || !out)
        return false;
    out->bmType = 0;
    out->bmWidth = m_width;
    out->bmHeight = m_height;
    out->bmWidthBytes = m_width * 4;
    out->bmPlanes = 1;
    out->bmBitsPixel = 32;
    out->bmBits = m_isDib ? m_pixels.get() : nullptr;
    return true;
}

int CImage::GetBitsPerPixel() const
{
    return IsValid() ? 32 : 0;
}

int CImage::GetRowBytes() const
{
    return IsValid() ? AlignRowBytes(m_width * 4) : 0;
}

std::uint8_t* CImage::GetBits()
{
    return IsValid() && m_isDib ? m_pixels.get() : nullptr;
}

const std::uint8_t* CImage::GetBits() const
{
    return IsValid() && m_isDib ? m_pixels.get() : nullptr;
}

bool CImage::GetIconSize(SIZE* out) const
{
    if (m_icon.IsNull() || !out)
        return false;
    *out = m_icon.GetSize();
    return true;
}

// --- Drawing wrappers --------------------------------------------------------------

int CImage::FillRect(int x, int y, int width, int height, COLORREF color)
{
    if (!m_dc)
        return 0;
    return m_dc->FillRect({x, y, x + width, y + height}, color);
}

int CImage::FillRectLTRB(int left, int top, int right, int bottom, COLORREF color)
{
    return FillRect(left, top, right - left, bottom - top, color);
}

int CImage::FillRectHalftone(int x, int y, int width, int height, COLORREF color)
{
    if (!m_dc)
        return 0;
    // A checkerboard fixed to the picture: pixels whose x + y is odd.
    const std::uint32_t pixel = ColorToPixel(color);
    for (const QRect& r : m_dc->VisibleRects(QRect(x, y, width, height))) {
        for (int row = r.top(); row <= r.bottom(); ++row) {
            std::uint32_t* line = Row(row);
            for (int col = r.left() + ((r.left() + row + 1) & 1); col <= r.right(); col += 2)
                line[col] = pixel;
        }
    }
    return 1;
}

int CImage::FillRectHalftoneLTRB(int left, int top, int right, int bottom, COLORREF color)
{
    return FillRectHalftone(left, top, right - left, bottom - top, color);
}

int CImage::DrawLine(int x1, int y1, int x2, int y2, int penWidth, COLORREF color, int penStyle)
{
    if (!m_dc)
        return 0;
    const CImagePen previous = m_dc->SelectObject(CImagePen{penStyle, penWidth, color});
    m_dc->MoveTo(x1, y1);
    const int result = m_dc->LineTo(x2, y2);
    m_dc->SelectObject(previous);
    return result;
}

int CImage::DrawLineEx(int x1, int y1, int x2, int y2, int penWidth, COLORREF color, int penStyle)
{
    return DrawLine(x1, y1, x2, y2, penWidth, color, penStyle);
}

int CImage::DrawRectangle(int left, int top, int right, int bottom, COLORREF penColor, COLORREF brushColor)
{
    if (!m_dc)
        return 0;
    const CImagePen pen = m_dc->SelectObject(CImagePen{PS_SOLID, 1, penColor});
    const CImageBrush brush = m_dc->SelectObject(CImageBrush{brushColor, false});
    const int result = m_dc->Rectangle(left, top, right, bottom);
    m_dc->SelectObject(pen);
    m_dc->SelectObject(brush);
    return result;
}

int CImage::DrawRectangleEx(int left, int top, int right, int bottom, COLORREF penColor, COLORREF brushColor)
{
    return DrawRectangle(left, top, right, bottom, penColor, brushColor);
}

int CImage::DrawFrameRect(const RECT* rect, int penWidth, COLORREF color, int penStyle)
{
    if (!m_dc || !rect)
        return 0;
    const CImagePen previous = m_dc->SelectObject(CImagePen{penStyle, penWidth, color});
    m_dc->MoveTo(rect->left, rect->top);
    m_dc->LineTo(rect->right, rect->top);
    m_dc->LineTo(rect->right, rect->bottom);
    m_dc->LineTo(rect->left, rect->bottom);
    const int result = m_dc->LineTo(rect->left, rect->top);
    m_dc->SelectObject(previous);
    return result;
}

int CImage::Ellipse(int left, int top, int right, int bottom)
{
    return IsValid() ? m_dc->Ellipse(left, top, right, bottom) : 0;
}

int CImage::EllipseRect(const RECT* rect)
{
    return rect ? Ellipse(rect->left, rect->top, rect->right, rect->bottom) : 0;
}

int CImage::Polygon(const POINT* points, int count)
{
    return IsValid() ? m_dc->Polygon(points, count) : 0;
}

int CImage::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    return IsValid() ? m_dc->Pie(left, top, right, bottom, x1, y1, x2, y2) : 0;
}

int CImage::PieRect(const RECT* rect, int x1, int y1, int x2, int y2)
{
    return rect ? Pie(rect->left, rect->top, rect->right, rect->bottom, x1, y1, x2, y2) : 0;
}

int CImage::DrawEdge(RECT* rect, unsigned edge, unsigned flags)
{
    return m_dc ? m_dc->DrawEdge(rect, edge, flags) : 0;
}

int CImage::DrawEdgeLTRB(int left, int top, int right, int bottom, unsigned edge, unsigned flags)
{
    RECT rect{left, top, right, bottom};
    return DrawEdge(&rect, edge, flags);
}

int CImage::MoveTo(int x, int y, POINT* previous)
{
    return m_dc ? m_dc->MoveTo(x, y, previous) : 0;
}

int CImage::LineTo(int x, int y)
{
    return m_dc ? m_dc->LineTo(x, y) : 0;
}

CImagePen CImage::SelectObject(const CImagePen& pen)
{
    return m_dc ? m_dc->SelectObject(pen) : CImagePen{};
}

CImageBrush CImage::SelectObject(const CImageBrush& brush)
{
    return m_dc ? m_dc->SelectObject(brush) : CImageBrush{};
}

CImageFont CImage::SelectObject(const CImageFont& font)
{
    return m_dc ? m_dc->SelectObject(font) : CImageFont{};
}

int CImage::SelectClipRgn(const CRgn* region)
{
    return IsValid() ? m_dc->SelectClipRgn(region) : 0;
}

int CImage::SetROP2(int mode)
{
    return IsValid() ? m_dc->SetROP2(mode) : 0;
}

int CImage::SetBkMode(int mode)
{
    return m_dc ? m_dc->SetBkMode(mode) : 0;
}

COLORREF CImage::SetBkColor(COLORREF color)
{
    return m_dc ? m_dc->SetBkColor(color) : 0;
}

COLORREF CImage::SetTextColor(COLORREF color)
{
    return m_dc ? m_dc->SetTextColor(color) : 0;
}

int CImage::DrawText(std::string_view text, int count, RECT* rect, unsigned format)
{
    return m_dc ? m_dc->DrawText(text, count, rect, format) : 0;
}

SIZE CImage::GetTextExtent(std::string_view text) const
{
    return m_dc ? m_dc->GetTextExtent(text) : SIZE{};
}

// --- Block transfers ---------------------------------------------------------------

int CImage::BitBltTo(CImage* dest, int x, int y, int width, int height, int srcX, int srcY,
                     std::uint32_t rop) const
{
    return BitBltToDC(dest ? dest->GetDC() : nullptr, x, y, width, height, srcX, srcY, rop);
}

int CImage::BitBltToDC(CImageDC* dest, int x, int y, int width, int height, int srcX, int srcY,
                       std::uint32_t rop) const
{
    if (!m_dc || !dest)
        return 0;
    return dest->BitBlt(x, y, width, height, m_dc.get(), srcX, srcY, rop);
}

int CImage::BitBltToCDC(QPainter* dest, int x, int y, int width, int height, int srcX, int srcY,
                        std::uint32_t rop) const
{
    if (!m_dc || !dest || width <= 0 || height <= 0)
        return 0;
    (void)rop;
    const QImage part = m_dc->ToQImage(srcX, srcY, width, height);
    if (part.isNull())
        return 0;
    dest->drawImage(QPoint(x + std::max(0, -srcX), y + std::max(0, -srcY)), part);
    return 1;
}

int CImage::StretchBltTo(CImage* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                         int srcHeight, std::uint32_t rop) const
{
    return StretchBltToDC(dest ? dest->GetDC() : nullptr, x, y, width, height, srcX, srcY, srcWidth,
                          srcHeight, rop);
}

int CImage::StretchBltToDC(CImageDC* dest, int x, int y, int width, int height, int srcX, int srcY,
                           int srcWidth, int srcHeight, std::uint32_t rop) const
{
    if (!m_dc || !dest)
        return 0;
    const int previous = dest->SetStretchBltMode(COLORONCOLOR);
    const int result =
        dest->StretchBlt(x, y, width, height, m_dc.get(), srcX, srcY, srcWidth, srcHeight, rop);
    dest->SetStretchBltMode(previous);
    return result;
}

int CImage::StretchBltToCDC(QPainter* dest, int x, int y, int width, int height, int srcX, int srcY,
                            int srcWidth, int srcHeight, std::uint32_t rop) const
{
    if (!m_dc || !dest || width == 0 || height == 0)
        return 0;
    // Stretched in our own pixels first, so that the window shows exactly the
    // nearest-pixel result of an image stretch.
    CImage scaled;
    const int w = std::abs(width), h = std::abs(height);
    if (!scaled.Create(w, h))
        return 0;
    StretchBltTo(&scaled, width > 0 ? 0 : w - 1, height > 0 ? 0 : h - 1, width, height, srcX, srcY, srcWidth,
                 srcHeight, rop);
    return scaled.BitBltToCDC(dest, std::min(x, x + width + 1), std::min(y, y + height + 1), w, h, 0, 0,
                              SRCCOPY);
}

int CImage::FlipVertical()
{
    if (!m_dc)
        return 0;
    return StretchBltTo(this, 0, m_height - 1, m_width, -m_height, 0, 0, m_width, m_height, SRCCOPY);
}

int CImage::Rotate180()
{
    if (!m_dc)
        return 0;
    return StretchBltTo(this, m_width - 1, m_height - 1, -m_width, -m_height, 0, 0, m_width, m_height,
                        SRCCOPY);
}

// --- Icons ---------------------------------------------------------------------------

int CImage::DrawIconToDC(CImageDC* dest, int x, int y) const
{
    if (!dest || m_icon.IsNull())
        return 0;
    MergeScratch(*dest, m_icon.GetPicture(), QPoint(x, y), R2_COPYPEN, true, QRect());
    return 1;
}

int CImage::DrawIconTo(CImage* dest, int x, int y) const
{
    return DrawIconToDC(dest ? dest->GetDC() : nullptr, x, y);
}

int CImage::DrawIconToCDC(QPainter* dest, int x, int y) const
{
    if (!dest || m_icon.IsNull())
        return 0;
    dest->drawImage(QPoint(x, y), m_icon.GetPicture());
    return 1;
}

// --- Pixel transfers -----------------------------------------------------------------

std::uint8_t* CImage::GetBits24() const
{
    if (!IsValid())
        return nullptr;
    const int stride = AlignRowBytes(m_width * 3);
    auto* out = static_cast<std::uint8_t*>(PageAlloc(static_cast<std::size_t>(stride) * m_height));
    if (!out)
        return nullptr;
    for (int row = 0; row < m_height; ++row) {
        // Stored rows are bottom-up in both buffers.
        const auto* from = reinterpret_cast<const std::uint32_t*>(
            m_pixels.get() + static_cast<std::size_t>(row) * m_width * 4);
        std::uint8_t* to = out + static_cast<std::size_t>(row) * stride;
        for (int x = 0; x < m_width; ++x) {
            to[3 * x] = static_cast<std::uint8_t>(from[x]);
            to[3 * x + 1] = static_cast<std::uint8_t>(from[x] >> 8);
            to[3 * x + 2] = static_cast<std::uint8_t>(from[x] >> 16);
        }
    }
    return out;
}

int CImage::SetBitsFromBuffer(int startRow, int rowCount, int bpp, const void* bits)
{
    try {
        BoolCheck(IsValid(), 0);
        InfoPtr info(AllocBitmapInfoEx(m_width, m_height, bpp, nullptr, 0));
        NullCheck(info.get(), 0);
        return SetBitsRows(startRow, rowCount, info.get(), bits);
    } catch (int) {
        return 0;
    }
}

int CImage::SetBitsRows(int startRow, int rowCount, const BITMAPINFO* info, const void* bits)
{
    try {
        BoolCheck(IsValid(), 0);
        NullCheck(info, 0);
        NullCheck(bits, 0);
        const BITMAPINFOHEADER& h = info->bmiHeader;
        BoolCheck(h.biCompression == BI_RGB && h.biWidth > 0 && h.biHeight != 0, 0);
        const int bpp = h.biBitCount;
        BoolCheck(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32, 0);
        // The buffer holds rowCount rows, the first being picture row startRow
        // counted from the bottom.
        const int bufferRows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
        const int first = std::max(0, startRow);
        const int last = std::min({startRow + rowCount, bufferRows, m_height});
        if (rowCount <= 0 || last <= first)
            return 0;
        StretchSource src;
        src.bits = static_cast<const std::uint8_t*>(bits) +
                   static_cast<std::size_t>(first - startRow) * DibRowStride((bpp * h.biWidth + 7) / 8);
        src.stride = DibRowStride((bpp * h.biWidth + 7) / 8);
        src.width = h.biWidth;
        src.rows = last - first;
        src.bpp = bpp;
        src.palette = info->Colors();
        // Without palette entries every index reads as black.
        src.paletteCount = bpp <= 8 ? static_cast<int>(std::min<std::uint32_t>(h.biClrUsed, 256)) : 0;
        const int width = std::min(m_width, static_cast<int>(h.biWidth));
        // The bottom-up rows first .. last - 1 are picture rows counted from the top.
        const int top = m_height - last;
        StretchTarget target{m_dc.get(), {QRect(0, 0, m_width, m_height)}};
        StretchPixels(target, 0, top, width, src.rows, src, 0, 0, width, src.rows, SRCCOPY, 0);
        return last - first;
    } catch (int) {
        return 0;
    }
}

int CImage::StretchDIBitsFrom(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                              int srcWidth, int srcHeight, int bpp, int bufWidth, int bufHeight,
                              const void* bits, std::uint32_t rop)
{
    try {
        BoolCheck(IsValid(), 0);
        InfoPtr info(AllocBitmapInfoEx(bufWidth, bufHeight, bpp, nullptr, 0));
        NullCheck(info.get(), 0);
        return StretchDIBitsCore(dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight, bits,
                                 info.get(), rop);
    } catch (int) {
        return 0;
    }
}

int CImage::StretchGrayFrom(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY, int srcWidth,
                            int srcHeight, int bufWidth, int bufHeight, const void* bits, std::uint32_t rop)
{
    try {
        BoolCheck(IsValid(), 0);
        RGBQUAD grey[256];
        for (int i = 0; i < 256; ++i)
            grey[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
        InfoPtr info(AllocBitmapInfoEx(bufWidth, bufHeight, 8, grey, 256));
        NullCheck(info.get(), 0);
        return StretchDIBitsCore(dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight, bits,
                                 info.get(), rop);
    } catch (int) {
        return 0;
    }
}
