// The layout thumbnail "THUMB.USF": the page shrunk to 160 pixels on its
// longer side, frames without a picture shown as the settings ask.
#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Files.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/Region.h"
#include "Platform/AtomicFileWriter.h"

#include <cmath>

namespace {

constexpr int kThumbnailSide = 160;
constexpr int kThumbnailMinSide = 80;
constexpr int kThumbnailQuality = 100;
constexpr int kDefaultInsertPicture = 520;
constexpr COLORREF kAroundPage = RGB(229, 229, 229);
constexpr COLORREF kPage = RGB(255, 255, 255);
constexpr COLORREF kEmptyFrame = RGB(160, 160, 160);

enum InsertFrameImageKind : int {
    ShowDefaultImage = 0,
    ShowChosenImage = 1,
    ShowGrey = 2,
    ShowNothing = 3,
};

// The rotation an empty frame's stand-in is drawn with; automatic rotation
// follows the frame's shape.
int StandInRotation(const CInsertImageFrameItem& frame, const RECT& rect, int orientation)
{
    const int rotation = frame.GetImageRotation();
    if (rotation != CImageFrameItem::kAutomaticRotation)
        return rotation;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (orientation == 0)
        return height > width ? 1 : 0;
    return width > height ? 0 : 3;
}

// The geometry of a frame, taken over by a stand-in drawn in its place.
struct FrameGeometry
{
    RECT rect{};
    int orientation = 0;
    int number = 0;
    RECT range{};
    int rotation = 0;
    int placement = 0;
    int mode = 0;

    static FrameGeometry Of(const CInsertImageFrameItem& frame)
    {
        FrameGeometry g;
        frame.GetRect(&g.rect, false);
        g.orientation = frame.GetOrientation();
        g.number = frame.GetFrameNumber();
        frame.GetImageRange(&g.range);
        g.rotation = frame.GetImageRotation();
        g.placement = frame.GetImagePlacement();
        g.mode = frame.GetImageMode();
        return g;
    }
    void ApplyTo(CInsertImageFrameItem& frame) const
    {
        frame.SetRect(rect);
        frame.SetOrientation(orientation);
        frame.SetFrameNumber(number);
        frame.SetImageRange(range);
        frame.SetImageRotation(rotation);
        frame.SetImagePlacement(placement);
        frame.SetImageMode(mode);
    }
};

// The document's prototype frame gets its own geometry back however the
// drawing ends.
class KeptGeometry
{
public:
    explicit KeptGeometry(CInsertImageFrameItem& frame) : m_frame(frame), m_kept(FrameGeometry::Of(frame)) {}
    ~KeptGeometry() { m_kept.ApplyTo(m_frame); }
    KeptGeometry(const KeptGeometry&) = delete;
    KeptGeometry& operator=(const KeptGeometry&) = delete;

private:
    CInsertImageFrameItem& m_frame;
    FrameGeometry m_kept;
};

} // namespace

bool CZAVEditorDoc::DrawLayoutThumbnail(CImage& image)
{
    try {
        CLayoutManager& layout = m_layout;
        const SIZE paper = layout.GetPaperSize();
        BoolCheck(paper.cx > 0 && paper.cy > 0, 0);
        const double sx = static_cast<double>(kThumbnailSide) / paper.cx;
        const double sy = static_cast<double>(kThumbnailSide) / paper.cy;
        double scale = sx;
        int width = kThumbnailSide;
        int height = kThumbnailSide;
        if (sx <= sy)
            height = static_cast<int>(std::floor(paper.cy * sx));
        else {
            scale = sy;
            width = static_cast<int>(std::floor(paper.cx * sy));
        }
        RECT page{0, 0, width, height};
        if (width < kThumbnailMinSide) {
            const int move = (kThumbnailMinSide - width) / 2;
            page.left += move;
            page.right += move;
            width = kThumbnailMinSide;
        }
        if (height < kThumbnailMinSide) {
            const int move = (kThumbnailMinSide - height) / 2;
            page.top += move;
            page.bottom += move;
            height = kThumbnailMinSide;
        }

        BoolCheck(image.Create(width, height), 0);
        image.FillRectLTRB(0, 0, width, height, kAroundPage);
        image.FillRectLTRB(page.left, page.top, page.right, page.bottom, kPage);
        CRgn clip;
        BoolCheck(clip.CreateRectRgnIndirect(&page), 0);
        image.SelectClipRgn(&clip);

        const float s = static_cast<float>(scale);
        const PageMargins margins = layout.GetMargins();
        POINT pageOrigin{margins.left, margins.top};
        layout.ScalePoint(&pageOrigin, s);
        pageOrigin.x += page.left;
        pageOrigin.y += page.top;

        const int show = Settings().GetInsertFrameImage();
        const int orientation = layout.GetOrientation();
        CInsertImageFrameItem defaultFrame;
        if (show == ShowDefaultImage) {
            BoolCheck(defaultFrame.GetImageBuffer1()->LoadBitmapResource(kDefaultInsertPicture), 0);
            defaultFrame.GetImageBuffer2()->Release();
            defaultFrame.GetImageBuffer3()->Release();
            defaultFrame.GetImageBuffer4()->Release();
            defaultFrame.SetVisible(true);
            defaultFrame.SetDrawSuppressed(false);
        }
        const bool chosenImage = show == ShowChosenImage && IsDirectory(GetTempInsertFrameImageFolder(false));
        const KeptGeometry keptPrototype(m_insertFramePrototype);

        for (int index = layout.GetItemCount(-1, -1, nullptr) - 1; index >= 0; --index) {
            CLayoutItem* item = layout.GetItemAt(index);
            NullCheck(item, 0);
            if (!item->IsVisible())
                continue;
            RECT scaled{};
            item->GetScaledRect(&scaled, s);
            const POINT at{scaled.left + pageOrigin.x, scaled.top + pageOrigin.y};
            auto* frame = dynamic_cast<CInsertImageFrameItem*>(item);
            if (!frame || !frame->GetImageFileName().empty()) {
                item->Draw(&image, s, &at, true);
                continue;
            }
            FrameGeometry geometry = FrameGeometry::Of(*frame);
            geometry.orientation = orientation;
            if (show == ShowDefaultImage) {
                geometry.rotation = IsDSCLayout() ? 0 : StandInRotation(*frame, geometry.rect, orientation);
                geometry.ApplyTo(defaultFrame);
                defaultFrame.Draw(&image, s, &at, true);
            } else if (show == ShowChosenImage) {
                if (!chosenImage)
                    continue;
                geometry.rotation = StandInRotation(*frame, geometry.rect, orientation);
                geometry.ApplyTo(m_insertFramePrototype);
                m_insertFramePrototype.Draw(&image, s, &at, true);
            } else if (show == ShowGrey) {
                image.FillRectLTRB(scaled.left + pageOrigin.x, scaled.top + pageOrigin.y,
                                   scaled.right + pageOrigin.x, scaled.bottom + pageOrigin.y, kEmptyFrame);
            }
        }
        image.SelectClipRgn(nullptr);
    } catch (int) {
        return false;
    }
    return true;
}

int CZAVEditorDoc::WriteLayoutThumbnail(const std::string& path)
{
    CImage image;
    if (!DrawLayoutThumbnail(image))
        return 0;
    if (m_openedThumbnailKind == ThumbnailKind::Layout)
        if (const auto carried = m_openedThumbnail.Take(image))
            return WriteFileAtomically(path, carried->data(), carried->size()) ? 1 : 0;
    return image.SaveAsJpeg(path, 0, kThumbnailQuality) == ImageFileOk ? 1 : 0;
}

void CZAVEditorDoc::FollowLayoutThumbnail(const std::string& path)
{
    m_openedThumbnail.Follow(path);
}

void CZAVEditorDoc::RememberLayoutThumbnail(const std::string& path, ThumbnailKind kind)
{
    m_openedThumbnailKind = kind;
    CImage image;
    if (DrawLayoutThumbnail(image))
        m_openedThumbnail.Remember(path, image);
    else
        m_openedThumbnail.Forget();
}
