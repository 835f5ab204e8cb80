// CLargeImage: a picture too large for one drawing-layer bitmap (rendered text
// at its working size). Its pixels live in page memory; fills and text are
// drawn through small temporary images covering one band or one tile at a
// time. It makes its mask from a colour key and saves itself as EFF, shrunk
// through the filter library when it is larger than a given size.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/ImageFont.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CImage;

class CLargeImage
{
public:
    CLargeImage() = default;
    virtual ~CLargeImage();
    CLargeImage(const CLargeImage&) = delete;
    CLargeImage& operator=(const CLargeImage&) = delete;

    // Every byte 0xFF (white, fourth byte 255); false when memory is short.
    bool Create(int width, int height);
    void Release();
    bool IsValid() const { return m_pixels && m_width >= 1 && m_height >= 1; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // 4-byte pixels (B, G, R, fourth byte), packed, bottom row first; null when empty.
    std::uint8_t* GetPixels() const { return m_pixels.get(); }

    CLargeImage* GetMask() const { return m_mask.get(); }
    // A new plane of the mask values (byte 2 of each mask pixel) in buffer
    // order (PageAlloc; the caller frees it); null without a valid mask.
    std::uint8_t* GetMaskPlane() const;
    // The mask at this size, all opaque (0).
    bool CreateMask();
    // The mask 255 where the source's blue, green and red equal the key's, else
    // 0; false when the sizes differ or there is no mask.
    bool MakeMaskFromColorKey(const CLargeImage* colorSource, COLORREF key);

    // Drawing state for text; the font is copied.
    void SetFont(const CImageFont& font) { m_font = font; }
    void SetBkMode(int mode) { m_bkMode = mode; }
    void SetBkColor(COLORREF color) { m_bkColor = color; }
    void ClearBkColor() { m_bkColor.reset(); }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void ClearTextColor() { m_textColor.reset(); }
    // The text's extent in the set font; 0 x 0 when it cannot be measured.
    SIZE GetTextExtent(std::string_view text) const;

    // Drawn band by band (64 rows); the rectangle is clipped to the image.
    bool FillRect(int x, int y, int width, int height, COLORREF color);
    // The whole text drawn into each 64 x 64 tile the rectangle touches, so the
    // tiles join into the full text.
    bool DrawText(std::string_view text, int count, const RECT* rect, unsigned format);

    // Writes the image (and its mask) as EFF, shrunk to fit `maximum` when it
    // is larger; the size written goes to `writtenSize`. The EFF writer's code,
    // 3 when memory is short, 7 at a stop request, 6 for an invalid image. A
    // failing shrink throws the filter adapters' enumErrorID.
    int SaveAsEff(std::string path, const SIZE* maximum, SIZE* writtenSize, int samplingMode, int quality);

private:
    // The rows top .. top + rows - 1 (0 the top row) as a temporary image.
    std::unique_ptr<CImage> PutBand(int top, int rows) const;
    void GetBand(const CImage& band, int top) const;
    std::unique_ptr<CImage> PutTextBand(int x, int y, int width, int height) const;
    void GetTextBand(const CImage& tile, int x, int y) const;

    PageBuffer m_pixels;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<CLargeImage> m_mask;
    CImageFont m_font;
    int m_bkMode = -1;
    std::optional<COLORREF> m_textColor;
    std::optional<COLORREF> m_bkColor;
};
