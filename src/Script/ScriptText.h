// Text operations of the script files: quoting, the percent escapes, comment
// cutting and the comma-separated fields of object lines. Texts are UTF-8, so
// no search can match inside a multibyte character; StripShiftJisComment alone
// works on a file's bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Blanks as the script files trim them: space, tab, LF, VT, FF and CR.
bool IsScriptBlank(char c);
std::string_view TrimScriptBlanks(std::string_view text);
std::string_view TrimScriptBlanksLeft(std::string_view text);
std::string_view TrimScriptBlanksRight(std::string_view text);

void QuoteString(std::string& text);
// 1 when the text had a double quote at each end (and at least two characters)
// and they were removed; 0 and the text unchanged otherwise.
int UnquoteString(std::string& text);

// Cuts the line at the first ";" that stands outside a quoted text.
void StripComment(std::string& line);
// The same on a line's Shift-JIS bytes, stepping over whole characters (a lead
// byte takes the next byte with it), so that a comment is cut before its text
// is converted and bytes the conversion would refuse there do not matter.
void StripShiftJisComment(std::string& bytes);

// Takes the first field of an object-line remainder (up to the first "," or,
// without one, ")" outside quoted texts), trimmed. Returns how many characters
// the caller cuts off the remainder, or 0 when no field could be taken.
std::size_t NextField(std::string_view remainder, std::string& field);

void EscapeQuotes(std::string& text);
void UnescapeQuotes(std::string& text);
void EscapePercents(std::string& text);
void UnescapePercents(std::string& text);
