// What the layout list and the open dialog's preview show of a layout file:
// its thumbnail file, title, paper (or camera-layout) text and paper order.
// Files come from memory cards and other machines: a thumbnail counts only
// inside the layout's own folder, a set index's members only as bare names
// in the index's folder, and both are found there without regard to case.
#pragma once

#include "Dialogs/LayoutListEntry.h"

#include <cstdint>
#include <string>

class IDialogShell;

struct LayoutHeaderText
{
    std::string thumbnailPath; // an existing file, or empty
    std::string title;
    std::string kindText;
    // Position of the layout's paper in the active document's paper-size
    // list; LayoutListEntry::kUnknownPaperOrder when it names none there.
    std::int32_t paperOrder = LayoutListEntry::kUnknownPaperOrder;
};

// The camera-layout text shown in place of a paper.
constexpr int kCameraLayoutTextId = 247;

// ".usd" and ".zvd" (extension compared without regard to case). False when
// the header cannot be read or the extension is another.
bool ReadLayoutScriptHeader(IDialogShell& shell, const std::string& path, LayoutHeaderText& out);

// ".fdp": the package's title and paper (a camera set: the index's title and
// the camera-layout text); its thumbnail member, the first one of its
// layouts, is written to `thumbnailFile`, whose folder must exist. False on a
// failing kit call, with what was found until then.
bool ReadPackageHeader(IDialogShell& shell, const std::string& path, const std::string& thumbnailFile,
                       LayoutHeaderText& out);

// ".usm": the first listed member script that exists gives the thumbnail and
// the title; the kind text is the camera-layout text. False without one.
bool ReadSetIndexHeader(IDialogShell& shell, const std::string& path, LayoutHeaderText& out);

// Any of the four kinds by the path's extension; ".fdp" thumbnails go to
// `packageThumbnailFile`. False for another extension or a failure.
bool ReadLayoutHeader(IDialogShell& shell, const std::string& path, const std::string& packageThumbnailFile,
                      LayoutHeaderText& out);

// The existing file `name` names inside `folder` (or a folder below it),
// found without regard to case; empty for anything outside the folder.
std::string FindFileInFolder(const std::string& folder, const std::string& name);

// The paper order of a paper code in the active document's list.
std::int32_t PaperOrderOf(IDialogShell& shell, int paperCode);
