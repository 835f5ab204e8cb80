// What the layout items ask of the application shell: the active document's
// camera-layout flag and page orientation, and the path of the localisation
// file. The shell installs its implementation at start-up; without one the
// items behave as for an ordinary layout.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <array>
#include <string>

class ILayoutDocument
{
public:
    virtual ~ILayoutDocument() = default;
    // The document's camera-layout flag.
    virtual bool IsDSCLayout() const = 0;
    // The page orientation of the document's layout manager (0 portrait, 1 landscape).
    virtual int GetPageOrientation() const = 0;
    // The paper mode 0..9; a document without paper modes is in mode 0.
    virtual int GetEditMode() const { return 0; }
    // The current mode's parameters; false for modes without them (0 and 1).
    virtual bool GetCurrentModeParams(std::array<int, 14>&) const { return false; }
    // The page rectangle of a paper mode; false when it is not available.
    virtual bool GetModePageRect(int, RECT&) const { return false; }
    // The size of a set-index file and of the files it lists, in bytes.
    virtual long long GetUsmTotalFileSize(const std::string&) const { return 0; }
};

class ILayoutShell
{
public:
    virtual ~ILayoutShell() = default;
    // The active document, or null.
    virtual ILayoutDocument* GetActiveEditorDoc() = 0;
    virtual std::string GetLocalizeIniPath() = 0;
};

// Not owned; null removes it.
void SetLayoutShell(ILayoutShell* shell);
ILayoutShell* GetLayoutShell();

// Conveniences over the shell: false / 0 / empty when there is no shell or document.
bool IsActiveDocumentDSCLayout();
int GetActiveDocumentOrientation();
std::string GetLayoutLocalizeIniPath();
