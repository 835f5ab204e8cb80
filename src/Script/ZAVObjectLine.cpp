#include "Script/ZAVObjectLine.h"

#include "Core/ErrorCheck.h"
#include "Script/ObjectFields.h"
#include "Script/ScriptNumber.h"
#include "Script/ScriptPath.h"
#include "Script/ScriptText.h"
#include "Script/ShiftJisText.h"
#include "Script/UDLHeaderInfo.h"

#include <limits>
#include <new>

namespace {

constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

void ParsePicture(ObjectFieldReader& fields, ZAVPicturePart& picture, std::string_view folder)
{
    picture.fileName = StoredToNativePath(fields.Quoted(kFileNameField), folder);
    picture.frameNumber = fields.Int();
    picture.left = fields.Int();
    picture.top = fields.Int();
    picture.right = fields.Int();
    const std::string bottom = fields.Field();
    if (bottom == "N") {
        picture.bottom = -1;
    } else {
        const auto value = ParseScriptInt(bottom);
        BoolCheck(value.has_value(), 0);
        picture.bottom = *value;
    }
    BoolCheck(picture.left <= picture.right, 0);
    BoolCheck(picture.bottom == -1 || picture.top <= picture.bottom, 0);
    picture.rotation = fields.Int();
    BoolCheck(picture.rotation >= 0 && picture.rotation <= 4, 0);
    picture.placement = fields.Int();
    BoolCheck(picture.placement >= 0 && picture.placement <= 2, 0);
    picture.imageMode = fields.Int();
    BoolCheck(picture.imageMode >= 0 && picture.imageMode <= 8, 0);
    picture.rangeLeft = fields.Int();
    picture.rangeTop = fields.Int();
    picture.rangeRight = fields.Int();
    picture.rangeBottom = fields.Int();
    picture.visible = fields.OptionalByte();
}

void ParseLine(ObjectFieldReader& fields, ZAVLinePart& line)
{
    line.x1 = fields.Int();
    line.y1 = fields.Int();
    line.x2 = fields.Int();
    line.y2 = fields.Int();
    BoolCheck(line.x1 <= line.x2 && line.y1 <= line.y2, 0);
    line.width = fields.Int();
    line.red = fields.Byte();
    line.green = fields.Byte();
    line.blue = fields.Byte();
    line.visible = fields.OptionalByte();
}

void ParseStrings(ObjectFieldReader& fields, ZAVMacroStringPart& part)
{
    part.text = fields.Quoted(kFileNameField);
    part.ownerFrameNumber = fields.Int();
    std::string macro = fields.Quoted(kUnbounded);
    UnescapeQuotes(macro);
    UnescapePercents(macro);
    BoolCheck(FitsShiftJisField(macro, kMacroTextField), 0);
    part.macroText = std::move(macro);
    part.left = fields.Int();
    part.top = fields.Int();
    part.right = fields.Int();
    part.bottom = fields.Int();
    BoolCheck(part.left <= part.right && part.top <= part.bottom, 0);
    part.direction = fields.Int();
    BoolCheck(part.direction >= 0 && part.direction <= 3, 0);
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
    std::string text = fields.Quoted(kUnbounded);
    UnescapeQuotes(text);
    UnescapePercents(text);
    UnescapeLineBreaks(text);
    BoolCheck(FitsShiftJisField(text, kCharTextField), 0);
    part.text = std::move(text);
    part.left = fields.Int();
    part.top = fields.Int();
    part.right = fields.Int();
    part.bottom = fields.Int();
    BoolCheck(part.left <= part.right && part.top <= part.bottom, 0);
    part.direction = fields.Int();
    BoolCheck(part.direction >= 0 && part.direction <= 3, 0);
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

std::string Quoted(std::string_view text)
{
    std::string quoted(text);
    QuoteString(quoted);
    return quoted;
}

std::string Number(std::int64_t value)
{
    return std::to_string(value);
}

std::string Join(std::string_view keyword, std::initializer_list<std::string> fields)
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

std::string FormatPicture(const ZAVPicturePart& p, const std::string& stored)
{
    return Join("DrawPicture", {Quoted(stored), Number(p.frameNumber), Number(p.left), Number(p.top),
                                Number(p.right), Number(p.bottom), Number(p.rotation), Number(p.placement),
                                Number(p.imageMode), Number(p.rangeLeft), Number(p.rangeTop),
                                Number(p.rangeRight), Number(p.rangeBottom), Number(p.visible)});
}

std::string FormatLine(const ZAVLinePart& l)
{
    return Join("DrawLine", {Number(l.x1), Number(l.y1), Number(l.x2), Number(l.y2), Number(l.width),
                             Number(l.red), Number(l.green), Number(l.blue), Number(l.visible)});
}

std::string FormatStrings(const ZAVMacroStringPart& s)
{
    return Join("DrawStrings",
                {Quoted(s.text), Number(s.ownerFrameNumber), Quoted(s.macroText), Number(s.left),
                 Number(s.top), Number(s.right), Number(s.bottom), Number(s.direction), Quoted(s.fontKey),
                 Number(s.fontSize), Number(s.red), Number(s.green), Number(s.blue), Number(s.visible)});
}

std::string FormatChar(const ZAVCharPart& c)
{
    std::string text = c.text;
    EscapeLineBreaks(text);
    EscapePercents(text);
    EscapeQuotes(text);
    return Join("DrawChar",
                {Quoted(c.faceName),    Quoted(text),           Number(c.left),      Number(c.top),
                 Number(c.right),       Number(c.bottom),       Number(c.direction), Number(c.fixedValue),
                 Number(c.textRed),     Number(c.textGreen),    Number(c.textBlue),  Number(c.shadowRed),
                 Number(c.shadowGreen), Number(c.shadowBlue),   Number(c.backRed),   Number(c.backGreen),
                 Number(c.backBlue),    Number(c.noBackground), Number(c.shadowX),   Number(c.shadowY),
                 Number(c.fontHeight),  Number(c.style),        Number(c.vertical),  Number(c.charSet),
                 Number(c.visible)});
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
    try {
        std::string keyword;
        std::string_view remainder;
        if (!SplitObjectLine(line, keyword, remainder))
            keyword.clear();
        ZAVDrawRecord record;
        ObjectFieldReader fields(remainder);
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
            BoolCheck(false, 0);
        }
        fields.End();
        return record;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
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
        // The line as a reader meets it: comment cut and blanks trimmed.
        std::string asRead = line;
        StripComment(asRead);
        if (TrimScriptBlanks(asRead) != line)
            return std::nullopt;
        const auto back = ParseObjectLine(line, folder);
        if (!back || !(*back == expected))
            return std::nullopt;
        return line;
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}
