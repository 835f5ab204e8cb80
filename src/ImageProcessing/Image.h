// CImage: the raster canvas of every drawing path. It owns 32-bit pixels
// (bytes blue, green, red, fourth byte; bottom row first) from the page
// allocator, a drawing context over them, and an optional companion mask of
// the same size (red byte: 0 opaque .. 255 transparent). It may hold an icon
// instead of, or beside, the pixels.
#pragma once

#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageDC.h"
#include "ImageProcessing/ImageFont.h"
#include "ImageProcessing/ImageIcon.h"
#include "ImageProcessing/Region.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CArchive;
class QPainter;

// The size and layout of an image's pixels.
struct BITMAP
{
    int bmType = 0;
    int bmWidth = 0;
    int bmHeight = 0;
    int bmWidthBytes = 0;
    int bmPlanes = 1;
    int bmBitsPixel = 0;
    void* bmBits = nullptr;
};

class CImage
{
public:
    CImage();
    virtual ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    CImage(CImage&&) noexcept;
    CImage& operator=(CImage&&) noexcept;

    // --- Creation and release -------------------------------------------------
    // White 32-bit pixels (fourth byte 0) and an empty mask holder; false (and
    // the image released) when the size is not positive or memory is short.
    bool Create(int width, int height);
    // The same for a bitmap described by depth and palette. Pixels are kept and
    // drawn at 32 bits; the fill is the palette's colour nearest to white.
    bool CreateFromInfo(int width, int height, int bpp, int paletteCount, const RGBQUAD* palette);
    // The view's display image: like Create, but GetBits answers null.
    bool CreateCompatible(int width, int height);
    // Takes the bitmap over (the image now owns its pixels); false for a null one.
    bool Attach(CImageBitmap bitmap);
    bool LoadBitmapResource(int id);
    bool LoadIconResource(int id);
    // Frees pixels, context, icon and mask; safe to call on an empty image.
    void Release();
    // Size, pixels and (when other has a valid one) mask.
    bool CopyFrom(const CImage* other);
    // A standalone copy of the pixels; null for an invalid image.
    CImageBitmap CopyBitmapHandle() const;

    // --- Queries ----------------------------------------------------------------
    bool IsValid() const { return m_dc != nullptr; }
    bool HasIcon() const { return !m_icon.IsNull(); }
    int GetWidth() const;
    int GetHeight() const;
    bool GetBitmapInfo(BITMAP* out) const;
    int GetBitsPerPixel() const;
    int GetRowBytes() const;
    // First stored row (the bottom one); null when invalid or made by CreateCompatible.
    std::uint8_t* GetBits();
    const std::uint8_t* GetBits() const;
    bool GetIconSize(SIZE* out) const;
    const CImageIcon& GetIcon() const { return m_icon; }
    int GetResourceId() const { return m_resourceId; }
    // The drawing context; null when the image is empty.
    CImageDC* GetDC() const { return m_dc.get(); }
    CImageDC* GetCDC() const { return m_dc.get(); }
    // The mask holder: null, an empty holder (IsValid false) or the mask.
    CImage* GetMask() const { return m_mask.get(); }

    // --- Drawing wrappers (0 / nothing drawn on an empty image) ------------------
    int FillRect(int x, int y, int width, int height, COLORREF color);
    int FillRectLTRB(int left, int top, int right, int bottom, COLORREF color);
    // Pixels whose x + y is odd take the colour, wherever the rectangle starts.
    int FillRectHalftone(int x, int y, int width, int height, COLORREF color);
    int FillRectHalftoneLTRB(int left, int top, int right, int bottom, COLORREF color);
    int DrawLine(int x1, int y1, int x2, int y2, int penWidth, COLORREF color, int penStyle);
    int DrawLineEx(int x1, int y1, int x2, int y2, int penWidth, COLORREF color, int penStyle);
    int DrawRectangle(int left, int top, int right, int bottom, COLORREF penColor, COLORREF brushColor);
    int DrawRectangleEx(int left, int top, int right, int bottom, COLORREF penColor, COLORREF brushColor);
    // Closed outline through the four corners (right and bottom included).
    int DrawFrameRect(const RECT* rect, int penWidth, COLORREF color, int penStyle);
    int Ellipse(int left, int top, int right, int bottom);
    int EllipseRect(const RECT* rect);
    int Polygon(const POINT* points, int count);
    int Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    int PieRect(const RECT* rect, int x1, int y1, int x2, int y2);
    int DrawEdge(RECT* rect, unsigned edge, unsigned flags);
    int DrawEdgeLTRB(int left, int top, int right, int bottom, unsigned edge, unsigned flags);
    int MoveTo(int x, int y, POINT* previous = nullptr);
    int LineTo(int x, int y);
    CImagePen SelectObject(const CImagePen& pen);
    CImageBrush SelectObject(const CImageBrush& brush);
    CImageFont SelectObject(const CImageFont& font);
    int SelectClipRgn(const CRgn* region);
    int SetROP2(int mode);
    int SetBkMode(int mode);
    COLORREF SetBkColor(COLORREF color);
    COLORREF SetTextColor(COLORREF color);
    int DrawText(std::string_view text, int count, RECT* rect, unsigned format);
    SIZE GetTextExtent(std::string_view text) const;

    // --- Block transfers (this image is the source) -------------------------------
    int BitBltTo(CImage* dest, int x, int y, int width, int height, int srcX, int srcY,
                 std::uint32_t rop) const;
    int BitBltToDC(CImageDC* dest, int x, int y, int width, int height, int srcX, int srcY,
                   std::uint32_t rop) const;
    // Onto a window's painter (SRCCOPY only: a window shows what it is given).
    int BitBltToCDC(QPainter* dest, int x, int y, int width, int height, int srcX, int srcY,
                    std::uint32_t rop) const;
    int StretchBltTo(CImage* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                     int srcHeight, std::uint32_t rop) const;
    int StretchBltToDC(CImageDC* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                       int srcHeight, std::uint32_t rop) const;
    int StretchBltToCDC(QPainter* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                        int srcHeight, std::uint32_t rop) const;
    // In place: top and bottom exchanged / turned by half a turn.
    int FlipVertical();
    int Rotate180();

    // --- Icons --------------------------------------------------------------------
    int DrawIconToDC(CImageDC* dest, int x, int y) const;
    int DrawIconTo(CImage* dest, int x, int y) const;
    int DrawIconToCDC(QPainter* dest, int x, int y) const;

    // --- Pixel transfers between caller buffers and the image ----------------------
    // A new bottom-up 24-bit copy, rows padded to 4 bytes (PageAlloc; the
    // caller frees it with PageFree); null on failure.
    std::uint8_t* GetBits24() const;
    // Rows startRow .. startRow + rowCount - 1 (counted from the bottom) from a
    // buffer of the image's size at bpp (no palette), rows padded to 4 bytes.
    // Returns the rows set, 0 on failure.
    int SetBitsFromBuffer(int startRow, int rowCount, int bpp, const void* bits);
    int SetBitsRows(int startRow, int rowCount, const BITMAPINFO* info, const void* bits);
    // A rectangle of a caller buffer (bufWidth x bufHeight at bpp, bottom-up,
    // rows padded to 4 bytes; srcY counted from the bottom row) stretched into
    // a rectangle of the image. Returns the rows drawn; below 1 is a failure.
    int StretchDIBitsFrom(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY, int srcWidth,
                          int srcHeight, int bpp, int bufWidth, int bufHeight, const void* bits,
                          std::uint32_t rop);
    // The same for an 8-bit buffer through a grey palette (entry i = grey i).
    int StretchGrayFrom(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY, int srcWidth,
                        int srcHeight, int bufWidth, int bufHeight, const void* bits, std::uint32_t rop);
    // The tiled stretch: tiles of at most 200 x 200 source pixels, leftovers
    // spread over the columns and bands. The buffer must hold
    // info->bmiHeader.biHeight rows of its stride.
    int StretchDIBitsCore(int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY, int srcWidth,
                          int srcHeight, const void* bits, const BITMAPINFO* info, std::uint32_t rop);

    // --- Masks and compositing (Compositing.cpp) -------------------------------------
    // The mask made (or remade) at this image's size, all opaque (0).
    bool CreateMask();
    bool HasMask() const { return m_mask && m_mask->IsValid(); }
    // A new plane of the mask values, bottom row first, not padded (PageAlloc); null on failure.
    std::uint8_t* GetMaskPlane() const;
    // Writes the plane (width x height bytes, bottom row first) into the mask; 0
    // without plane or mask holder.
    int SetMaskPlane(const std::uint8_t* plane);
    // A new packed pixel buffer whose fourth byte is the mask value (0 without a mask).
    std::uint8_t* GetBitsWithMaskAlpha() const;
    // This image's mask: 255 where the source's blue, green and red equal the
    // key's, else 0. 0 (mask unchanged) when the sizes differ or there is no mask.
    int MakeMaskFromColorKey(const CImage* colorSource, COLORREF key);
    // Draws a rectangle of this image over dest through this image's mask:
    // d = (s x (255 - m) + d x m) / 255 per colour byte; the fourth byte stays.
    int DrawMasked(CImage* dest, int x, int y, int width, int height, int srcX, int srcY) const;
    int DrawMaskedRect(CImage* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                       int srcHeight) const;
    // Layers a rectangle onto a destination with a mask of its own, updating both.
    int Composite(CImage* dest, int x, int y, int width, int height, int srcX, int srcY) const;
    int CompositeRect(CImage* dest, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                      int srcHeight) const;
    // CompositeRect onto a destination of destWidth x destHeight of which
    // `dest` holds the rows from `top` on, as many as it has.
    int CompositeRectRows(CImage* dest, int top, int destWidth, int destHeight, int x, int y, int width,
                          int height, int srcX, int srcY, int srcWidth, int srcHeight) const;

    // --- Loading and saving by file kind (ImageFileIO.cpp) -----------------------------
    // Release, then read the file with the reader its extension names; the
    // reader's result code (6 for an extension no reader takes).
    int LoadFile(std::string path);
    // The same through the scaled readers (no Targa): fitted into the box.
    int LoadFileScaled(std::string path, int boxWidth, int boxHeight, SIZE* pictureSize, double* scale,
                       COLORREF background, int noEnlarge, const SIZE* maximum);
    // A 32-bit bitmap whose fourth byte becomes the mask.
    int LoadBmpWithMask(std::string path);
    // A 32-bit bitmap whose fourth byte is the mask value; 6 for an invalid image.
    int SaveAsBmp(std::string path);
    // The image and its mask from a packed 32-bit buffer whose fourth byte is the
    // mask value, optionally fitted into a box (see ImageFileIO.cpp). 0, or the
    // result code of the failed step; the image is left as far as it was built.
    int SetFromRgbaBuffer(const std::uint8_t* buffer, int width, int height, const SIZE* box, double* scale,
                          COLORREF background, int noEnlarge);
    // Storing: the image saved to a new temporary file whose path goes into the
    // archive as a line; loading: that line read and the file loaded. Throws
    // CArchiveException when the picture cannot be written or read back.
    void Serialize(CArchive& archive);
    // Release, then the JPEG reader.
    int LoadJpeg(std::string path);
    // The first thumbnail of an EFF file.
    int LoadEffThumbnail(std::string path);
    // The Exif thumbnail of a camera JPEG (no wait cursor).
    int LoadExifThumbnail(std::string path);
    // 6 without writing for an invalid image, else the writer's code.
    int SaveAsJpeg(std::string path, int samplingMode, int quality);
    int SaveAsEff(std::string path, int samplingMode, int quality);
    // --- end of loading and saving by file kind ----------------------------------------

private:
    struct PageDeleter
    {
        void operator()(std::uint8_t* block) const;
    };

    bool CreatePixels(int width, int height, int bpp, bool cleared = true);
    // Create without the white fill, for pictures about to be overwritten whole.
    bool CreateBlack(int width, int height);
    std::uint32_t* Row(int y) const; // image row y, 0 at the top

    std::unique_ptr<std::uint8_t, PageDeleter> m_pixels;
    std::unique_ptr<CImageDC> m_dc;
    int m_width = 0;
    int m_height = 0;
    int m_bpp = 0; // what the image answers for its depth
    bool m_isDib = false;
    CImageIcon m_icon;
    int m_resourceId = 0;
    std::unique_ptr<CImage> m_mask;
};
