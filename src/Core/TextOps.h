// Small operations on UTF-8 texts: lines, escapes, numbers, profile-line
// comments and quotes. A cut or a deletion never splits a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

int CountChar(std::string_view text, char c);
// Line feeds, plus one when the text does not end with one (so "" has 1 line).
int CountLines(std::string_view text);
// The line `lineNumber` (from 0; a carriage return also ends it), cut to
// `bufferSize` - 1 bytes. True also for an empty line that a line break ends;
// false for an empty last line, a line past the end or a bufferSize of 0.
bool GetLineText(std::string_view text, int lineNumber, std::string& line, std::size_t bufferSize);
// Every character a decimal digit, except a "-" in the first place and, when
// `integerOnly` is clear, "." anywhere. An empty text is numeric.
bool IsNumericString(std::string_view text, bool integerOnly);
// The text without its last character (a whole multi-byte character).
std::string DeleteLastChar(std::string_view text);
// The clipboard's plain text; empty when it holds none or there is no
// application object.
std::string GetClipboardText();
// Each replaces every two-character escape by its control character, in place.
void UnescapeNewline(std::string& text);        // "\n"
void UnescapeCarriageReturn(std::string& text); // "\r"
void UnescapeTab(std::string& text);            // "\t"
// The text before the first ";" outside double quotes; a quote after an odd
// run of "%" is escaped. A quote that is never closed keeps the whole text.
std::string StripIniComment(std::string_view text);
// With two characters or more: one leading and then one trailing double quote
// removed.
std::string StripQuotes(std::string_view text);
