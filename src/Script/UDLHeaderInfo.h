// The header values of a layout script; the editor document carries the same
// values in its [HEADER] section.
#pragma once

#include "Core/PaperRules.h"
#include <cstdint>
#include <string>

struct UDLHeaderInfo
{
    double revision = 2.1;
    std::string author; // the texts hold at most 128 Shift-JIS bytes
    std::string copyright;
    std::int32_t copyFlag = 1; // 1 possible, 0 impossible
    std::int32_t changeFlag = 1;
    std::string keyword;
    std::string title;
    std::string comment;
    std::int32_t direction = 0; // 0 "Vertical", 1 "Horizontal"
    std::string sound;          // a file name, kept as the file has it
    std::int32_t capacity = 0;
    std::string thumbnail; // a native path
    std::int32_t paperSize = 3;
    std::int32_t marginMode = 0;
    std::uint16_t rollPaperLength = 500;
    std::string application;

    bool operator==(const UDLHeaderInfo&) const = default;
};

// The header texts (author, title, comment and the like) hold at most this
// many Shift-JIS bytes; the rule that applies it is IsValidHeaderText.
inline constexpr std::size_t kHeaderTextBytes = 128;
// Sizes of the fixed fields, terminating NUL included, in Shift-JIS bytes.
inline constexpr std::size_t kHeaderTextField = kHeaderTextBytes + 1;
inline constexpr std::size_t kFileNameField = 768;
