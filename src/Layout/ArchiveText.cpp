#include "Layout/ArchiveText.h"

#include "Platform/Archive.h"
#include "Platform/ShiftJis.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxArchiveLineBytes = 259;
constexpr std::size_t kFaceBytes = 32;

// Bytes the character takes in Shift-JIS: ASCII and half-width katakana (U+FF61..U+FF9F) one, others two.
int ShiftJisWidth(std::string_view character)
{
    if (character.size() == 1)
        return 1;
    if (character.size() == 3) {
        const auto b0 = static_cast<unsigned char>(character[0]);
        const auto b1 = static_cast<unsigned char>(character[1]);
        const auto b2 = static_cast<unsigned char>(character[2]);
        const unsigned cp = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        if (cp >= 0xFF61 && cp <= 0xFF9F)
            return 1;
    }
    return 2;
}

void WriteInt8s(CArchive& archive, const LOGFONT& font)
{
    const std::uint8_t bytes[8] = {font.lfItalic,  font.lfUnderline,     font.lfStrikeOut,
                                   font.lfCharSet, font.lfOutPrecision,  font.lfClipPrecision,
                                   font.lfQuality, font.lfPitchAndFamily};
    archive.WriteBytes(bytes, sizeof bytes);
}

} // namespace

std::size_t Utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::string CutToShiftJisBytes(std::string_view line, int maxBytes)
{
    std::size_t pos = 0;
    int used = 0;
    while (pos < line.size()) {
        std::size_t length = Utf8Length(static_cast<unsigned char>(line[pos]));
        if (pos + length > line.size())
            length = line.size() - pos;
        const int width = ShiftJisWidth(line.substr(pos, length));
        if (used + width > maxBytes)
            break;
        used += width;
        pos += length;
    }
    return std::string(line.substr(0, pos));
}

void WriteTextLines(CArchive& archive, std::string_view text)
{
    int count = 0;
    for (char c : text)
        if (c == '\n')
            ++count;
    const bool endsWithNewline = !text.empty() && text.back() == '\n';
    if (!text.empty() && !endsWithNewline)
        ++count;
    archive.WriteInt32(count);
    archive.WriteInt32(endsWithNewline ? 1 : 0);
    std::size_t start = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line;
        for (char c : text.substr(start, end - start))
            if (c != '\r')
                line += c;
        archive.WriteString(CutToShiftJisBytes(line, kMaxArchiveLineBytes));
        archive.WriteString("\n");
        start = end + 1;
    }
}

std::string ReadTextLines(CArchive& archive)
{
    const std::int32_t count = archive.ReadInt32();
    const std::int32_t endsWithNewline = archive.ReadInt32();
    // Every stored line takes at least its '\n'.
    if (count < 0 || static_cast<std::size_t>(count) > archive.Remaining())
        throw CArchiveException("line count beyond the data");
    std::string text;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string line;
        if (!archive.ReadString(line))
            throw CArchiveException("text line missing");
        text += line;
        if (i + 1 < count || endsWithNewline == 1)
            text += "\r\n";
    }
    return text;
}

void WriteLogFont(CArchive& archive, const LOGFONT& font)
{
    archive.WriteInt32(font.lfHeight);
    archive.WriteInt32(font.lfWidth);
    archive.WriteInt32(font.lfEscapement);
    archive.WriteInt32(font.lfOrientation);
    archive.WriteInt32(font.lfWeight);
    WriteInt8s(archive, font);
    std::array<std::uint8_t, kFaceBytes> face{};
    // A face Shift-JIS cannot hold is stored empty rather than altered.
    if (const auto sjis = Utf8ToShiftJis(font.lfFaceName)) {
        std::size_t length = 0;
        while (length < sjis->size()) {
            const int step = ShiftJisCharLength(static_cast<unsigned char>((*sjis)[length]));
            if (length + static_cast<std::size_t>(step) > kFaceBytes - 1)
                break;
            length += static_cast<std::size_t>(step);
        }
        std::memcpy(face.data(), sjis->data(), length);
    }
    archive.WriteBytes(face.data(), face.size());
}

LOGFONT ReadLogFont(CArchive& archive)
{
    LOGFONT font;
    font.lfHeight = archive.ReadInt32();
    font.lfWidth = archive.ReadInt32();
    font.lfEscapement = archive.ReadInt32();
    font.lfOrientation = archive.ReadInt32();
    font.lfWeight = archive.ReadInt32();
    std::uint8_t bytes[8];
    archive.ReadBytes(bytes, sizeof bytes);
    font.lfItalic = bytes[0];
    font.lfUnderline = bytes[1];
    font.lfStrikeOut = bytes[2];
    font.lfCharSet = bytes[3];
    font.lfOutPrecision = bytes[4];
    font.lfClipPrecision = bytes[5];
    font.lfQuality = bytes[6];
    font.lfPitchAndFamily = bytes[7];
    std::array<char, kFaceBytes> face{};
    archive.ReadBytes(face.data(), face.size());
    const std::string_view stored(face.data(), strnlen(face.data(), face.size()));
    font.lfFaceName = ShiftJisToUtf8(stored).value_or(std::string());
    return font;
}
