// Taking the fields of an object line ("Keyword(field,field,...)") one by one;
// every failed check throws int 0.
#pragma once

#include <cstdint>
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
