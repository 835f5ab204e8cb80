#include "Dialogs/PositionValues.h"

#include "App/PaperModes.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Units.h"
#include "Layout/LayoutManager.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float kModeScalePerUnit = 0.0014204546f; // 1 / 704

std::string Format(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

double Rounded(float value, double step)
{
    return RoundHalfAway(value / step) * step;
}

} // namespace

PositionValues CalcPositionValues(const PositionInput& input)
{
    PositionValues v;
    if (input.hasSelection) {
        // Items lie relative to the margins' offset; the paper's edges are outside it.
        const int offsetX = std::max(input.margins.left, 0);
        const int offsetY = std::max(input.margins.top, 0);
        const RECT s{input.selection.left + offsetX, input.selection.top + offsetY,
                     input.selection.right + offsetX, input.selection.bottom + offsetY};
        RECT paper{0, 0, input.paper.cx, input.paper.cy};
        float scale = 1.0f;
        if (input.modeRow) {
            const auto& row = *input.modeRow;
            const RECT unturned{row[10], row[11], row[12], row[13]};
            paper = input.orientation == 1 ? TurnModeRect(unturned) : unturned;
            scale = static_cast<float>(row[2]) * kModeScalePerUnit;
        }
        v.left = static_cast<float>(s.left - paper.left) * scale;
        v.top = static_cast<float>(s.top - paper.top) * scale;
        v.right = static_cast<float>(paper.right - s.right - 1) * scale;
        v.bottom = static_cast<float>(paper.bottom - s.bottom - 1) * scale;
        v.width = static_cast<float>(s.right - s.left + 1) * scale;
        v.height = static_cast<float>(s.bottom - s.top + 1) * scale;
    }
    for (float* value : {&v.left, &v.top, &v.right, &v.bottom, &v.width, &v.height}) {
        if (input.unit == 2)
            PixelsToInches(360, value);
        else if (input.unit == 1)
            PixelsToMM(360, value);
    }
    v.width = std::max(v.width, 0.01f);
    v.height = std::max(v.height, 0.01f);
    return v;
}

PositionInput GetPositionInput(CZAVEditorDoc* document, int unit)
{
    PositionInput input;
    input.unit = unit;
    if (!document)
        return input;
    CLayoutManager* layout = document->GetLayoutManager();
    input.paper = layout->GetPaperSize();
    input.margins = layout->GetMargins();
    input.orientation = layout->GetOrientation();
    input.hasSelection = layout->GetSelectionInfo(&input.selection);
    if (document->IsDSCLayout() && document->GetEditMode() >= 2) {
        std::array<int, 14> row{};
        if (document->GetCurrentModeParams(row))
            input.modeRow = row;
    }
    return input;
}

PositionTexts FormatPositionValues(const PositionValues& v, int unit)
{
    PositionTexts t;
    if (unit == 2) {
        t.size =
            Format("%.2f", Rounded(v.width, 0.01)) + "\r\nx\r\n" + Format("%.2f", Rounded(v.height, 0.01));
        t.left = Format("%.1f", Rounded(v.left, 0.1));
        t.top = Format("%.1f", Rounded(v.top, 0.1));
        t.right = Format("%.1f", Rounded(v.right, 0.1));
        t.bottom = Format("%.1f", Rounded(v.bottom, 0.1));
    } else {
        if (unit == 1)
            t.size =
                Format("%.1f", Rounded(v.width, 0.1)) + "\r\nx\r\n" + Format("%.1f", Rounded(v.height, 0.1));
        else
            t.size = std::to_string(RoundHalfAway(v.width)) + "\r\nx\r\n" +
                     std::to_string(RoundHalfAway(v.height));
        t.left = std::to_string(RoundHalfAway(v.left));
        t.top = std::to_string(RoundHalfAway(v.top));
        t.right = std::to_string(RoundHalfAway(v.right));
        t.bottom = std::to_string(RoundHalfAway(v.bottom));
    }
    return t;
}
