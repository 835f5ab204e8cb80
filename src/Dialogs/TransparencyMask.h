// The picture the transparency editor works on: its 32-bit pixels and 8-bit
// mask turned the way the item shows the picture (mask rows bottom-up, padded
// to 4 bytes), the one-step undo copy, and the commit of the edited mask into
// the item and its working file. Failures throw enumErrorID (1 reported,
// -1 silent).
#pragma once

#include "ImageProcessing/ImageFile.h"
#include "Platform/WaitFeedback.h"

#include <cstdint>
#include <string>

class CImageFrameItem;

// Shows the wait cursor for a scope, also when it is left by an exception.
class TransparencyWaitScope
{
public:
    explicit TransparencyWaitScope(IWaitFeedback* feedback);
    ~TransparencyWaitScope();
    TransparencyWaitScope(const TransparencyWaitScope&) = delete;
    TransparencyWaitScope& operator=(const TransparencyWaitScope&) = delete;

private:
    IWaitFeedback* m_feedback;
};

class CTransparencyMask
{
public:
    // The wait feedback (not owned; null shows none).
    void SetWaitFeedback(IWaitFeedback* feedback) { m_wait = feedback; }

    void Reset();
    // The rotation the item shows its picture at: its own, or for the
    // automatic one the turn chosen from its frame and range (or loaded image).
    static int ResolveRotation(const CImageFrameItem& item);
    // Reads the item's working file and turns it: -1 for an item without one,
    // 1 for a file that cannot be read.
    void Load(const CImageFrameItem& item);
    // The same from a 32-bit bitmap at a rotation 0..3.
    void LoadFile(const std::string& path, int rotation);

    bool IsLoaded() const { return m_pixels != nullptr; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetStride() const { return m_stride; }
    int GetRotation() const { return m_rotation; }
    const std::uint8_t* GetPixels() const { return m_pixels.get(); }
    std::uint8_t* GetMask() { return m_mask.get(); }
    const std::uint8_t* GetMask() const { return m_mask.get(); }
    const std::uint8_t* GetUndoMask() const { return m_undo.get(); }

    int SaveUndo();
    int SwapUndo();

    // Writes the mask into the item: the working file first (replaced whole,
    // or not at all), then the masks of the item's pictures. A failure throws
    // 1 and leaves the item and its file as they were.
    int CommitToItem(CImageFrameItem& item);

private:
    std::size_t MaskBytes() const { return static_cast<std::size_t>(m_stride) * m_height; }

    PageBuffer m_pixels;
    PageBuffer m_mask;
    PageBuffer m_undo;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_rotation = 0;
    IWaitFeedback* m_wait = nullptr;
};

// Turns a bottom-up buffer of `bytesPerPixel` (4 or 1) packed pixels by the
// rotation (1: a quarter turn in direction 1; 2: two; 3: one in direction 0),
// or back from it when `back` is set. Width and height follow the turns.
// Throws -1 when a turn fails, 1 when memory is short.
PageBuffer TurnPlane(PageBuffer source, int bytesPerPixel, int* width, int* height, int rotation, bool back);
