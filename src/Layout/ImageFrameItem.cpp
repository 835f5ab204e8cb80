#include "Layout/ImageFrameItem.h"

#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "Core/PictureLimits.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/ImageFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Platform/Archive.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

namespace {

enum PlaceholderId : int {
    PlaceholderTurn0 = 418,
    PlaceholderTurn1 = 419,
    PlaceholderTurn2 = 420,
    PlaceholderTurn3 = 421,
};

// Turns source into dest a quarter turn, the mask too when the source has one.
bool TurnImage(int direction, CImage& source, CImage& dest, bool create)
{
    if (!source.IsValid())
        return false;
    try {
        if (create && !dest.Create(source.GetHeight(), source.GetWidth()))
            return false;
        if (!dest.IsValid())
            return false;
        CRotate turn;
        if (!turn.ExecuteOnImages(direction, &source, &dest))
            return false;
        if (source.HasMask()) {
            if (!dest.CreateMask())
                return false;
            CRotate turnMask;
            if (!turnMask.ExecuteOnImages(direction, source.GetMask(), dest.GetMask()))
                return false;
        }
        return true;
    } catch (enumErrorID) {
        return false;
    }
}

bool IsLandscape(int w, int h)
{
    return w >= h;
}

bool IsPortrait(int w, int h)
{
    return h >= w;
}

} // namespace

void CImageFrameItem::SetLimits(int minWidth, int minHeight, int maxWidth, int maxHeight, double maxAspect)
{
    m_minWidth = minWidth;
    m_minHeight = minHeight;
    m_maxWidth = maxWidth;
    m_maxHeight = maxHeight;
    m_maxAspect = maxAspect;
}

RECT* CImageFrameItem::GetImageRange(RECT* out) const
{
    if (out)
        *out = m_range;
    return out;
}

void CImageFrameItem::SetImageRange(const RECT& range)
{
    m_range = RECT{std::min(range.left, range.right), std::min(range.top, range.bottom),
                   std::max(range.left, range.right), std::max(range.top, range.bottom)};
}

void CImageFrameItem::SetImageMode(int /*mode*/)
{
    m_mode = 4;
}

void CImageFrameItem::Rotate(bool clockwise)
{
    if (m_rotation >= 0 && m_rotation <= 3)
        m_rotation = (m_rotation + (clockwise ? 1 : 3)) % 4;
}

void CImageFrameItem::ReleaseTurnedImages()
{
    for (int i = 1; i < 4; ++i)
        m_images[i].Release();
}

void CImageFrameItem::LoadStandardPlaceholders()
{
    m_images[0].LoadBitmapResource(PlaceholderTurn0);
    m_images[1].LoadBitmapResource(PlaceholderTurn1);
    m_images[2].LoadBitmapResource(PlaceholderTurn2);
    m_images[3].LoadBitmapResource(PlaceholderTurn3);
}

void CImageFrameItem::LoadPlaceholders()
{
    LoadStandardPlaceholders();
}

int CImageFrameItem::LoadImage(const std::string& path)
{
    if (!path.empty()) {
        CImage saved = std::move(m_images[0]);
        const CCarriedPicture savedCarried = m_carried;
        const int savedWidth = m_pictureWidth;
        const int savedHeight = m_pictureHeight;
        const double savedScale = m_displayScale;
        m_pictureWidth = 0;
        m_pictureHeight = 0;
        m_displayScale = 1.0;
        // The new working copy says for itself whether its file carries it.
        m_carried.Forget();
        m_carried.Expect(path);

        const bool limited = m_maxWidth >= 0 || m_maxHeight >= 0;
        const SIZE maximum{m_maxWidth, m_maxHeight};
        std::uint8_t* raw = nullptr;
        SIZE size{};
        const int code = LoadImageFileToBuffer(path, &raw, nullptr, &size, limited ? &maximum : nullptr);
        const PageBuffer pixels(raw);
        m_pictureWidth = size.cx;
        m_pictureHeight = size.cy;

        // The size limit is judged on the size the reader reports, even when it refused the picture for it.
        int result = ImageLoadOk;
        if ((m_maxWidth >= 0 && size.cx > m_maxWidth) || (m_maxHeight >= 0 && size.cy > m_maxHeight))
            result = ImageLoadTooLarge;
        else if (code != ImageFileOk || !pixels || size.cx < 1 || size.cy < 1)
            result = ImageLoadUnreadable;
        else if ((m_minWidth >= 0 && size.cx < m_minWidth) || (m_minHeight >= 0 && size.cy < m_minHeight))
            result = ImageLoadTooSmall;
        else if (m_maxAspect >= 0.0 && IsPictureTooLong(size.cx, size.cy, m_maxAspect))
            result = ImageLoadTooLong;
        if (result == ImageLoadOk) {
            const SIZE box{kDisplaySize, kDisplaySize};
            double scale = m_displayScale;
            m_images[0].SetFromRgbaBuffer(pixels.get(), size.cx, size.cy, &box, &scale, 0xFFFFFF, 1);
            m_displayScale = scale;
            if (!m_images[0].IsValid() || !ExportImage(path, pixels.get(), size.cx, size.cy))
                result = ImageLoadUnreadable;
        }
        if (result != ImageLoadOk) {
            m_images[0] = std::move(saved);
            // A working copy that was replaced has moved on from the version carried.
            m_carried = savedCarried;
            m_pictureWidth = savedWidth;
            m_pictureHeight = savedHeight;
            m_displayScale = savedScale;
            return result;
        }
    } else {
        m_images[0].Release();
        m_workingFile.Reset();
        m_carried.Forget();
        m_pictureWidth = 0;
        m_pictureHeight = 0;
        m_displayScale = 1.0;
    }
    m_fileName = path;
    m_range = RECT{};
    ReleaseTurnedImages();
    return ImageLoadOk;
}

bool CImageFrameItem::BuildDisplayImage(int rotation, bool skipBuilding)
{
    const bool create = !skipBuilding;
    switch (rotation) {
    case 1:
        return TurnImage(1, m_images[0], m_images[1], create);
    case 2:
        if (m_images[1].IsValid())
            return TurnImage(1, m_images[1], m_images[2], create);
        if (m_images[3].IsValid())
            return TurnImage(0, m_images[3], m_images[2], create);
        return TurnImage(1, m_images[0], m_images[1], create) &&
               TurnImage(1, m_images[1], m_images[2], create);
    case 3:
        return TurnImage(0, m_images[0], m_images[3], create);
    default:
        return false;
    }
}

int CImageFrameItem::ChooseRotation(int rotation, const RECT& source) const
{
    if (rotation != kAutomaticRotation)
        return rotation;
    RECT frame;
    GetRect(&frame, false);
    const int fw = frame.right - frame.left;
    const int fh = frame.bottom - frame.top;
    const int sw = source.right - source.left;
    const int sh = source.bottom - source.top;
    if (GetOrientation() == 1) {
        if ((IsLandscape(fw, fh) && IsPortrait(sw, sh)) || (IsPortrait(fw, fh) && IsLandscape(sw, sh)))
            return 3;
    } else if (GetOrientation() == 0) {
        if ((fw > fh && sh > sw) || (fh > fw && sw > sh))
            return 1;
    }
    return 0;
}

RECT CImageFrameItem::DisplaySourceRect() const
{
    if (item_draw::IsEmptyRect(m_range))
        return RECT{0, 0, m_images[0].GetWidth(), m_images[0].GetHeight()};
    const auto scaled = [this](int v) { return static_cast<int>(std::floor(v * m_displayScale)); };
    return RECT{scaled(m_range.left), scaled(m_range.top), scaled(m_range.right), scaled(m_range.bottom)};
}

int CImageFrameItem::GetShownRotation() const
{
    return ChooseRotation(m_rotation, DisplaySourceRect());
}

bool CImageFrameItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    if (!MayDraw(force))
        return false;
    return DrawPicture(canvas, scale, origin, m_rotation, IsKindOf<CBackgroundImageFrameItem>(this));
}

bool CImageFrameItem::DrawPicture(CImage* canvas, float scale, const POINT* origin, int rotation, bool masked)
{
    if (!canvas || !canvas->IsValid())
        return false;
    RECT d;
    GetScaledRect(&d, scale);
    d = item_draw::MoveToOrigin(d, origin);
    d.right = std::max(d.right, d.left + 1);
    d.bottom = std::max(d.bottom, d.top + 1);
    if (item_draw::IsEmptyRect(item_draw::ClipToCanvas(d, canvas)))
        return false;

    const CImage& first = m_images[0];
    const int W = first.GetWidth();
    const int H = first.GetHeight();
    RECT s = DisplaySourceRect();
    const int chosen = ChooseRotation(rotation, s);
    switch (chosen) {
    case 1:
        s = RECT{H - s.bottom, s.left, H - s.top, s.right};
        break;
    case 2:
        s = RECT{W - s.right, H - s.bottom, W - s.left, H - s.top};
        break;
    case 3:
        s = RECT{s.top, W - s.right, s.bottom, W - s.left};
        break;
    default:
        break;
    }
    if (chosen < 0 || chosen > 3)
        return false;
    CImage& image = m_images[chosen];
    if (!image.IsValid() && (chosen == 0 || !BuildDisplayImage(chosen, false)))
        return false;
    if (!image.IsValid())
        return false;

    std::int64_t sw = s.right - s.left;
    std::int64_t sh = s.bottom - s.top;
    std::int64_t dw = d.right - d.left;
    std::int64_t dh = d.bottom - d.top;
    if (sw < 1 || sh < 1)
        return false;
    if (m_placement == 0) {
        // Cut the source to the frame's aspect about its centre.
        if (sw * dh > sh * dw) {
            const std::int64_t w = std::max<std::int64_t>(1, sh * dw / dh);
            s.left += static_cast<int>((sw - w) / 2);
            s.right = s.left + static_cast<int>(w);
        } else {
            const std::int64_t h = std::max<std::int64_t>(1, sw * dh / dw);
            s.top += static_cast<int>((sh - h) / 2);
            s.bottom = s.top + static_cast<int>(h);
        }
    } else if (m_placement == 1) {
        // Shrink the frame to the source's aspect about its centre.
        if (sw * dh > sh * dw) {
            const std::int64_t h = std::max<std::int64_t>(1, dw * sh / sw);
            d.top += static_cast<int>((dh - h) / 2);
            d.bottom = d.top + static_cast<int>(h);
        } else {
            const std::int64_t w = std::max<std::int64_t>(1, dh * sw / sh);
            d.left += static_cast<int>((dw - w) / 2);
            d.right = d.left + static_cast<int>(w);
        }
    }
    // Where the frame reaches past the canvas, cut it and the source in proportion.
    const RECT shown = item_draw::ClipToCanvas(d, canvas);
    if (item_draw::IsEmptyRect(shown))
        return false;
    sw = s.right - s.left;
    sh = s.bottom - s.top;
    dw = d.right - d.left;
    dh = d.bottom - d.top;
    const double fx = static_cast<double>(sw) / static_cast<double>(dw);
    const double fy = static_cast<double>(sh) / static_cast<double>(dh);
    RECT cut{s.left + static_cast<int>(std::lround((shown.left - d.left) * fx)),
             s.top + static_cast<int>(std::lround((shown.top - d.top) * fy)),
             s.left + static_cast<int>(std::lround((shown.right - d.left) * fx)),
             s.top + static_cast<int>(std::lround((shown.bottom - d.top) * fy))};
    cut.right = std::max(cut.right, cut.left + 1);
    cut.bottom = std::max(cut.bottom, cut.top + 1);

    const int x = shown.left;
    const int y = shown.top;
    const int w = shown.right - shown.left;
    const int h = shown.bottom - shown.top;
    if (masked && image.HasMask())
        image.DrawMaskedRect(canvas, x, y, w, h, cut.left, cut.top, cut.right - cut.left,
                             cut.bottom - cut.top);
    else
        image.StretchBltTo(canvas, x, y, w, h, cut.left, cut.top, cut.right - cut.left, cut.bottom - cut.top,
                           SRCCOPY);
    return true;
}

void CImageFrameItem::Serialize(CArchive& archive)
{
    CLayoutItem::Serialize(archive);
    if (archive.IsStoring()) {
        archive.WriteInt32(m_range.left);
        archive.WriteInt32(m_range.top);
        archive.WriteInt32(m_range.right);
        archive.WriteInt32(m_range.bottom);
        archive.WriteInt32(m_rotation);
        archive.WriteInt32(m_placement);
        archive.WriteInt32(m_mode);
        archive.WriteString(m_fileName);
        archive.WriteString("\n");
        if (!m_fileName.empty()) {
            // The working copy travels like the picture: a copy that cannot be
            // written fails the archive rather than reaching the paste without it.
            const std::string clip = GetTempClipFileName(true);
            if (clip.empty() ||
                (!m_workingFile.Path().empty() && !CopyFileWritable(m_workingFile.Path(), clip)))
                throw CArchiveException("working copy not written");
            archive.WriteString(clip);
            archive.WriteString("\n");
            m_images[0].Serialize(archive);
            archive.WriteInt32(m_pictureWidth);
            archive.WriteInt32(m_pictureHeight);
            archive.WriteUInt32(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(m_displayScale)));
            archive.WriteUInt32(
                static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(m_displayScale) >> 32));
        }
        return;
    }
    m_range.left = archive.ReadInt32();
    m_range.top = archive.ReadInt32();
    m_range.right = archive.ReadInt32();
    m_range.bottom = archive.ReadInt32();
    m_rotation = archive.ReadInt32();
    m_placement = archive.ReadInt32();
    m_mode = archive.ReadInt32();
    std::string name;
    if (!archive.ReadString(name))
        throw CArchiveException("image file name missing");
    m_fileName = name;
    if (!m_fileName.empty()) {
        std::string clip;
        if (!archive.ReadString(clip))
            throw CArchiveException("clipboard file name missing");
        if (!clip.empty() && !(m_workingFile.MakeFresh() && CopyFileWritable(clip, m_workingFile.Path())))
            throw CArchiveException("working copy not read");
        m_images[0].Serialize(archive);
        ReleaseTurnedImages();
        m_pictureWidth = archive.ReadInt32();
        m_pictureHeight = archive.ReadInt32();
        const std::uint64_t low = archive.ReadUInt32();
        const std::uint64_t high = archive.ReadUInt32();
        m_displayScale = std::bit_cast<double>(low | (high << 32));
    } else {
        m_workingFile.Reset();
        m_pictureWidth = 0;
        m_pictureHeight = 0;
        m_displayScale = 1.0;
        LoadPlaceholders();
    }
}

CImageFrameItem* CImageFrameItem::CopyFrom(const CImageFrameItem& other)
{
    CLayoutItem::CopyFrom(other);
    if (this == &other)
        return this;
    RECT range;
    other.GetImageRange(&range);
    SetImageRange(range);
    SetImageRotation(other.GetImageRotation());
    SetImagePlacement(other.GetImagePlacement());
    SetImageMode(other.GetImageMode());
    SetImageFileName(other.GetImageFileName());
    const std::string otherWorking = other.GetImageFileName2();
    m_carried.Forget();
    if (!otherWorking.empty()) {
        if (m_workingFile.MakeFresh() && CopyFileWritable(otherWorking, m_workingFile.Path()))
            m_carried = other.m_carried.CopiedTo(other.m_workingFile, m_workingFile);
    } else {
        m_workingFile.Reset();
    }
    for (int i = 0; i < 4; ++i) {
        if (other.m_images[i].IsValid())
            m_images[i].CopyFrom(&other.m_images[i]);
        else
            m_images[i].Release();
    }
    m_pictureWidth = other.m_pictureWidth;
    m_pictureHeight = other.m_pictureHeight;
    m_displayScale = other.m_displayScale;
    return this;
}
