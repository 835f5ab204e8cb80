// Drives a save through the save seam stopped after each of its steps in
// turn, as a crash stops it, and checks after every stop that the next open
// finds exactly the previous or exactly the new save and nothing the save
// left behind.
#pragma once

#include "App/support/FileKindsFakes.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

using SavedContent = std::map<std::string, std::string>;

struct InterruptedSave
{
    // A whole save of the previous layout, after which the document holds
    // the changed one again.
    std::function<void()> saveOld;
    // The save of the changed layout: 0 saved.
    std::function<int()> saveNew;
    // Opens the target in another document (which recovers a cut-off save):
    // true when it opened without a message.
    std::function<bool()> reopen;
    // What the target holds, by content.
    std::function<SavedContent()> content;
    // The entries beside the target (and in the temporary folder) that only
    // a save makes.
    std::function<std::vector<std::string>()> leftovers;
    // The step after which the new save counts: its journal's, or for a save
    // replaced in one rename, that rename's.
    std::function<bool(const std::string& step)> commits;
};

// Runs the save stopped after 0, 1, 2 ... steps until it runs through; returns
// the number of stops.
int ExpectOldOrNewAfterEveryStop(FailingSaveFileSystem& files, const InterruptedSave& run);

// The commit step of a save with a journal: the journal of `path` written
// (a save staged in the temporary folder on the way writes its own first).
std::function<bool(const std::string&)> WritesJournalOf(const std::string& path);

// The names directly in the folder that begin with a dot.
std::vector<std::string> HiddenNamesIn(const std::string& folder);
