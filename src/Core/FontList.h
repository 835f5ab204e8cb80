// The system's fonts as the text items ask about them, through QFontDatabase
// (fontconfig underneath). "TrueType" stands for any scalable outline font.
// All but AddFontNameSorted need a QGuiApplication.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A scalable font family of that name exists.
bool HasTrueTypeFont(std::string_view face);
// A font family of that name exists in any form.
bool HasAnyFont(std::string_view face);
// The face of the system's default interface font.
std::string GetDefaultGuiFontFace();
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
