// A document over recording fakes, answered through a recording save shell:
// what the save-format, packaged-save and registration dialog tests share.
#pragma once

#include "App/support/DocumentFakes.h"
#include "Dialogs/support/FakeSaveShell.h"

#include <memory>
#include <string>
#include <vector>

struct SaveDialogFixture
{
    explicit SaveDialogFixture(const std::vector<std::string>& uiSettings = {"EnableMemoryCardDrive=1"});

    CZAVEditorDoc& Doc() { return *f.document; }
    // The boxes shown through the shell and by the document, in order of kind:
    // the shell's text ids, then the document's as localisation ids.
    std::vector<int> ShellMessages() const;
    // A titled photo layout with one visible item, or a camera layout with
    // its insert-photo frame.
    void MakePhotoLayout(const std::string& path = {});
    void MakeCameraLayout(const std::string& path = {});
    // The save calls the document made of its writers.
    std::vector<std::string> Saves() const;

    DocumentFixture f;
    RuleServices services;
    FakeSaveShell shell;
};
