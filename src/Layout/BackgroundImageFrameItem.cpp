#include "Layout/BackgroundImageFrameItem.h"

#include "Core/PictureLimits.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/ImageFile.h"
#include "Platform/Archive.h"

CBackgroundImageFrameItem::CBackgroundImageFrameItem()
{
    SetLimits(kMinPictureSide, kMinPictureSide, kMaxPictureSide, kMaxPictureSide, -1.0);
    CImageFrameItem::SetImagePlacement(0);
}

void CBackgroundImageFrameItem::Serialize(CArchive& archive)
{
    CImageFrameItem::Serialize(archive);
    if (archive.IsStoring())
        archive.WriteInt32(m_aspectFixed);
    else
        m_aspectFixed = archive.ReadInt32();
}

bool CBackgroundImageFrameItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    return CImageFrameItem::Draw(canvas, scale, origin, force);
}

void CBackgroundImageFrameItem::SetImagePlacement(int /*placement*/)
{
    CImageFrameItem::SetImagePlacement(0);
}

int CBackgroundImageFrameItem::LoadImage(const std::string& path)
{
    return CImageFrameItem::LoadImage(path);
}

bool CBackgroundImageFrameItem::ExportImage(const std::string& path, const std::uint8_t* pixels, int width,
                                            int height)
{
    if (!WorkingFile().MakeFresh())
        return false;
    if (CBMPFile().WriteRaw32(WorkingFile().Path(), pixels, width, height) != 0) {
        WorkingFile().Reset();
        return false;
    }
    // An EFF file is the form a layout stores a background in, and the working
    // copy holds exactly its pixels and mask: a save can take its bytes.
    if (ImageFileKindForBuffer(path) == ImageFileKind::Eff)
        CarriedPicture().Remember(WorkingFile());
    return true;
}

CBackgroundImageFrameItem* CBackgroundImageFrameItem::CopyFrom(const CBackgroundImageFrameItem& other)
{
    CImageFrameItem::CopyFrom(other);
    SetAspectFixed(other.IsAspectFixed());
    return this;
}
