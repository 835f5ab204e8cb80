// Where the existing-layout page finds its layouts: the recent files, the
// layout folders of the photo-printing application, and the camera folder of
// a memory card. Each gives paths in the order they are listed before sorting.
#pragma once

#include <string>
#include <vector>

class IDialogShell;

// The page's three sources, as its radio buttons number them.
enum ExistingLayoutSource { kRecentSource = 0, kRegisteredSource = 1, kCardSource = 2 };

// The recent files that still exist and are no set's member. The others are
// removed from the application's list, so the stored list loses them too.
std::vector<std::string> CollectRecentLayouts(IDialogShell& shell);

// A folder's ".usd" and ".usm" files (either case) whose names are at most 12
// characters long, without the scripts that its set indexes name.
std::vector<std::string> CollectFolderLayouts(IDialogShell& shell, const std::string& folder, bool withUsd,
                                              bool withUsm);

// The layout folder, then the common one (searched once when it is the same
// folder); ".usm" only when `EditableFrameType` is not 2.
std::vector<std::string> CollectRegisteredLayouts(IDialogShell& shell);

// The card's "VLUDL" folder (found without regard to case) under a card root.
std::string FindCardLayoutFolder(const std::string& root);
// Its ".usd" unless `EditableFrameType` is 1, its ".usm" unless it is 2.
std::vector<std::string> CollectCardLayouts(IDialogShell& shell, const std::string& root);

// At most 12 characters, the short names the photo-printing side and the
// cameras use.
bool IsShortLayoutName(const std::string& name);
