#include "Script/UDLObjectLine.h"

#include "Core/ErrorCheck.h"
#include "Script/DrawPartFields.h"
#include "Script/ObjectFields.h"
#include "Script/ObjectLineWriter.h"
#include "Script/ScriptPath.h"
#include "Script/UDLHeaderInfo.h"

#include <new>

namespace {

void ParseText(ObjectFieldReader& fields, UDLTextPart& text)
{
    text.imageFileName = fields.Quoted(kFileNameField);
    text.frameNumber = fields.Int();
    text.macroText = fields.Quoted(kMacroTextField);
    ReadTextBoxFields(fields, text);
    text.name = fields.Quoted(kShortNameField);
    text.flag = fields.Int();
    BoolCheck(text.flag == 0 || text.flag == 1, 0);
    text.red = fields.Byte();
    text.green = fields.Byte();
    text.blue = fields.Byte();
}

} // namespace

std::optional<UDLDrawRecord> ParseUDLObjectLine(std::string_view line, std::string_view folder)
{
    return ReadObjectLine<UDLDrawRecord>(
        line, [folder](const std::string& keyword, ObjectFieldReader& fields, UDLDrawRecord& record) {
            if (keyword == "DrawPicture") {
                record.type = UDLDrawPicture;
                ReadPictureFields(fields, record.picture, folder);
            } else if (keyword == "DrawLine") {
                record.type = UDLDrawLine;
                ReadLineFields(fields, record.line);
            } else if (keyword == "DrawStrings") {
                record.type = UDLDrawText;
                ParseText(fields, record.text);
            } else {
                return false;
            }
            return true;
        });
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
            line = JoinObjectLine(
                "DrawPicture", {QuotedField(stored), NumberField(p.frameNumber), NumberField(p.left),
                                NumberField(p.top), NumberField(p.right), NumberField(p.bottom),
                                NumberField(p.rotation), NumberField(p.placement), NumberField(p.imageMode)});
            expected.picture = p;
            expected.picture.fileName = StoredToNativePath(stored, folder);
        } else if (record.type == UDLDrawLine) {
            const UDLLinePart& l = record.line;
            line = JoinObjectLine("DrawLine", {NumberField(l.x1), NumberField(l.y1), NumberField(l.x2),
                                               NumberField(l.y2), NumberField(l.width), NumberField(l.red),
                                               NumberField(l.green), NumberField(l.blue)});
            expected.line = l;
        } else if (record.type == UDLDrawText) {
            const UDLTextPart& t = record.text;
            line = JoinObjectLine("DrawStrings",
                                  {QuotedField(t.imageFileName), NumberField(t.frameNumber),
                                   QuotedField(t.macroText), NumberField(t.left), NumberField(t.top),
                                   NumberField(t.right), NumberField(t.bottom), NumberField(t.direction),
                                   QuotedField(t.name), NumberField(t.flag), NumberField(t.red),
                                   NumberField(t.green), NumberField(t.blue)});
            expected.text = t;
        } else {
            return std::nullopt;
        }
        return LineIfReadsBack(std::move(line), expected,
                               [folder](std::string_view text) { return ParseUDLObjectLine(text, folder); });
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}
