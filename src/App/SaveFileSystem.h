// Every file-system step a staged save takes beside its targets: making a
// fresh staging or set-aside folder, syncing what was staged, writing the
// save's journal, each move, each folder sync and each removal. Tests hand
// the savers their own to make a chosen step fail, or to stop the save after
// a step as a crash would.
#pragma once

#include <string>
#include <string_view>

class ISaveFileSystem
{
public:
    virtual ~ISaveFileSystem() = default;
    // A new empty folder named `prefix` and six unique characters, with the
    // mode a plain folder creation gives under the umask, since a staging
    // folder becomes the saved folder; false when none could be made.
    virtual bool MakeUniqueFolder(const std::string& prefix, std::string& made) = 0;
    // Flushes the file, or every file and folder below the folder, to the disk.
    virtual bool SyncTree(const std::string& path) = 0;
    // Replaces `path` whole by `bytes`, synced together with its folder.
    virtual bool WriteDurably(const std::string& path, std::string_view bytes) = 0;
    // Moves a file or folder on the same file system; an empty folder at `to`
    // is replaced.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Makes the moves into and out of the folder durable.
    virtual bool SyncFolder(const std::string& folder) = 0;
    // Removes the folder with everything in it; false when anything is left.
    virtual bool DeleteTree(const std::string& folder) = 0;
    // Removes one file (or symbolic link); true when it is gone.
    virtual bool RemoveFile(const std::string& path) = 0;
};

// The system's own.
ISaveFileSystem& SystemSaveFileSystem();
