// Layout script reader: any bytes must be read or refused without a fault, and
// what was read must write and read back as itself.
#include "../cscript/ScriptFuzzFile.h"

#include "Script/UDLScript.h"

namespace {

bool SameRecords(CUDLScript& a, CUDLScript& b)
{
    if (a.GetDrawRecordCount() != b.GetDrawRecordCount())
        return false;
    for (int i = 0; i < a.GetDrawRecordCount(); ++i)
        if (!(*a.GetDrawRecord(i) == *b.GetDrawRecord(i)))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzFolder& folder = TheFuzzFolder();
    const std::string input = folder.File("in.usd");
    WriteFuzzFile(input, data, size);

    CUDLScript header;
    const int headerRead = header.ReadHeader(input);
    CUDLScript first;
    if (!first.Read(input))
        return 0;
    FUZZ_CHECK(headerRead == 1);
    FUZZ_CHECK(header.GetHeaderInfo() == first.GetHeaderInfo());

    // The writer may refuse what it cannot write faithfully, but what it
    // writes must read back as the same records and then write unchanged.
    const std::string once = folder.File("once.usd");
    if (!first.Write(once))
        return 0;
    CUDLScript second;
    FUZZ_CHECK(second.Read(once) == 1);
    FUZZ_CHECK(SameRecords(first, second));
    UDLHeaderInfo expected = first.GetHeaderInfo();
    expected.revision = second.GetHeaderInfo().revision; // written with two decimals
    FUZZ_CHECK(expected == second.GetHeaderInfo());
    const std::string twice = folder.File("twice.usd");
    FUZZ_CHECK(second.Write(twice) == 1);
    FUZZ_CHECK(ReadFuzzFile(once) == ReadFuzzFile(twice));
    return 0;
}
