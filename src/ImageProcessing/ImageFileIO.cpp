// CImage's loading and saving by file kind, its building from a buffer with a
// mask, and its archiving through a temporary file.
#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/TargaFile.h"
#include "ImageProcessing/TiffFile.h"
#include "Platform/Archive.h"
#include "Platform/FileSystem.h"

#include <atomic>
#include <optional>
#include <string_view>

namespace {

std::atomic<IWaitFeedback*> g_waitFeedback{nullptr};

// Shows the wait cursor for a loader's whole run, on every path out of it.
class WaitCursorScope
{
public:
    WaitCursorScope() : m_feedback(g_waitFeedback.load())
    {
        if (m_feedback)
            m_feedback->BeginWait();
    }
    ~WaitCursorScope()
    {
        if (m_feedback)
            m_feedback->EndWait();
    }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    IWaitFeedback* m_feedback;
};

struct TableRow
{
    std::string_view extension;
    ImageFileKind kind;
};

// In the order the loaders test them.
constexpr TableRow kTable[] = {
    {".jpg", ImageFileKind::Jpeg},  {".jpeg", ImageFileKind::Jpeg}, {".bmp", ImageFileKind::Bmp},
    {".tif", ImageFileKind::Tiff},  {".tiff", ImageFileKind::Tiff}, {".eff", ImageFileKind::Eff},
    {".tga", ImageFileKind::Targa},
};

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

} // namespace

std::optional<ImageFileKind> ImageFileKindForLoad(const std::string& path, bool withTarga)
{
    const std::string extension = GetFileExtension(path);
    if (extension.size() < 4)
        return std::nullopt;
    for (const TableRow& row : kTable) {
        if (row.kind == ImageFileKind::Targa && !withTarga)
            continue;
        if (extension.size() >= row.extension.size() &&
            EqualsNoCase(std::string_view(extension).substr(0, row.extension.size()), row.extension))
            return row.kind;
    }
    return std::nullopt;
}

std::optional<ImageFileKind> ImageFileKindForBuffer(const std::string& path)
{
    const std::string extension = GetFileExtension(path);
    for (const TableRow& row : kTable)
        if (row.kind != ImageFileKind::Targa && EqualsNoCase(extension, row.extension))
            return row.kind;
    return std::nullopt;
}

void SetImageWaitFeedback(IWaitFeedback* feedback)
{
    g_waitFeedback.store(feedback);
}

std::unique_ptr<CImageFile> CreateImageFile(ImageFileKind kind)
{
    switch (kind) {
    case ImageFileKind::Bmp:
        return std::make_unique<CBMPFile>();
    case ImageFileKind::Tiff:
        return std::make_unique<CTiffFile>();
    case ImageFileKind::Targa:
        return std::make_unique<CTargaFile>();
    case ImageFileKind::Jpeg:
        return std::make_unique<CJpegFile>();
    case ImageFileKind::Eff:
        return std::make_unique<CEFFFile>();
    }
    return std::make_unique<CImageFile>();
}

// --- The loaders and savers of JPEG and EFF files --------------------------------

int CImage::LoadJpeg(std::string path)
{
    WaitCursorScope wait;
    Release();
    return CJpegFile().Read(std::move(path), this);
}

int CImage::LoadEffThumbnail(std::string path)
{
    WaitCursorScope wait;
    return CEFFFile().ReadThumbnail(std::move(path), 0, this, nullptr);
}

int CImage::LoadExifThumbnail(std::string path)
{
    return CJpegFile().ReadExifThumbnail(std::move(path), this);
}

int CImage::SaveAsJpeg(std::string path, int samplingMode, int quality)
{
    if (!IsValid())
        return ImageFileUnsupported;
    return CJpegFile().WriteImage(std::move(path), this, samplingMode, quality);
}

int CImage::SaveAsEff(std::string path, int samplingMode, int quality)
{
    if (!IsValid())
        return ImageFileUnsupported;
    return CEFFFile().WriteImage(std::move(path), this, samplingMode, quality);
}

// --- end of the loaders and savers of JPEG and EFF files --------------------------

int CImage::LoadFile(std::string path)
{
    WaitCursorScope wait;
    Release();
    const std::optional<ImageFileKind> kind = ImageFileKindForLoad(path, true);
    if (!kind)
        return ImageFileUnsupported;
    return CreateImageFile(*kind)->Read(std::move(path), this);
}

int CImage::LoadFileScaled(std::string path, int boxWidth, int boxHeight, SIZE* pictureSize, double* scale,
                           COLORREF background, int noEnlarge, const SIZE* maximum)
{
    WaitCursorScope wait;
    Release();
    const std::optional<ImageFileKind> kind = ImageFileKindForLoad(path, false);
    if (!kind)
        return ImageFileUnsupported;
    return CreateImageFile(*kind)->ReadScaled(std::move(path), this, boxWidth, boxHeight, pictureSize, scale,
                                              background, noEnlarge, maximum);
}

int LoadImageFileToBuffer(const std::string& path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                          const SIZE* maximum)
{
    const std::optional<ImageFileKind> kind = ImageFileKindForBuffer(path);
    if (!kind)
        return ImageFileUnsupported;
    return CreateImageFile(*kind)->ReadBuffer(path, pixels, plane, size, maximum);
}

int CImage::LoadBmpWithMask(std::string path)
{
    WaitCursorScope wait;
    Release();
    return CBMPFile().ReadWithMask(std::move(path), this);
}

int CImage::SaveAsBmp(std::string path)
{
    if (!IsValid())
        return ImageFileUnsupported;
    return CBMPFile().WriteWithMask(std::move(path), this);
}

int CImage::SetFromRgbaBuffer(const std::uint8_t* buffer, int width, int height, const SIZE* box,
                              double* scale, COLORREF background, int noEnlarge)
{
    try {
        NullCheck(buffer, 0);
        BoolCheck(IsUsablePictureSize(width, height), 0);
        PageBuffer plane(ExtractAlphaPlane(buffer, width * 4, height));
        if (!plane)
            throw static_cast<int>(ImageFileReadFailed);
        if (!box) {
            CanContinueOrThrow();
            if (!CreateBlack(width, height)) // every pixel is written next
                throw static_cast<int>(ImageFileDrawFailed);
            CanContinueOrThrow();
            if (SetBitsFromBuffer(0, height, 32, buffer) < 1)
                throw static_cast<int>(ImageFileDrawFailed);
            CanContinueOrThrow();
            if (!CreateMask())
                throw static_cast<int>(ImageFileDrawFailed);
            CanContinueOrThrow();
            SetMaskPlane(plane.get());
            return ImageFileOk;
        }
        BoolCheck(box->cx >= 1 && box->cy >= 1, 0);
        // Where the picture lands, and so where its mask goes; outside it the
        // mask stays opaque.
        Rect target{0, 0, width, height};
        if (noEnlarge && width <= box->cx && height <= box->cy) {
            if (!CreateBlack(width, height)) // every pixel is written next
                throw static_cast<int>(ImageFileDrawFailed);
            if (SetBitsFromBuffer(0, height, 32, buffer) < 1)
                throw static_cast<int>(ImageFileDrawFailed);
        } else {
            const Rect fitted = CalcAspectFitRect(width, height, box->cx, box->cy, true, scale);
            BoolCheck(!fitted.IsEmpty(), 0);
            if (noEnlarge) {
                target = {0, 0, fitted.Width(), fitted.Height()};
                if (!Create(target.right, target.bottom))
                    throw static_cast<int>(ImageFileDrawFailed);
            } else {
                target = fitted;
                if (!Create(box->cx, box->cy))
                    throw static_cast<int>(ImageFileDrawFailed);
                FillRectLTRB(0, 0, box->cx, box->cy, background);
            }
            if (StretchDIBitsFrom(target.left, target.top, target.Width(), target.Height(), 0, 0, width,
                                  height, 32, width, height, buffer, SRCCOPY) < 1)
                throw static_cast<int>(ImageFileDrawFailed);
        }
        CanContinueOrThrow();
        PageBuffer aligned(AlignPlaneRows(plane.get(), width, height, 0));
        if (!aligned)
            throw static_cast<int>(ImageFileReadFailed);
        CanContinueOrThrow();
        if (!CreateMask())
            throw static_cast<int>(ImageFileDrawFailed);
        CanContinueOrThrow();
        if (GetMask()->StretchGrayFrom(target.left, target.top, target.Width(), target.Height(), 0, 0, width,
                                       height, width, height, aligned.get(), SRCCOPY) < 1)
            throw static_cast<int>(ImageFileDrawFailed);
        return ImageFileOk;
    } catch (int code) {
        return code == 0 ? ImageFileCheckFailed : code;
    } catch (...) {
        return ImageFileReadFailed;
    }
}

void CImage::Serialize(CArchive& archive)
{
    // The archive carries only the path, so a picture that did not reach its
    // file (or does not come back from it) would vanish without a word.
    if (archive.IsStoring()) {
        const std::string path = GetTempClipFileName(true);
        if (path.empty())
            throw CArchiveException("no file for the picture");
        if (SaveAsBmp(path) != ImageFileOk) {
            DeletePlainFile(path);
            throw CArchiveException("picture not written");
        }
        archive.WriteString(path + "\n");
        return;
    }
    std::string path;
    if (!archive.ReadString(path))
        throw CArchiveException("picture file name missing");
    if (LoadBmpWithMask(path) != ImageFileOk)
        throw CArchiveException("picture not read");
}
