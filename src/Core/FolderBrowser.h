// The editor's one folder-picking dialog (for example the target of a
// packaged frame file), titled with caption 232.
#pragma once

#include "Platform/FolderChooser.h"

#include <string>

// Opens on `initialFolder`, or on the user's documents folder (without its
// trailing "/") when that is empty. Returns the chosen folder, or the folder
// it opened on when the user cancels.
std::string BrowseForFolder(IFolderChooser& chooser, const std::string& localizeIniPath,
                            const std::string& initialFolder);
