// Where the Windows folders the editor uses lie on Linux. Paths are native,
// without a trailing "/".
#pragma once

#include <string>

// The user's own temporary folder: "zaveditor-<uid>" (mode 0700) under
// QDir::tempPath(), created when missing, so that users sharing /tmp never
// meet each other's working files. Empty when it cannot be had safely (a
// foreign owner, a symbolic link, or no way to create it).
std::string UserTempPath();
// The same, made only with `create`: without it a missing folder's path is
// returned and nothing is made, so asking where a file would lie leaves no
// folder behind.
std::string UserTempPath(bool create);
// The XDG documents folder, made when missing; the home folder when it
// cannot be made.
std::string UserDocumentsPath();
// The folder of Localize.ini and the resources: the running executable's
// folder when Localize.ini lies there (the build tree), else the installed
// share folder beside it; empty when the executable cannot be read.
std::string ProgramFolderPath();
// The same rule for a given executable folder.
std::string ProgramFolderFor(const std::string& executableFolder);
// The common application data folder, open to every user: the folder named by
// ZAV_SHARED_DATA_DIR when set, else /var/lib/zaveditor when it exists (made
// by scripts/install-deps), else "zaveditor" in the user's XDG data folder.
std::string CommonAppDataPath();
