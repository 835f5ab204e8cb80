// What the packaged-save and registration dialogs share: the name and folder
// they propose from the document's path, when OK may be pressed, the
// refusal of a name the rules reject, and the dialogs' left pictures.
#pragma once

#include <QString>

#include <cstddef>
#include <string>

class CZAVEditorDoc;
class IDialogShell;
class ILayoutFolderServices;

struct LayoutNameProposal
{
    // Empty when the document's file name does not fit the rules.
    std::string name;
    // The document's own folder without its trailing "/" (the root stays
    // "/"), or the user's documents folder when the document lies in one of
    // the layout folders; empty without a path.
    std::string folder;
};

// A photo layout saved as ".usd" or ".fdp" proposes its whole name; a camera
// layout saved as ".usm" or ".fdp" its first six characters.
LayoutNameProposal ProposeLayoutName(ILayoutFolderServices& services, const std::string& path, bool camera,
                                     const std::string& documentsFolder);

// The most characters a name may have: 6 for a camera layout, else 8.
int MaxLayoutNameLength(bool camera);
// A camera layout's name has exactly six characters, any other is not empty.
bool IsLayoutNameComplete(const QString& name, bool camera);

// The refusal of a nonzero result of the name rules (stop icon): text 13
// for a positive one, 244 for -1, text 207 with the checked name's eighth
// character for -2.
void ShowLayoutNameRefusal(IDialogShell& shell, int rule, const std::string& checkedName);

// The folder without its trailing "/", the root kept as "/".
std::string WithoutTrailingSlash(std::string folder);
// The folder with a trailing "/".
std::string WithTrailingSlash(std::string folder);

// The document's path, or empty without one.
std::string DocumentPath(IDialogShell& shell);
bool IsCameraDocument(IDialogShell& shell);

// The shell's wait cursor for as long as it lives.
class ShellWaitCursor
{
public:
    explicit ShellWaitCursor(IDialogShell& shell);
    ~ShellWaitCursor();
    ShellWaitCursor(const ShellWaitCursor&) = delete;
    ShellWaitCursor& operator=(const ShellWaitCursor&) = delete;

private:
    IDialogShell& m_shell;
};
