#include "App/PaperModes.h"

#include "Script/DSCPaperVariant.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr PaperModeRow kRows[] = {
    {17, 2, 1342, 1952, 1333, 1915, 2, 9, 700, 1013, 21, 31, 681, 975},
    {17, 0, 1188, 1728, 1166, 1706, 5, 5, 697, 1017, 5, 5, 697, 1017},
    {0, 2, 1540, 2240, 1490, 2212, 11, 6, 691, 1016, 28, 26, 674, 983},
    {0, 0, 1386, 2016, 1323, 2003, 15, 2, 687, 1020, 15, 2, 687, 1020},
    {16, 2, 1540, 2240, 1490, 2240, 11, 0, 691, 1023, 28, 19, 674, 990},
    {16, 0, 1408, 2048, 1323, 2031, 20, 3, 682, 1019, 20, 3, 682, 1019},
    {18, 2, 1584, 2304, 1513, 2275, 15, 7, 687, 1016, 31, 26, 671, 984},
    {18, 0, 1430, 2080, 1346, 2066, 20, 3, 682, 1019, 20, 3, 682, 1019},
};

constexpr int kUnturnedWidth = 703;

// Columns 0 and 1 of each row are the camera paper of its mode.
constexpr bool RowsAreTheCameraPapers()
{
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (kRows[i][0] != kCameraPaperVariants[i].paperSize ||
            kRows[i][1] != kCameraPaperVariants[i].marginMode)
            return false;
    return std::size(kRows) == kCameraPaperVariants.size();
}
static_assert(RowsAreTheCameraPapers());

} // namespace

bool GetPaperModeParams(int mode, PaperModeRow* out)
{
    if (mode < 2 || mode > kLastPaperMode || !out)
        return false;
    *out = kRows[mode - 2];
    return true;
}

RECT PaperCommonRect()
{
    RECT common{0, 0, 703, 1023};
    for (int mode = 2; mode <= kLastPaperMode; ++mode) {
        PaperModeRow row{};
        GetPaperModeParams(mode, &row);
        common.left = std::max(common.left, row[10]);
        common.top = std::max(common.top, row[11]);
        common.right = std::min(common.right, row[12]);
        common.bottom = std::min(common.bottom, row[13]);
    }
    return common;
}

RECT TurnModeRect(const RECT& r)
{
    return RECT{r.top, kUnturnedWidth - r.right, r.bottom, kUnturnedWidth - r.left};
}
