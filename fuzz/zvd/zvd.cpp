// Editor document reader: any bytes must be read or refused without a fault,
// and what was read must write and read back as itself.
#include "../cscript/ScriptRoundTrip.h"

#include "Script/ZAVScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return CheckScriptRoundTrip<CZAVScript>(
        data, size, ".zvd",
        [](CZAVScript& header, CZAVScript& first) { FUZZ_CHECK(header.GetDSCFlag() == first.GetDSCFlag()); },
        [](CZAVScript& first, CZAVScript& second) {
            FUZZ_CHECK(second.GetDSCFlag() == first.GetDSCFlag());
            FUZZ_CHECK(first.GetDSCTitle() == second.GetDSCTitle());
            FUZZ_CHECK(first.GetDSCComment() == second.GetDSCComment());
        });
}
