// Editor document reader: any bytes must be read or refused without a fault,
// and what was read must write and read back as itself.
#include "../cscript/ScriptFuzzFile.h"

#include "Script/ZAVScript.h"

namespace {

bool SameRecords(CZAVScript& a, CZAVScript& b)
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
    const std::string input = folder.File("in.zvd");
    WriteFuzzFile(input, data, size);

    CZAVScript header;
    const int headerRead = header.ReadHeader(input);
    CZAVScript first;
    if (!first.Read(input))
        return 0;
    FUZZ_CHECK(headerRead == 1);
    FUZZ_CHECK(header.GetHeaderInfo() == first.GetHeaderInfo());
    FUZZ_CHECK(header.GetDSCFlag() == first.GetDSCFlag());

    const std::string once = folder.File("once.zvd");
    if (!first.Write(once))
        return 0;
    CZAVScript second;
    FUZZ_CHECK(second.Read(once) == 1);
    FUZZ_CHECK(second.GetDSCFlag() == first.GetDSCFlag());
    FUZZ_CHECK(SameRecords(first, second));
    UDLHeaderInfo expected = first.GetHeaderInfo();
    expected.revision = second.GetHeaderInfo().revision; // written with two decimals
    FUZZ_CHECK(expected == second.GetHeaderInfo());
    FUZZ_CHECK(first.GetDSCTitle() == second.GetDSCTitle());
    FUZZ_CHECK(first.GetDSCComment() == second.GetDSCComment());
    const std::string twice = folder.File("twice.zvd");
    FUZZ_CHECK(second.Write(twice) == 1);
    FUZZ_CHECK(ReadFuzzFile(once) == ReadFuzzFile(twice));
    return 0;
}
