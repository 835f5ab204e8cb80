// Where the Windows folders the editor uses lie on Linux. Paths are native,
// without a trailing "/".
#pragma once

#include <string>

// The user's own temporary folder: "zaveditor-<uid>" (mode 0700) under
// QDir::tempPath(), created when missing, so that users sharing /tmp never
// meet each other's working files. Empty when it cannot be had safely (a
// foreign owner, a symbolic link, or no way to create it).
std::string UserTempPath();
// The XDG documents folder, made when missing; the home folder when it
// cannot be made.
std::string UserDocumentsPath();
// The folder of the running executable (where Localize.ini lies); empty when
// it cannot be read.
std::string ProgramFolderPath();
// The common application data folder, open to every user: the folder named by
// ZAV_SHARED_DATA_DIR when set, else /var/lib/zaveditor when it exists (made
// by scripts/install-deps), else "zaveditor" in the user's XDG data folder.
std::string CommonAppDataPath();
