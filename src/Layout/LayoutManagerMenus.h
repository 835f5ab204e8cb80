// The right-click menus of the page and the items as skeletons: entries at
// the positions the localisation file fills, commands with their ids.
#pragma once

#include "Core/MenuModel.h"

enum LayoutMenuId : int {
    MenuPage = 180,
    MenuLine = 181,
    MenuText = 182,
    MenuInsertFrame = 183,
    MenuBackground = 184,
    MenuInfoText = 185,
    MenuMixed = 186,
};

// The unlocalised menu of that id; empty for an unknown id.
MenuModel BuildLayoutMenuSkeleton(int menuId);
