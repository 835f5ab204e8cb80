// Layout script reader: any bytes must be read or refused without a fault, and
// what was read must write and read back as itself.
#include "../cscript/ScriptRoundTrip.h"

#include "Script/UDLScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto nothingMore = [](CUDLScript&, CUDLScript&) {};
    return CheckScriptRoundTrip<CUDLScript>(data, size, ".usd", nothingMore, nothingMore);
}
