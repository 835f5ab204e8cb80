// The main window's menu 128 as a toolkit-free model, its pruning by the
// installation's editable layout kinds, and its accelerator table.
#pragma once

#include "Core/MenuModel.h"

#include <string>
#include <vector>

enum AppCommand : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,
    ID_APP_EXIT = 57665,
    ID_APP_ABOUT = 57664,
    ID_FILE_NEW_DSC = 32872,
};

// The entries in the order the localisation file numbers them.
MenuModel BuildMainMenuSkeleton();
// 1: camera layouts only (no photo New, no Print and its separator);
// 2: photo layouts only (no camera New); 0 or anything else: unchanged.
void PruneMainMenu(MenuModel& menu, int editableFrameType);
// The skeleton, localised from the file, then pruned.
MenuModel BuildMainMenu(const std::string& localizeIniPath, int editableFrameType);

struct Accelerator
{
    const char* keys; // in the portable form of QKeySequence
    int command;
};
const std::vector<Accelerator>& MainAccelerators();
