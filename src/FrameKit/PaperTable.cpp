#include "FrameKit/PaperTable.h"

#include <cstring>

namespace {

struct Paper
{
    const char* name;
    std::int32_t length;
    std::int32_t width;
};

constexpr Paper kPapers[kZavPaperCount] = {
    {"HAGAKI", 2097, 1417}, {"A6", 2097, 1488},
    {"4x6", 2485, 1610},    {"A4", 4209, 2976},
    {"A3", 5952, 4209},     {"A3N", 6845, 4662},
    {"R89", 0, 1261},       {"R100", 0, 1417},
    {"RA4", 0, 2976},       {"RA3N", 0, 4662},
    {"R5IN", 0, 1800},      {"Panoramic", 8418, 2976},
    {"Letter", 3960, 3060}, {"5x8", 2880, 1800},
    {"5x7", 2520, 1800},    {"100x150", 2125, 1417},
    {"3.5x5", 1800, 1260},  {"4x6NP", 2160, 1440},
    {"8x10", 3660, 2880},   {"11x14", 5040, 3960},
    {"11x17", 6120, 3960},  {"BUSINESSCARD1", 1261, 765},
    {"WALLET", 1218, 765},
};

constexpr std::int32_t kMargins[kZavMarginModeCount][4] = {
    {0, 0, 0, 0},         {42, 42, 42, 42}, {42, 198, 42, 42},    {-42, -72, -36, -36},
    {-42, -72, -50, -50}, {0, 0, -36, -36}, {-36, -36, -36, -36},
};

} // namespace

bool PaperNameMatches(std::int32_t code, const char* name)
{
    return code >= 0 && code < kZavPaperCount && name != nullptr &&
           std::strcmp(kPapers[code].name, name) == 0;
}

bool GetPaperSize(const char* name, std::int32_t* length, std::int32_t* width)
{
    std::int32_t l = 0, w = 0;
    bool found = false;
    for (const Paper& p : kPapers) {
        if (name != nullptr && std::strcmp(p.name, name) == 0) {
            l = p.length;
            w = p.width;
            found = true;
            break;
        }
    }
    if (length != nullptr)
        *length = l;
    if (width != nullptr)
        *width = w;
    return found;
}

bool MarginsMatch(std::int32_t mode, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d)
{
    if (mode < 0 || mode >= kZavMarginModeCount)
        return false;
    if (mode == 0)
        return true;
    const std::int32_t* m = kMargins[mode];
    return m[0] == a && m[1] == b && m[2] == c && m[3] == d;
}
