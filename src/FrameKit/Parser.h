#pragma once

#include "FrameKit/FileUtil.h"
#include "FrameKit/Section.h"

#include <cstddef>
#include <memory>
#include <vector>

// Section/key text reader of layout scripts and set indexes (Shift-JIS aware).
class ZAVParser
{
public:
    ZAVParser();
    explicit ZAVParser(const char* path);
    virtual ~ZAVParser() = default;

    int Parse(const char* stopSection);
    int ParseMemory(const char* bytes, std::size_t count, const char* stopSection);
    const ZAV_Section* FindSection(const char* name) const;
    bool GetValue(const char* section, const char* key, char* out, int outSize, int occurrence,
                  bool unquote) const;
    bool GetCallLine(const char* section, int index, char* out, int outSize, int* kind) const;
    int SectionCount() const { return static_cast<int>(m_sections.size()); }

    int GetRevisionMajor(unsigned char* major) const;
    int GetRevisionMinor(unsigned char* minor) const;
    // "Vertical" 0, "Horizontal" 1, as the editor's writer stores them.
    int GetDirection(int* direction) const;
    int GetMargins(int* top, int* second, int* third, int* fourth) const;

protected:
    int ParseLines(const char* bytes, std::size_t count, const char* stopSection);

    ZAVPath m_path;
    std::vector<std::unique_ptr<ZAV_Section>> m_sections;
};

// Integer part and fractional digits of a value such as "1.10".
bool ZavIntegerPart(const char* value, int* result);
bool ZavFractionDigits(const char* value, int* result);
