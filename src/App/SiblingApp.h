// The photo-printing application as this installation knows it: a read-only
// configuration file names its program, the semaphore it holds while it runs
// and its version. Without the file the application is not installed.
#pragma once

#include <string>

// $ZAV_PHOTO_APP_CONFIG when set and not empty, else the system file.
std::string SiblingAppConfigPath();

// "PATH"; 0 when the file, the section or the value is missing (the output
// is then unchanged).
int GetSiblingAppPath(std::string& path);
// The folder part of "PATH", without a trailing "/".
int GetSiblingAppFolder(std::string& folder);
// 1 while a semaphore named after "CAPTION" exists and can be opened.
int IsSiblingAppRunning();
// "VERSION" read as a number the way strtod reads it in the "C" locale
// ("3.40" is 3.4, "3, 4, 0, 0" is 3); -1 when the program or the value is
// missing.
double GetFileVersionString();

// The semaphore name of a caption: "/" and the caption; empty when the caption
// cannot be one (empty, holding "/", or too long).
std::string SiblingSemaphoreName(const std::string& caption);
