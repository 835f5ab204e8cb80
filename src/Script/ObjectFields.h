// Taking the fields of an object line ("Keyword(field,field,...)") one by one;
// every failed check throws int 0.
#pragma once

#include "Core/ErrorCheck.h"

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

// The keyword before the first "(" (leading blanks removed) and the remainder
// after it; false for a line without "(".
bool SplitObjectLine(std::string_view line, std::string& keyword, std::string_view& remainder);

class ObjectFieldReader
{
public:
    explicit ObjectFieldReader(std::string_view remainder) : m_remainder(remainder) {}

    // A non-empty field.
    std::string Field();
    std::int32_t Int();
    std::uint8_t Byte();
    // A quoted text without its quotes, fitting a field of fieldSize bytes.
    std::string Quoted(std::size_t fieldSize);
    // A closing optional field: 1 when empty or absent, else a byte.
    std::uint8_t OptionalByte();
    // Nothing may follow the last field.
    void End() const;

private:
    std::string_view m_remainder;
};

// Object-line field sizes, terminating NUL included, in Shift-JIS bytes.
inline constexpr std::size_t kMacroTextField = 68;
inline constexpr std::size_t kShortNameField = 32;
inline constexpr std::size_t kCharTextField = 260;

// The record of one object line: readPart(keyword, fields, record) reads the
// fields of the keyword's part and returns false for a keyword it does not
// know. Nothing when the line breaks a rule.
template <class Record, class ReadPart>
std::optional<Record> ReadObjectLine(std::string_view line, ReadPart readPart)
{
    try {
        std::string keyword;
        std::string_view remainder;
        BoolCheck(SplitObjectLine(line, keyword, remainder), 0);
        Record record;
        ObjectFieldReader fields(remainder);
        BoolCheck(readPart(keyword, fields, record), 0);
        fields.End();
        return record;
    } catch (int) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}
