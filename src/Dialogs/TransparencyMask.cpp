#include "Dialogs/TransparencyMask.h"

#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "Core/MemoryBlock.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/PixelConversion.h"
#include "Layout/ImageFrameItem.h"

#include <cstring>
#include <utility>
#include <vector>

TransparencyWaitScope::TransparencyWaitScope(IWaitFeedback* feedback) : m_feedback(feedback)
{
    if (m_feedback)
        m_feedback->BeginWait();
}

TransparencyWaitScope::~TransparencyWaitScope()
{
    if (m_feedback)
        m_feedback->EndWait();
}

PageBuffer TurnPlane(PageBuffer source, int bytesPerPixel, int* width, int* height, int rotation, bool back)
{
    std::vector<int> turns;
    switch (rotation) {
    case 1:
        turns = {back ? 0 : 1};
        break;
    case 2:
        turns = {1, 1};
        break;
    case 3:
        turns = {back ? 1 : 0};
        break;
    default:
        break;
    }
    for (const int direction : turns) {
        const int w = *width;
        const int h = *height;
        PageBuffer turned =
            AllocPageBuffer(static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * bytesPerPixel);
        NullCheck(turned.get(), ErrorIdReported);
        CRotate turn;
        if (bytesPerPixel == 4)
            turn.ExecuteOnBuffers(direction, source.get(), w, h, turned.get(), h, w);
        else
            turn.ExecuteOnFormattedBuffers(direction, source.get(), w, h, 1, turned.get(), h, w, 1);
        source = std::move(turned);
        std::swap(*width, *height);
    }
    return source;
}

void CTransparencyMask::Reset()
{
    m_pixels.reset();
    m_mask.reset();
    m_undo.reset();
    m_width = m_height = m_stride = m_rotation = 0;
}

int CTransparencyMask::ResolveRotation(const CImageFrameItem& item)
{
    const int rotation = item.GetImageRotation();
    if (rotation != CImageFrameItem::kAutomaticRotation)
        return (rotation >= 0 && rotation <= 3) ? rotation : 0;
    RECT range{};
    item.GetImageRange(&range);
    if (range.right - range.left <= 0 || range.bottom - range.top <= 0) {
        // The loaded picture answers for its size through the non-const item.
        auto& mutableItem = const_cast<CImageFrameItem&>(item);
        const CImage* loaded = mutableItem.GetImageBuffer1();
        range = RECT{0, 0, loaded->GetWidth(), loaded->GetHeight()};
    }
    const int chosen = item.ChooseRotation(rotation, range);
    return (chosen >= 0 && chosen <= 3) ? chosen : 0;
}

void CTransparencyMask::Load(const CImageFrameItem& item)
{
    Reset();
    const std::string path = item.GetImageFileName2();
    BoolCheck(!path.empty(), ErrorIdSilent);
    LoadFile(path, ResolveRotation(item));
}

void CTransparencyMask::LoadFile(const std::string& path, int rotation)
{
    Reset();
    std::uint8_t* raw = nullptr;
    SIZE size{};
    const int code = CBMPFile().ReadRaw32(path, &raw, &size);
    PageBuffer pixels(raw);
    BoolCheck(code == 0 && pixels && size.cx > 0 && size.cy > 0, ErrorIdReported);
    PageBuffer plane(ExtractAlphaPlane(pixels.get(), size.cx * 4, size.cy));
    NullCheck(plane.get(), ErrorIdReported);

    int width = size.cx;
    int height = size.cy;
    pixels = TurnPlane(std::move(pixels), 4, &width, &height, rotation, false);
    int planeWidth = size.cx;
    int planeHeight = size.cy;
    plane = TurnPlane(std::move(plane), 1, &planeWidth, &planeHeight, rotation, false);

    PageBuffer mask(AlignPlaneRows(plane.get(), width, height, 0));
    NullCheck(mask.get(), ErrorIdReported);
    const std::size_t bytes = static_cast<std::size_t>(AlignRowBytes(width)) * height;
    PageBuffer undo = AllocPageBuffer(bytes);
    NullCheck(undo.get(), ErrorIdReported);
    std::memcpy(undo.get(), mask.get(), bytes);

    m_pixels = std::move(pixels);
    m_mask = std::move(mask);
    m_undo = std::move(undo);
    m_width = width;
    m_height = height;
    m_stride = AlignRowBytes(width);
    m_rotation = rotation;
}

int CTransparencyMask::SaveUndo()
{
    TransparencyWaitScope wait(m_wait);
    if (m_mask && m_undo)
        std::memcpy(m_undo.get(), m_mask.get(), MaskBytes());
    return 1;
}

int CTransparencyMask::SwapUndo()
{
    TransparencyWaitScope wait(m_wait);
    if (!m_mask || !m_undo)
        return 1;
    CVirtualMemoryBlock row;
    BoolCheck(row.Alloc(static_cast<std::size_t>(m_stride)), ErrorIdReported);
    auto* spare = static_cast<std::uint8_t*>(row.GetData());
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* a = m_mask.get() + static_cast<std::size_t>(y) * m_stride;
        std::uint8_t* b = m_undo.get() + static_cast<std::size_t>(y) * m_stride;
        std::memcpy(spare, a, m_stride);
        std::memcpy(a, b, m_stride);
        std::memcpy(b, spare, m_stride);
    }
    return 1;
}

int CTransparencyMask::CommitToItem(CImageFrameItem& item)
{
    TransparencyWaitScope wait(m_wait);
    BoolCheck(IsLoaded(), ErrorIdReported);
    CImage* loaded = item.GetImageBuffer1();
    BoolCheck(loaded && loaded->IsValid() && loaded->GetBits() != nullptr, ErrorIdReported);
    const std::string path = item.GetImageFileName2();
    BoolCheck(!path.empty(), ErrorIdReported);

    // Everything is built aside first: nothing of the item changes before the
    // file has been replaced.
    PageBuffer packed(PadRowsToStride(m_mask.get(), m_width, m_height, 0));
    NullCheck(packed.get(), ErrorIdReported);
    int maskWidth = m_width;
    int maskHeight = m_height;
    PageBuffer storedMask = TurnPlane(std::move(packed), 1, &maskWidth, &maskHeight, m_rotation, true);

    const std::size_t pixelBytes = static_cast<std::size_t>(m_width) * m_height * 4;
    PageBuffer pixels = AllocPageBuffer(pixelBytes);
    NullCheck(pixels.get(), ErrorIdReported);
    std::memcpy(pixels.get(), m_pixels.get(), pixelBytes);
    int width = m_width;
    int height = m_height;
    pixels = TurnPlane(std::move(pixels), 4, &width, &height, m_rotation, true);
    // Both are packed now; each row is copied at its own stride.
    for (int y = 0; y < height; ++y) {
        std::uint8_t* to = pixels.get() + static_cast<std::size_t>(y) * width * 4;
        const std::uint8_t* from = storedMask.get() + static_cast<std::size_t>(y) * maskWidth;
        for (int x = 0; x < width; ++x)
            to[x * 4 + 3] = from[x];
    }

    // The shown picture's new mask, at its own (display) size.
    PageBuffer padded(AlignPlaneRows(storedMask.get(), maskWidth, maskHeight, 0));
    NullCheck(padded.get(), ErrorIdReported);
    CImage scaled;
    BoolCheck(scaled.Create(loaded->GetWidth(), loaded->GetHeight()) && scaled.CreateMask(), ErrorIdReported);
    BoolCheck(scaled.GetMask()->StretchGrayFrom(0, 0, loaded->GetWidth(), loaded->GetHeight(), 0, 0,
                                                maskWidth, maskHeight, maskWidth, maskHeight, padded.get(),
                                                SRCCOPY) > 0,
              ErrorIdReported);
    PageBuffer plane(scaled.GetMaskPlane());
    NullCheck(plane.get(), ErrorIdReported);
    CImage replacement;
    BoolCheck(replacement.CopyFrom(loaded), ErrorIdReported);
    if (!replacement.HasMask())
        BoolCheck(replacement.CreateMask(), ErrorIdReported);
    BoolCheck(replacement.SetMaskPlane(plane.get()) != 0, ErrorIdReported);

    BoolCheck(CBMPFile().WriteRaw32(path, pixels.get(), width, height) == 0, ErrorIdReported);
    item.WorkingCopyRewritten();

    // From here on nothing can fail.
    *loaded = std::move(replacement);
    item.GetImageBuffer2()->Release();
    item.GetImageBuffer3()->Release();
    item.GetImageBuffer4()->Release();
    return 1;
}
