// The object lines of a layout script's [PAGE] section and their records.
#pragma once

#include "Script/UDLDrawRecord.h"

#include <optional>
#include <string>
#include <string_view>

// A record from one object line; references beginning with "." are resolved
// against the script's folder. Nothing when the line breaks a rule.
std::optional<UDLDrawRecord> ParseUDLObjectLine(std::string_view line, std::string_view folder);

// The line of a picture, line or text record; nothing when the record would
// not read back as itself (a value the reader refuses, a text that does not
// fit its field or would be cut by the quoting).
std::optional<std::string> FormatUDLObjectLine(const UDLDrawRecord& record, std::string_view folder);
