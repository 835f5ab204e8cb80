// One layout as the existing-layout page lists it: its entry read from the
// file's header (on the user-interface thread), and its 60 x 60 thumbnail
// made from the entry's thumbnail file (on the page's worker).
#pragma once

#include <QImage>

#include <string>

class IDialogShell;
struct LayoutListEntry;

// Fills the entry by the file's kind; 0 for an empty path or a header that
// cannot be read (the entry then holds the file name alone), else 1 (an
// unknown kind gives only the file name, too). A
// packaged frame file's thumbnail is written into `thumbnailFolder`.
int ReadLayoutEntry(IDialogShell& shell, const std::string& path, LayoutListEntry& entry,
                    const std::string& thumbnailFolder);

// The thumbnail file on a 60 x 60 canvas: the long side 60 pixels from 2
// pixels in (the 2 past the edge are cut), the short side centred; the
// fourth channel is opaque exactly over the picture. Null when the path is
// empty or no loader reads the file. Safe on any thread.
QImage MakeLayoutThumbnail(const std::string& thumbnailPath);
