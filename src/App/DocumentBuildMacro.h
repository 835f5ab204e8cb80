// The image-information texts of an insert-photo frame as both builders link
// them: which linked text a macro text becomes, and what the frame takes
// from it.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <cstdint>
#include <string>

class CInsertImageFrameItem;
class CMacroStringItem;

// 2 file name, 1 shooting data, 0 date and time; -1 when the frame has no
// free place the text could take.
int ChooseMacroKind(const CInsertImageFrameItem& frame, const std::string& macroText);

struct MacroTextSettings
{
    std::string fontKey;
    COLORREF color = 0;
    int fontSize = 0;
};

// Links the text as the kind's linked text, sets the frame's choices, and
// hands it the shared text settings when it is the frame's first text.
void LinkMacroString(CInsertImageFrameItem& frame, CMacroStringItem* text, int kind,
                     const std::string& macroText, const MacroTextSettings& settings);

COLORREF ColorOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
