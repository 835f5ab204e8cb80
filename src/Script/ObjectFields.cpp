#include "Script/ObjectFields.h"

#include "Core/ErrorCheck.h"
#include "Script/ScriptNumber.h"
#include "Script/ScriptText.h"
#include "Script/ShiftJisText.h"

bool SplitObjectLine(std::string_view line, std::string& keyword, std::string_view& remainder)
{
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos)
        return false;
    keyword = TrimScriptBlanksLeft(line.substr(0, open));
    remainder = line.substr(open + 1);
    return true;
}

std::string ObjectFieldReader::Field()
{
    std::string field;
    const std::size_t used = NextField(m_remainder, field);
    BoolCheck(used != 0 && !field.empty(), 0);
    m_remainder.remove_prefix(used);
    return field;
}

std::int32_t ObjectFieldReader::Int()
{
    const auto value = ParseScriptInt(Field());
    BoolCheck(value.has_value(), 0);
    return *value;
}

std::uint8_t ObjectFieldReader::Byte()
{
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(Int()) & 0xFF);
}

std::string ObjectFieldReader::Quoted(std::size_t fieldSize)
{
    std::string text = Field();
    BoolCheck(UnquoteString(text), 0);
    BoolCheck(FitsShiftJisField(text, fieldSize), 0);
    return text;
}

std::uint8_t ObjectFieldReader::OptionalByte()
{
    std::string field;
    const std::size_t used = NextField(m_remainder, field);
    m_remainder.remove_prefix(used);
    if (field.empty())
        return 1;
    const auto value = ParseScriptInt(field);
    BoolCheck(value.has_value(), 0);
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value) & 0xFF);
}

void ObjectFieldReader::End() const
{
    BoolCheck(m_remainder.empty(), 0);
}
