// The round trip the layout script and the editor document harnesses share:
// any bytes are read or refused without a fault, and what was read writes and
// reads back as itself and then writes unchanged.
#pragma once

#include "ScriptFuzzFile.h"

#include "Script/UDLHeaderInfo.h"

#include <string>

template <class Script> bool SameRecords(Script& a, Script& b)
{
    if (a.GetDrawRecordCount() != b.GetDrawRecordCount())
        return false;
    for (int i = 0; i < a.GetDrawRecordCount(); ++i)
        if (!(*a.GetDrawRecord(i) == *b.GetDrawRecord(i)))
            return false;
    return true;
}

// extension names the files (".usd"); sameHeaderRead(header, first) and
// sameReread(first, second) make a format's own checks of the header-only
// read and of the read of what was written.
template <class Script, class SameHeaderRead, class SameReread>
int CheckScriptRoundTrip(const uint8_t* data, size_t size, const std::string& extension,
                         SameHeaderRead sameHeaderRead, SameReread sameReread)
{
    const FuzzFolder& folder = TheFuzzFolder();
    const std::string input = folder.File(("in" + extension).c_str());
    WriteFuzzFile(input, data, size);

    Script header;
    const int headerRead = header.ReadHeader(input);
    Script first;
    if (!first.Read(input))
        return 0;
    FUZZ_CHECK(headerRead == 1);
    FUZZ_CHECK(header.GetHeaderInfo() == first.GetHeaderInfo());
    sameHeaderRead(header, first);

    // The writer may refuse what it cannot write faithfully, but what it
    // writes must read back as the same records and then write unchanged.
    const std::string once = folder.File(("once" + extension).c_str());
    if (!first.Write(once))
        return 0;
    Script second;
    FUZZ_CHECK(second.Read(once) == 1);
    sameReread(first, second);
    FUZZ_CHECK(SameRecords(first, second));
    UDLHeaderInfo expected = first.GetHeaderInfo();
    expected.revision = second.GetHeaderInfo().revision; // written with two decimals
    FUZZ_CHECK(expected == second.GetHeaderInfo());
    const std::string twice = folder.File(("twice" + extension).c_str());
    FUZZ_CHECK(second.Write(twice) == 1);
    FUZZ_CHECK(ReadFuzzFile(once) == ReadFuzzFile(twice));
    return 0;
}
