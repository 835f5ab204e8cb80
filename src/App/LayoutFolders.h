// The shared folders in which layouts of the photo-printing application live,
// and the tests whether a file lies directly in one of them.
#pragma once

#include <string>

// The photo-printing application's folder followed by "/Config/UDL".
int GetSiblingConfigUDLFolder(std::string& folder);
// The common-files folder has no counterpart here: always 0, nothing lies in it.
int GetCommonUDLFolder(std::string& folder);
// The shared data folder, open to every user.
int GetUDLFolder(std::string& folder);

// The folder part of the path equals the folder, without regard to case;
// files in sub-folders are not inside, and an empty folder holds nothing.
bool IsPathDirectlyInFolder(const std::string& path, const std::string& folder);
int IsInSiblingConfigUDLFolder(const std::string& path);
int IsInUDLFolder(const std::string& path);
int IsInCommonUDLFolder(const std::string& path);
