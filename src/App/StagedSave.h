// The pieces of a save that must leave the previous save whole when any step
// fails: everything is written under fresh names beside its target first and
// swapped in only at the end, the old folder kept aside until the last step
// succeeded.
#pragma once

#include "App/SaveFileSystem.h"

#include <string>

// Whether the folder and everything in it can be removed by this user: no
// read-only file or folder in it (the read-only attribute counts even where
// the system would let the user delete), every folder readable and writable,
// every entry deletable from its folder. A save checks it before it puts
// anything in the folder's place, since a set-aside copy that cannot be
// removed would stay behind.
bool FolderTreeMayBeRemoved(const std::string& folder);

// Puts a staged folder in place of a target folder. Until Finish the old
// folder is kept aside; ending without Finish moves the staged folder back to
// its staging name and the old folder back to the target.
class FolderSwap
{
public:
    explicit FolderSwap(ISaveFileSystem& files) : m_files(files) {}
    ~FolderSwap();
    FolderSwap(const FolderSwap&) = delete;
    FolderSwap& operator=(const FolderSwap&) = delete;

    // False, with nothing moved, when an old folder is there that could not be
    // removed afterwards.
    bool Swap(const std::string& staged, const std::string& target);
    // Deletes the old folder; false when a part of it stays, and then the
    // save must not count as done.
    [[nodiscard]] bool Finish();

private:
    void Undo();

    ISaveFileSystem& m_files;
    std::string m_staged;
    std::string m_target;
    std::string m_aside;
    bool m_movedAside = false;
    bool m_swapped = false;
    bool m_finished = false;
};

// A fresh folder beside a target path, named after it, deleted when it goes
// out of scope unless something moved it away. The target's missing parent
// folders are made first and, unless Keep is called, removed again.
class StagingFolder
{
public:
    explicit StagingFolder(ISaveFileSystem& files) : m_files(files) {}
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool Make(const std::string& target);
    const std::string& Path() const { return m_path; }
    // A file name beside the folder, unique with it, removed with it.
    std::string SiblingFile(const std::string& extension);
    // The parents made for it stay.
    void Keep() { m_createdRoot.clear(); }

private:
    ISaveFileSystem& m_files;
    std::string m_path;
    std::string m_createdRoot;
    std::string m_file;
};
