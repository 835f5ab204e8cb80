// The system's fonts as the text items ask about them, through QFontDatabase
// (fontconfig underneath). "TrueType" stands for any scalable outline font.
// All but AddFontNameSorted need a QGuiApplication.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct InterfaceFont
{
    std::string face;
    std::uint8_t charSet = 0;
    bool operator==(const InterfaceFont&) const = default;
};

// A scalable font family of that name exists.
bool HasTrueTypeFont(std::string_view face);
// A font family of that name exists in any form.
bool HasAnyFont(std::string_view face);
// The face of the default interface font (GetDefaultGuiFont).
std::string GetDefaultGuiFontFace();
// The default interface font, as new texts take it: ChooseDefaultGuiFont over
// the system's interface face and the program's interface font.
InterfaceFont GetDefaultGuiFont();
// The program's interface font (its localisation file's), which the start-up
// sets; an empty face: none.
void SetProgramInterfaceFont(InterfaceFont font);
// The system's face where it has glyphs of the program's character set; else
// the program's own interface face, where it is installed; else the system's
// face with the Western set. The program's character set goes with the face.
InterfaceFont ChooseDefaultGuiFont(const std::string& systemFace, const InterfaceFont& program);
// The character sets of the scripts the family has glyphs for, each once, in
// the font system's order.
std::vector<std::uint8_t> CharSetsOf(std::string_view face);
// The names of every scalable font family, sorted without regard to case and
// without duplicates; names that are empty or begin with "@" (vertical faces)
// are left out.
std::vector<std::string> CollectTrueTypeFontNames();
// A family as the font database lists it, without the " [Foundry]" it adds
// when a family comes from several foundries: the files and the font engine
// know the family by its name alone.
std::string FamilyWithoutFoundry(std::string_view family);
// Adds one name to a list kept that way (the rule CollectTrueTypeFontNames
// follows).
void AddFontNameSorted(std::vector<std::string>& names, std::string_view name);
