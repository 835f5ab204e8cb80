// Sets one key of a private-profile (INI) file stored in Shift-JIS, finding
// the section and key as the profile reader does (names without regard to
// case, the first of duplicates). Every other byte of the file stays as it was,
// line ends and order included; the file is replaced atomically, so a failed
// rewrite leaves it untouched.
#pragma once

#include <string>
#include <string_view>

// A present key keeps its line's text up to "=" and gets the value; a missing
// key is added after the last line of its section, a missing section at the
// end of the file, which is created when missing. False when a name or the
// value holds a line break, the value cannot be written in Shift-JIS, or the
// file cannot be read or replaced.
bool WriteProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value);
