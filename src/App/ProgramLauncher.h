// Starting another program: the program file and its arguments, each handed
// over as one argument, never through a shell. Tests replace the launcher.
#pragma once

#include <string>
#include <vector>

class IProgramLauncher
{
public:
    virtual ~IProgramLauncher() = default;
    // False when the program could not be started.
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// Starts the program as a process of its own that outlives the editor.
class DetachedProgramLauncher : public IProgramLauncher
{
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override;
};
