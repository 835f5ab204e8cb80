// The pieces of a save that must leave the previous save whole when any step
// fails: everything is written under fresh names beside its target first and
// swapped in only at the end, the old folder kept aside until the last step
// succeeded.
#pragma once

#include "App/SaveFileSystem.h"

#include <string>

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

    bool Swap(const std::string& staged, const std::string& target);
    // Deletes the old folder.
    void Finish();

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
