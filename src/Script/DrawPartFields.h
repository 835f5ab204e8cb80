// Reading the fields that the object records of the layout script and of the
// editor document begin alike, under the same rules. The parts are distinct
// types that name these members the same way.
#pragma once

#include "Core/ErrorCheck.h"
#include "Script/ObjectFields.h"
#include "Script/ScriptNumber.h"
#include "Script/ScriptPath.h"
#include "Script/UDLHeaderInfo.h"

#include <string>
#include <string_view>

// File name to image mode; a bottom of "N" leaves the bottom open (-1).
template <class Picture>
void ReadPictureFields(ObjectFieldReader& fields, Picture& picture, std::string_view folder)
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

// Both ends, the width and the colour.
template <class Line> void ReadLineFields(ObjectFieldReader& fields, Line& line)
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

// The box and the direction of a text record.
template <class Text> void ReadTextBoxFields(ObjectFieldReader& fields, Text& text)
{
    text.left = fields.Int();
    text.top = fields.Int();
    text.right = fields.Int();
    text.bottom = fields.Int();
    BoolCheck(text.left <= text.right && text.top <= text.bottom, 0);
    text.direction = fields.Int();
    BoolCheck(text.direction >= 0 && text.direction <= 3, 0);
}
