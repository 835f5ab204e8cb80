// Reading and writing the [HEADER] keys shared by the layout script and the
// editor document, and the header texts' setter rule.
#pragma once

#include "Script/Script.h"
#include "Script/UDLHeaderInfo.h"

#include <optional>
#include <string>
#include <string_view>

enum class HeaderForm {
    Full,   // the sixteen keys
    Camera, // HdRevision, HdAuthor, HdDirection, HdThumbnail only
};

// Paper text of a paper code; nothing for a code without one.
std::optional<std::string_view> PaperSizeText(std::int32_t paperSize);
std::optional<std::string_view> MarginText(std::int32_t marginMode);

// A header text the layout files can carry, the one rule for every place that
// takes one (the scripts' and the document's setters, the layout-information
// dialog): Shift-JIS can hold it, it has at most kHeaderTextBytes bytes there,
// it holds no line break (which would split its line) and no quote that would
// end its quoted value early.
bool IsValidHeaderText(std::string_view text);

// Writes the section line and the keys; throws int 0 on any failure.
void WriteHeaderSection(CScript& script, const UDLHeaderInfo& header, HeaderForm form);
// Reads the keys after the section line; throws int 0 on any failure, with the
// values read so far stored.
void ParseHeaderKeys(CScript& script, UDLHeaderInfo& header, HeaderForm form);

// Helpers shared by the header readers: a quoted text (nothing when the key is
// missing), a header text cut to its field, a revision-like number.
std::optional<std::string> ReadQuotedKey(CScript& script, std::string_view key);
std::string CutHeaderText(std::string_view text);
double ReadRequiredNumber(CScript& script, std::string_view key);
std::optional<double> ReadOptionalNumber(CScript& script, std::string_view key);
void WriteRevisionKey(CScript& script, std::string_view key, double value);
void WriteQuotedKey(CScript& script, std::string_view key, std::string_view text, std::size_t fieldSize);
