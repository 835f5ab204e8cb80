#include "ImageProcessing/LargeImage.h"

#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UtilFilter.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/PixelConversion.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kBandRows = 64;
constexpr int kTileSize = 64;
constexpr std::int32_t kResizeAreaAverage = 2;

ImageDescriptor BufferDescriptor(std::uint8_t* pixels, int width, int height)
{
    ImageDescriptor d;
    d.width = d.regionWidth = width;
    d.height = d.regionHeight = height;
    d.rowBytes = 4 * width;
    d.pixels = pixels;
    d.format = UCF_FMT_BGRA32;
    d.rectRight = width;
    d.rectBottom = height;
    return d;
}

// The resize filter over two packed 4-byte buffers; failures are thrown as the
// filter adapters throw them (1 out of memory, -1 anything else).
void ResizeBuffer(std::uint8_t* source, int width, int height, std::uint8_t* target, int targetWidth,
                  int targetHeight)
{
    const ImageDescriptor from = BufferDescriptor(source, width, height);
    const ImageDescriptor to = BufferDescriptor(target, targetWidth, targetHeight);
    const std::int32_t parameters[2] = {kResizeAreaAverage, 0};
    std::unique_ptr<UtilFilter> filter(
        new (std::nothrow) UtilFilter(&from, &to, UCF_ID_RESIZE, sizeof parameters, parameters));
    NullCheck(filter.get(), ErrorIdReported);
    const std::int32_t built = filter->GetLastResult();
    BoolCheck(built != 2000, ErrorIdReported);
    BoolCheck(built == 0, ErrorIdSilent);
    const std::int32_t result = filter->Execute(nullptr, 3, 0);
    BoolCheck(result != 2000, ErrorIdReported);
    BoolCheck(result == 0, ErrorIdSilent);
}

PageBuffer AllocOrThrow(std::uint64_t size)
{
    PageBuffer block = AllocPageBuffer(size);
    if (!block)
        throw static_cast<int>(ImageFileReadFailed);
    return block;
}

} // namespace

CLargeImage::~CLargeImage()
{
    Release();
}

bool CLargeImage::Create(int width, int height)
{
    Release();
    if (!IsUsablePictureSize(width, height))
        return false;
    const std::uint64_t size = std::uint64_t(width) * height * 4;
    PageBuffer pixels = AllocPageBuffer(size);
    if (!pixels)
        return false;
    std::memset(pixels.get(), 0xFF, size);
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    return true;
}

void CLargeImage::Release()
{
    m_mask.reset();
    m_pixels.reset();
    m_width = m_height = 0;
}

std::uint8_t* CLargeImage::GetMaskPlane() const
{
    if (!m_mask || !m_mask->IsValid())
        return nullptr;
    const std::size_t count = std::size_t(m_width) * m_height;
    auto* plane = static_cast<std::uint8_t*>(PageAlloc(count));
    if (!plane)
        return nullptr;
    const std::uint8_t* bits = m_mask->m_pixels.get();
    for (std::size_t i = 0; i < count; ++i)
        plane[i] = bits[4 * i + 2];
    return plane;
}

bool CLargeImage::CreateMask()
{
    if (!IsValid())
        return false;
    if (!m_mask)
        m_mask = std::make_unique<CLargeImage>();
    if (!m_mask->Create(m_width, m_height))
        return false;
    std::memset(m_mask->m_pixels.get(), 0, std::size_t(m_width) * m_height * 4);
    return true;
}

bool CLargeImage::MakeMaskFromColorKey(const CLargeImage* colorSource, COLORREF key)
{
    if (!colorSource || !colorSource->IsValid() || !m_mask || !m_mask->IsValid() ||
        colorSource->m_width != m_width || colorSource->m_height != m_height)
        return false;
    const std::uint8_t kb = static_cast<std::uint8_t>(GetBValue(key));
    const std::uint8_t kg = static_cast<std::uint8_t>(GetGValue(key));
    const std::uint8_t kr = static_cast<std::uint8_t>(GetRValue(key));
    const std::uint8_t* in = colorSource->m_pixels.get();
    std::uint8_t* out = m_mask->m_pixels.get();
    const std::size_t count = std::size_t(m_width) * m_height;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = in + 4 * i;
        const std::uint8_t v = (p[0] == kb && p[1] == kg && p[2] == kr) ? 255 : 0;
        std::memset(out + 4 * i, v, 3);
    }
    return true;
}

SIZE CLargeImage::GetTextExtent(std::string_view text) const
{
    CImage screen;
    if (!screen.Create(1, 1))
        return SIZE{};
    if (!m_font.IsNull())
        screen.SelectObject(m_font);
    return screen.GetTextExtent(text);
}

std::unique_ptr<CImage> CLargeImage::PutBand(int top, int rows) const
{
    return PutTextBand(0, top, m_width, rows);
}

void CLargeImage::GetBand(const CImage& band, int top) const
{
    GetTextBand(band, 0, top);
}

std::unique_ptr<CImage> CLargeImage::PutTextBand(int x, int y, int width, int height) const
{
    BoolCheck(IsValid(), 0);
    auto tile = std::make_unique<CImage>();
    BoolCheck(tile->Create(width, height) && tile->GetBits(), 0);
    BoolCheck(tile->GetRowBytes() == width * 4, 0);
    // Image row r (0 the top) is buffer row height - 1 - r, in both.
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* from = m_pixels.get() + (std::size_t(m_height - 1 - (y + r)) * m_width + x) * 4;
        std::memcpy(tile->GetBits() + std::size_t(height - 1 - r) * width * 4, from, std::size_t(width) * 4);
    }
    return tile;
}

void CLargeImage::GetTextBand(const CImage& tile, int x, int y) const
{
    const int width = tile.GetWidth(), height = tile.GetHeight();
    for (int r = 0; r < height; ++r) {
        std::uint8_t* to = m_pixels.get() + (std::size_t(m_height - 1 - (y + r)) * m_width + x) * 4;
        std::memcpy(to, tile.GetBits() + std::size_t(height - 1 - r) * width * 4, std::size_t(width) * 4);
    }
}

bool CLargeImage::FillRect(int x, int y, int width, int height, COLORREF color)
{
    try {
        BoolCheck(IsValid(), 0);
        const std::int64_t end = std::min<std::int64_t>(std::int64_t(y) + height, m_height);
        for (std::int64_t top = std::max(0, y); top < end; top += kBandRows) {
            const int rows = static_cast<int>(std::min<std::int64_t>(kBandRows, m_height - top));
            std::unique_ptr<CImage> band = PutBand(static_cast<int>(top), rows);
            band->FillRect(x, static_cast<int>(y - top), width, height, color);
            GetBand(*band, static_cast<int>(top));
        }
        return true;
    } catch (int) {
        return false;
    }
}

bool CLargeImage::DrawText(std::string_view text, int count, const RECT* rect, unsigned format)
{
    try {
        BoolCheck(IsValid(), 0);
        NullCheck(rect, 0);
        const int left = std::max(0, rect->left), top = std::max(0, rect->top);
        const int right = std::min(m_width, rect->right), bottom = std::min(m_height, rect->bottom);
        for (int ty = top; ty < bottom; ty += kTileSize) {
            for (int tx = left; tx < right; tx += kTileSize) {
                const int tw = std::min(kTileSize, m_width - tx), th = std::min(kTileSize, m_height - ty);
                std::unique_ptr<CImage> tile = PutTextBand(tx, ty, tw, th);
                if (!m_font.IsNull())
                    tile->SelectObject(m_font);
                if (m_bkMode >= 0)
                    tile->SetBkMode(m_bkMode);
                if (m_textColor)
                    tile->SetTextColor(*m_textColor);
                if (m_bkColor)
                    tile->SetBkColor(*m_bkColor);
                RECT moved{rect->left - tx, rect->top - ty, rect->right - tx, rect->bottom - ty};
                tile->DrawText(text, count, &moved, format);
                GetTextBand(*tile, tx, ty);
            }
        }
        return true;
    } catch (int) {
        return false;
    }
}

int CLargeImage::SaveAsEff(std::string path, const SIZE* maximum, SIZE* writtenSize, int samplingMode,
                           int quality)
{
    int result = ImageFileUnsupported;
    try {
        BoolCheck(IsValid(), 0);
        std::uint8_t* pixels = m_pixels.get();
        int width = m_width, height = m_height;
        PageBuffer resized, plane;
        if (!maximum || (m_width <= maximum->cx && m_height <= maximum->cy)) {
            if (m_mask) {
                plane.reset(GetMaskPlane());
                if (!plane)
                    throw static_cast<int>(ImageFileReadFailed);
            }
        } else {
            const Rect fit = CalcAspectFitRect(m_width, m_height, maximum->cx, maximum->cy, true);
            BoolCheck(!fit.IsEmpty(), 0);
            width = fit.Width();
            height = fit.Height();
            CanContinueOrThrow();
            resized = AllocOrThrow(std::uint64_t(width) * height * 4);
            CanContinueOrThrow();
            ResizeBuffer(m_pixels.get(), m_width, m_height, resized.get(), width, height);
            pixels = resized.get();
            if (m_mask && m_mask->IsValid()) {
                CanContinueOrThrow();
                PageBuffer resizedMask = AllocOrThrow(std::uint64_t(width) * height * 4);
                ResizeBuffer(m_mask->m_pixels.get(), m_width, m_height, resizedMask.get(), width, height);
                plane = AllocOrThrow(std::uint64_t(width) * height);
                for (std::size_t i = 0; i < std::size_t(width) * height; ++i)
                    plane.get()[i] = resizedMask.get()[4 * i + 2];
            }
        }
        result = CEFFFile().WriteBufferEx(std::move(path), pixels, plane.get(), width, height, samplingMode,
                                          quality);
        if (writtenSize)
            *writtenSize = SIZE{width, height};
    } catch (int code) {
        if (code == ImageFileReadFailed || code == ImageFileCancelled)
            result = code;
    }
    return result;
}
