// A working copy of a picture in the editor's temporary image folder, owned
// by its item: the file is removed when the item lets go of it.
#pragma once

#include <cstdint>
#include <string>

class CWorkingFile
{
public:
    CWorkingFile() = default;
    ~CWorkingFile() { Reset(); }
    CWorkingFile(const CWorkingFile&) = delete;
    CWorkingFile& operator=(const CWorkingFile&) = delete;

    const std::string& Path() const { return m_path; }
    // Tells one content of the working copy from every other: it moves on
    // whenever the file is replaced, and with Rewritten when its owner writes
    // new pixels into it, so that whoever knows the file by a version sees a
    // change without reading the file. Never repeats within the process.
    std::uint64_t Version() const { return m_version; }
    // The owner wrote the file anew in place.
    void Rewritten();
    // Takes the name; the file the old name held is removed when it lies in the
    // temporary image folder (files elsewhere belong to someone else).
    void Assign(const std::string& path);
    void Reset() { Assign(std::string()); }
    // A fresh empty file in the temporary image folder becomes the working file; false when none can be made.
    bool MakeFresh();
    // Lets go of the file without removing it; returns its name.
    std::string Release()
    {
        std::string path = m_path;
        m_path.clear();
        Rewritten();
        return path;
    }

private:
    std::string m_path;
    std::uint64_t m_version = 0;
};

// Copies a file over another and clears the copy's read-only attribute; false on failure.
bool CopyFileWritable(const std::string& from, const std::string& to);
