// Writing an object line ("Keyword(field,field,...)"), the inverse of
// ObjectFieldReader, and the check that a written line reads back as the
// record it was written from.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

std::string QuotedField(std::string_view text);
std::string NumberField(std::int64_t value);
std::string JoinObjectLine(std::string_view keyword, std::initializer_list<std::string> fields);

// Whether a reader meets the line as written: cutting a comment and trimming
// blanks leave it unchanged.
bool ReadsUnchanged(std::string_view line);

// The line when it reads back (through parse) as the expected record, else
// nothing: a value the reader refuses, or a text cut by the quoting, would
// come back different.
template <class Record, class Parse>
std::optional<std::string> LineIfReadsBack(std::string line, const Record& expected, Parse parse)
{
    if (!ReadsUnchanged(line))
        return std::nullopt;
    const auto back = parse(std::string_view(line));
    if (!back || !(*back == expected))
        return std::nullopt;
    return line;
}
