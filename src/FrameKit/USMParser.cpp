#include "FrameKit/USMParser.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/ValueChecks.h"

#include <cstring>

namespace {

constexpr int kValueSize = 513;
constexpr int kNameSize = 256;

int DecimalValue(const char* text)
{
    return ZavDecimal(text);
}

} // namespace

int USMParser::GetClassificationMajor(unsigned char* major) const
{
    char v[kValueSize];
    int n = 0;
    if (major == nullptr)
        return ZAV_ERR_ARGUMENT;
    if (!GetValue("HEADER", "HdClassification", v, sizeof v, -1, true) || !ZavIntegerPart(v, &n))
        return ZAV_ERR_INDEX_KEY;
    *major = static_cast<unsigned char>(n);
    return ZAV_OK;
}

int USMParser::GetClassificationMinor(unsigned char* minor) const
{
    char v[kValueSize];
    int n = 0;
    if (minor == nullptr)
        return ZAV_ERR_ARGUMENT;
    if (!GetValue("HEADER", "HdClassification", v, sizeof v, -1, true) || !ZavFractionDigits(v, &n))
        return ZAV_ERR_INDEX_KEY;
    *minor = static_cast<unsigned char>(n);
    return ZAV_OK;
}

int USMParser::GetCount(int* count) const
{
    char v[kValueSize];
    if (count == nullptr)
        return ZAV_ERR_ARGUMENT;
    if (!GetValue("HEADER", "HdCount", v, sizeof v, -1, true))
        return ZAV_ERR_INDEX_KEY;
    *count = DecimalValue(v);
    return ZAV_OK;
}

int USMParser::GetCapability(int* capability) const
{
    char v[kValueSize];
    if (capability == nullptr)
        return ZAV_ERR_ARGUMENT;
    if (!GetValue("HEADER", "HdCapability", v, sizeof v, -1, true))
        return ZAV_ERR_INDEX_KEY;
    *capability = DecimalValue(v);
    return ZAV_OK;
}

int USMParser::GetFilename(int index, char* out) const
{
    if (out == nullptr || index < 0)
        return ZAV_ERR_ARGUMENT;
    std::memset(out, 0, kNameSize);
    char v[kValueSize];
    if (!GetValue("HEADER", "HdFilename", v, sizeof v, index, true))
        return ZAV_ERR_INDEX_KEY;
    const std::size_t len = std::strlen(v);
    if (len > kNameSize - 1)
        return ZAV_ERR_ARGUMENT;
    std::memcpy(out, v, len);
    return ZAV_OK;
}
