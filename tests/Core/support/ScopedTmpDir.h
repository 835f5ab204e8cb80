// Points TMPDIR, under which the editor keeps its temporary folders, at a
// folder of the test's own while the object lives, and then puts back what was
// there before (unset when it was unset). Declared before the objects under
// test, it outlives them, so that their destructors still see the folder.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedTmpDir
{
public:
    explicit ScopedTmpDir(const std::string& folder)
    {
        if (const char* previous = std::getenv("TMPDIR"))
            m_previous = previous;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~ScopedTmpDir()
    {
        if (m_previous)
            ::setenv("TMPDIR", m_previous->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    ScopedTmpDir(const ScopedTmpDir&) = delete;
    ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

private:
    std::optional<std::string> m_previous;
};
