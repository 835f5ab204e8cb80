#pragma once

#include "FrameKit/Parser.h"

// Getters of a set index's [HEADER]; a missing or malformed key gives 7012.
class USMParser : public ZAVParser
{
public:
    using ZAVParser::ZAVParser;

    int GetClassificationMajor(unsigned char* major) const;
    int GetClassificationMinor(unsigned char* minor) const;
    int GetCount(int* count) const;
    // out holds 256 bytes; a name that does not fit gives 6100, never a cut.
    int GetFilename(int index, char* out) const;
    int GetCapability(int* capability) const;
};
