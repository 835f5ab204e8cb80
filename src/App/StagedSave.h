// The pieces of a save that must leave the previous save whole when any step
// fails: everything is written under fresh names beside its target first and
// swapped in only at the end, the old folder kept aside until the last step
// succeeded.
#pragma once

#include "App/SaveFileSystem.h"
#include "App/SaveJournal.h"

#include <string>

// Whether the folder and everything in it can be removed by this user: no
// read-only file or folder in it (the read-only attribute counts even where
// the system would let the user delete), every folder readable and writable,
// every entry deletable from its folder. A save checks it before it puts
// anything in the folder's place, since a set-aside copy that cannot be
// removed would stay behind.
bool FolderTreeMayBeRemoved(const std::string& folder);

// Puts staged files and folders in place of their targets as one save:
// everything staged is synced, the set-aside folders are made and the journal
// is written beside the saved path before the first move; the folders are
// synced after the moves, and the journal is removed last. Ending without
// Finish puts the previous entries back; a crash at any point is completed or
// undone by the next open or save of the same path (FinishInterruptedSave).
class SaveSwap
{
public:
    // Without a journal path the swap is undone in process only: for the
    // program's own work folders, which every open builds anew.
    SaveSwap(ISaveFileSystem& files, std::string journalPath);
    ~SaveSwap();
    SaveSwap(const SaveSwap&) = delete;
    SaveSwap& operator=(const SaveSwap&) = delete;

    // `staged` takes the place of `target`, in the order added. False when an
    // old folder is there that could not be removed afterwards.
    bool Add(const std::string& staged, const std::string& target);
    // Staging of this save that is removed once everything is in place.
    void RemoveWhenDone(const std::string& path) { m_journal.leftovers.push_back(path); }
    // Everything into place; false when a step failed, and the previous
    // entries are put back when the swap ends.
    bool Swap();
    // Removes what was set aside, the staging and the journal; false when a
    // part stays, and then the save must not count as done.
    [[nodiscard]] bool Finish();

private:
    void Undo();

    ISaveFileSystem& m_files;
    std::string m_journalPath;
    SaveJournal m_journal;
    bool m_started = false;
    bool m_moving = false;
    bool m_finished = false;
};

// A fresh folder beside a target path, named after it, deleted when it goes
// out of scope unless something moved it away (every removal through the
// save's file-system steps). The target's missing parent
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
