#pragma once

#include "FrameKit/DrawAssist.h"
#include "FrameKit/FileUtil.h"
#include "FrameKit/LayoutDetail.h"
#include "FrameKit/LayoutSearch.h"
#include "FrameKit/LocationChange.h"

#include <cstdint>
#include <memory>

class ZAVDocuments;

struct ZavInsertFrameInfo
{
    std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int32_t frameNumber = 0;
    std::int32_t itemIndex = 0;
};

// The kit's reader of layout scripts: searches a folder, opens one layout,
// hands out its header and items converted to the host's coordinates. Every
// operation returns a PackageErrorCode and lets no exception out.
class ZAV_SDK
{
public:
    ZAV_SDK();
    virtual ~ZAV_SDK();
    ZAV_SDK(const ZAV_SDK&) = delete;
    ZAV_SDK& operator=(const ZAV_SDK&) = delete;

    virtual int SearchLayouts(std::int32_t* count, std::int32_t paperCode, std::int32_t marginMode,
                              const char* folder, std::uint8_t subfolders);
    virtual int GetSearchResult(std::int32_t index, ZavSearchResult* out);
    virtual int GetSearchResultCount(std::int32_t* count);
    virtual int GetSearchCondition(std::int32_t* paperCode, std::int32_t* marginMode,
                                   char folder[kZavPathSize], std::uint8_t* subfolders);
    virtual int OpenLayout(const char* path);
    virtual int OpenSearchResult(std::int32_t index);
    virtual int GetLayoutHeader(LayoutHeaderRecord* out);
    virtual int GetInsertFrame(std::int32_t order, ZavInsertFrameInfo* out);
    virtual int GetItem(std::int32_t index, ZavItemRecord* out);
    virtual int GetRawValue(const char* section, const char* key, std::int32_t index, char* buffer,
                            std::int32_t size);
    virtual int GetInsertFrameFileCodes(std::int32_t order, std::uint8_t out[3]);
    virtual int GetInsertFrameCodes(std::int32_t order, std::uint8_t out[3]);
    virtual int SetInsertFrameCodes(std::int32_t scope, std::int32_t order, const std::uint8_t codes[3]);
    virtual int SetConversion(std::int32_t target, const ZavConversion* parameters);
    virtual int GetConversion(std::int32_t target, ZavConversion* out);
    virtual int GetPageExtent(ZavExtent* out, std::int32_t target, std::int32_t photoCount,
                              const ZavPhotoEntry* photos);
    virtual int SetDrawTarget(ZavDrawTarget* target);
    virtual int DrawLayout(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context);
    virtual int DrawLayoutInBands(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context,
                                  const ZavBandRecord* bands);
    virtual int SetInsertFrameValue(std::int32_t order, std::int32_t value);
    virtual int PlacePicture(const ZavPlacementRecord* record, ZavPlacement* out);
    virtual int CheckBusy(std::int32_t ignored);
    virtual int IsBusy();

protected:
    // After every successful open: a fresh conversion for the new layout.
    int AttachLocationChange();
    bool Busy() const { return m_drawing; }
    ZAVDocuments& Documents() { return *m_documents; }

    std::unique_ptr<ZAVDocuments> m_documents;
    // Set while the drawing assistance draws, so that callbacks from the
    // drawing target cannot open, search, set codes or draw again.
    bool m_drawing = false;

private:
    template <typename Read> int ConvertedFrameCodes(std::int32_t order, std::uint8_t out[3], Read read);
    LocationChange* Location() const;
    bool HasSearch() const;
};

// The reader as the package analysis uses it: layouts held as text, and the
// references of a layout as written.
class ZAV_SDK_PACK : public ZAV_SDK
{
public:
    virtual int OpenLayoutText(const char* folder, std::int32_t length, const char* text);

    void GetThumbnailName(char out[256]);
    void GetSoundName(char out[256]);
    int GetItemFileName(std::int32_t itemIndex, char out[256]);
};
