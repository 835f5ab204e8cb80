// Drawing the fixed layer of the page into the frame image's canvas and mask.
#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "Core/TextOps.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/ShapePainter.h"
#include "ImageProcessing/StretchEngine.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/FrameImage.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"
#include "Platform/PageAllocator.h"

#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
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

// One item ready to draw into any window of the canvas's rows.
class CFramePart
{
public:
    virtual ~CFramePart() = default;
    // `canvas` and `mask` hold the canvas's rows from `top` on; `untouched`:
    // nothing has been drawn yet where this item draws.
    virtual void Draw(CImage& canvas, CImage& mask, int top, bool untouched) = 0;
    // The canvas rows it may change: top .. bottom - 1.
    int Top() const { return m_top; }
    int Bottom() const { return m_bottom; }

protected:
    void Extend(const QRect& r)
    {
        if (r.isEmpty())
            return;
        if (m_bottom <= m_top) {
            m_top = r.top();
            m_bottom = r.bottom() + 1;
            return;
        }
        m_top = std::min(m_top, r.top());
        m_bottom = std::max(m_bottom, r.bottom() + 1);
    }

private:
    int m_top = 0;
    int m_bottom = 0;
};

RECT LineFill(const CLineItem& line, RECT r)
{
    const int extra = line.GetWidth(false, 1.0f) - 1;
    if (line.IsVertical())
        r.right = std::max(r.right + extra, r.left + 1);
    else
        r.bottom = std::max(r.bottom + extra, r.top + 1);
    return r;
}

void DrawLineRows(const CLineItem& line, const RECT& r, CImage& canvas, CImage& mask, int top)
{
    const RECT f = LineFill(line, r);
    canvas.FillRectLTRB(f.left, f.top - top, f.right, f.bottom - top, line.GetColor());
    mask.FillRectLTRB(f.left, f.top - top, f.right, f.bottom - top, kBlack);
}

struct TextLine
{
    std::string text;
    SIZE extent{};
};

std::vector<TextLine> PrepareLines(const CStringItem& item, CImageDC& canvas, const CImageFont& measuring,
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

} // namespace

// Memory for the ink a pass keeps. Its blocks are large, and the page
// allocator keeps large freed blocks for the next request, so the next render
// finds them mapped instead of faulting in fresh pages for every scratch.
class CFrameInkStore
{
public:
    void Reset()
    {
        m_block = 0;
        m_used = 0;
    }

    std::uint8_t* Take(std::size_t bytes)
    {
        bytes = (bytes + 15) & ~std::size_t(15);
        while (m_block < m_blocks.size() && m_used + bytes > m_sizes[m_block]) {
            ++m_block;
            m_used = 0;
        }
        if (m_block == m_blocks.size()) {
            const std::size_t size = std::max(bytes, kBlock);
            // Every byte taken is written before it is read.
            PageBuffer block(static_cast<std::uint8_t*>(PageAllocUncleared(size)));
            if (!block)
                return nullptr;
            m_blocks.push_back(std::move(block));
            m_sizes.push_back(size);
            m_used = 0;
        }
        std::uint8_t* taken = m_blocks[m_block].get() + m_used;
        m_used += bytes;
        return taken;
    }

private:
    static constexpr std::size_t kBlock = std::size_t(8) << 20;
    std::vector<PageBuffer> m_blocks;
    std::vector<std::size_t> m_sizes;
    std::size_t m_block = 0;
    std::size_t m_used = 0;
};

namespace {

// The scratch cut to what can change the canvas: the part inside the clip,
// without blank rows above and below (merging transparent pixels changes
// nothing), copied into the store. False when the store has no memory.
bool KeepInk(TextInk& ink, const QRect& clip, CFrameInkStore& store)
{
    const QRect area = QRect(ink.origin, ink.scratch.size()).intersected(clip);
    if (area.isEmpty()) {
        ink.scratch = QImage();
        return true;
    }
    const int x0 = area.left() - ink.origin.x();
    const int width = area.width();
    auto row = [&](int y) {
        return reinterpret_cast<const std::uint32_t*>(ink.scratch.constScanLine(y - ink.origin.y())) + x0;
    };
    auto blank = [&](int y) {
        const std::uint32_t* pixels = row(y);
        std::uint32_t seen = 0;
        for (int x = 0; x < width; ++x)
            seen |= pixels[x];
        return (seen >> 24) == 0;
    };
    int top = area.top();
    int bottom = area.bottom();
    while (top <= bottom && blank(top))
        ++top;
    while (bottom >= top && blank(bottom))
        --bottom;
    if (top > bottom) {
        ink.scratch = QImage();
        return true;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::uint8_t* kept = store.Take(rowBytes * static_cast<std::size_t>(bottom - top + 1));
    if (!kept)
        return false;
    for (int y = top; y <= bottom; ++y)
        std::memcpy(kept + rowBytes * static_cast<std::size_t>(y - top), row(y), rowBytes);
    ink.scratch = QImage(kept, width, bottom - top + 1, static_cast<qsizetype>(rowBytes),
                         QImage::Format_ARGB32_Premultiplied);
    ink.origin = QPoint(area.left(), top);
    return true;
}

// A string item ready to draw: its background fill and the ink of its
// lines (the shadow's first), painted once at the page's size.
class CTextPart : public CFramePart
{
public:
    CTextPart(const CStringItem& item, const RECT& r, int pageWidth, int pageHeight, CFrameInkStore& store);
    void Draw(CImage& canvas, CImage& mask, int top, bool untouched) override;
    // False when the ink could not be kept.
    bool Ready() const { return m_ready; }

private:
    RECT m_rect;
    bool m_ready = true;
    bool m_back = false;
    COLORREF m_backColor = 0;
    std::vector<TextInk> m_ink;
};

CTextPart::CTextPart(const CStringItem& item, const RECT& r, int pageWidth, int pageHeight,
                     CFrameInkStore& store)
    : m_rect(r)
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

    m_back = item.HasBackColor();
    m_backColor = item.GetBackColor();
    const QRect clip(r.left, r.top, r.right - r.left, r.bottom - r.top);
    // The page's drawing state alone: the ink is painted apart from any pixels.
    CImageDC page(nullptr, pageWidth, pageHeight, pageWidth * 4);
    const std::vector<TextLine> lines = PrepareLines(item, page, measuring, font);
    page.SelectObject(drawing);
    page.SetBkMode(TRANSPARENT);
    const unsigned format = FrameTextLineFormat(direction);
    const bool turnedSideways = direction == 1 || direction == 3;

    POINT shadow{};
    POINT correction{};
    if (item.HasShadow())
        FrameTextShadowOffsets(direction, item.IsVerticalText(), item.GetShadowOffset(), &shadow,
                               &correction);
    auto pass = [&](COLORREF color, POINT move, unsigned extra) {
        page.SetTextColor(color);
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
            const std::size_t painted = m_ink.size();
            PaintTextInk(page, lines[i].text, -1, lineRect, format | extra, m_ink);
            for (std::size_t k = painted; k < m_ink.size(); ++k)
                m_ready = m_ready && KeepInk(m_ink[k], clip, store);
            std::erase_if(m_ink, [](const TextInk& ink) { return ink.scratch.isNull(); });
        }
    };
    if (item.HasShadow())
        pass(item.GetShadowColor(), POINT{shadow.x + correction.x, shadow.y + correction.y}, DT_NOCLIP);
    pass(item.GetTextColor(), correction, 0);
    // Drawn through the item's clip: nothing outside it changes.
    if (!m_ink.empty() || m_back)
        Extend(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

void CTextPart::Draw(CImage& canvas, CImage& mask, int top, bool)
{
    CRgn clip;
    clip.CreateRectRgn(m_rect.left, m_rect.top - top, m_rect.right, m_rect.bottom - top);
    canvas.SelectClipRgn(&clip);
    mask.SelectClipRgn(&clip);
    if (m_back) {
        canvas.FillRectLTRB(m_rect.left, m_rect.top - top, m_rect.right, m_rect.bottom - top, m_backColor);
        mask.FillRectLTRB(m_rect.left, m_rect.top - top, m_rect.right, m_rect.bottom - top, kBlack);
    }
    for (const TextInk& ink : m_ink) {
        const QPoint origin = ink.origin - QPoint(0, top);
        MergeScratch(*canvas.GetDC(), ink.scratch, origin, R2_COPYPEN, true, QRect());
        MergeScratchBlack(*mask.GetDC(), ink.scratch, origin);
    }
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

// A background ready to draw: its picture read (and turned) and the
// rectangles of its stretch worked out for the whole canvas.
class CBackgroundPart : public CFramePart
{
public:
    // False when the picture cannot be read, turned or made.
    bool Prepare(const CBackgroundImageFrameItem& item, const RECT& r, int pageWidth, int pageHeight);
    void Draw(CImage& canvas, CImage& mask, int top, bool untouched) override;

private:
    enum class Form {
        Nothing,
        Opaque,    // straight from the file's pixels
        Composite, // the picture with its mask
        Plain,     // a picture without a mask: copied, the mask made opaque
    };
    Form m_form = Form::Nothing;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    PageBuffer m_pixels;
    CImage m_picture;
    COpaqueStretch m_opaque;
    StretchRects m_rects{};
    RECT m_dest{};
};

bool CBackgroundPart::Prepare(const CBackgroundImageFrameItem& item, const RECT& r, int pageWidth,
                              int pageHeight)
{
    m_pageWidth = pageWidth;
    m_pageHeight = pageHeight;
    Extend(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    CBMPFile reader;
    std::uint8_t* raw = nullptr;
    SIZE size{};
    if (reader.ReadRaw32(item.GetImageFileName2(), &raw, &size) != ImageFileOk || !raw)
        return false;
    m_pixels.reset(raw);
    // A picture opaque throughout composites as a plain copy, so an unturned
    // one is stretched straight from the file's pixels, without the picture
    // and mask it would otherwise be made into.
    const bool opaque = IsUsablePictureSize(size.cx, size.cy) && IsOpaque(raw, size.cx, size.cy);
    const int rotation = item.GetImageRotation();
    StretchSource source;
    if (opaque && rotation != 1 && rotation != 2 && rotation != 3) {
        if (!CanContinue())
            return false;
        source = StretchSource{raw, size.cx * 4, size.cx, size.cy, 32, nullptr, 0};
    } else {
        if (m_picture.SetFromRgbaBuffer(m_pixels.get(), size.cx, size.cy, nullptr, nullptr, 0xFFFFFF, 0) !=
                0 ||
            !m_picture.IsValid())
            return false;
        m_pixels.reset();
        if (!TurnPicture(m_picture, rotation))
            return false;
        source = StretchSource{m_picture.GetBits(),
                               m_picture.GetWidth() * 4,
                               m_picture.GetWidth(),
                               m_picture.GetHeight(),
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
    m_dest = r;
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
        m_dest = RECT{inside.left, inside.top, inside.right, inside.bottom};
    }
    m_rects = StretchRects{m_dest.left, m_dest.top, m_dest.right - m_dest.left, m_dest.bottom - m_dest.top,
                           from.left,   from.top,   from.right - from.left,     from.bottom - from.top};
    if (opaque && m_opaque.Prepare(m_rects, source, pageWidth, pageHeight)) {
        m_form = Form::Opaque;
        return true;
    }
    if (!m_picture.IsValid()) {
        // Not reached for the rectangles above; kept so that any other case
        // draws as the picture with its mask would.
        if (m_picture.SetFromRgbaBuffer(m_pixels.get(), size.cx, size.cy, nullptr, nullptr, 0xFFFFFF, 0) !=
                0 ||
            !m_picture.IsValid())
            return false;
    }
    m_pixels.reset();
    m_form = m_picture.HasMask() ? Form::Composite : Form::Plain;
    return true;
}

void CBackgroundPart::Draw(CImage& canvas, CImage& mask, int top, bool untouched)
{
    const StretchRects& r = m_rects;
    switch (m_form) {
    case Form::Opaque:
        m_opaque.Draw(*canvas.GetDC(), *mask.GetDC(), top, untouched);
        break;
    case Form::Composite:
        // Nothing to composite (a frame off the canvas) is not a failure.
        m_picture.CompositeRectRows(&canvas, top, m_pageWidth, m_pageHeight, r.x, r.y, r.width, r.height,
                                    r.srcX, r.srcY, r.srcWidth, r.srcHeight);
        break;
    case Form::Plain:
        m_picture.StretchBltTo(&canvas, r.x, r.y - top, r.width, r.height, r.srcX, r.srcY, r.srcWidth,
                               r.srcHeight, SRCCOPY);
        mask.FillRectLTRB(m_dest.left, m_dest.top - top, m_dest.right, m_dest.bottom - top, kBlack);
        break;
    case Form::Nothing:
        break;
    }
}

std::unique_ptr<CFramePart> PrepareText(const CStringItem& item, const RECT& r, int pageWidth, int pageHeight,
                                        CFrameInkStore& store)
{
    auto part = std::make_unique<CTextPart>(item, r, pageWidth, pageHeight, store);
    return part->Ready() ? std::move(part) : nullptr;
}

std::unique_ptr<CBackgroundPart> PrepareBackground(const CBackgroundImageFrameItem& item, const RECT& r,
                                                   int pageWidth, int pageHeight)
{
    auto part = std::make_unique<CBackgroundPart>();
    try {
        if (part->Prepare(item, r, pageWidth, pageHeight))
            return part;
    } catch (enumErrorID) {
    }
    return nullptr;
}

} // namespace

struct CFramePainter::Entry
{
    const CLayoutItem* item = nullptr;
    const CLineItem* line = nullptr;
    const CStringItem* text = nullptr;
    const CBackgroundImageFrameItem* background = nullptr;
    RECT r{};
    std::unique_ptr<CFramePart> part;
    bool finished = false; // drawn into every band it reaches
};

CFramePainter::CFramePainter(const LayoutItemList& items, POINT offset, int width, int height)
    : m_width(width), m_height(height), m_store(std::make_unique<CFrameInkStore>())
{
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const CLayoutItem* item = it->get();
        if (!item->IsVisible())
            continue;
        Entry entry;
        entry.item = item;
        entry.line = dynamic_cast<const CLineItem*>(item);
        entry.text = entry.line ? nullptr : dynamic_cast<const CStringItem*>(item);
        entry.background =
            entry.line || entry.text ? nullptr : dynamic_cast<const CBackgroundImageFrameItem*>(item);
        if (!entry.line && !entry.text && !entry.background)
            continue;
        RECT r;
        item->GetRect(&r, false);
        entry.r = RECT{r.left + offset.x, r.top + offset.y, r.right + offset.x + 1, r.bottom + offset.y + 1};
        m_entries.push_back(std::move(entry));
    }
}

CFramePainter::~CFramePainter() = default;

bool CFramePainter::DrawAll(CImage& canvas)
{
    CImage& mask = *canvas.GetMask();
    // The canvas comes as created: white with a white mask. Until a line or a
    // text is drawn, only the backgrounds drawn so far have changed it, inside
    // their rectangles.
    bool onlyBackgrounds = true;
    std::vector<RECT> backgrounds;
    auto untouched = [&](const RECT& r) {
        return onlyBackgrounds && std::none_of(backgrounds.begin(), backgrounds.end(), [&r](const RECT& b) {
                   return b.left < r.right && r.left < b.right && b.top < r.bottom && r.top < b.bottom;
               });
    };
    for (Entry& entry : m_entries) {
        if (entry.line) {
            onlyBackgrounds = false;
            DrawLineRows(*entry.line, entry.r, canvas, mask, 0);
        } else if (entry.text) {
            onlyBackgrounds = false;
            m_store->Reset();
            const auto part = PrepareText(*entry.text, entry.r, m_width, m_height, *m_store);
            if (!part)
                return false;
            part->Draw(canvas, mask, 0, false);
        } else {
            const bool fresh = untouched(entry.r);
            backgrounds.push_back(entry.r);
            const auto part = PrepareBackground(*entry.background, entry.r, m_width, m_height);
            if (!part)
                return false;
            part->Draw(canvas, mask, 0, fresh);
        }
    }
    return true;
}

bool CFramePainter::Begin()
{
    m_store->Reset();
    for (Entry& entry : m_entries) {
        entry.part.reset();
        entry.finished = false;
        if (entry.background && (entry.r.bottom <= std::max(entry.r.top, 0) || entry.r.top >= m_height)) {
            // Never reaches a band, yet its picture must be readable, as when
            // the whole canvas is drawn.
            if (!PrepareBackground(*entry.background, entry.r, m_width, m_height))
                return false;
            entry.finished = true;
        }
    }
    return true;
}

bool CFramePainter::DrawBand(CImage& band, int top)
{
    CImage& mask = *band.GetMask();
    const int bottom = top + band.GetHeight();
    for (Entry& entry : m_entries) {
        if (entry.finished)
            continue;
        if (entry.line) {
            DrawLineRows(*entry.line, entry.r, band, mask, top);
            continue;
        }
        if (!entry.part) {
            // Texts and backgrounds draw inside their rectangles: made ready
            // when the first band reaches them, dropped behind the last.
            if (entry.r.top >= bottom)
                continue;
            if (entry.text)
                entry.part = PrepareText(*entry.text, entry.r, m_width, m_height, *m_store);
            else
                entry.part = PrepareBackground(*entry.background, entry.r, m_width, m_height);
            if (!entry.part)
                return false;
        }
        CFramePart& part = *entry.part;
        if (part.Top() >= bottom)
            continue;
        if (part.Bottom() > top)
            part.Draw(band, mask, top, false);
        if (part.Bottom() <= bottom) {
            entry.part.reset();
            entry.finished = true;
        }
    }
    return true;
}

void CLayoutManager::DrawFrameImageItems(CImage& canvas, POINT offset, int& failure) const
{
    CFramePainter painter(m_items, offset, canvas.GetWidth(), canvas.GetHeight());
    if (!painter.DrawAll(canvas))
        failure = -1;
}
