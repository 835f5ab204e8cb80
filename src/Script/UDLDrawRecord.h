// One drawn object of a layout script's [PAGE] section. Every record carries
// all three parts; its type says which one is meaningful.
#pragma once

#include <cstdint>
#include <string>

struct UDLPicturePart
{
    std::string fileName; // native path (absolute after reading)
    std::int32_t frameNumber = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0; // -1: open bottom
    std::int32_t rotation = 0;
    std::int32_t placement = 0;
    std::int32_t imageMode = 0;

    bool operator==(const UDLPicturePart&) const = default;
};

struct UDLLinePart
{
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    std::int32_t width = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const UDLLinePart&) const = default;
};

struct UDLTextPart
{
    std::string imageFileName; // kept as the file has it
    std::int32_t frameNumber = 0;
    std::string macroText; // at most 67 Shift-JIS bytes
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t direction = 0;
    std::string name; // at most 31 Shift-JIS bytes
    std::int32_t flag = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const UDLTextPart&) const = default;
};

enum UDLDrawType : std::int32_t { UDLDrawPicture = 0, UDLDrawLine = 1, UDLDrawText = 2 };

struct UDLDrawRecord
{
    std::int32_t type = UDLDrawPicture;
    UDLPicturePart picture;
    UDLLinePart line;
    UDLTextPart text;

    bool operator==(const UDLDrawRecord&) const = default;
};
