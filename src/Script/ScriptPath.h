// File references inside the script files keep their Windows form
// (".\Image\Image001.eff"); in memory they are native paths. Only a reference
// that begins with "." is relative to the folder of the script; any other one
// (a bare name, or one from another system such as "C:\L\a.jpg") is kept as
// it is; a native absolute one is looked up as it stands.
#pragma once

#include "Core/Path.h"

#include <string>
#include <string_view>

// The absolute folder of a script path, without a trailing "/".
std::string ScriptFolderOf(const std::string& scriptPath);

// The path a stored reference names by the rule of LookUpStoredReference.
std::string StoredToNativePath(std::string_view stored, std::string_view folder);
// The same with how the reference was found; any other name is kept, Missing.
ReferenceLookup LookUpScriptReference(std::string_view stored, std::string_view folder);

// A dot-relative path, or an absolute one inside the folder, is written in the
// stored dot-relative form; anything else as it is.
std::string NativeToStoredPath(std::string_view native, std::string_view folder);
