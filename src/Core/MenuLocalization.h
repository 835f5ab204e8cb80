// Menus come as skeletons; their texts and command ids are replaced from
// Localize.ini, section "Menu_<id>" (or "PopupMenu_<n>" for a pop-up), key =
// the entry's position in the skeleton.
#pragma once

#include "Core/MenuModel.h"

#include <cstdint>
#include <string>

// The id of the pop-up whose entries stand in "PopupMenu_<number>".
constexpr std::uint32_t PopupMenuId(std::uint32_t number)
{
    return 0xFFFF0000u | (number & 0xFFFF);
}

// Flag 0 leaves an entry as it is; a positive flag makes it a command with
// that id and the text; a negative flag retitles a pop-up and localises its
// entries from "PopupMenu_<-flag>". The camera paper commands 32882 to 32889
// are removed when their "DSCPaperFlag" is missing or below 1. Localising
// stops at the first position without a valid entry. A null menu is ignored.
void LocalizeMenu(std::uint32_t menuId, MenuModel* menu, const std::string& localizeIniPath);
