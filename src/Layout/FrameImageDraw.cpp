// Drawing the fixed layer of the page into the frame image's canvas and mask.
#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "Core/TextOps.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/StretchEngine.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/FrameImage.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr COLORREF kBlack = 0;
constexpr std::size_t kLineBuffer = 260;

int ScaledFontHeight(int height)
{
    const int scaled = static_cast<int>(std::lround(height * 3.75));
    return scaled == 0 ? 1 : scaled;
}

int Escapement(int direction)
{
    switch (direction) {
    case 1:
        return -900;
    case 2:
        return 1800;
    case 3:
        return 900;
    default:
        return 0;
    }
}

void DrawLineItem(const CLineItem& line, RECT r, CImage& canvas, CImage& mask)
{
    const int extra = line.GetWidth(false, 1.0f) - 1;
    if (line.IsVertical())
        r.right = std::max(r.right + extra, r.left + 1);
    else
        r.bottom = std::max(r.bottom + extra, r.top + 1);
    canvas.FillRectLTRB(r.left, r.top, r.right, r.bottom, line.GetColor());
    mask.FillRectLTRB(r.left, r.top, r.right, r.bottom, kBlack);
}

struct TextLine
{
    std::string text;
    SIZE extent{};
};

std::vector<TextLine> PrepareLines(const CStringItem& item, CImage& canvas, const CImageFont& measuring,
                                   const LOGFONT& font)
{
    const std::string text = item.GetText();
    const int count = CountLines(text);
    std::vector<TextLine> lines;
    const CImageFont previous = canvas.SelectObject(measuring);
    for (int i = 0; i < count; ++i) {
        std::string line;
        if (!GetLineText(text, i, line, kLineBuffer))
            break;
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
            line.pop_back();
        TextLine prepared;
        if (!line.empty()) {
            line += ' ';
            if (font.lfWeight == FW_BOLD)
                line += ' ';
            if (font.lfItalic)
                line += ' ';
            prepared.extent = canvas.GetTextExtent(line);
            prepared.text = std::move(line);
        }
        lines.push_back(std::move(prepared));
    }
    canvas.SelectObject(previous);
    return lines;
}

void DrawStringItem(const CStringItem& item, const RECT& r, CImage& canvas, CImage& mask)
{
    LOGFONT font;
    if (!item.GetLogFont(&font))
        return;
    font.lfHeight = ScaledFontHeight(font.lfHeight);
    font.lfEscapement = 0;
    const CImageFont measuring(font);
    LOGFONT turned = font;
    const int direction = item.GetDirection();
    turned.lfEscapement = Escapement(direction);
    turned.lfOrientation = turned.lfEscapement;
    const CImageFont drawing(turned);

    CRgn clip;
    clip.CreateRectRgn(r.left, r.top, r.right, r.bottom);
    canvas.SelectClipRgn(&clip);
    mask.SelectClipRgn(&clip);
    if (item.HasBackColor()) {
        canvas.FillRectLTRB(r.left, r.top, r.right, r.bottom, item.GetBackColor());
        mask.FillRectLTRB(r.left, r.top, r.right, r.bottom, kBlack);
    }
    const std::vector<TextLine> lines = PrepareLines(item, canvas, measuring, font);

    const CImageFont canvasFont = canvas.SelectObject(drawing);
    const CImageFont maskFont = mask.SelectObject(drawing);
    const int canvasMode = canvas.SetBkMode(TRANSPARENT);
    const int maskMode = mask.SetBkMode(TRANSPARENT);
    const COLORREF maskColor = mask.SetTextColor(kBlack);
    const COLORREF canvasColor = canvas.GetDC()->GetTextColor();
    const unsigned format = FrameTextLineFormat(direction);
    const bool turnedSideways = direction == 1 || direction == 3;

    POINT shadow{};
    POINT correction{};
    if (item.HasShadow())
        FrameTextShadowOffsets(direction, item.IsVerticalText(), item.GetShadowOffset(), &shadow,
                               &correction);
    auto pass = [&](COLORREF color, POINT move, unsigned extra) {
        canvas.SetTextColor(color);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].text.empty())
                continue;
            const int along = turnedSideways ? lines[i].extent.cy : lines[i].extent.cx;
            const int across = turnedSideways ? lines[i].extent.cx : lines[i].extent.cy;
            RECT lineRect = FrameTextLineRect(direction, r, static_cast<int>(i), along, across);
            lineRect.left += move.x;
            lineRect.right += move.x;
            lineRect.top += move.y;
            lineRect.bottom += move.y;
            DrawTextWithMask(*canvas.GetDC(), *mask.GetDC(), lines[i].text, -1, &lineRect, format | extra);
        }
    };
    if (item.HasShadow())
        pass(item.GetShadowColor(), POINT{shadow.x + correction.x, shadow.y + correction.y}, DT_NOCLIP);
    pass(item.GetTextColor(), correction, 0);

    canvas.SetTextColor(canvasColor);
    mask.SetTextColor(maskColor);
    canvas.SetBkMode(canvasMode);
    mask.SetBkMode(maskMode);
    canvas.SelectObject(canvasFont);
    mask.SelectObject(maskFont);
    canvas.SelectClipRgn(nullptr);
    mask.SelectClipRgn(nullptr);
}

// The picture turned by quarter turns; false when a turn fails.
bool TurnPicture(CImage& picture, int rotation)
{
    auto turn = [&picture](int direction) {
        CImage turned;
        if (!turned.Create(picture.GetHeight(), picture.GetWidth()))
            return false;
        CRotate rotate;
        if (!rotate.ExecuteOnImages(direction, &picture, &turned))
            return false;
        if (picture.HasMask()) {
            if (!turned.CreateMask())
                return false;
            CRotate rotateMask;
            if (!rotateMask.ExecuteOnImages(direction, picture.GetMask(), turned.GetMask()))
                return false;
        }
        picture = std::move(turned);
        return true;
    };
    switch (rotation) {
    case 1:
        return turn(1);
    case 2:
        return turn(1) && turn(1);
    case 3:
        return turn(0);
    default:
        // Automatic rotation has no frame to compare with here: drawn unturned.
        return true;
    }
}

// True when every fourth byte (the mask value) of the packed picture is 0.
bool IsOpaque(const std::uint8_t* pixels, int width, int height)
{
    const auto* words = reinterpret_cast<const std::uint32_t*>(pixels);
    for (int y = 0; y < height; ++y, words += width) {
        std::uint32_t seen = 0;
        for (int x = 0; x < width; ++x)
            seen |= words[x];
        if (seen & 0xFF000000u)
            return false;
    }
    return true;
}

// `untouched`: nothing has been drawn in r yet.
bool DrawBackground(const CBackgroundImageFrameItem& item, const RECT& r, CImage& canvas, bool untouched)
{
    CBMPFile reader;
    std::uint8_t* raw = nullptr;
    SIZE size{};
    if (reader.ReadRaw32(item.GetImageFileName2(), &raw, &size) != ImageFileOk || !raw)
        return false;
    PageBuffer pixels(raw);
    // A picture opaque throughout composites as a plain copy, so an unturned
    // one is stretched straight from the file's pixels, without the picture
    // and mask it would otherwise be made into.
    const bool opaque = IsUsablePictureSize(size.cx, size.cy) && IsOpaque(raw, size.cx, size.cy);
    const int rotation = item.GetImageRotation();
    CImage picture;
    StretchSource source;
    if (opaque && rotation != 1 && rotation != 2 && rotation != 3) {
        if (!CanContinue())
            return false;
        source = StretchSource{raw, size.cx * 4, size.cx, size.cy, 32, nullptr, 0};
    } else {
        if (picture.SetFromRgbaBuffer(pixels.get(), size.cx, size.cy, nullptr, nullptr, 0xFFFFFF, 0) != 0 ||
            !picture.IsValid())
            return false;
        pixels.reset();
        if (!TurnPicture(picture, rotation))
            return false;
        source = StretchSource{picture.GetBits(),
                               picture.GetWidth() * 4,
                               picture.GetWidth(),
                               picture.GetHeight(),
                               32,
                               nullptr,
                               0};
    }
    const int pw = source.width;
    const int ph = source.rows;
    const int rw = r.right - r.left;
    const int rh = r.bottom - r.top;
    if (pw < 1 || ph < 1 || rw < 1 || rh < 1)
        return true;
    RECT from{0, 0, pw, ph};
    RECT dest = r;
    if (item.GetImagePlacement() == 0) {
        if (static_cast<long long>(ph) * rw > static_cast<long long>(pw) * rh) {
            const int sh = static_cast<int>(static_cast<long long>(pw) * rh / rw);
            from = RECT{0, (ph - sh) / 2, pw, (ph - sh) / 2 + sh};
        } else {
            const int sw = static_cast<int>(static_cast<long long>(ph) * rw / rh);
            from = RECT{(pw - sw) / 2, 0, (pw - sw) / 2 + sw, ph};
        }
    } else if (item.GetImagePlacement() == 1) {
        const Rect inside =
            FitRectInRect(Rect{r.left, r.top, r.right, r.bottom}, Rect{0, 0, pw, ph}, true, true);
        dest = RECT{inside.left, inside.top, inside.right, inside.bottom};
    }
    const StretchRects rects{dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                             from.left, from.top, from.right - from.left, from.bottom - from.top};
    if (opaque &&
        CompositeOpaqueStretched(*canvas.GetDC(), *canvas.GetMask()->GetDC(), rects, source, untouched))
        return true;
    if (!picture.IsValid()) {
        // Not reached for the rectangles above; kept so that any other case
        // draws as the picture with its mask would.
        if (picture.SetFromRgbaBuffer(pixels.get(), size.cx, size.cy, nullptr, nullptr, 0xFFFFFF, 0) != 0 ||
            !picture.IsValid())
            return false;
    }
    if (picture.HasMask()) {
        // Nothing to composite (a frame off the canvas) is not a failure.
        picture.CompositeRect(&canvas, rects.x, rects.y, rects.width, rects.height, rects.srcX, rects.srcY,
                              rects.srcWidth, rects.srcHeight);
        return true;
    }
    picture.StretchBltTo(&canvas, rects.x, rects.y, rects.width, rects.height, rects.srcX, rects.srcY,
                         rects.srcWidth, rects.srcHeight, SRCCOPY);
    canvas.GetMask()->FillRectLTRB(dest.left, dest.top, dest.right, dest.bottom, kBlack);
    return true;
}

} // namespace

void CLayoutManager::DrawFrameImageItems(CImage& canvas, POINT offset, int& failure) const
{
    CImage& mask = *canvas.GetMask();
    // The canvas comes from RenderFrameCanvas as created: white with a white
    // mask. Until a line or a text is drawn, only the backgrounds drawn so far
    // have changed it, inside their rectangles.
    bool onlyBackgrounds = true;
    std::vector<RECT> backgrounds;
    auto untouched = [&](const RECT& r) {
        return onlyBackgrounds && std::none_of(backgrounds.begin(), backgrounds.end(), [&r](const RECT& b) {
                   return b.left < r.right && r.left < b.right && b.top < r.bottom && r.top < b.bottom;
               });
    };
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        const CLayoutItem* item = it->get();
        if (!item->IsVisible())
            continue;
        RECT r;
        item->GetRect(&r, false);
        r = RECT{r.left + offset.x, r.top + offset.y, r.right + offset.x + 1, r.bottom + offset.y + 1};
        if (const auto* line = dynamic_cast<const CLineItem*>(item)) {
            onlyBackgrounds = false;
            DrawLineItem(*line, r, canvas, mask);
        } else if (const auto* text = dynamic_cast<const CStringItem*>(item)) {
            onlyBackgrounds = false;
            DrawStringItem(*text, r, canvas, mask);
        } else if (const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(item)) {
            const bool fresh = untouched(r);
            backgrounds.push_back(r);
            try {
                if (!DrawBackground(*background, r, canvas, fresh)) {
                    failure = -1;
                    return;
                }
            } catch (enumErrorID) {
                failure = -1;
                return;
            }
        }
    }
}
