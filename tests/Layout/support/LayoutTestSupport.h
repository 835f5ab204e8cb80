// Helpers of the layout item tests: a GUI application for fonts, pixel access
// by picture row, a fake application shell and archive round trips.
#pragma once

#include "ImageProcessing/Image.h"
#include "Layout/LayoutServices.h"
#include "Platform/Archive.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace layouttest {

void EnsureGuiApplication();

// The stored pixel at picture coordinates (row 0 at the top).
std::uint32_t PixelAt(const CImage& image, int x, int y);
inline std::uint32_t RgbAt(const CImage& image, int x, int y)
{
    return PixelAt(image, x, y) & 0xFFFFFFu;
}
// The mask value (red byte of the mask) at picture coordinates.
int MaskAt(const CImage& image, int x, int y);

// The bounding box of the pixels whose colour differs from `ground`; empty when none does.
RECT InkBounds(const CImage& image, std::uint32_t ground);
// The number of pixels of exactly that colour.
int CountColor(const CImage& image, std::uint32_t color);

// A shell whose active document is described by its fields; installed for the
// lifetime of the object.
class FakeShell : public ILayoutShell, public ILayoutDocument
{
public:
    FakeShell() { SetLayoutShell(this); }
    ~FakeShell() override { SetLayoutShell(nullptr); }

    ILayoutDocument* GetActiveEditorDoc() override { return hasDocument ? this : nullptr; }
    std::string GetLocalizeIniPath() override { return localizeIniPath; }
    bool IsDSCLayout() const override { return cameraLayout; }
    int GetPageOrientation() const override { return orientation; }

    bool hasDocument = true;
    bool cameraLayout = false;
    int orientation = 0;
    std::string localizeIniPath;
};

// Stores the item and returns the archive's bytes.
template <class Item> std::vector<std::uint8_t> Store(Item& item)
{
    CArchive archive;
    item.Serialize(archive);
    return archive.Data();
}

template <class Item> void Load(Item& item, const std::vector<std::uint8_t>& bytes)
{
    CArchive archive(bytes);
    item.Serialize(archive);
}

// A 24-bit bottom-up bitmap file of one colour (0x00RRGGBB as the picture shows it).
std::string WriteBmp24(const std::string& path, int width, int height, std::uint32_t rgb);
// The same with the colour of each pixel (x, y from the top-left).
std::string WriteBmp24(const std::string& path, int width, int height,
                       const std::function<std::uint32_t(int, int)>& rgbAt);

} // namespace layouttest

namespace layouttest {
// The stored pixel value (0x00RRGGBB) of a COLORREF (0x00BBGGRR).
constexpr std::uint32_t Px(std::uint32_t colorref)
{
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
} // namespace layouttest
