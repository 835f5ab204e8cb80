#pragma once

#include <cstdint>

class ZAV_SDK;
class ZAVDocuments;

// One target coordinate system; also the parameter block of SetConversion,
// of which each kind reads only its own fields.
struct ZavConversion
{
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::uint8_t rotated = 0;
    std::uint8_t kind = 3; // 0 resolution, 1 scale, 2 size, 3 paper units
    double resolution = 360.0;
    double scale = 1.0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Converts an opened layout's geometry (1/360 inch) into targets 0 and 1.
class LocationChange
{
public:
    LocationChange(ZAV_SDK* owner, ZAVDocuments* documents, std::int32_t paperLength, std::int32_t paperWidth,
                   double paperResolution, const std::int32_t margins[4], bool rollPaper);
    virtual ~LocationChange() = default;

    virtual int SetConversion(std::int32_t t, const ZavConversion& p);
    virtual void GetConversion(std::int32_t t, ZavConversion* out) const;
    virtual void ConvertPoint(std::int32_t t, const std::int32_t in[2], std::int32_t out[2]) const;
    virtual int ConvertRect(std::int32_t t, const std::int32_t in[4], std::int32_t out[4]) const;
    virtual void ConvertCodes(std::int32_t t, const std::uint8_t in[3], std::uint8_t out[3]) const;
    virtual void RevertCodes(std::int32_t t, const std::uint8_t in[3], std::uint8_t out[3]) const;
    virtual void ConvertLength(std::int32_t t, std::int32_t value, std::int32_t* out) const;
    virtual double GetScale(std::int32_t t) const;
    virtual int RecordIndex(std::int32_t t) const { return t == 0 ? 0 : 1; }

    // Whether SetConversion can take p: the reader's checks, plus the ones
    // that keep the arithmetic sound (a size kind needs a paper dimension to
    // divide by; widths and heights must fit 32 bits).
    bool Accepts(const ZavConversion& p) const;
    bool IsRollPaper() const { return m_rollPaper != 0; }
    ZAV_SDK* GetOwner() const { return m_owner; }
    ZAVDocuments* GetDocuments() const { return m_documents; }
    double GetPaperResolution() const { return m_paperResolution; }

private:
    ZAV_SDK* m_owner;
    ZAVDocuments* m_documents;
    std::int32_t m_paperLength;
    std::int32_t m_paperWidth;
    std::int32_t m_margins[4];
    double m_paperResolution;
    ZavConversion m_records[2];
    std::uint8_t m_rollPaper;
};
