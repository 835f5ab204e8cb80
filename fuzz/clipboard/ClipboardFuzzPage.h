// What the clipboard harness and its seed maker share: a scratch folder that
// holds the editor's temporary folders and the pictures a block may name, and
// the page a block is pasted onto.
#pragma once

#include "Layout/LayoutManager.h"

#include <QGuiApplication>

#include <memory>
#include <string>

// Relative to the scratch folder, which is the working folder: a block written
// elsewhere names its pictures with these and still replays anywhere.
inline constexpr char kFuzzPicture[] = "p.bmp";

class ClipboardFuzzFolder
{
public:
    ClipboardFuzzFolder();
    ~ClipboardFuzzFolder();
    const std::string& Path() const { return m_path; }
    // Empties the editor's temporary folders, so that a long campaign does not fill them.
    void ClearTemporaryFiles() const;

private:
    std::string m_path;
    int m_argc = 1;
    char m_name[16] = "clipboard";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

// A bordered A4 page with a line, a text and the frames 1 and 2.
void SetUpFuzzPage(CLayoutManager& manager);
