// One object of an editor document (".zvd"): the record holds a type and four
// parts side by side; only the part the type names is meaningful.
#pragma once

#include <cstdint>
#include <string>

struct ZAVPicturePart
{
    std::string fileName; // native path; dot-relative when written by the document
    std::int32_t frameNumber = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0; // -1: height not given
    std::int32_t rotation = 0;
    std::int32_t placement = 0;
    std::int32_t imageMode = 0;
    std::int32_t rangeLeft = 0;
    std::int32_t rangeTop = 0;
    std::int32_t rangeRight = 0;
    std::int32_t rangeBottom = 0;
    std::uint8_t visible = 0;

    bool operator==(const ZAVPicturePart&) const = default;
};

struct ZAVLinePart
{
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    std::int32_t width = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t visible = 0;

    bool operator==(const ZAVLinePart&) const = default;
};

struct ZAVMacroStringPart
{
    std::string text; // at most 767 Shift-JIS bytes
    std::int32_t ownerFrameNumber = 0;
    std::string macroText; // at most 67 Shift-JIS bytes
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t direction = 0;
    std::string fontKey; // at most 31 Shift-JIS bytes
    std::int32_t fontSize = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t visible = 0;

    bool operator==(const ZAVMacroStringPart&) const = default;
};

struct ZAVCharPart
{
    std::string faceName; // at most 31 Shift-JIS bytes, no leading "@"
    std::string text;     // at most 259 Shift-JIS bytes; line breaks are CR LF
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t direction = 0;
    std::int32_t fixedValue = 0;
    std::uint8_t textRed = 0;
    std::uint8_t textGreen = 0;
    std::uint8_t textBlue = 0;
    std::uint8_t shadowRed = 0;
    std::uint8_t shadowGreen = 0;
    std::uint8_t shadowBlue = 0;
    std::uint8_t backRed = 0;
    std::uint8_t backGreen = 0;
    std::uint8_t backBlue = 0;
    std::int32_t noBackground = 0;
    std::int32_t shadowX = 0;
    std::int32_t shadowY = 0;
    std::int32_t fontHeight = 0;
    std::int32_t style = 0; // bit 0 bold, bit 1 italic
    std::int32_t vertical = 0;
    std::uint8_t charSet = 0;
    std::uint8_t visible = 0;

    bool operator==(const ZAVCharPart&) const = default;
};

enum ZAVDrawType : std::int32_t {
    ZAVDrawPicture = 0,
    ZAVDrawLine = 1,
    ZAVDrawMacroString = 2,
    ZAVDrawString = 3,
};

struct ZAVDrawRecord
{
    std::int32_t type = ZAVDrawPicture;
    ZAVPicturePart picture;
    ZAVLinePart line;
    ZAVMacroStringPart macroString;
    ZAVCharPart chars;

    bool operator==(const ZAVDrawRecord&) const = default;
};
