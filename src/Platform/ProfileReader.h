// Reads private-profile (INI) files stored in Shift-JIS, with the rules of the
// Windows profile calls that the editor's files rely on: section and key names
// compared without regard to case, the first of duplicate sections or keys
// wins, values trimmed and one pair of outer quotes stripped, a missing file
// reads as empty. Values come back as UTF-8. Nothing is cached: every call
// reads the file again, so an edit takes effect at the next read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of the key, or nothing when the file, the section or the key is
// missing (a line that is not valid Shift-JIS counts as missing).
std::optional<std::string> ReadProfileValue(const std::string& path, std::string_view section,
                                            std::string_view key);
// The value, or `defaultValue` when it is missing.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue = {});
// The value's leading decimal integer (an optional sign and the digits that
// follow, like atoi), or `defaultValue` when the key is missing.
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue);
