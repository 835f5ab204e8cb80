// The folder steps of a staged save that do not pass through the atomic file
// writer: making a fresh staging folder, moving a folder or file into place
// and removing what was set aside. Tests hand the savers their own to make a
// chosen step fail.
#pragma once

#include <string>

class ISaveFileSystem
{
public:
    virtual ~ISaveFileSystem() = default;
    // A new empty folder named `prefix` and six unique characters, with the
    // mode a plain folder creation gives under the umask, since a staging
    // folder becomes the saved folder; false when none could be made.
    virtual bool MakeUniqueFolder(const std::string& prefix, std::string& made) = 0;
    // Moves a file or folder on the same file system; an empty folder at `to`
    // is replaced.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Removes the folder with everything in it; false when anything is left.
    virtual bool DeleteTree(const std::string& folder) = 0;
};

// The system's own.
ISaveFileSystem& SystemSaveFileSystem();
