#include "App/SaveFileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class SystemFileSystem : public ISaveFileSystem
{
public:
    bool MakeUniqueFolder(const std::string& prefix, std::string& made) override
    {
        std::string pattern = prefix + "XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data()))
            return false;
        made = buffer.data();
        return true;
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
};

} // namespace

ISaveFileSystem& SystemSaveFileSystem()
{
    static SystemFileSystem system;
    return system;
}
