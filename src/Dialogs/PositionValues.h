// The numbers of the position read-out: the selection's four distances from
// the paper's edges and its size, in the display unit.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "Layout/PaperTable.h"

#include <array>
#include <optional>
#include <string>

class CZAVEditorDoc;

struct PositionInput
{
    bool hasSelection = false;
    RECT selection{};    // layout units, right and bottom included
    SIZE paper{};        // the layout manager's paper
    PageMargins margins; // its current margins
    int orientation = 0;
    // A camera layout in modes 2..9: its row of the paper-mode table.
    std::optional<std::array<int, 14>> modeRow;
    int unit = 0; // 0 layout units, 1 millimetres, 2 inches
};

struct PositionValues
{
    float left = 0, top = 0, right = 0, bottom = 0;
    float width = 0, height = 0;
};

// The selection's place measured from the paper's own edges, so that the four
// distances and the size add up to the paper. In modes 2..9 the paper is the
// mode's paper on the camera page, scaled to the mode's print size.
PositionValues CalcPositionValues(const PositionInput& input);
// What the active document shows now; nothing selected without a document.
PositionInput GetPositionInput(CZAVEditorDoc* document, int unit);

struct PositionTexts
{
    std::string size; // three lines: width, "x", height
    std::string left, top, right, bottom;
};
PositionTexts FormatPositionValues(const PositionValues& values, int unit);
