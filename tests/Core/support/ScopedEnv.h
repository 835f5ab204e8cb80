// An environment variable set while the object lives, and then put back as
// it was (unset when it was unset). Declared before the objects under test,
// it outlives them, so that their destructors still see the value.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_previous)
            ::setenv(m_name.c_str(), m_previous->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};
