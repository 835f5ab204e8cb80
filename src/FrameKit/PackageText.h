#pragma once

#include <string>

// Conversions between host names (UTF-8) and the CP932 bytes stored in packages.
bool ZavUtf8ToCp932(const std::string& utf8, std::string& out);
bool ZavCp932ToUtf8(const std::string& cp932, std::string& out);

// Text after the last separator "\" of a CP932 reference (never a trail
// byte), or the whole reference when it has none.
std::string ZavReferenceName(const std::string& reference);
// Text before that separator; empty when there is none.
std::string ZavReferenceFolder(const std::string& reference);
// Host file name: the text after the last "/".
std::string ZavHostName(const std::string& path);
// Equal without regard to case of single-byte letters; double-byte
// characters compare as they are.
bool ZavSameNameNoCase(const std::string& a, const std::string& b);
