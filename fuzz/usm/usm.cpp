// Set index reader: indexes come from memory cards and other machines, so any
// bytes must be read or refused without a fault, and what was read must keep
// the index's own rule: as many names as counted, at least one.
#include "../cscript/ScriptFuzzFile.h"

#include "Script/USMFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = TheFuzzFolder().File("in.usm");
    WriteFuzzFile(input, data, size);
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
