#pragma once

#include "FrameKit/FileUtil.h"
#include "FrameKit/ValueChecks.h"

#include <cstdint>
#include <string>

// One draw item of a layout's [PAGE] section; each kind parses its own line.
class ZAVDrawObject
{
public:
    virtual ~ZAVDrawObject() = default;
    virtual int GetKind() const { return -1; }
    virtual int Parse(const char* text, std::int32_t length)
    {
        (void)text;
        (void)length;
        return 0;
    }
};

// A picture: fixed (frame number 0) or an insert frame for a host photo.
// Relative names resolve against the folder given at construction.
class ZAVPictureObject : public ZAVDrawObject
{
public:
    explicit ZAVPictureObject(std::string folder) : m_folder(std::move(folder)) {}
    int GetKind() const override { return 0; }
    int Parse(const char* text, std::int32_t length) override;

    std::int32_t order = -1;
    std::int32_t frameNumber = 0;
    ZavRect rect;
    std::uint8_t codes[3] = {};
    char filePath[kZavPathSize] = {};
    std::uint8_t openHeight = 0;
    std::uint8_t currentCodes[3] = {};
    std::int32_t value = 0;
    std::uint8_t normaliseOnlyX = 0;
    std::uint8_t isFixed = 0;
    std::uint8_t isEff = 0;
    char fileName[256] = {};

private:
    void Reset();
    std::string m_folder;
};

class ZAVStringObject : public ZAVDrawObject
{
public:
    explicit ZAVStringObject(std::string folder) : m_folder(std::move(folder)) {}
    int GetKind() const override { return 2; }
    int Parse(const char* text, std::int32_t length) override;

    char filePath[kZavPathSize] = {};
    std::int32_t frameNumber = 0;
    char text[64] = {}; // at most 63 bytes, cut at a character boundary
    ZavRect rect;
    std::uint8_t rotation = 0;
    char fontName[32] = {}; // at most 31 bytes, likewise
    std::int32_t style = 0;
    std::uint8_t color[3] = {};

private:
    std::string m_folder;
};

class ZAVLineObject : public ZAVDrawObject
{
public:
    int GetKind() const override { return 1; }
    int Parse(const char* text, std::int32_t length) override;

    ZavRect rect;
    std::int32_t width = 0;
    std::uint8_t color[3] = {};
};

// Copies at most maxBytes of src into dst (maxBytes + 1 bytes), cut at a
// character boundary and terminated.
void ZavCopyAtBoundary(char* dst, const char* src, std::size_t srcLength, std::size_t maxBytes);
