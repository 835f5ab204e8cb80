#include "Layout/InsertImageFrameItem.h"

#include "Core/Geometry.h"
#include "Core/LocalizeScript.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/PictureOrientation.h"
#include "Layout/LayoutServices.h"
#include "Layout/MacroStringItem.h"
#include "Platform/Archive.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

enum CameraPlaceholderId : int {
    PlaceholderCameraLandscape = 521,
    PlaceholderCameraPortrait = 522,
};

constexpr COLORREF kBottomEdgeColor = 0x0000FF;
constexpr COLORREF kEdgeColor = 0xFF0000;
constexpr int kEdgeWidth = 4;

bool HasJpegExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".jpg" || extension == ".jpeg";
}

// The rotation a camera layout keeps for a stored one on a page of orientation o.
int CameraRotation(int stored, int orientation)
{
    if (orientation == 1)
        return stored == 1 ? 3 : 0;
    return stored == 3 ? 1 : 0;
}

} // namespace

CInsertImageFrameItem::CInsertImageFrameItem()
{
    SetLimits(160, 160, 4095, 4095, 80.0);
    CInsertImageFrameItem::LoadImage(std::string());
}

void CInsertImageFrameItem::LoadPlaceholders()
{
    if (IsActiveDocumentDSCLayout()) {
        GetImageBuffer2()->Release();
        GetImageBuffer3()->Release();
        GetImageBuffer4()->Release();
        GetImageBuffer1()->LoadBitmapResource(
            GetActiveDocumentOrientation() == 1 ? PlaceholderCameraLandscape : PlaceholderCameraPortrait);
        return;
    }
    LoadStandardPlaceholders();
}

int CInsertImageFrameItem::LoadImage(const std::string& path)
{
    if (!path.empty())
        return CImageFrameItem::LoadImage(path);
    CImageFrameItem::LoadImage(path);
    SetImageFileName(std::string());
    SetImageFileName2(std::string());
    SetImageRange(RECT{});
    LoadPlaceholders();
    return ImageLoadOk;
}

bool CInsertImageFrameItem::ExportImage(const std::string& path, const std::uint8_t* pixels, int width,
                                        int height)
{
    if (!WorkingFile().MakeFresh())
        return false;
    bool written = false;
    // A JPEG that records an orientation is stored upright from its pixels, so
    // that nothing reading the layout's picture turns it a second time.
    if (HasJpegExtension(path) && JpegFileOrientation(path) == kUprightOrientation) {
        written = CopyFileWritable(path, WorkingFile().Path());
    } else {
        written = CJpegFile().WriteBuffer(WorkingFile().Path(), pixels, nullptr, width, height) == 0;
    }
    if (!written)
        WorkingFile().Reset();
    return written;
}

void CInsertImageFrameItem::Serialize(CArchive& archive)
{
    CImageFrameItem::Serialize(archive);
    if (archive.IsStoring()) {
        archive.WriteInt32(m_frameNumber);
        // Links and switches are not carried: the texts are relinked by their owner.
        for (int i = 0; i < 10; ++i)
            archive.WriteInt32(0);
        archive.WriteInt32(m_aspectKind);
        return;
    }
    m_frameNumber = archive.ReadInt32();
    for (int i = 0; i < 3; ++i) {
        archive.ReadInt32();
        m_linked[i] = nullptr;
    }
    m_infoOption = archive.ReadInt32();
    m_showExposure = archive.ReadInt32();
    m_showFNumber = archive.ReadInt32();
    m_showISO = archive.ReadInt32();
    m_showCamera = archive.ReadInt32();
    m_showFlash = archive.ReadInt32();
    m_showFullPath = archive.ReadInt32();
    m_infoFontKey.clear();
    m_infoFontName.clear();
    m_infoFontSize = 0;
    m_infoTextColor = 0;
    m_aspectKind = archive.ReadInt32();
    if (IsActiveDocumentDSCLayout()) {
        SetImagePlacement(0);
        SetImageRotation(CameraRotation(GetImageRotation(), GetActiveDocumentOrientation()));
    }
}

bool CInsertImageFrameItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    if (!MayDraw(force) || !canvas || !canvas->IsValid())
        return false;
    RECT d;
    GetScaledRect(&d, scale);
    d = item_draw::MoveToOrigin(d, origin);
    if (item_draw::IsEmptyRect(item_draw::ClipToCanvas(d, canvas)))
        return false;
    DrawPicture(canvas, scale, origin, GetImageRotation(), false);
    if (IsActiveDocumentDSCLayout() || force)
        return true;

    char number[16];
    std::snprintf(number, sizeof number, "%d", m_frameNumber);
    CImageDC* dc = canvas->GetDC();
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    RECT textRect = d;
    dc->DrawText(number, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SetBkMode(oldMode);

    const int L = d.left;
    const int T = d.top;
    const int R = d.right - 1;
    const int B = d.bottom - 1;
    struct Edge
    {
        int x1, y1, x2, y2;
    };
    const Edge edges[4] = {
        {L, B, R, B}, {L, T, L, B}, {L, T, R, T}, {R, T, R, B}}; // bottom, left, top, right
    int red = 0;
    switch (GetImageRotation()) {
    case 1:
        red = 1;
        break;
    case 2:
        red = 2;
        break;
    case 3:
        red = 3;
        break;
    default:
        break;
    }
    for (int i = 0; i < 4; ++i)
        if (i != red)
            canvas->DrawLine(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2, kEdgeWidth, kEdgeColor,
                             PS_SOLID);
    canvas->DrawLine(edges[red].x1, edges[red].y1, edges[red].x2, edges[red].y2, kEdgeWidth, kBottomEdgeColor,
                     PS_SOLID);
    return true;
}

void CInsertImageFrameItem::DrawSelection(CImage* canvas, const POINT* origin)
{
    static constexpr int all[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    DrawSelectionFrame(canvas, origin, true, all, IsActiveDocumentDSCLayout() ? 0 : 8);
}

int CInsertImageFrameItem::HitTest(POINT point)
{
    if (!IsActiveDocumentDSCLayout())
        return CImageFrameItem::HitTest(point);
    RECT r;
    GetScaledRect(&r, GetScale());
    return HitWidened(point, r) ? 1 : 0;
}

void CInsertImageFrameItem::SetSelected(bool selected)
{
    CImageFrameItem::SetSelected(selected);
    for (CMacroStringItem* text : m_linked)
        if (text)
            text->SetSelected(selected);
}

void CInsertImageFrameItem::SetVisible(bool visible)
{
    CImageFrameItem::SetVisible(visible);
    for (CMacroStringItem* text : m_linked)
        if (text)
            text->SetVisible(visible);
}

void CInsertImageFrameItem::SetImagePlacement(int placement)
{
    CImageFrameItem::SetImagePlacement(placement == 2 ? 0 : placement);
}

void CInsertImageFrameItem::Rotate(bool clockwise)
{
    CImageFrameItem::Rotate(clockwise);
    switch (m_aspectKind) {
    case Aspect2x3:
        m_aspectKind = Aspect3x2;
        break;
    case Aspect3x2:
        m_aspectKind = Aspect2x3;
        break;
    case Aspect4x3:
        m_aspectKind = Aspect3x4;
        break;
    case Aspect3x4:
        m_aspectKind = Aspect4x3;
        break;
    default:
        break;
    }
}

int CInsertImageFrameItem::GetEffectiveRotation() const
{
    const int r = GetImageRotation();
    if (GetOrientation() == 1 && r >= 0 && r <= 3)
        return (r + 1) % 4;
    return r;
}

void CInsertImageFrameItem::ApplyInfoFontKey(const std::string& key)
{
    m_infoFontKey = key;
    std::string face;
    if (!CLocalizeScript(GetLayoutLocalizeIniPath()).GetDrawStringFont(key, face) || face.empty())
        face = key;
    m_infoFontName = face;
}

void CInsertImageFrameItem::ApplyInfoFontFace(const std::string& face)
{
    m_infoFontName = face;
    const CLocalizeScript script(GetLayoutLocalizeIniPath());
    const auto names = [&script, &face](const std::string& key) {
        std::string named;
        return !key.empty() && script.GetDrawStringFont(key, named) && named == face;
    };
    if (names(m_infoFontKey))
        return;
    for (const char* key : kInfoFontKeys)
        if (names(key)) {
            m_infoFontKey = key;
            return;
        }
}

CInsertImageFrameItem* CInsertImageFrameItem::CopyFrom(const CInsertImageFrameItem& other)
{
    CImageFrameItem::CopyFrom(other);
    SetFrameNumber(other.GetFrameNumber());
    SetLinkedText1(other.GetLinkedText1());
    SetLinkedText2(other.GetLinkedText2());
    SetLinkedText3(other.GetLinkedText3());
    SetShowExposureTime(other.ShowsExposureTime());
    SetShowFNumber(other.ShowsFNumber());
    SetShowISO(other.ShowsISO());
    SetShowCameraName(other.ShowsCameraName());
    SetShowFlash(other.ShowsFlash());
    SetShowFullPath(other.ShowsFullPath());
    SetInfoFontKey(other.GetInfoFontKey());
    SetInfoFontName(other.GetInfoFontName());
    SetInfoFontSize(other.GetInfoFontSize());
    SetInfoTextColor(other.GetInfoTextColor());
    return this;
}

bool CInsertImageFrameItem::RemoveLinkedTexts(LayoutItemList* list)
{
    if (!list)
        return false;
    for (CMacroStringItem*& text : m_linked) {
        if (!text)
            continue;
        const auto found =
            std::find_if(list->begin(), list->end(),
                         [text](const std::unique_ptr<CLayoutItem>& item) { return item.get() == text; });
        if (found != list->end()) {
            list->erase(found);
            text = nullptr;
        }
    }
    return true;
}

void CInsertImageFrameItem::GetAspectRatio(int* width, int* height) const
{
    if (!width || !height)
        return;
    switch (m_aspectKind) {
    case Aspect2x3:
        *width = 2;
        *height = 3;
        break;
    case Aspect3x2:
        *width = 3;
        *height = 2;
        break;
    case Aspect4x3:
        *width = 4;
        *height = 3;
        break;
    case Aspect3x4:
        *width = 3;
        *height = 4;
        break;
    default:
        break;
    }
}

void CInsertImageFrameItem::FitRectToAspect()
{
    if (m_aspectKind < Aspect2x3 || m_aspectKind > Aspect3x4)
        return;
    int w = 0;
    int h = 0;
    GetAspectRatio(&w, &h);
    RECT r;
    GetRect(&r, false);
    Rect rect{r.left, r.top, r.right, r.bottom};
    AdjustRectToAspect(rect, w, h, 0, 0);
    SetRect(RECT{rect.left, rect.top, rect.right, rect.bottom});
}
