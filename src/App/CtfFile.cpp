// Composing the camera thumbnail's pictures: the page with the frame image over
// it, and the close-up of the photo frame.
#include "App/CtfFile.h"

#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "ImageProcessing/Region.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/MacroStringItem.h"
#include "Platform/AtomicFileWriter.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr int kLongSide = 320;
constexpr int kShortSide = 240;
constexpr int kShortAspectSide = 214; // a 2:3 picture's short side on 320
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTransparent = RGB(255, 255, 255);
constexpr COLORREF kOpaque = RGB(0, 0, 0);

int Floor(double value)
{
    return static_cast<int>(std::floor(value));
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

const CInsertImageFrameItem* FirstPhotoFrame(const CLayoutManager& layout)
{
    for (const auto& item : layout.GetItems())
        if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get()))
            return frame;
    return nullptr;
}

bool PhotoInFront(const CLayoutManager& layout)
{
    for (const auto& item : layout.GetItems()) {
        if (IsKindOf<CInsertImageFrameItem>(item.get()))
            return true;
        if (!IsKindOf<CMacroStringItem>(item.get()))
            return false;
    }
    return true;
}

std::uint8_t AspectClass(int kind)
{
    switch (kind) {
    case CInsertImageFrameItem::Aspect4x3:
    case CInsertImageFrameItem::Aspect3x4:
        return 0;
    case CInsertImageFrameItem::Aspect2x3:
    case CInsertImageFrameItem::Aspect3x2:
        return 1;
    default:
        return 2;
    }
}

// Rotations 2 (upside down) and 4 (automatic) have no value of their own: they
// are stored as an unturned photo.
std::uint8_t PhotoOrientation(int rotation, bool portrait)
{
    switch (rotation) {
    case 1:
        return 1;
    case 3:
        return 0;
    default:
        return portrait ? 0 : 1;
    }
}

// The quarter turn to the left as it moves a rectangle of a picture `width` wide.
RECT TurnedLeft(const RECT& r, int width)
{
    return RECT{r.top, width - r.right, r.bottom, width - r.left};
}

// The close-up rectangle's size for a frame w x h (layout units).
SIZE CloseUpSize(std::uint8_t aspectClass, long long w, long long h, int rotation)
{
    const bool wide = w > h;
    if (aspectClass == 0)
        return wide ? SIZE{kLongSide, kShortSide} : SIZE{kShortSide, kLongSide};
    if (aspectClass == 1)
        return wide ? SIZE{kLongSide, kShortAspectSide} : SIZE{kShortAspectSide, kLongSide};
    const bool upright = rotation == 0 || rotation == 2;
    auto part = [](long long side, long long numerator, long long denominator) {
        return static_cast<int>(side * numerator / denominator);
    };
    if (3 * w >= 4 * h) // r of 4/3 or more
        return upright ? SIZE{kLongSide, part(kLongSide, h, w)} : SIZE{kShortSide, part(kShortSide, h, w)};
    if (4 * w > 3 * h) // between 3/4 and 4/3
        return upright ? SIZE{part(kShortSide, w, h), kShortSide} : SIZE{kShortSide, part(kShortSide, h, w)};
    return upright ? SIZE{part(kShortSide, w, h), kShortSide} : SIZE{part(kLongSide, w, h), kLongSide};
}

// A picture of the given size, black with an opaque mask; the mask is made
// transparent over `clear` and the picture white over `white`.
void CreatePicture(CImage& picture, int width, int height, const RECT& clear, const RECT& white)
{
    BoolCheck(picture.Create(width, height) && picture.CreateMask(), 0);
    picture.FillRectLTRB(0, 0, width, height, kBlack);
    picture.GetMask()->FillRectLTRB(clear.left, clear.top, clear.right, clear.bottom, kTransparent);
    picture.FillRectLTRB(white.left, white.top, white.right, white.bottom, kWhite);
}

} // namespace

CCtfFile::CCtfFile() : CCtfFile([] { return std::make_unique<CRotate>(); })
{
}

CCtfFile::CCtfFile(RotateFactory makeRotate) : m_makeRotate(std::move(makeRotate))
{
}

CCtfFile::~CCtfFile() = default;

void CCtfFile::Init(const CLayoutManager* layout, std::string targetPath, std::string frameImagePath,
                    int quality)
{
    m_layout = layout;
    m_targetPath = std::move(targetPath);
    m_frameImagePath = std::move(frameImagePath);
    m_quality = std::min(quality, kMaxQuality);
    m_page.Release();
    m_closeUp.Release();
}

int CCtfFile::Make()
{
    try {
        NullCheck(m_layout, 0);
        // Without a photo frame there is nothing for the camera to place the
        // photo in; no file is better than one with made-up rectangles.
        const CInsertImageFrameItem* frame = FirstPhotoFrame(*m_layout);
        NullCheck(frame, 0);
        Prepare(*frame);
        ComposePage(*frame);
        ComposeCloseUp(*frame);
        if (m_fields.portrait)
            m_fields.pageRect = TurnedLeft(m_fields.pageRect, kShortSide);
        std::vector<std::uint8_t> bytes;
        if (const int assembled = Assemble(bytes); assembled != 1)
            return assembled;
        return WriteFileAtomically(m_targetPath, bytes.data(), bytes.size()) ? 1 : 0;
    } catch (int) {
        // Every thrown code is a failure: the filters' 1 ("out of memory") must
        // not read as success, nor their -1 as the quality running out.
        return 0;
    } catch (enumErrorID) {
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void CCtfFile::Prepare(const CInsertImageFrameItem& frame)
{
    const SIZE paper = m_layout->GetPaperSize();
    const PageMargins margins = m_layout->GetMargins();
    const int pageWidth = paper.cx - margins.left - margins.right;
    const int pageHeight = paper.cy - margins.top - margins.bottom;
    BoolCheck(pageWidth > 0 && pageHeight > 0, 0);

    Fields fields;
    fields.portrait = pageHeight > pageWidth ? 1 : 0;
    const int pictureWidth = fields.portrait ? kShortSide : kLongSide;
    const int pictureHeight = fields.portrait ? kLongSide : kShortSide;
    m_pageScale = std::min(static_cast<double>(pictureWidth) / pageWidth,
                           static_cast<double>(pictureHeight) / pageHeight);
    const int width = static_cast<int>(pageWidth * m_pageScale);
    const int height = static_cast<int>(pageHeight * m_pageScale);
    RECT& page = fields.pageRect;
    page.left = Floor((pictureWidth - width) * 0.5);
    page.top = Floor((pictureHeight - height) * 0.5);
    page.right = page.left + width;
    page.bottom = page.top + height;

    RECT r{};
    frame.GetRect(&r, false);
    RECT f{Floor(r.left * m_pageScale) + page.left, Floor(r.top * m_pageScale) + page.top,
           Floor(r.right * m_pageScale) + page.left, Floor(r.bottom * m_pageScale) + page.top};
    f.left = std::clamp<int>(f.left, page.left, page.right);
    f.right = std::clamp<int>(f.right, f.left, page.right);
    f.top = std::clamp<int>(f.top, page.top, page.bottom);
    f.bottom = std::clamp<int>(f.bottom, f.top, page.bottom);
    RECT bounds = page;
    if (fields.portrait) {
        f = TurnedLeft(f, kShortSide);
        bounds = TurnedLeft(page, kShortSide);
    }
    if (f.right == f.left) {
        if (f.right >= bounds.right)
            --f.left;
        else
            ++f.right;
    }
    if (f.bottom == f.top) {
        if (f.bottom >= bounds.bottom)
            --f.top;
        else
            ++f.bottom;
    }
    fields.frameRect = f;

    fields.photoOrientation = PhotoOrientation(frame.GetImageRotation(), fields.portrait != 0);
    fields.aspectClass = AspectClass(frame.GetAspectKind());
    fields.photoInFront = PhotoInFront(*m_layout) ? 1 : 0;

    const long long w = r.right - r.left;
    const long long h = r.bottom - r.top;
    BoolCheck(w > 0 && h > 0, 0);
    const SIZE closeUpPicture = w >= h ? SIZE{kLongSide, kShortSide} : SIZE{kShortSide, kLongSide};
    m_closeUpScale =
        std::min(static_cast<double>(closeUpPicture.cx) / w, static_cast<double>(closeUpPicture.cy) / h);
    const SIZE closeUp = CloseUpSize(fields.aspectClass, w, h, frame.GetImageRotation());
    m_closeUpRect.left = Floor((closeUpPicture.cx - closeUp.cx) * 0.5);
    m_closeUpRect.top = Floor((closeUpPicture.cy - closeUp.cy) * 0.5);
    m_closeUpRect.right = m_closeUpRect.left + closeUp.cx;
    m_closeUpRect.bottom = m_closeUpRect.top + closeUp.cy;

    m_drawsFrameImage = HasCameraDrawnContent(*m_layout);
    m_fields = fields;
}

void CCtfFile::ComposePage(const CInsertImageFrameItem& frame)
{
    const RECT& page = m_fields.pageRect;
    const int width = m_fields.portrait ? kShortSide : kLongSide;
    const int height = m_fields.portrait ? kLongSide : kShortSide;
    CreatePicture(m_page, width, height, page, page);
    if (m_drawsFrameImage)
        DrawFrameImage(m_page, page, m_pageScale, POINT{page.left, page.top}, frame);
    if (m_fields.portrait)
        TurnLeft(m_page);
}

void CCtfFile::ComposeCloseUp(const CInsertImageFrameItem& frame)
{
    RECT r{};
    frame.GetRect(&r, false);
    const bool wide = r.right - r.left >= r.bottom - r.top;
    const int width = wide ? kLongSide : kShortSide;
    const int height = wide ? kShortSide : kLongSide;
    CreatePicture(m_closeUp, width, height, m_fields.pageRect, m_closeUpRect);
    if (m_drawsFrameImage) {
        const POINT origin{Floor(m_closeUpRect.left - r.left * m_closeUpScale),
                           Floor(m_closeUpRect.top - r.top * m_closeUpScale)};
        DrawFrameImage(m_closeUp, m_closeUpRect, m_closeUpScale, origin, frame);
    }
    if (height > width)
        TurnLeft(m_closeUp);
}

void CCtfFile::DrawFrameImage(CImage& target, const RECT& clip, double scale, POINT origin,
                              const CInsertImageFrameItem& frame) const
{
    RECT area = m_layout->GetPrintableRect();
    area.right = std::max(area.right + 1, area.left + 1);
    area.bottom = std::max(area.bottom + 1, area.top + 1);
    RECT d{Floor(area.left * scale), Floor(area.top * scale), Floor(area.right * scale),
           Floor(area.bottom * scale)};
    d.right = std::max(d.right, d.left + 1);
    d.bottom = std::max(d.bottom, d.top + 1);
    d.left += origin.x;
    d.right += origin.x;
    d.top += origin.y;
    d.bottom += origin.y;

    CImage loaded;
    SIZE pictureSize{};
    double loadScale = 0.0;
    BoolCheck(loaded.LoadFileScaled(m_frameImagePath, Width(area), Height(area), &pictureSize, &loadScale,
                                    kWhite, 0, nullptr) == 0 &&
                  loaded.IsValid(),
              0);
    const int pw = loaded.GetWidth();
    const int ph = loaded.GetHeight();
    const double sx = static_cast<double>(Width(area)) / pw;
    const double sy = static_cast<double>(Height(area)) / ph;
    const int placement = frame.GetImagePlacement();
    BoolCheck(placement == 0 || placement == 1, 0);
    const double s = placement == 0 ? std::max(sx, sy) : std::min(sx, sy);

    RECT source{0, 0, pw, ph};
    const int shownWidth = static_cast<int>(pw * s);
    if (shownWidth > Width(area)) {
        const int excess = static_cast<int>((shownWidth - Width(area)) / s);
        source.left += excess / 2;
        source.right -= excess - excess / 2;
    }
    const int shownHeight = static_cast<int>(ph * s);
    if (shownHeight > Height(area)) {
        const int excess = static_cast<int>((shownHeight - Height(area)) / s);
        source.top += excess / 2;
        source.bottom -= excess - excess / 2;
    }
    BoolCheck(Width(source) > 0 && Height(source) > 0, 0);

    CRgn region;
    BoolCheck(region.CreateRectRgnIndirect(&clip), 0);
    CImage* mask = target.GetMask();
    target.SelectClipRgn(&region);
    mask->SelectClipRgn(&region);
    const bool drawn = loaded.StretchBltTo(&target, d.left, d.top, Width(d), Height(d), source.left,
                                           source.top, Width(source), Height(source), SRCCOPY) > 0;
    bool masked = false;
    if (loaded.HasMask())
        masked = loaded.GetMask()->StretchBltTo(mask, d.left, d.top, Width(d), Height(d), source.left,
                                                source.top, Width(source), Height(source), SRCCOPY) > 0;
    else // a frame image without transparency covers the photo everywhere
        masked = mask->FillRectLTRB(d.left, d.top, d.right, d.bottom, kOpaque) != 0;
    target.SelectClipRgn(nullptr);
    mask->SelectClipRgn(nullptr);
    BoolCheck(drawn && masked, 0);
}

void CCtfFile::TurnLeft(CImage& picture) const
{
    CImage turned;
    BoolCheck(turned.Create(picture.GetHeight(), picture.GetWidth()) && turned.CreateMask(), 0);
    std::unique_ptr<CRotate> rotate = m_makeRotate();
    NullCheck(rotate.get(), 0);
    rotate->SetProgressWindow(nullptr);
    BoolCheck(rotate->ExecuteOnImages(0, &picture, &turned) == 1, 0);
    std::unique_ptr<CRotate> rotateMask = m_makeRotate();
    NullCheck(rotateMask.get(), 0);
    rotateMask->SetProgressWindow(nullptr);
    BoolCheck(rotateMask->ExecuteOnImages(0, picture.GetMask(), turned.GetMask()) == 1, 0);
    picture = std::move(turned);
}

bool HasCameraDrawnContent(const CLayoutManager& layout)
{
    for (const auto& item : layout.GetItems())
        if (item->IsVisible() && !IsKindOf<CInsertImageFrameItem>(item.get()) &&
            !IsKindOf<CMacroStringItem>(item.get()))
            return true;
    return false;
}

std::string CtfSourceDigest(const CLayoutManager& layout, const std::vector<char>& frameImage)
{
    const CInsertImageFrameItem* frame = FirstPhotoFrame(layout);
    if (!frame)
        return {};
    RECT r{};
    frame->GetRect(&r, false);
    const SIZE paper = layout.GetPaperSize();
    const PageMargins margins = layout.GetMargins();
    const RECT printable = layout.GetPrintableRect();
    const int values[] = {paper.cx,
                          paper.cy,
                          margins.left,
                          margins.top,
                          margins.right,
                          margins.bottom,
                          printable.left,
                          printable.top,
                          printable.right,
                          printable.bottom,
                          r.left,
                          r.top,
                          r.right,
                          r.bottom,
                          frame->GetImageRotation(),
                          frame->GetAspectKind(),
                          frame->GetImagePlacement(),
                          PhotoInFront(layout) ? 1 : 0,
                          HasCameraDrawnContent(layout) ? 1 : 0};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(values), sizeof values));
    hash.addData(QByteArrayView(frameImage.data(), static_cast<qsizetype>(frameImage.size())));
    return hash.result().toStdString();
}
