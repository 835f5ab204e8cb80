#include "Script/Script.h"

#include "Core/ErrorCheck.h"
#include "Platform/ShiftJis.h"
#include "Script/ScriptPath.h"
#include "Script/ScriptText.h"

#include <charconv>
#include <new>
#include <sys/stat.h>

namespace {

// Script files are small; anything larger is not one of ours.
constexpr long long kMaxScriptBytes = 16LL * 1024 * 1024;

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        if (static_cast<long long>(bytes.size()) + static_cast<long long>(got) > kMaxScriptBytes) {
            ok = false;
            break;
        }
        bytes.append(buffer, got);
        if (got < sizeof buffer) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

// Whether an undecodable key line is the line of `key`. "=" is never the second
// byte of a character, so the first "=" byte ends the key.
bool RawLineHoldsKey(std::string_view bytes, std::string_view key)
{
    const std::size_t equals = bytes.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return false;
    const auto name = ShiftJisToUtf8(TrimScriptBlanksRight(bytes.substr(0, equals)));
    return name && *name == key;
}

} // namespace

CScript::~CScript()
{
    Discard();
}

void CScript::Reset()
{
    m_mode = Mode::Closed;
    m_path.clear();
    m_folder.clear();
    m_text.clear();
    m_next = 0;
    m_pending.clear();
    m_writeFailed = false;
}

int CScript::OpenRead(const std::string& path)
{
    const int ok = RunStep([&] {
        BoolCheck(m_mode == Mode::Closed, 0);
        BoolCheck(!path.empty(), 0);
        std::string bytes;
        BoolCheck(ReadWholeFile(path, bytes), 0);
        m_text = std::move(bytes);
        m_next = 0;
        m_undecodable = false;
        m_path = path;
        m_folder = ScriptFolderOf(path);
        m_mode = Mode::Read;
    });
    if (!ok && m_mode == Mode::Closed)
        Reset();
    return ok;
}

int CScript::OpenWrite(const std::string& path)
{
    return RunStep([&] {
        BoolCheck(m_mode == Mode::Closed, 0);
        BoolCheck(!path.empty(), 0);
        // The lines go to a staged file beside the target; Close swaps it in.
        BoolCheck(m_file.Open(path), 0);
        m_pending.clear();
        m_writeFailed = false;
        m_path = path;
        m_folder = ScriptFolderOf(path);
        m_mode = Mode::Write;
    });
}

int CScript::Close()
{
    if (m_mode == Mode::Closed)
        return 0;
    if (m_mode == Mode::Read) {
        Reset();
        return 1;
    }
    if (m_writeFailed) {
        Discard();
        return 0;
    }
    const bool ok = m_file.Write(m_pending.data(), m_pending.size()) && m_file.Commit();
    m_file.Discard();
    Reset();
    return ok ? 1 : 0;
}

void CScript::Discard()
{
    m_file.Discard();
    Reset();
}

int CScript::WriteLine(std::string_view line)
{
    if (m_mode != Mode::Write)
        return 0;
    const int ok = RunStep([&] {
        BoolCheck(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos, 0);
        const auto sjis = Utf8ToShiftJis(line);
        BoolCheck(sjis.has_value(), 0);
        m_pending += *sjis;
        m_pending += "\r\n";
    });
    if (!ok)
        m_writeFailed = true;
    return ok;
}

int CScript::WriteSection(std::string_view name)
{
    std::string line;
    line.reserve(name.size() + 2);
    line += '[';
    line += name;
    line += ']';
    return WriteLine(line);
}

int CScript::WriteKeyValue(std::string_view key, std::string_view value)
{
    if (m_mode != Mode::Write)
        return 0;
    std::string line;
    line.reserve(key.size() + value.size() + 1);
    line += key;
    line += '=';
    line += value;
    // What a reader would make of the line must be this key and this value.
    std::string check = line;
    StripComment(check);
    const bool readsBack = !key.empty() && key.find('=') == std::string_view::npos &&
                           TrimScriptBlanks(check) == line && TrimScriptBlanksRight(key) == key &&
                           TrimScriptBlanksLeft(value) == value && !IsSectionLine(line);
    if (!readsBack) {
        m_writeFailed = true;
        return 0;
    }
    return WriteLine(line);
}

int CScript::WriteKeyInt(std::string_view key, std::int32_t value)
{
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;
    return WriteKeyValue(key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

bool CScript::NextRawLine(std::string& bytes)
{
    while (m_next < m_text.size()) {
        // A line ends at LF; a CR before it belongs to the line end.
        std::size_t end = m_text.find('\n', m_next);
        if (end == std::string::npos)
            end = m_text.size();
        std::size_t stop = end;
        if (stop > m_next && m_text[stop - 1] == '\r')
            --stop;
        std::string text = m_text.substr(m_next, stop - m_next);
        m_next = end + 1;
        // Blanks are never the second byte of a character, so trimming the
        // bytes is safe.
        StripShiftJisComment(text);
        const std::string_view trimmed = TrimScriptBlanks(text);
        if (!trimmed.empty()) {
            bytes = trimmed;
            return true;
        }
    }
    return false;
}

int CScript::ReadLine(std::string& line)
{
    if (m_mode != Mode::Read)
        return 0;
    const std::size_t start = m_next;
    std::string bytes;
    if (!NextRawLine(bytes))
        return 0;
    auto text = ShiftJisToUtf8(bytes);
    if (!text) {
        m_next = start;
        m_undecodable = true;
        return 0;
    }
    line = std::move(*text);
    return 1;
}

int CScript::IsSectionLine(std::string_view line)
{
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

int CScript::FindSection(std::string& name)
{
    try {
        std::string line;
        BoolCheck(ReadLine(line), 0);
        if (!IsSectionLine(line)) {
            name = line;
            return 0;
        }
        name = line.substr(1, line.size() - 2);
        return 1;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}

int CScript::GetKeyValue(std::string_view key, std::string& value)
{
    const std::size_t remembered = m_next;
    const int ok = RunStep([&] {
        BoolCheck(m_mode == Mode::Read, 0);
        std::string bytes;
        BoolCheck(NextRawLine(bytes), 0);
        auto decoded = ShiftJisToUtf8(bytes);
        if (!decoded) {
            if (RawLineHoldsKey(bytes, key))
                m_undecodable = true;
            BoolCheck(false, 0);
        }
        const std::string line = std::move(*decoded);
        const std::size_t equals = line.find('=');
        BoolCheck(equals != std::string::npos && equals >= 1, 0);
        BoolCheck(!IsSectionLine(line), 0);
        BoolCheck(TrimScriptBlanksRight(std::string_view(line).substr(0, equals)) == key, 0);
        value = TrimScriptBlanksLeft(std::string_view(line).substr(equals + 1));
    });
    if (!ok && m_mode == Mode::Read)
        m_next = remembered;
    return ok;
}
