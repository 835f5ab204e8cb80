#include "Script/ObjectLineWriter.h"

#include "Script/ScriptText.h"

std::string QuotedField(std::string_view text)
{
    std::string quoted(text);
    QuoteString(quoted);
    return quoted;
}

std::string NumberField(std::int64_t value)
{
    return std::to_string(value);
}

std::string JoinObjectLine(std::string_view keyword, std::initializer_list<std::string> fields)
{
    std::string line(keyword);
    line += '(';
    bool first = true;
    for (const auto& field : fields) {
        if (!first)
            line += ',';
        line += field;
        first = false;
    }
    line += ')';
    return line;
}

bool ReadsUnchanged(std::string_view line)
{
    std::string asRead(line);
    StripComment(asRead);
    return TrimScriptBlanks(asRead) == line;
}
