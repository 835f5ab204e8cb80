// Temporary folders and raw file bytes for the script tests.
#pragma once

#include <string>

// A fresh folder removed with everything in it when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
// Joins lines with CR LF, a line end after each.
std::string CrLf(std::initializer_list<const char*> lines);
std::string FixturePath(const std::string& name);
