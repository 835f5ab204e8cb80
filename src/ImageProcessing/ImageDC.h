// The drawing context of an image: pen, brush, font, colours, modes and clip
// over the image's own bottom-up 32-bit pixels, with the drawing rules the
// editor relies on (right and bottom edges exclusive, mix modes such as the
// inverting R2_NOT, nearest-pixel stretches, unsmoothed text by default).
// Fills, thin lines and transfers write the pixels directly; curves, wide
// lines and text are painted by QPainter into a scratch picture and merged
// (ShapePainter.h), so the fourth byte and the row order stay ours.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFont.h"
#include "ImageProcessing/Region.h"

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class QPainter;

// Sets `count` pixels from `pixels` on; large spans bypass the cache, since
// a picture-sized fill would only push everything else out of it.
void FillPixelSpan(std::uint32_t* pixels, std::size_t count, std::uint32_t value);

struct CImagePen
{
    int style = PS_SOLID;
    int width = 1; // 0 draws like 1
    COLORREF color = 0;
    // A wide pen painted with this tile (anchored at the image's origin) instead of the colour.
    const QImage* pattern = nullptr;
};

struct CImageBrush
{
    COLORREF color = 0xFFFFFF;
    bool hollow = false; // a null brush: shapes are not filled
};

class CImageDC
{
public:
    // The pixels are not owned: bits is the first stored row (the bottom one).
    CImageDC(std::uint8_t* bits, int width, int height, int stride);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    // Selection; each returns what was selected before.
    CImagePen SelectObject(const CImagePen& pen);
    CImageBrush SelectObject(const CImageBrush& brush);
    CImageFont SelectObject(const CImageFont& font);
    const CImagePen& GetPen() const { return m_pen; }
    const CImageBrush& GetBrush() const { return m_brush; }
    const CImageFont& GetFont() const { return m_font; }

    int SetROP2(int mode);
    int GetROP2() const { return m_rop2; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_bkMode; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_bkColor; }
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_stretchMode; }
    // Null removes the clip. Returns 1.
    int SelectClipRgn(const CRgn* region);
    const std::optional<QRegion>& GetClip() const { return m_clip; }

    // Shapes with the selected pen, brush and mix mode; each returns 1, or 0
    // when nothing could be drawn.
    int FillRect(const RECT& rect, COLORREF color); // mix mode not applied, like a brush fill
    int MoveTo(int x, int y, POINT* previous = nullptr);
    int LineTo(int x, int y); // the end point itself is not drawn
    int Rectangle(int left, int top, int right, int bottom);
    int Ellipse(int left, int top, int right, int bottom);
    int Polygon(const POINT* points, int count);
    int Polyline(const POINT* points, int count);
    int Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    int DrawEdge(RECT* rect, unsigned edge, unsigned flags);
    // Inverts every pixel of the region (within the clip).
    int InvertRgn(const CRgn& region);

    // Text in the selected font, text colour, background mode and colour.
    // A negative count takes the whole text. Returns the height drawn, 0 on failure.
    int DrawText(std::string_view text, int count, RECT* rect, unsigned format);
    SIZE GetTextExtent(std::string_view text) const;
    // Text at a reference point (the top-left of its unturned cell), turned
    // about that point by the font's escapement.
    int TextOut(int x, int y, std::string_view text);

    // Block transfers from another context (which may be this one) with a
    // raster operation; the brush is the pattern.
    int BitBlt(int x, int y, int width, int height, const CImageDC* source, int srcX, int srcY,
               std::uint32_t rop);
    // Nearest-pixel stretch; negative extents mirror.
    int StretchBlt(int x, int y, int width, int height, const CImageDC* source, int srcX, int srcY,
                   int srcWidth, int srcHeight, std::uint32_t rop);

    // Raw access for the image operations.
    std::uint8_t* Bits() const { return m_bits; }
    int Stride() const { return m_stride; }
    std::uint32_t* Row(int y) const; // image row y, 0 at the top

    // A top-down copy of the rectangle as an RGB32 image (for painting on screen).
    QImage ToQImage(int x, int y, int width, int height) const;

    bool InClip(int x, int y) const;
    // The parts of the area inside the picture and the clip.
    std::vector<QRect> VisibleRects(const QRect& area) const;

private:
    void Plot(int x, int y, COLORREF color, int rop);
    void DrawThinLine(int x1, int y1, int x2, int y2);
    void FillWithRop(const RECT& rect, COLORREF color);

    std::uint8_t* m_bits;
    int m_width;
    int m_height;
    int m_stride;
    CImagePen m_pen;
    CImageBrush m_brush;
    CImageFont m_font;
    int m_rop2 = R2_COPYPEN;
    int m_bkMode = OPAQUE;
    COLORREF m_bkColor = 0xFFFFFF;
    COLORREF m_textColor = 0;
    int m_stretchMode = BLACKONWHITE;
    std::optional<QRegion> m_clip;
    POINT m_position;
    int m_styleCounter = 0; // position in the dash pattern, carried from line to line
};

// DrawText on an image's context and on its mask's: the same pixels as the two
// calls. Where the mask's context has the image's size, font and clip, black
// text and both draw transparently, each line is painted once for both.
int DrawTextWithMask(CImageDC& dc, CImageDC& mask, std::string_view text, int count, RECT* rect,
                     unsigned format);

// The lines DrawTextWithMask paints for alike contexts (`dc` giving the size,
// font, colours and modes), kept to be merged later, possibly in parts: into
// the image by MergeScratch (copying, blended), into the mask by
// MergeScratchBlack. Returns the text's height; DT_CALCRECT paints nothing.
struct TextInk
{
    QImage scratch;
    QPoint origin; // the scratch's top-left on the context
};
int PaintTextInk(const CImageDC& dc, std::string_view text, int count, const RECT& rect, unsigned format,
                 std::vector<TextInk>& ink);
