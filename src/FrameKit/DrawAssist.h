#pragma once

#include "FrameKit/LayoutDetail.h"
#include "FrameKit/LocationChange.h"
#include "FrameKit/PhotoInfo.h"

#include <cstdint>
#include <vector>

class ZAV_SDK;
class ZAVDocuments;

// One photo the host gives for a frame; entry n - 1 belongs to frame number n.
struct ZavPhotoEntry
{
    std::uint8_t kind = 1; // 0: a photo is given; anything else: no photo
    char path[kZavPathSize] = {};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t rotation = 0; // quarter turns
};

struct ZavBandRecord
{
    std::int32_t start = 0;
    std::int32_t bandHeight = 0;
    std::int32_t minimumBand = 0;
};

// Rows of the band being drawn, in the target's coordinates.
struct ZavBandLimits
{
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

struct ZavPlacementRecord
{
    std::int32_t photoWidth = 0;
    std::int32_t photoHeight = 0;
    std::uint8_t fitMode = 0;                    // 0 photo size, 1 shrink only, 2 enlarge only, 3 computed
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0; // the frame
    std::uint8_t rotation = 0;
    std::uint8_t scaling = 0; // 0 fit inside, 1 fill, 2 stretch
    std::uint8_t anchor = 0;
};

struct ZavPlacement
{
    std::int32_t width = 0; // the photo's size after fitting, in its own orientation
    std::int32_t height = 0;
    std::uint8_t heightDerived = 0; // 1 when the height followed from the width
    ZavRect visible;                // the part of the fitted photo that shows, in frame orientation, from 0
    ZavRect place;                  // where that part lies, in frame coordinates
};

struct ZavExtent
{
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The host's drawing device. A non-zero answer ends the drawing with it.
class ZavDrawTarget
{
public:
    virtual ~ZavDrawTarget() = default;
    // Whole page.
    virtual int DrawPicture(void* context, const ZavPhotoEntry* photo, const ZavPictureRecord& picture,
                            const ZavRect& frame) = 0;
    virtual int DrawLine(void* context, const ZavLineRecord& line) = 0;
    virtual int DrawString(void* context, const ZavStringRecord& text) = 0;
    // Band by band.
    virtual int DrawPictureInBand(void* context, const ZavPhotoEntry* photo, const ZavPictureRecord& picture,
                                  const ZavRect& frame, const ZavBandLimits& band) = 0;
    virtual int DrawLineInBand(void* context, const ZavLineRecord& line, const ZavBandLimits& band) = 0;
    virtual int DrawStringInBand(void* context, const ZavStringRecord& text, const ZavBandLimits& band) = 0;
    virtual int StartSubBand(void* context, const ZavRect& rect) = 0;
    virtual int EndSubBand(void* context, const ZavRect& rect, std::int32_t* shift) = 0;
    virtual int StartBand(void* context, const ZavRect& rect) = 0;
    virtual int EndBand(void* context, const ZavRect& rect, std::int32_t* shift) = 0;
};

// Splits a page of length L into bands of at most H and at least M; 6100 when
// it cannot. When no remainder split of the earlier rules fits, every band takes
// L / n and the last two share what is left, the larger half going to the last,
// so that the bands always add up to L.
int ZavSplitBands(std::int32_t length, std::int32_t bandHeight, std::int32_t minimum,
                  std::vector<std::int32_t>* bands);

// Weekday 0 (Sunday) to 6 of a date in the years 1900 to 9999; -1 outside.
int ZavWeekday(int year, int month, int day);

// True when text is a date of the Exif form "YYYY:MM:DD HH:MM:SS".
bool ZavIsExifDate(const char* text);

class DrawAssist
{
public:
    DrawAssist(ZAV_SDK* owner, ZAVDocuments* documents);
    virtual ~DrawAssist() = default;

    virtual int SetDrawTarget(ZavDrawTarget* target);
    virtual int GetPageExtent(ZavExtent* out, std::int32_t target, std::int32_t photoCount,
                              const ZavPhotoEntry* photos);
    virtual int DrawLayout(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context);
    virtual int DrawLayoutInBands(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context,
                                  const ZavBandRecord& bands);
    virtual int PlacePicture(const ZavPlacementRecord& record, ZavPlacement* out);
    virtual std::uint8_t IsDrawing() const { return m_drawing; }

    // Fills the macros of a string item's text; 6201 when it does not fit.
    int ExpandMacros(char* out, std::int32_t outSize, const char* text, const ZavPhotoEntry* photo,
                     std::int32_t number);

private:
    struct PhotoDate
    {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = -1;
    };
    int Prepare(std::int32_t target);
    int DrawItems(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context,
                  const ZavBandLimits* band);
    void FitOpenHeight(ZavRect& rect, std::uint8_t frameRotation, const ZavPhotoEntry& photo) const;
    void LoadPhoto(const ZavPhotoEntry* photo);

    ZAV_SDK* m_owner;
    ZAVDocuments* m_documents;
    ZavDrawTarget* m_target = nullptr;
    LayoutHeaderRecord m_header;
    ZavConversion m_conversion;
    std::uint8_t m_drawing = 0;
    // The photo of the expansion under way.
    PhotoDate m_date;
    bool m_dateValid = false;
    ZAVPhotoInfo m_info{};
    bool m_infoValid = false;
};
