// The editor's working folders under the user's temporary folder, and unique
// temporary file names in them. Names ending in "/" are meant to be appended
// to; the others are joined with CombinePath.
#pragma once

#include <string>

// The user's temporary folder, without a trailing "/".
std::string GetTempFolder();

// Each returns its folder's path and, with `create`, creates it and every
// missing parent. The path is returned even when creation failed.
std::string GetTempImageFolder(bool create = false);            // ".../ZAVDTempImage/"
std::string GetTempSaveImageFolder(bool create = false);        // ".../ZAVDTempSaveImage/"
std::string GetTempClipFolder(bool create = false);             // ".../ZAVDTempClip/"
std::string GetTempDecodeFolder(bool create = false);           // ".../ZAVDTempDecode"
std::string GetTempEncodeFolder(bool create = false);           // ".../ZAVDTempEncode"
std::string GetTempPackageFolder(bool create = false);          // ".../ZAVDTempPackage"
std::string GetTempInsertFrameImageFolder(bool create = false); // ".../ZAVDTempInsertFrameImage/"
std::string GetTempSaveUSMFolder(bool create = false);          // ".../ZAVTempSaveUSM/"

// Removes each working folder above that exists, with its content; the
// chosen insert-frame picture's folder stays.
void RemoveTempWorkFolders();
// Removes the user's temporary folder when nothing is left in it.
void RemoveTempFolderIfEmpty();

// A new empty file "zvdXXXXXX.tmp" with a name no other file has, in the
// folder of the same name; `create` is passed to the folder operation. Empty
// when the folder does not exist.
std::string GetTempImageFileName(bool create = false);
std::string GetTempSaveImageFileName(bool create = false);
std::string GetTempClipFileName(bool create = false);
