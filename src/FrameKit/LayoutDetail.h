#pragma once

#include "FrameKit/DrawObjects.h"
#include "FrameKit/FileUtil.h"
#include "FrameKit/ValueChecks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZAVDocuments;
class ZAVParser;

// The [HEADER] values of an opened layout and its item counts.
struct LayoutHeaderRecord
{
    std::int32_t insertFrameCount = 0;
    std::int32_t insertPictureCount = 0;
    std::int32_t fixedPictureCount = 0;
    std::int32_t lineCount = 0;
    std::int32_t stringCount = 0;
    std::int32_t itemCount = 0;
    std::uint8_t hasEffPicture = 0;
    std::uint8_t hasOpenHeight = 0;
    std::uint8_t duplicateFrameNumber = 0;
    std::uint8_t revisionMajor = 0;
    std::uint8_t revisionMinor = 0;
    char author[129] = {};
    char copyright[129] = {};
    std::uint8_t copyFlag = 0;
    std::uint8_t changeFlag = 0;
    char keyword[129] = {};
    char title[129] = {};
    char comment[129] = {};
    std::uint8_t direction = 0; // 0 "Vertical", 1 "Horizontal"
    char soundPath[kZavPathSize] = {};
    std::int32_t capacity = 0;
    char thumbnailPath[kZavPathSize] = {};
    char paperName[65] = {};
    std::int32_t paperLength = 0;
    std::int32_t paperWidth = 0;
    double resolution = 0.0;
    std::int32_t margins[4] = {};
    std::int32_t rollPaperLength = 0;
    char application[257] = {};
};

// What GetItem hands out. "T1"/"T0" fields are the geometry converted to
// targets 1 and 0; the detail leaves them zero, the reader fills them.
struct ZavPictureRecord
{
    std::int32_t frameNumber = 0;
    ZavRect rect;
    ZavRect rectT1, rectT0;
    std::uint8_t codes[3] = {};
    std::uint8_t codesT1[3] = {}, codesT0[3] = {};
    char filePath[kZavPathSize] = {};
    std::uint8_t openHeight = 0;
};

struct ZavLineRecord
{
    ZavRect rect;
    ZavRect rectT1, rectT0;
    std::int32_t width = 0;
    std::int32_t widthT1 = 0, widthT0 = 0;
    std::uint8_t color[3] = {};
};

struct ZavStringRecord
{
    char filePath[kZavPathSize] = {};
    std::int32_t frameNumber = 0;
    char text[64] = {};
    ZavRect rect;
    ZavRect rectT1, rectT0;
    double scaleT1 = 0.0, scaleT0 = 0.0;
    std::uint8_t rotation = 0;
    std::uint8_t rotationT1 = 0, rotationT0 = 0;
    char fontName[32] = {};
    std::int32_t style = 0;
    std::uint8_t color[3] = {};
};

struct ZavItemRecord
{
    std::uint8_t kind = 0; // 0 picture, 1 line, 2 string
    ZavPictureRecord picture;
    ZavLineRecord line;
    ZavStringRecord string;
};

struct ZavInsertFrame
{
    ZavRect rect;
    std::int32_t frameNumber = 0;
    std::int32_t itemIndex = 0;
};

// One opened layout script: its header and its draw items in file order.
class ZAVLayoutDetail
{
public:
    explicit ZAVLayoutDetail(ZAVDocuments* owner);
    virtual ~ZAVLayoutDetail();
    ZAVLayoutDetail(const ZAVLayoutDetail&) = delete;
    ZAVLayoutDetail& operator=(const ZAVLayoutDetail&) = delete;

    int Load(const char* path);
    int LoadText(const char* folder, std::int32_t length, const char* text);
    void Clear();
    int GetHeader(LayoutHeaderRecord* out) const;
    std::int32_t GetItemCount() const { return static_cast<std::int32_t>(m_items.size()); }
    int GetItem(std::int32_t index, ZavItemRecord* out) const;
    // Item index of the first insert frame with that order, or -1.
    std::int32_t FindInsertFrame(std::int32_t order) const;
    int GetInsertFrame(std::int32_t order, ZavInsertFrame* out) const;
    int GetFrameOrder(std::int32_t itemIndex, std::int32_t* order) const;
    int GetFileCodes(std::int32_t order, std::uint8_t out[3]) const;
    int GetCurrentCodes(std::int32_t order, std::uint8_t out[3]) const;
    int SetCodes(std::int32_t scope, std::int32_t order, const std::uint8_t codes[3]);
    int SetInsertFrameValue(std::int32_t order, std::int32_t value);
    int SetItemValue(std::int32_t itemIndex, std::int32_t value);
    std::int32_t GetItemValue(std::int32_t itemIndex, int* code) const;
    int GetItemFileName(std::int32_t itemIndex, char out[256]) const;
    void GetNames(char out[512]) const;
    int GetRawValue(const char* section, const char* key, std::int32_t index, char* buffer,
                    std::int32_t size);

    const char* GetThumbnailName() const { return m_thumbnailName; }
    const char* GetSoundName() const { return m_soundName; }

private:
    int Read(const std::string& folder, const std::string* text);
    int ReadPage(const ZAVParser& parser);
    int ReadHeader(const ZAVParser& parser);
    void Summarise();
    void NumberInsertFrames();
    std::string& Folder();
    ZAVPictureObject* Picture(std::int32_t itemIndex) const;

    ZAVDocuments* m_owner;
    std::string m_ownFolder; // used when no documents own this detail
    char m_path[kZavPathSize] = {};
    LayoutHeaderRecord m_header;
    std::vector<std::unique_ptr<ZAVDrawObject>> m_items;
    std::unique_ptr<ZAVParser> m_rawParser;
    std::string m_text; // a layout opened from text, for raw access
    char m_thumbnailName[256] = {};
    char m_soundName[256] = {};
};
