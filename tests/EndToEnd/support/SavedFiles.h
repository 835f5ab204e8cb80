// Every save the end-to-end suite makes goes through SaveLayout, which drives
// the program's own Save as / register (or File > Save) as a user would and
// records the written file, so that checks over every file the editor wrote
// (SavedFiles) see them all.
#pragma once

#include "EndToEnd/support/ModalDriver.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class ProgramTest;

enum class SaveTarget {
    EditorDocument,     // .zvd through Save as / register and the file dialog, into the documents folder
    InPlace,            // File > Save of the document's own path
    PackagedFrame,      // .fdp through the packaged-save dialog, into its proposed folder
    SharedLayoutFolder, // .usd registered for the photo-printing application in the shared layout folder
    CameraCard,         // a camera layout set (.usm) on the test's memory card; a name of 6 characters
};

struct SavedFile
{
    SaveTarget target;
    std::string path; // the document's path after the save
};

// What every test of this program saved so far, in order.
const std::vector<SavedFile>& SavedFiles();

// Saves the running program's layout under `name` (no extension; ignored for
// InPlace) and returns the document's path after the save; empty, with a
// test failure, when the save did not happen.
std::string SaveLayout(ProgramTest& test, SaveTarget target, const std::string& name);

// The same save when the program asks for it itself (the question before
// changes are discarded): the handlers answer the save-format dialog and what
// follows it; after the action, RecordSave checks and records the file.
struct PlannedSave
{
    SaveTarget target;
    // The file the save writes; a dialog that proposes its folder fills it in.
    std::shared_ptr<std::string> path;
    std::vector<ModalHandler> handlers;
};
PlannedSave PlanSave(ProgramTest& test, SaveTarget target, const std::string& name);
std::string RecordSave(ProgramTest& test, const PlannedSave& save);

// A file's bytes; empty when it cannot be read.
QByteArray FileBytes(const std::string& path);
// The files of a saved layout's companion folder, by name.
std::map<QString, QByteArray> CompanionFiles(const std::string& layoutPath);
