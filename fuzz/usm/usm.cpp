// Set index reader: indexes come from memory cards and other machines, so any
// bytes must be read or refused without a fault, and what was read must keep
// the index's own rule: as many names as counted, at least one. The
// photo-printing side's list reader takes the same files and must never name
// anything outside the index's folder.
#include "../cscript/ScriptFuzzFile.h"

#include "App/UsmFileNames.h"
#include "Script/USMFile.h"

#include <filesystem>
#include <vector>

namespace {

void CheckNameLists(const std::string& input)
{
    std::vector<std::string> names;
    if (ReadUsmHeaderFileNames(input, &names) == 1)
        for (const std::string& name : names)
            FUZZ_CHECK(!name.empty());

    const std::filesystem::path folder = std::filesystem::path(input).parent_path();
    // One member beside the index, so that names can find something.
    static const bool memberWritten = [&] {
        const std::string member = (folder / "ABCDEF00.usd").string();
        WriteFuzzFile(member, reinterpret_cast<const uint8_t*>("x"), 1);
        return true;
    }();
    (void)memberWritten;
    std::vector<std::string> found;
    FUZZ_CHECK(CollectUsmNamedFiles(folder.string(), &found) == 1);
    for (const std::string& path : found) {
        const std::filesystem::path named(path);
        FUZZ_CHECK(named.parent_path() == folder);
        FUZZ_CHECK(std::filesystem::is_regular_file(named));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = TheFuzzFolder().File("in.usm");
    WriteFuzzFile(input, data, size);
    CheckNameLists(input);
    CUSMFile index;
    if (index.ReadIndex(input) != 1)
        return 0;
    const int count = index.GetCount();
    FUZZ_CHECK(count >= 1);
    FUZZ_CHECK(index.GetHeader().fileNames.size() == static_cast<size_t>(count));
    FUZZ_CHECK(index.GetFilename(count).empty());
    FUZZ_CHECK(index.GetFilename(count - 1) == index.GetHeader().fileNames.back());
    // A reused object is emptied by Reset and reads the same index again.
    index.Reset();
    FUZZ_CHECK(index.GetCount() == 0 && index.GetFilename(0).empty());
    FUZZ_CHECK(index.ReadIndex(input) == 1 && index.GetCount() == count);
    return 0;
}
