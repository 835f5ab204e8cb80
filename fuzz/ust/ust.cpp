// Memory-card ".ust" files are written by cameras: any bytes must be read
// without a fault, and each name found lies in the card's VLUDL folder.
#include "App/SaveChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <sys/stat.h>

namespace {

// One card root of the process, with DCIM/100CAMERA/A.ust as the scratch file.
const std::string& CardRoot()
{
    static const std::string root = [] {
        char pattern[] = "/tmp/ust-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        const std::string base = std::string(made) + "/";
        mkdir((base + "dcim").c_str(), 0700);
        mkdir((base + "dcim/100CAMERA").c_str(), 0700);
        return base;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = CardRoot() + "dcim/100CAMERA/A.UST";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    std::vector<std::string> names{"stale"};
    CollectUstLayoutNames(CardRoot(), names);
    if (names.size() > 1)
        std::abort();
    const std::string prefix = AsciiLower(CardRoot() + "VLUDL/");
    for (const std::string& name : names)
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            std::abort();
    return 0;
}
