// The layout files that set indexes (".usm") list: a camera layout set owns
// them, so they are refused where a lone layout would be taken.
#pragma once

#include <string>
#include <vector>

// Appends the names of the "HdFilename..." lines of every section, as stored.
// 0 when the path is empty, there is no list or the file cannot be read.
int ReadUsmHeaderFileNames(const std::string& usmPath, std::vector<std::string>* list);
// Appends the full paths of the existing files that the set indexes of the
// folder list. Names are found without regard to case; a name that is not a
// bare file name names nothing. 0 when the folder is empty or there is no list.
int CollectUsmNamedFiles(const std::string& folder, std::vector<std::string>* list);
// Some set index in the file's own folder lists the file.
int IsNamedByUsmInFolder(const std::string& path);
