#include "FrameKit/PackageZAV.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One scratch folder per process, holding the package and the target only.
const fs::path& Scratch()
{
    static const fs::path base = [] {
        std::string pattern = (fs::temp_directory_path() / "zav-fdp-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(base, ec);
        });
        return fs::path(pattern);
    }();
    return base;
}

void Query(PackageZAV& kit, const std::string& package)
{
    std::int8_t classification = 0;
    char name[256];
    auto header = std::make_unique<LayoutHeaderRecord>();
    IndexInfo info;
    MemberRecord record;
    std::vector<char> buffer;
    kit.Open(package.c_str());
    kit.GetClassification(&classification);
    kit.Open(package.c_str());
    kit.GetIndexHeader(name, header.get(), &info);
    for (int layout = 0; layout < 3; ++layout) {
        kit.Open(package.c_str());
        if (kit.GetLayoutFileNames(layout, name, header.get()) != 0)
            break;
        int counts[4];
        kit.GetLayoutFileCounts(layout, &counts[0], &counts[1], &counts[2], &counts[3]);
        for (int kind = 1; kind <= 8; ++kind) {
            for (int item = 0; item < 3; ++item) {
                kit.Open(package.c_str());
                if (kit.GetMemberFileName(layout, kind, item, &record) != 0 || record.size == 0 ||
                    record.size > (1u << 20))
                    continue;
                buffer.assign(record.size, 0);
                kit.CopyMemberFile(layout, kind, item, buffer.data(), static_cast<int>(record.size));
            }
        }
    }
}

} // namespace

// Opens the bytes as a package, asks every query and unpacks it into a fresh
// folder; nothing may appear beside that folder.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path& base = Scratch();
    const std::string package = (base / "in.fdp").string();
    const fs::path target = base / "target";
    std::error_code ec;
    fs::remove_all(target, ec);
    fs::remove(package, ec);
    {
        std::ofstream out(package, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    fs::create_directory(target);
    {
        PackageZAV kit;
        Query(kit, package);
    }
    PackageZAV unpack;
    int warning = 0;
    unpack.Unpackage(package.c_str(), target.c_str(), &warning);
    std::set<std::string> entries;
    for (const auto& entry : fs::directory_iterator(base))
        entries.insert(entry.path().filename().string());
    if (entries != std::set<std::string>{"in.fdp", "target"}) {
        std::fprintf(stderr, "unpacking wrote beside its target\n");
        std::abort();
    }
    return 0;
}
