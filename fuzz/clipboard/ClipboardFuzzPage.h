// What the clipboard harness and its seed maker share: a scratch folder that
// holds the editor's temporary folders and the pictures a block may name, and
// the page a block is pasted onto.
#pragma once

#include "Layout/LayoutManager.h"

#include <QGuiApplication>

#include <memory>
#include <string>

// Relative to the scratch folder, which is the working folder while a block is
// pasted: a block written elsewhere names its picture so and replays anywhere.
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

// Makes the scratch folder the working folder for its lifetime only: the
// fuzzer's own paths stay relative to the folder it was started in.
class InFuzzFolder
{
public:
    explicit InFuzzFolder(const ClipboardFuzzFolder& folder);
    ~InFuzzFolder();
    InFuzzFolder(const InFuzzFolder&) = delete;
    InFuzzFolder& operator=(const InFuzzFolder&) = delete;

private:
    int m_previous;
};

// A bordered A4 page with a line and a text. No frame: a frame is slow to make
// (it loads its placeholder pictures), and without one every pasted frame
// numbered 1 or more is renumbered.
void SetUpFuzzPage(CLayoutManager& manager);
