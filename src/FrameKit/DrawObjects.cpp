#include "FrameKit/DrawObjects.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PathResolve.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kFieldLimit = 128;

// A draw line bounded by its length and its terminator, scanned a character
// at a time so that trail bytes are never taken for quotes or separators.
class LineCursor
{
public:
    LineCursor(const char* text, std::int32_t length)
        : m_text(text),
          m_end(text == nullptr || length <= 0 ? 0 : strnlen(text, static_cast<std::size_t>(length)))
    {
    }

    bool AtEnd() const { return m_pos >= m_end; }
    char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
    std::size_t Width() const
    {
        return IsSjisLeadByte(static_cast<unsigned char>(m_text[m_pos])) && m_pos + 1 < m_end ? 2 : 1;
    }
    void Next() { m_pos += Width(); }

    // Moves past the next single-byte c; false when the line ends first.
    bool PassNext(char c)
    {
        while (!AtEnd()) {
            bool single = Width() == 1;
            char ch = m_text[m_pos];
            Next();
            if (single && ch == c)
                return true;
        }
        return false;
    }

    // A double-quoted text starting at the next quote; percentEscapes lets "%"
    // carry the following character. 6001 without a closing quote within the
    // limit.
    int Quoted(std::string& out, bool percentEscapes)
    {
        out.clear();
        if (!PassNext('"'))
            return ZAV_ERR_SYNTAX;
        while (!AtEnd()) {
            std::size_t w = Width();
            char ch = m_text[m_pos];
            if (w == 1 && ch == '"') {
                Next();
                return ZAV_OK;
            }
            if (w == 1 && ch == '%' && percentEscapes && m_pos + 1 < m_end) {
                out += ch;
                Next();
                w = Width();
            }
            out.append(m_text + m_pos, w);
            Next();
            if (out.size() > kFieldLimit)
                return ZAV_ERR_SYNTAX;
        }
        return ZAV_ERR_SYNTAX;
    }

    // Up to max fields closed by "," or ")"; spaces skipped. closedBy receives
    // the character that ended the list (")", "," after max fields, or 0 at the
    // end of the line). 6001 for a field over the limit.
    int Fields(std::vector<std::string>& fields, std::size_t max, char* closedBy)
    {
        fields.clear();
        std::string field;
        bool any = false;
        while (!AtEnd()) {
            std::size_t w = Width();
            char ch = m_text[m_pos];
            Next();
            if (w == 1 && ch == ' ')
                continue;
            if (w == 1 && (ch == ',' || ch == ')')) {
                fields.push_back(field);
                field.clear();
                any = false;
                if (ch == ')' || fields.size() == max) {
                    *closedBy = ch;
                    return ZAV_OK;
                }
                continue;
            }
            field.append(m_text + m_pos - w, w);
            any = true;
            if (field.size() > kFieldLimit)
                return ZAV_ERR_SYNTAX;
        }
        if (any)
            fields.push_back(field);
        *closedBy = '\0';
        return ZAV_OK;
    }

private:
    const char* m_text;
    std::size_t m_end;
    std::size_t m_pos = 0;
};

std::uint8_t ColorByte(const std::string& field)
{
    return static_cast<std::uint8_t>(ZavDecimal(field.c_str()));
}

// A placement code outside a byte is invalid, not wrapped into range.
bool ByteValue(const std::string& field, std::uint8_t* out)
{
    int v = ZavDecimal(field.c_str());
    if (v < 0 || v > 255)
        return false;
    *out = static_cast<std::uint8_t>(v);
    return true;
}

int Join(const std::string& folder, const std::string& name, char* out)
{
    return ResolveRelativePath(name.c_str(), folder.c_str(), out, kZavPathSize);
}

bool EndsWithEff(const char* path)
{
    if (!IsTerminatedWithin(path, kZavPathSize))
        return false;
    std::size_t n = std::strlen(path);
    return n >= 4 && path[n - 4] == '.' && (path[n - 3] | 0x20) == 'e' && (path[n - 2] | 0x20) == 'f' &&
           (path[n - 1] | 0x20) == 'f';
}

} // namespace

void ZavCopyAtBoundary(char* dst, const char* src, std::size_t srcLength, std::size_t maxBytes)
{
    std::size_t n = 0;
    while (n < srcLength) {
        std::size_t w = IsSjisLeadByte(static_cast<unsigned char>(src[n])) && n + 1 < srcLength ? 2 : 1;
        if (n + w > maxBytes)
            break;
        n += w;
    }
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

void ZAVPictureObject::Reset()
{
    order = -1;
    frameNumber = 0;
    rect = {};
    std::memset(codes, 0, sizeof codes);
    std::memset(filePath, 0, sizeof filePath);
    openHeight = 0;
    std::memset(currentCodes, 0, sizeof currentCodes);
    value = 0;
    normaliseOnlyX = 0;
    isFixed = 0;
    isEff = 0;
    std::memset(fileName, 0, sizeof fileName);
}

int ZAVPictureObject::Parse(const char* text, std::int32_t length)
{
    return ZavGuard([&]() -> int {
        Reset();
        LineCursor cur(text, length);
        std::string name;
        if (!cur.PassNext('(') || cur.Quoted(name, false) != ZAV_OK)
            return ZAV_ERR_SYNTAX;
        if (!name.empty()) {
            std::memcpy(fileName, name.data(), name.size());
            if (int rc = Join(m_folder, name, filePath))
                return rc;
            isEff = EndsWithEff(filePath);
        }
        if (!cur.PassNext(','))
            return ZAV_ERR_SYNTAX;
        std::vector<std::string> f;
        char closedBy = 0;
        if (int rc = cur.Fields(f, 9, &closedBy))
            return rc;
        if (f.size() != 8 || closedBy == ',')
            return ZAV_ERR_SYNTAX;
        frameNumber = ZavDecimal(f[0].c_str());
        isFixed = frameNumber == 0;
        if (!isFixed)
            std::memset(filePath, 0, sizeof filePath);
        rect.x1 = ZavDecimal(f[1].c_str());
        rect.y1 = ZavDecimal(f[2].c_str());
        rect.x2 = ZavDecimal(f[3].c_str());
        // The editor writes an open bottom as -1; files from elsewhere have "N".
        if ((!f[4].empty() && f[4][0] == 'N') || f[4] == "-1") {
            if (isFixed)
                return ZAV_ERR_SYNTAX;
            openHeight = 1;
            normaliseOnlyX = 1;
            rect.y2 = rect.y1;
        } else {
            rect.y2 = ZavDecimal(f[4].c_str());
        }
        for (int i = 0; i < 3; ++i)
            if (!ByteValue(f[5 + i], &codes[i]))
                return ZAV_ERR_SYNTAX;
        std::memcpy(currentCodes, codes, sizeof codes);
        if (!IsValidStringStyle(codes))
            return ZAV_ERR_SYNTAX;
        NormalizeRect(&rect, true, !normaliseOnlyX);
        return ZAV_OK;
    });
}

int ZAVStringObject::Parse(const char* line, std::int32_t length)
{
    return ZavGuard([&]() -> int {
        std::memset(filePath, 0, sizeof filePath);
        frameNumber = 0;
        std::memset(text, 0, sizeof text);
        rect = {};
        rotation = 0;
        std::memset(fontName, 0, sizeof fontName);
        style = 0;
        std::memset(color, 0, sizeof color);

        LineCursor cur(line, length);
        std::string s;
        if (!cur.PassNext('(') || cur.Quoted(s, false) != ZAV_OK)
            return ZAV_ERR_SYNTAX;
        if (!s.empty())
            if (int rc = Join(m_folder, s, filePath))
                return rc;
        if (!cur.PassNext(','))
            return ZAV_ERR_SYNTAX;

        std::vector<std::string> f;
        char closedBy = 0;
        if (int rc = cur.Fields(f, 1, &closedBy))
            return rc;
        if (closedBy != ',')
            return ZAV_ERR_SYNTAX;
        frameNumber = ZavDecimal(f[0].c_str());
        if (frameNumber != 0)
            std::memset(filePath, 0, sizeof filePath);

        if (cur.Quoted(s, true) != ZAV_OK)
            return ZAV_ERR_SYNTAX;
        ZavCopyAtBoundary(text, s.data(), s.size(), sizeof text - 1);
        if (!cur.PassNext(','))
            return ZAV_ERR_SYNTAX;

        if (int rc = cur.Fields(f, 5, &closedBy))
            return rc;
        if (f.size() != 5 || closedBy != ',')
            return ZAV_ERR_SYNTAX;
        rect = {ZavDecimal(f[0].c_str()), ZavDecimal(f[1].c_str()), ZavDecimal(f[2].c_str()),
                ZavDecimal(f[3].c_str())};
        const int r = ZavDecimal(f[4].c_str());
        if (r < 0 || r > 4)
            return ZAV_ERR_SYNTAX;
        rotation = static_cast<std::uint8_t>(r);
        NormalizeRect(&rect, true, true);

        if (cur.Quoted(s, false) != ZAV_OK)
            return ZAV_ERR_SYNTAX;
        ZavCopyAtBoundary(fontName, s.data(), s.size(), sizeof fontName - 1);
        if (!cur.PassNext(','))
            return ZAV_ERR_SYNTAX;

        if (int rc = cur.Fields(f, 5, &closedBy))
            return rc;
        if (f.size() != 4 || closedBy == ',')
            return ZAV_ERR_SYNTAX;
        style = ZavDecimal(f[0].c_str());
        if (style != 0 && style != 1)
            return ZAV_ERR_SYNTAX;
        for (int i = 0; i < 3; ++i)
            color[i] = ColorByte(f[1 + i]);
        return ZAV_OK;
    });
}

int ZAVLineObject::Parse(const char* line, std::int32_t length)
{
    return ZavGuard([&]() -> int {
        rect = {};
        width = 0;
        std::memset(color, 0, sizeof color);
        LineCursor cur(line, length);
        if (!cur.PassNext('(') || cur.AtEnd())
            return ZAV_ERR_SYNTAX;
        std::vector<std::string> f;
        char closedBy = 0;
        if (int rc = cur.Fields(f, 9, &closedBy))
            return rc;
        if (f.size() != 8 || closedBy == ',')
            return ZAV_ERR_SYNTAX;
        rect = {ZavDecimal(f[0].c_str()), ZavDecimal(f[1].c_str()), ZavDecimal(f[2].c_str()),
                ZavDecimal(f[3].c_str())};
        width = ZavDecimal(f[4].c_str());
        if (width < 1 || width > 1280)
            return ZAV_ERR_SYNTAX;
        for (int i = 0; i < 3; ++i)
            color[i] = ColorByte(f[5 + i]);
        NormalizeRect(&rect, true, true);
        // Widening is checked in 64 bits: the far edge must still fit.
        if (rect.y1 == rect.y2) {
            if (static_cast<std::int64_t>(rect.y2) + width - 1 > INT32_MAX)
                return ZAV_ERR_SYNTAX;
            rect.y2 += width - 1;
        } else if (rect.x1 == rect.x2) {
            if (static_cast<std::int64_t>(rect.x2) + width - 1 > INT32_MAX)
                return ZAV_ERR_SYNTAX;
            rect.x2 += width - 1;
        }
        return ZAV_OK;
    });
}
