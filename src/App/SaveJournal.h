// The record a save that puts several staged entries in place keeps beside
// its target while it moves them, and the rules by which that save is
// completed or undone: by the save itself when a step fails, and by the next
// open or save of the target when a crash cut the save off.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ISaveFileSystem;

// One staged file or folder that takes the place of its target. The previous
// target, if there was one, waits under `aside` until the save is complete.
struct SaveSwapEntry
{
    std::string staged;
    std::string target;
    // Empty when there was nothing at the target.
    std::string aside;
};

struct SaveJournal
{
    // In the order they are moved into place.
    std::vector<SaveSwapEntry> swaps;
    // The save's own staging and set-aside folders and files, removed once
    // everything is in place or back.
    std::vector<std::string> leftovers;
};

// Beside the saved path, hidden: ".NAME.journal".
std::string SaveJournalPath(const std::string& savedPath);
std::string FormatSaveJournal(const SaveJournal& journal);
// Nothing for a text that is not a whole journal of this format.
std::optional<SaveJournal> ParseSaveJournal(std::string_view text);

// True when `name` is one that only this program's staging makes beside an
// entry named `target` in the same folder: ".TARGET.save-XXXXXX" (with or
// without an extension), ".TARGET.old-XXXXXX", and the atomic writer's
// temporaries of those and of the target's journal.
bool IsSaveLeftoverName(std::string_view name, std::string_view target);

// Moves every entry not yet in place into place (roll forward); false at the
// first step that fails or when an entry is in no state a save leaves.
bool MoveIntoPlace(ISaveFileSystem& files, const SaveJournal& journal);
// Puts every previous entry back and the new ones under their staged names
// (roll back); false when any could not be.
bool PutBack(ISaveFileSystem& files, const SaveJournal& journal);
// Removes what was set aside and staged, syncs, then removes the journal
// (none when the path is empty); false when something stays, and then the
// journal stays too.
bool ClearSwap(ISaveFileSystem& files, const SaveJournal& journal, const std::string& journalPath);

enum class SaveRecovery {
    Nothing,       // no journal: at most leftovers were removed
    RolledForward, // the cut-off save was completed
    RolledBack,    // the cut-off save was undone
    Ignored,       // a journal that does not match the disk: nothing touched
    Unfinished,    // a step of the recovery failed; the journal stays
};

// Before `savedPath` is opened or saved: completes or undoes a save of it that
// a crash cut off, then removes this program's leftovers beside `targets`
// (every file and folder such a save replaces) and their link targets.
SaveRecovery FinishInterruptedSave(ISaveFileSystem& files, const std::string& savedPath,
                                   const std::vector<std::string>& targets);
