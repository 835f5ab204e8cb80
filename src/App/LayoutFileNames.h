// The rules for the names of layout files that the printing side and the
// cameras read: at most 8 Shift-JIS bytes of the allowed characters, the
// numbered form "XXXXXX_n" kept for numbered layouts and the reserved
// prefix "VLMO00".
#pragma once

#include <string>

// 1 empty, 2 longer than 8 bytes, 3 a character not allowed, -2 the numbered
// form, -1 the reserved prefix, 0 accepted. `allowed` lists the allowed
// characters; one whose Shift-JIS form has two bytes, or none, never is.
int CheckLayoutFileName(const std::string& name, const std::string& allowed);
// 1 empty, 2 not exactly 8 bytes, -1 the reserved prefix, 3 not six allowed
// characters, "_" and a digit, 0 accepted.
int CheckNumberedLayoutFileName(const std::string& name, const std::string& allowed);
