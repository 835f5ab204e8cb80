#include "FrameKit/LocationChange.h"

#include "FrameKit/PackageErrorCode.h"

#include <cmath>
#include <cstring>

namespace {

bool FitsInt32(double v)
{
    return std::isfinite(v) && v >= -2147483648.0 && v < 2147483648.0;
}

std::int32_t Truncate(double v)
{
    // Inputs are checked by Accepts; a value past 32 bits is clamped, never UB.
    if (!std::isfinite(v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

constexpr std::uint8_t kRotateFirst[4] = {3, 0, 1, 2};
constexpr std::uint8_t kRotateAnchor[9] = {2, 5, 8, 1, 4, 7, 0, 3, 6};
constexpr std::uint8_t kRevertFirst[4] = {1, 2, 3, 0};
constexpr std::uint8_t kRevertAnchor[9] = {6, 3, 0, 7, 4, 1, 8, 5, 2};

} // namespace

LocationChange::LocationChange(ZAV_SDK* owner, ZAVDocuments* documents, std::int32_t paperLength,
                               std::int32_t paperWidth, double paperResolution, const std::int32_t margins[4],
                               bool rollPaper)
    : m_owner(owner), m_documents(documents), m_paperLength(paperLength),
      m_paperWidth(paperWidth), m_margins{}, m_paperResolution(paperResolution),
      m_rollPaper(rollPaper ? 1 : 0)
{
    if (margins != nullptr)
        std::memcpy(m_margins, margins, sizeof m_margins);
    for (ZavConversion& r : m_records) {
        r.width = paperLength;
        r.height = paperWidth;
    }
}

bool LocationChange::Accepts(const ZavConversion& p) const
{
    if (p.rotated > 1 || p.kind > 3)
        return false;
    double scale = 1.0;
    switch (p.kind) {
    case 0:
        if (!(p.resolution > 0.0) || !std::isfinite(p.resolution))
            return false;
        scale = p.resolution / 360.0;
        break;
    case 1:
        if (!(p.scale > 0.0) || !std::isfinite(p.scale))
            return false;
        scale = p.scale;
        break;
    case 2:
        if (p.width < 1 || p.height < 1)
            return false;
        // The size kind divides by the paper length, which a roll paper
        // without an open height does not have.
        return m_rollPaper ? m_paperWidth > 0 : m_paperLength > 0 && m_paperWidth > 0;
    default:
        return true;
    }
    return FitsInt32(m_paperLength * scale) && FitsInt32(m_paperWidth * scale) && FitsInt32(scale * 360.0);
}

int LocationChange::SetConversion(std::int32_t t, const ZavConversion& p)
{
    ZavConversion& r = m_records[RecordIndex(t)];
    r.originX = p.originX;
    r.originY = p.originY;
    r.rotated = p.rotated;
    r.kind = p.kind;
    switch (p.kind) {
    case 0:
        r.resolution = p.resolution;
        r.scale = r.resolution / 360.0;
        r.height = Truncate(m_paperWidth * r.scale);
        r.width = Truncate(m_paperLength * r.scale);
        break;
    case 1:
        r.scale = p.scale;
        r.resolution = r.scale * 360.0;
        r.height = Truncate(m_paperWidth * r.scale);
        r.width = Truncate(m_paperLength * r.scale);
        break;
    case 2:
        r.width = p.width;
        r.height = p.height;
        r.scale = m_rollPaper ? static_cast<double>(r.height) / m_paperWidth
                              : static_cast<double>(r.width) / m_paperLength;
        r.resolution = 360.0 * r.scale;
        break;
    default:
        r.scale = 1.0;
        r.resolution = 360.0;
        r.width = m_paperLength;
        r.height = m_paperWidth;
        break;
    }
    return ZAV_OK;
}

void LocationChange::GetConversion(std::int32_t t, ZavConversion* out) const
{
    if (out != nullptr)
        *out = m_records[RecordIndex(t)];
}

void LocationChange::ConvertPoint(std::int32_t t, const std::int32_t in[2], std::int32_t out[2]) const
{
    const ZavConversion& r = m_records[RecordIndex(t)];
    double x1 = in[0];
    double y1 = in[1];
    if (r.rotated) {
        x1 = in[1];
        y1 = static_cast<double>(m_paperWidth) - m_margins[3] - m_margins[2] - in[0];
    }
    double X, Y;
    if (!m_rollPaper && r.kind == 2 && m_paperLength != 0 && m_paperWidth != 0) {
        if (r.rotated) {
            X = static_cast<double>(r.width) * x1 / m_paperLength;
            Y = static_cast<double>(r.height) * y1 / m_paperWidth;
        } else {
            X = static_cast<double>(r.height) * x1 / m_paperWidth;
            Y = static_cast<double>(r.width) * y1 / m_paperLength;
        }
    } else {
        X = x1 * r.scale;
        Y = y1 * r.scale;
    }
    out[0] = Truncate(std::trunc(X) + r.originX);
    out[1] = Truncate(std::trunc(Y) + r.originY);
}

int LocationChange::ConvertRect(std::int32_t t, const std::int32_t in[4], std::int32_t out[4]) const
{
    std::int32_t a[2], b[2];
    ConvertPoint(t, in, a);
    ConvertPoint(t, in + 2, b);
    out[0] = a[0] < b[0] ? a[0] : b[0];
    out[2] = a[0] < b[0] ? b[0] : a[0];
    out[1] = a[1] < b[1] ? a[1] : b[1];
    out[3] = a[1] < b[1] ? b[1] : a[1];
    return ZAV_OK;
}

void LocationChange::ConvertCodes(std::int32_t t, const std::uint8_t in[3], std::uint8_t out[3]) const
{
    std::memmove(out, in, 3);
    if (!m_records[RecordIndex(t)].rotated)
        return;
    if (out[0] < 4)
        out[0] = kRotateFirst[out[0]];
    if (out[2] < 9)
        out[2] = kRotateAnchor[out[2]];
}

void LocationChange::RevertCodes(std::int32_t t, const std::uint8_t in[3], std::uint8_t out[3]) const
{
    std::memmove(out, in, 3);
    if (!m_records[RecordIndex(t)].rotated)
        return;
    if (out[0] < 4)
        out[0] = kRevertFirst[out[0]];
    if (out[2] < 9)
        out[2] = kRevertAnchor[out[2]];
}

void LocationChange::ConvertLength(std::int32_t t, std::int32_t value, std::int32_t* out) const
{
    std::int32_t v = Truncate(value * m_records[RecordIndex(t)].scale + 0.5);
    *out = v == 0 ? 1 : v;
}

double LocationChange::GetScale(std::int32_t t) const
{
    return m_records[RecordIndex(t)].scale;
}
