#include "App/DocumentBuildMacro.h"

#include "Layout/InsertImageFrameItem.h"

#include <initializer_list>

namespace {

constexpr const char* kDateTimeMacro = "%Y.%L.%D  %H:%M:%S";

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

bool ContainsAny(const std::string& text, std::initializer_list<const char*> parts)
{
    for (const char* part : parts)
        if (Contains(text, part))
            return true;
    return false;
}

} // namespace

COLORREF ColorOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return COLORREF{red} | COLORREF{green} << 8 | COLORREF{blue} << 16;
}

int ChooseMacroKind(const CInsertImageFrameItem& frame, const std::string& macroText)
{
    const bool hasDate = frame.GetLinkedText1() != nullptr;
    const bool hasShooting = frame.GetLinkedText2() != nullptr;
    const bool hasFileName = frame.GetLinkedText3() != nullptr;
    if (!hasDate && !hasShooting && !hasFileName && ContainsAny(macroText, {"%f", "%F"}))
        return 2;
    if (!hasDate && !hasShooting && ContainsAny(macroText, {"%E", "%U", "%I", "%C", "%A"}))
        return 1;
    if (!hasDate && Contains(macroText, kDateTimeMacro))
        return 0;
    return -1;
}

void LinkMacroString(CInsertImageFrameItem& frame, CMacroStringItem* text, int kind,
                     const std::string& macroText, const MacroTextSettings& settings)
{
    const bool first = kind == 2 || (kind == 1 && !frame.GetLinkedText3()) ||
                       (kind == 0 && !frame.GetLinkedText3() && !frame.GetLinkedText2());
    if (kind == 2) {
        frame.SetLinkedText3(text);
        frame.SetShowFullPath(!Contains(macroText, "%f"));
    } else if (kind == 1) {
        frame.SetLinkedText2(text);
        frame.SetShowExposureTime(Contains(macroText, "%E"));
        frame.SetShowFNumber(Contains(macroText, "%U"));
        frame.SetShowISO(Contains(macroText, "%I"));
        frame.SetShowCameraName(Contains(macroText, "%C"));
        frame.SetShowFlash(Contains(macroText, "%A"));
    } else {
        frame.SetLinkedText1(text);
    }
    if (first) {
        frame.ApplyInfoFontKey(settings.fontKey);
        frame.SetInfoTextColor(settings.color);
        frame.SetInfoFontSize(settings.fontSize);
    }
}
