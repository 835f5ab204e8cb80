#include "Script/ZAVObjectLine.h"

#include "Core/ErrorCheck.h"
#include "Script/DrawPartFields.h"
#include "Script/ObjectFields.h"
#include "Script/ObjectLineWriter.h"
#include "Script/ScriptPath.h"
#include "Script/ScriptText.h"
#include "Script/ShiftJisText.h"
#include "Script/UDLHeaderInfo.h"

#include <limits>
#include <new>

namespace {

constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

// A quoted text whose escapes are undone before its size is checked, since
// the field holds the text itself.
std::string ReadEscapedText(ObjectFieldReader& fields, std::size_t fieldSize, bool lineBreaks)
{
    std::string text = fields.Quoted(kUnbounded);
    UnescapeQuotes(text);
    UnescapePercents(text);
    if (lineBreaks)
        UnescapeLineBreaks(text);
    BoolCheck(FitsShiftJisField(text, fieldSize), 0);
    return text;
}

void ParsePicture(ObjectFieldReader& fields, ZAVPicturePart& picture, std::string_view folder)
{
    ReadPictureFields(fields, picture, folder);
    picture.rangeLeft = fields.Int();
    picture.rangeTop = fields.Int();
    picture.rangeRight = fields.Int();
    picture.rangeBottom = fields.Int();
    picture.visible = fields.OptionalByte();
}

void ParseLine(ObjectFieldReader& fields, ZAVLinePart& line)
{
    ReadLineFields(fields, line);
    line.visible = fields.OptionalByte();
}

void ParseStrings(ObjectFieldReader& fields, ZAVMacroStringPart& part)
{
    part.text = fields.Quoted(kFileNameField);
    part.ownerFrameNumber = fields.Int();
    part.macroText = ReadEscapedText(fields, kMacroTextField, false);
    ReadTextBoxFields(fields, part);
    part.fontKey = fields.Quoted(kShortNameField);
    part.fontSize = fields.Int();
    BoolCheck(part.fontSize == 0 || part.fontSize == 1, 0);
    part.red = fields.Byte();
    part.green = fields.Byte();
    part.blue = fields.Byte();
    part.visible = fields.OptionalByte();
}

void ParseChar(ObjectFieldReader& fields, ZAVCharPart& part)
{
    part.faceName = fields.Quoted(kShortNameField);
    part.text = ReadEscapedText(fields, kCharTextField, true);
    ReadTextBoxFields(fields, part);
    part.fixedValue = fields.Int();
    part.textRed = fields.Byte();
    part.textGreen = fields.Byte();
    part.textBlue = fields.Byte();
    part.shadowRed = fields.Byte();
    part.shadowGreen = fields.Byte();
    part.shadowBlue = fields.Byte();
    part.backRed = fields.Byte();
    part.backGreen = fields.Byte();
    part.backBlue = fields.Byte();
    part.noBackground = fields.Int();
    part.shadowX = fields.Int();
    part.shadowY = fields.Int();
    part.fontHeight = fields.Int();
    part.style = fields.Int();
    BoolCheck(part.style >= 0 && part.style <= 3, 0);
    part.vertical = fields.Int();
    BoolCheck(part.vertical == 0 || part.vertical == 1, 0);
    part.charSet = fields.OptionalByte();
    part.visible = fields.OptionalByte();
}

std::string FormatPicture(const ZAVPicturePart& p, const std::string& stored)
{
    return JoinObjectLine("DrawPicture",
                          {QuotedField(stored), NumberField(p.frameNumber), NumberField(p.left),
                           NumberField(p.top), NumberField(p.right), NumberField(p.bottom),
                           NumberField(p.rotation), NumberField(p.placement), NumberField(p.imageMode),
                           NumberField(p.rangeLeft), NumberField(p.rangeTop), NumberField(p.rangeRight),
                           NumberField(p.rangeBottom), NumberField(p.visible)});
}

std::string FormatLine(const ZAVLinePart& l)
{
    return JoinObjectLine("DrawLine", {NumberField(l.x1), NumberField(l.y1), NumberField(l.x2),
                                       NumberField(l.y2), NumberField(l.width), NumberField(l.red),
                                       NumberField(l.green), NumberField(l.blue), NumberField(l.visible)});
}

std::string FormatStrings(const ZAVMacroStringPart& s)
{
    return JoinObjectLine("DrawStrings",
                          {QuotedField(s.text), NumberField(s.ownerFrameNumber), QuotedField(s.macroText),
                           NumberField(s.left), NumberField(s.top), NumberField(s.right),
                           NumberField(s.bottom), NumberField(s.direction), QuotedField(s.fontKey),
                           NumberField(s.fontSize), NumberField(s.red), NumberField(s.green),
                           NumberField(s.blue), NumberField(s.visible)});
}

std::string FormatChar(const ZAVCharPart& c)
{
    std::string text = c.text;
    EscapeLineBreaks(text);
    EscapePercents(text);
    EscapeQuotes(text);
    return JoinObjectLine("DrawChar",
                          {QuotedField(c.faceName),    QuotedField(text),         NumberField(c.left),
                           NumberField(c.top),         NumberField(c.right),      NumberField(c.bottom),
                           NumberField(c.direction),   NumberField(c.fixedValue), NumberField(c.textRed),
                           NumberField(c.textGreen),   NumberField(c.textBlue),   NumberField(c.shadowRed),
                           NumberField(c.shadowGreen), NumberField(c.shadowBlue), NumberField(c.backRed),
                           NumberField(c.backGreen),   NumberField(c.backBlue),   NumberField(c.noBackground),
                           NumberField(c.shadowX),     NumberField(c.shadowY),    NumberField(c.fontHeight),
                           NumberField(c.style),       NumberField(c.vertical),   NumberField(c.charSet),
                           NumberField(c.visible)});
}

} // namespace

void EscapeLineBreaks(std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    text = std::move(out);
}

void UnescapeLineBreaks(std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == '\\' || next == 'r' || next == 'n') {
                out += next == '\\' ? '\\' : (next == 'r' ? '\r' : '\n');
                ++i;
                continue;
            }
        }
        out += c;
    }
    text = std::move(out);
}

std::optional<ZAVDrawRecord> ParseObjectLine(std::string_view line, std::string_view folder)
{
    return ReadObjectLine<ZAVDrawRecord>(
        line, [folder](const std::string& keyword, ObjectFieldReader& fields, ZAVDrawRecord& record) {
            if (keyword == "DrawPicture") {
                record.type = ZAVDrawPicture;
                ParsePicture(fields, record.picture, folder);
            } else if (keyword == "DrawLine") {
                record.type = ZAVDrawLine;
                ParseLine(fields, record.line);
            } else if (keyword == "DrawStrings") {
                record.type = ZAVDrawMacroString;
                ParseStrings(fields, record.macroString);
            } else if (keyword == "DrawChar") {
                record.type = ZAVDrawString;
                ParseChar(fields, record.chars);
            } else {
                return false;
            }
            return true;
        });
}

std::optional<std::string> FormatObjectLine(const ZAVDrawRecord& record, std::string_view folder)
{
    try {
        ZAVDrawRecord expected;
        expected.type = record.type;
        std::string line;
        switch (record.type) {
        case ZAVDrawPicture: {
            const std::string stored = NativeToStoredPath(record.picture.fileName, folder);
            line = FormatPicture(record.picture, stored);
            expected.picture = record.picture;
            expected.picture.fileName = StoredToNativePath(stored, folder);
            break;
        }
        case ZAVDrawLine:
            line = FormatLine(record.line);
            expected.line = record.line;
            break;
        case ZAVDrawMacroString:
            line = FormatStrings(record.macroString);
            expected.macroString = record.macroString;
            break;
        case ZAVDrawString:
            line = FormatChar(record.chars);
            expected.chars = record.chars;
            break;
        default:
            return std::nullopt;
        }
        return LineIfReadsBack(std::move(line), expected,
                               [folder](std::string_view text) { return ParseObjectLine(text, folder); });
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}
