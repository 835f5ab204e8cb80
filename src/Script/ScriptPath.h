// File references inside the script files keep their Windows form
// (".\Image\Image001.eff"); in memory they are native paths. Only a reference
// that begins with "." is relative to the folder of the script; any other one
// (absolute, or from another system such as "C:\L\a.jpg") is kept as it is.
#pragma once

#include <string>
#include <string_view>

// The absolute folder of a script path, without a trailing "/".
std::string ScriptFolderOf(const std::string& scriptPath);

std::string StoredToNativePath(std::string_view stored, std::string_view folder);

// A dot-relative path, or an absolute one inside the folder, is written in the
// stored dot-relative form; anything else as it is.
std::string NativeToStoredPath(std::string_view native, std::string_view folder);
