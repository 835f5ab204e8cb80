// The script text file and its text operations on any bytes: look-ups restore
// the read position, fields are taken within bounds, escapes invert, and a
// line read writes and reads back as itself.
#include "ScriptFuzzFile.h"

#include "Script/Script.h"
#include "Script/ScriptText.h"
#include "Script/ZAVObjectLine.h"

#include <vector>

namespace {

void CheckFields(const std::string& line)
{
    const std::size_t open = line.find('(');
    std::string_view remainder = std::string_view(line).substr(open == std::string::npos ? 0 : open + 1);
    std::string field;
    for (int i = 0; i < 64; ++i) {
        const std::size_t used = NextField(remainder, field);
        if (!used)
            break;
        FUZZ_CHECK(used <= remainder.size());
        FUZZ_CHECK(field.size() < used);
        remainder.remove_prefix(used);
    }
}

void CheckEscapes(const std::string& line)
{
    std::string text = line;
    EscapeLineBreaks(text);
    EscapePercents(text);
    EscapeQuotes(text);
    UnescapeQuotes(text);
    UnescapePercents(text);
    UnescapeLineBreaks(text);
    FUZZ_CHECK(text == line);
    std::string quoted = line;
    QuoteString(quoted);
    FUZZ_CHECK(UnquoteString(quoted) == 1 && quoted == line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzFolder& folder = TheFuzzFolder();
    const std::string input = folder.File("in.txt");
    WriteFuzzFile(input, data, size);

    std::vector<std::string> lines;
    {
        CScript reader;
        if (!reader.OpenRead(input))
            return 0;
        std::string line;
        while (reader.ReadLine(line))
            lines.push_back(line);
        FUZZ_CHECK(reader.Close() == 1);
    }

    CScript script;
    FUZZ_CHECK(script.OpenRead(input) == 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& expected = lines[i];
        CheckFields(expected);
        CheckEscapes(expected);
        std::string value = "untouched";
        FUZZ_CHECK(script.GetKeyValue("\xFFno such key", value) == 0);
        FUZZ_CHECK(value == "untouched");
        const std::size_t equals = expected.find('=');
        std::string got;
        if (i % 2 == 0 && equals != std::string::npos && equals > 0 && !CScript::IsSectionLine(expected)) {
            const std::string key(TrimScriptBlanksRight(std::string_view(expected).substr(0, equals)));
            FUZZ_CHECK(script.GetKeyValue(key, got) == 1);
            FUZZ_CHECK(got == TrimScriptBlanksLeft(std::string_view(expected).substr(equals + 1)));
        } else if (i % 2 == 1) {
            const int found = script.FindSection(got);
            FUZZ_CHECK(found == CScript::IsSectionLine(expected));
            FUZZ_CHECK(got == (found ? expected.substr(1, expected.size() - 2) : expected));
        } else {
            FUZZ_CHECK(script.ReadLine(got) == 1);
            FUZZ_CHECK(got == expected);
        }
    }
    std::string after;
    FUZZ_CHECK(script.ReadLine(after) == 0);
    script.Close();

    // Every line read is a line that reads back as itself once written.
    const std::string output = folder.File("out.txt");
    CScript writer;
    FUZZ_CHECK(writer.OpenWrite(output) == 1);
    std::vector<std::string> written;
    for (const auto& line : lines) {
        // Line breaks and NULs inside a line are refused: they would split it.
        const bool splits = line.find_first_of(std::string_view("\r\0", 2)) != std::string::npos;
        FUZZ_CHECK(writer.WriteLine(line) == (splits ? 0 : 1));
        if (!splits)
            written.push_back(line);
    }
    if (written.size() != lines.size()) {
        FUZZ_CHECK(writer.Close() == 0);
        return 0;
    }
    FUZZ_CHECK(writer.Close() == 1);
    CScript again;
    FUZZ_CHECK(again.OpenRead(output) == 1);
    std::string line;
    for (const auto& expected : written) {
        FUZZ_CHECK(again.ReadLine(line) == 1);
        FUZZ_CHECK(line == expected);
    }
    FUZZ_CHECK(again.ReadLine(line) == 0);
    return 0;
}
