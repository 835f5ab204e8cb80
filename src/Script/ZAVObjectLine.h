// The object lines of an editor document and their records, and the escaping
// of a text item's text.
#pragma once

#include "Script/ZAVDrawRecord.h"

#include <optional>
#include <string>
#include <string_view>

// CR becomes "\r", LF "\n", a backslash is doubled.
void EscapeLineBreaks(std::string& text);
// The inverse; a backslash before any other character stays.
void UnescapeLineBreaks(std::string& text);

// A record from one object line; picture names beginning with "." are resolved
// against the document's folder. Nothing when the line breaks a rule.
std::optional<ZAVDrawRecord> ParseObjectLine(std::string_view line, std::string_view folder);

// The line of a record of type 0 to 3; nothing when the record would not read
// back as itself.
std::optional<std::string> FormatObjectLine(const ZAVDrawRecord& record, std::string_view folder);
