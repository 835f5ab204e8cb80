// Layout files written at test time for the layout list, its header reading
// and the open dialog's preview: layout scripts, camera documents, set
// indexes, packaged frame files made with the kit, and red thumbnails.
#pragma once

#include <string>
#include <vector>

// Writes the bytes, creating the folders on the way.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The Shift-JIS bytes of a UTF-8 text the code page holds.
std::string ToSjis(const std::string& utf8);
// A red picture of the size: a JPEG, or an uncompressed 24-bit Targa.
bool WriteRedJpeg(const std::string& path, int width, int height);
void WriteRedTga(const std::string& path, int width, int height);

// A layout script's text: the title (UTF-8, stored in Shift-JIS), the stored
// thumbnail reference (none when empty) and the paper name.
std::string LayoutScriptText(const std::string& title, const std::string& thumbnail,
                             const std::string& paper = "HAGAKI");
// A camera layout document's text with the title and thumbnail reference.
std::string CameraDocumentText(const std::string& title, const std::string& thumbnail);
// A camera set index titled "Set" listing the names as given.
std::string SetIndexText(const std::vector<std::string>& names);

// Packaged frame files made with the kit; true on success.
bool PackageLayout(const std::string& script, const std::string& package);
bool PackageCameraSet(const std::string& index, const std::string& package);
