#include "Script/UDLObjectLine.h"

#include "Core/ErrorCheck.h"
#include "Script/ObjectFields.h"
#include "Script/ScriptNumber.h"
#include "Script/ScriptPath.h"
#include "Script/ScriptText.h"
#include "Script/UDLHeaderInfo.h"

#include <new>

namespace {

void ParsePicture(ObjectFieldReader& fields, UDLPicturePart& picture, std::string_view folder)
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
}

void ParseLine(ObjectFieldReader& fields, UDLLinePart& line)
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
}

void ParseText(ObjectFieldReader& fields, UDLTextPart& text)
{
    text.imageFileName = fields.Quoted(kFileNameField);
    text.frameNumber = fields.Int();
    text.macroText = fields.Quoted(kMacroTextField);
    text.left = fields.Int();
    text.top = fields.Int();
    text.right = fields.Int();
    text.bottom = fields.Int();
    BoolCheck(text.left <= text.right && text.top <= text.bottom, 0);
    text.direction = fields.Int();
    BoolCheck(text.direction >= 0 && text.direction <= 3, 0);
    text.name = fields.Quoted(kShortNameField);
    text.flag = fields.Int();
    BoolCheck(text.flag == 0 || text.flag == 1, 0);
    text.red = fields.Byte();
    text.green = fields.Byte();
    text.blue = fields.Byte();
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

} // namespace

std::optional<UDLDrawRecord> ParseUDLObjectLine(std::string_view line, std::string_view folder)
{
    try {
        std::string keyword;
        std::string_view remainder;
        BoolCheck(SplitObjectLine(line, keyword, remainder), 0);
        UDLDrawRecord record;
        ObjectFieldReader fields(remainder);
        if (keyword == "DrawPicture") {
            record.type = UDLDrawPicture;
            ParsePicture(fields, record.picture, folder);
        } else if (keyword == "DrawLine") {
            record.type = UDLDrawLine;
            ParseLine(fields, record.line);
        } else if (keyword == "DrawStrings") {
            record.type = UDLDrawText;
            ParseText(fields, record.text);
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

std::optional<std::string> FormatUDLObjectLine(const UDLDrawRecord& record, std::string_view folder)
{
    try {
        UDLDrawRecord expected;
        expected.type = record.type;
        std::string line;
        if (record.type == UDLDrawPicture) {
            const UDLPicturePart& p = record.picture;
            const std::string stored = NativeToStoredPath(p.fileName, folder);
            line = Join("DrawPicture", {Quoted(stored), Number(p.frameNumber), Number(p.left), Number(p.top),
                                        Number(p.right), Number(p.bottom), Number(p.rotation),
                                        Number(p.placement), Number(p.imageMode)});
            expected.picture = p;
            expected.picture.fileName = StoredToNativePath(stored, folder);
        } else if (record.type == UDLDrawLine) {
            const UDLLinePart& l = record.line;
            line = Join("DrawLine", {Number(l.x1), Number(l.y1), Number(l.x2), Number(l.y2), Number(l.width),
                                     Number(l.red), Number(l.green), Number(l.blue)});
            expected.line = l;
        } else if (record.type == UDLDrawText) {
            const UDLTextPart& t = record.text;
            line = Join("DrawStrings",
                        {Quoted(t.imageFileName), Number(t.frameNumber), Quoted(t.macroText), Number(t.left),
                         Number(t.top), Number(t.right), Number(t.bottom), Number(t.direction),
                         Quoted(t.name), Number(t.flag), Number(t.red), Number(t.green), Number(t.blue)});
            expected.text = t;
        } else {
            return std::nullopt;
        }
        // The line as a reader meets it: comment cut and blanks trimmed.
        std::string asRead = line;
        StripComment(asRead);
        if (TrimScriptBlanks(asRead) != line)
            return std::nullopt;
        const auto back = ParseUDLObjectLine(line, folder);
        if (!back || !(*back == expected))
            return std::nullopt;
        return line;
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}
