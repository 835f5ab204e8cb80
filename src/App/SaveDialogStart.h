// Where the save-file dialog opens and how its answer becomes a path: always
// in a folder that exists, never relative to the process's current folder.
#pragma once

#include <string>

struct SaveDialogStart
{
    std::string folder; // absolute, existing
    std::string name;   // the proposed file name, without folder
};

// True for a path that names its folder from the root.
inline bool IsAbsolutePathName(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}
// The proposal's folder when it is absolute and exists, else the user's
// documents folder (made when missing), else the home folder.
SaveDialogStart StartOfSaveDialog(const std::string& proposal);
// An absolute path for a chosen name: a relative one is taken inside `folder`.
std::string AbsoluteChosenPath(const std::string& chosen, const std::string& folder);
