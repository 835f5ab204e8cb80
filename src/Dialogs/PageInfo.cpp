#include "Dialogs/PageInfo.h"

#include "App/PaperModes.h"
#include "App/PaperNames.h"
#include "App/ZAVEditorDoc.h"
#include "Core/LocalizeScript.h"
#include "Core/PaperRules.h"
#include "Core/Units.h"
#include "Layout/LayoutManager.h"

#include <cstdio>

namespace {

std::string Text(const CLocalizeScript& texts, int id)
{
    std::string text;
    texts.GetCaption(id, text);
    return text;
}

int MarginTextId(int paper, int margin)
{
    switch (paper) {
    case 1:
        return margin == 0 ? 39 : margin == 1 ? 38 : 0;
    case 2:
        return margin == 1 ? 38 : 0;
    case 22:
    case 23:
        return margin == 0 ? 39 : margin == 6 ? 40 : 0;
    default:
        switch (margin) {
        case 0:
            return 39;
        case 1:
            return 38;
        case 2:
        case 5:
            return 40;
        case 3:
        case 4:
            return 41;
        default:
            return 0;
        }
    }
}

std::string FormatLength(float value, const std::string& unitName)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1lf %s", static_cast<double>(value), unitName.c_str());
    return buffer;
}

} // namespace

PageInfoSource GetPageInfoSource(CZAVEditorDoc& document)
{
    CLayoutManager* layout = document.GetLayoutManager();
    PageInfoSource source;
    source.orientation = layout->GetOrientation();
    source.rollLength = layout->GetRollLength();
    if (document.IsDSCLayout()) {
        std::array<int, 14> row{};
        if (document.GetCurrentModeParams(row)) {
            source.paperIndex = row[0];
            source.marginMode = row[1];
        }
    } else {
        source.paperIndex = layout->GetPaperSizeIndex();
        source.marginMode = layout->GetPaperMode();
    }
    return source;
}

std::string PageInfoThirdValue(const PageInfoSource& source, int unit, const CLocalizeScript& texts)
{
    if (source.paperIndex < 0)
        return "-----";
    if (IsPageTableRollPaper(source.paperIndex)) {
        float length = static_cast<float>(source.rollLength);
        switch (unit) {
        case 1:
            PixelsToMM(360, &length);
            return FormatLength(length, Text(texts, 199));
        case 2:
            PixelsToInches(360, &length);
            return FormatLength(length, Text(texts, 200));
        default:
            return std::to_string(source.rollLength) + " " + Text(texts, 104);
        }
    }
    const int id = MarginTextId(source.paperIndex, source.marginMode);
    return id ? Text(texts, id) : std::string();
}

PageInfoTexts MakePageInfoTexts(const PageInfoSource* source, int unit, const CLocalizeScript& texts)
{
    PageInfoTexts out;
    if (!source)
        return out;
    const std::string separator = Text(texts, 183);
    out.separators = separator + "\n" + separator + "\n" + separator + "\n";
    out.labels = Text(texts, 184) + "\n" + Text(texts, 185) + "\n" +
                 Text(texts, IsPageTableRollPaper(source->paperIndex) ? 187 : 186) + "\n";
    out.paperName =
        source->paperIndex < 0 ? std::string("-----") : GetPaperSizeName(texts.GetPath(), source->paperIndex);
    if (!out.paperName.empty()) {
        if (source->orientation == 0)
            out.orientation = Text(texts, 36);
        else if (source->orientation == 1)
            out.orientation = Text(texts, 37);
        out.third = PageInfoThirdValue(*source, unit, texts);
    }
    out.values = out.paperName + "\n" + out.orientation + "\n" + out.third;
    return out;
}
