// Paper names: the codes that layout files carry by name, and the display
// names the localisation file gives each code.
#pragma once

#include <string>
#include <string_view>

// The code of a paper name, compared exactly; -1 for a name no paper has.
int PaperIndexFromName(std::string_view name);
// The display name of a paper code from the "PaperSizeString" section of the
// localisation file (the last entry with that code); empty without one.
std::string GetPaperSizeName(const std::string& localizeIniPath, int code);
