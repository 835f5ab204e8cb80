#include "FrameKit/Parser.h"

#include "FrameKit/PackageErrorCode.h"

#include <cstring>
#include <string>

namespace {

constexpr std::size_t kLineLimit = 512;
constexpr std::size_t kKeyNameLimit = 64;

bool Lead(const char* p, const char* end)
{
    return IsSjisLeadByte(static_cast<unsigned char>(*p)) && p + 1 < end;
}

void ParseKeyLine(ZAV_Section& section, const std::string& line, std::size_t pos)
{
    std::string name;
    std::size_t i = pos;
    bool found = false;
    bool call = false;
    while (i < line.size()) {
        char c = line[i];
        if (c == '=' || c == '(') {
            found = true;
            call = c == '(';
            break;
        }
        std::size_t width = IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < line.size() ? 2 : 1;
        if (c != ' ') {
            name.append(line, i, width);
            if (name.size() >= kKeyNameLimit)
                return;
        }
        i += width;
    }
    if (!found)
        return;
    std::size_t v = call ? i : i + 1;
    while (v < line.size() && line[v] == ' ')
        ++v;
    std::size_t e = v;
    bool quoted = false;
    while (e < line.size()) {
        char c = line[e];
        if (IsSjisLeadByte(static_cast<unsigned char>(c)) && e + 1 < line.size()) {
            e += 2;
            continue;
        }
        if (c == '"' && !(e > v && line[e - 1] == '%'))
            quoted = !quoted;
        else if (c == ';' && !quoted)
            break;
        ++e;
    }
    section.AddKey(name.c_str(), line.substr(v, e - v).c_str(), call);
}

} // namespace

ZAVParser::ZAVParser()
{
    std::memset(m_path, 0, sizeof m_path);
}

ZAVParser::ZAVParser(const char* path) : ZAVParser()
{
    if (path != nullptr)
        std::strncpy(m_path, path, sizeof m_path - 1);
}

int ZAVParser::Parse(const char* stopSection)
{
    return ZavGuard([&]() -> int {
        m_sections.clear();
        if (!FileExists(m_path))
            return ZAV_ERR_NOT_FOUND;
        ZAV_FileUtil file(m_path, true, false);
        if (!file.IsOpen())
            return ZAV_ERR_FILE_IO;
        std::uint32_t size = 0;
        if (int rc = file.GetSize(&size))
            return rc;
        if (size > kZavMaxTextFile)
            return ZAV_ERR_FILE_IO;
        std::vector<char> bytes(size + 1u);
        if (int rc = file.Read(size, bytes.data()))
            return rc;
        return ParseLines(bytes.data(), size, stopSection);
    });
}

int ZAVParser::ParseMemory(const char* bytes, std::size_t count, const char* stopSection)
{
    return ZavGuard([&]() -> int {
        m_sections.clear();
        if (bytes == nullptr && count != 0)
            return ZAV_ERR_ARGUMENT;
        return ParseLines(bytes, count, stopSection);
    });
}

int ZAVParser::ParseLines(const char* bytes, std::size_t count, const char* stopSection)
{
    const char* p = bytes;
    const char* end = bytes + count;
    bool stopAfterThis = false;
    while (p < end) {
        std::string line;
        while (p < end && *p != '\r' && *p != '\n') {
            std::size_t width = Lead(p, end) ? 2 : 1;
            if (line.size() + width <= kLineLimit)
                line.append(p, width);
            p += width;
        }
        if (p < end) {
            ++p;
            if (p < end && (*p == '\r' || *p == '\n'))
                ++p;
        }
        std::size_t pos = line.find_first_not_of(" \t");
        if (pos == std::string::npos || line[pos] == ';')
            continue;
        if (line[pos] == '[') {
            std::size_t close = line.find(']', pos + 1);
            if (close == std::string::npos)
                return ZAV_ERR_SYNTAX;
            m_sections.push_back(
                std::make_unique<ZAV_Section>(line.substr(pos + 1, close - pos - 1).c_str()));
            if (stopAfterThis)
                return ZAV_OK;
            stopAfterThis = stopSection != nullptr && m_sections.back()->NameEquals(stopSection);
            continue;
        }
        if (!m_sections.empty())
            ParseKeyLine(*m_sections.back(), line, pos);
    }
    return ZAV_OK;
}

const ZAV_Section* ZAVParser::FindSection(const char* name) const
{
    for (const auto& s : m_sections)
        if (s->NameEquals(name))
            return s.get();
    return nullptr;
}

bool ZAVParser::GetValue(const char* section, const char* key, char* out, int outSize, int occurrence,
                         bool unquote) const
{
    const ZAV_Section* s = FindSection(section);
    return s != nullptr && s->FindValue(key, out, outSize, occurrence, unquote);
}

bool ZAVParser::GetCallLine(const char* section, int index, char* out, int outSize, int* kind) const
{
    const ZAV_Section* s = FindSection(section);
    return s != nullptr && s->GetDrawLine(index, out, outSize, kind);
}

bool ZavIntegerPart(const char* value, int* result)
{
    std::size_t i = 0;
    while (i < 10 && value[i] == ' ')
        ++i;
    int n = 0;
    for (; i < 10 && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > 255)
            return false;
    }
    *result = n;
    return true;
}

bool ZavFractionDigits(const char* value, int* result)
{
    const std::size_t len = strnlen(value, 10);
    const char* dot = static_cast<const char*>(std::memchr(value, '.', len));
    if (dot == nullptr)
        return false;
    int n = 0;
    for (std::size_t i = static_cast<std::size_t>(dot - value) + 1;
         i < len && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > 255)
            return false;
    }
    *result = n;
    return true;
}

int ZAVParser::GetRevisionMajor(unsigned char* major) const
{
    char v[513];
    int n = 0;
    if (!GetValue("HEADER", "HdRevision", v, sizeof v, -1, true) || !ZavIntegerPart(v, &n))
        return ZAV_ERR_SYNTAX;
    *major = static_cast<unsigned char>(n);
    return ZAV_OK;
}

int ZAVParser::GetRevisionMinor(unsigned char* minor) const
{
    char v[513];
    int n = 0;
    if (!GetValue("HEADER", "HdRevision", v, sizeof v, -1, true) || !ZavFractionDigits(v, &n))
        return ZAV_ERR_SYNTAX;
    *minor = static_cast<unsigned char>(n);
    return ZAV_OK;
}

int ZAVParser::GetDirection(int* direction) const
{
    char v[513];
    if (!GetValue("HEADER", "HdDirection", v, sizeof v, -1, true))
        return ZAV_ERR_SYNTAX;
    if (std::strcmp(v, "Vertical") == 0)
        *direction = 0;
    else if (std::strcmp(v, "Horizontal") == 0)
        *direction = 1;
    else
        return ZAV_ERR_SYNTAX;
    return ZAV_OK;
}

int ZAVParser::GetMargins(int* top, int* second, int* third, int* fourth) const
{
    char v[513];
    if (!GetValue("HEADER", "HdMargines", v, sizeof v, -1, true))
        return ZAV_ERR_SYNTAX;
    int values[4] = {};
    int count = 0;
    std::string number;
    const std::size_t len = strnlen(v, 30);
    for (std::size_t i = 0; i <= len; ++i) {
        char c = i < len ? v[i] : ',';
        if (c == ' ')
            continue;
        if ((c >= '0' && c <= '9') || c == '-') {
            if (number.size() >= 11)
                return ZAV_ERR_SYNTAX;
            number += c;
            continue;
        }
        if (c != ',' || count == 4 || number.empty() || number.find('-', 1) != std::string::npos ||
            number == "-")
            return ZAV_ERR_SYNTAX;
        long long n = std::stoll(number);
        if (n < INT32_MIN || n > INT32_MAX)
            return ZAV_ERR_SYNTAX;
        values[count++] = static_cast<int>(n);
        number.clear();
    }
    if (count != 4)
        return ZAV_ERR_SYNTAX;
    *top = values[0];
    *second = values[1];
    *third = values[2];
    *fourth = values[3];
    return ZAV_OK;
}
