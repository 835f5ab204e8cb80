// CCtfFile: the camera thumbnail (".ctf") of a camera layout set: the page and
// a close-up of its photo frame, each with its mask, and the rectangles and
// flags a camera needs, packed into one JPEG stream whose APP7 segment carries
// everything but the page picture. The file is assembled in memory and written
// once, so a failed Make never leaves a partial file behind.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CLayoutManager;
class CInsertImageFrameItem;
class CRotate;

class CCtfFile
{
public:
    // Where the quarter turns come from; tests hand in a failing one.
    using RotateFactory = std::function<std::unique_ptr<CRotate>()>;

    static constexpr int kMaxQuality = 70;
    static constexpr int kMaxSegmentLength = 65535;

    CCtfFile();
    explicit CCtfFile(RotateFactory makeRotate);
    ~CCtfFile();
    CCtfFile(const CCtfFile&) = delete;
    CCtfFile& operator=(const CCtfFile&) = delete;

    // A quality above 70 is stored as 70.
    void Init(const CLayoutManager* layout, std::string targetPath, std::string frameImagePath, int quality);
    // 1 when the file is written; -1 when no quality of 10 or more brings the
    // segment under 65536 bytes; 0 for any other failure (no frame, a picture
    // that cannot be made, turned, drawn or encoded, a failed write).
    int Make();

    int GetStartQuality() const { return m_quality; }

private:
    // The values the APP7 segment carries besides the pictures.
    struct Fields
    {
        std::uint8_t portrait = 0;
        RECT pageRect{};
        RECT frameRect{};
        std::uint8_t photoInFront = 0;
        std::uint8_t photoOrientation = 0;
        std::uint8_t aspectClass = 0;
    };

    void Prepare(const CInsertImageFrameItem& frame);
    void ComposePage(const CInsertImageFrameItem& frame);
    void ComposeCloseUp(const CInsertImageFrameItem& frame);
    void DrawFrameImage(CImage& target, const RECT& clip, double scale, POINT origin,
                        const CInsertImageFrameItem& frame) const;
    void TurnLeft(CImage& picture) const;
    // The whole file into `bytes`: 1, or -1 when the quality runs out; other
    // failures throw.
    int Assemble(std::vector<std::uint8_t>& bytes) const;

    RotateFactory m_makeRotate;
    const CLayoutManager* m_layout = nullptr;
    std::string m_targetPath;
    std::string m_frameImagePath;
    int m_quality = kMaxQuality;

    CImage m_page;
    CImage m_closeUp;
    double m_pageScale = 0.0;
    RECT m_closeUpRect{};
    double m_closeUpScale = 0.0;
    bool m_drawsFrameImage = false;
    Fields m_fields;
};

// Whether a camera layout has anything for its frame image: a visible item that
// is neither a photo frame nor a macro string (those the camera fills in
// itself).
bool HasCameraDrawnContent(const CLayoutManager& layout);

// What a camera thumbnail of the layout is made from, as one digest: the
// paper and margins, the first photo frame and the items before it, and the
// frame image's bytes (empty when the layout has none). Empty without a
// photo frame.
std::string CtfSourceDigest(const CLayoutManager& layout, const std::vector<char>& frameImage);
