// The archive forms shared by the items: multi-line texts (line count,
// ends-with-newline flag, each line ended by '\n') and the 60-byte LOGFONT
// record whose face is kept in Shift-JIS.
#pragma once

#include "ImageProcessing/ImageFont.h"

#include <cstddef>
#include <string>
#include <string_view>

class CArchive;

// Lines are separated by "\r\n" in memory; each stored line is cut so that its
// Shift-JIS form holds at most 259 bytes, never inside a character.
void WriteTextLines(CArchive& archive, std::string_view text);
std::string ReadTextLines(CArchive& archive);

// Length in bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t Utf8Length(unsigned char lead);

// The line of at most `maxBytes` Shift-JIS bytes (counting ASCII and
// half-width katakana as one byte, everything else as two).
std::string CutToShiftJisBytes(std::string_view line, int maxBytes);

constexpr int kLogFontRecordSize = 60;
void WriteLogFont(CArchive& archive, const LOGFONT& font);
LOGFONT ReadLogFont(CArchive& archive);
