#include "Core/PaperSizes.h"

#include <array>

namespace {

constexpr std::array<PaperTableSize, 24> kPaperSizes{{
    {1417, 2097}, {1488, 2097}, {1610, 2485}, {2976, 4209}, {4209, 5952}, {4662, 6845},
    {1261, 499},  {1417, 499},  {2976, 499},  {4662, 499},  {1800, 499},  {1440, 499},
    {2976, 8418}, {3060, 3960}, {1800, 2880}, {1800, 2520}, {1417, 2125}, {1260, 1800},
    {1440, 2160}, {2880, 3600}, {3960, 5040}, {3960, 6120}, {780, 1290},  {765, 1219},
}};

constexpr std::array<PaperTableMargins, 7> kPortraitMargins{{
    {42, 42, 42, 42},
    {42, 198, 42, 42},
    {-42, -72, -36, -36},
    {0, 0, -36, -36},
    {-36, -36, -36, -36},
    {-42, -72, -50, -50},
    {-36, -50, -26, -26},
}};

} // namespace

std::optional<PaperTableSize> GetPaperTableSize(int code)
{
    if (code < 0 || code >= static_cast<int>(kPaperSizes.size()))
        return std::nullopt;
    return kPaperSizes[static_cast<std::size_t>(code)];
}

std::optional<PaperTableMargins> GetPaperTableMargins(int mode)
{
    if (mode < 0 || mode >= static_cast<int>(kPortraitMargins.size()))
        return std::nullopt;
    return kPortraitMargins[static_cast<std::size_t>(mode)];
}
