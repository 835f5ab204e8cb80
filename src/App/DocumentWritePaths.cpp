#include "App/ZAVEditorDoc.h"

std::string CZAVEditorDoc::StripExtension(const std::string& path)
{
    // The extension runs from the last dot of the file name part; folders
    // with dots keep them.
    const std::size_t name = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name))
        return path;
    return path.substr(0, dot);
}
