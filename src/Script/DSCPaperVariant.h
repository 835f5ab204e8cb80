// One paper and border variant of a layout set: a paper code and a margin
// mode, as the layout script's header names them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct DSCPaperVariant
{
    std::int32_t paperSize = 0;
    std::int32_t marginMode = 0;

    bool operator==(const DSCPaperVariant&) const = default;
};

// The camera papers, in paper-mode order (the view's modes 2 to 9): L size,
// postcard, "100x150" and "4x6NP", each borderless and then with border. The
// first is the paper a camera layout is designed on. The one list of them.
inline constexpr std::array<DSCPaperVariant, 8> kCameraPaperVariants{{
    {17, 2},
    {17, 0},
    {0, 2},
    {0, 0},
    {16, 2},
    {16, 0},
    {18, 2},
    {18, 0},
}};

// The two characters a variant's member script adds to the set's first six
// ("00" for borderless L size); nothing for a pair no set holds.
std::optional<std::string> VariantFileCode(const DSCPaperVariant& variant);
