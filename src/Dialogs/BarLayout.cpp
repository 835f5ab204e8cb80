#include "Dialogs/BarLayout.h"

#include <algorithm>

QSize CalcDynamicLayout(BarSizes& sizes, int length, unsigned mode, int workAreaHeight)
{
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (mode & LM_STRETCH)
            return (mode & LM_HORZ) ? QSize(32767, sizes.docked.height())
                                    : QSize(sizes.docked.width(), 32767);
        return sizes.docked;
    }
    if (mode & LM_MRUWIDTH)
        return sizes.floating;
    if (mode & LM_LENGTHY) {
        // The work area wins over the minimum on a screen too small for both.
        const int height = std::min(std::max(length, sizes.minHeight), workAreaHeight);
        sizes.floating.setHeight(height);
        if (sizes.changeDockedSize)
            sizes.docked.setHeight(height);
    } else {
        sizes.floating.setWidth(sizes.fixedWidth);
        if (sizes.changeDockedSize)
            sizes.docked.setWidth(sizes.fixedWidth);
    }
    return sizes.floating;
}

ToolBoxGeometry CalcToolBoxGeometry(int clientHeight, int textHeight, int edgeHeight)
{
    constexpr int W = kToolBoxWidth;
    ToolBoxGeometry g;
    for (int i = 0; i < 5; ++i)
        g.toolButtons[i] = QRect(10 + 52 * i, 10, 50, 50);
    const int toolBottom = 10 + 50;
    g.separatorTop = QRect(10, toolBottom + 4, W - 20, 2);
    const int smallTop = g.separatorTop.y() + 2 + 4;
    for (int i = 0; i < 5; ++i)
        g.smallButtons[i] = QRect(10 + 36 * i, smallTop, 34, 34);

    const int infoHeight = 3 * textHeight + 2 * edgeHeight;
    const int infoBottom = clientHeight - 10;
    g.infoArea = QRect(10, infoBottom - infoHeight, W - 20, infoHeight);
    g.separatorInfo = QRect(10, g.infoArea.y() - 4 - 2, W - 20, 2);
    const int readOutHeight = W / 2;
    g.readOut = QRect(10, g.separatorInfo.y() - 4 - readOutHeight, W - 20, readOutHeight);
    g.separatorList = QRect(10, g.readOut.y() - 4 - 2, W - 20, 2);

    const int listTop = smallTop + 34 + 4;
    int listHeight = g.separatorList.y() - 4 - listTop;
    if (listHeight % kItemRowHeight == 2 * edgeHeight)
        ++listHeight;
    g.list = QRect(10, listTop, W - 20, listHeight);
    return g;
}

int ToolButtonIndex(int tool)
{
    switch (tool) {
    case 3:
        return 4;
    case 4:
        return 3;
    case 5:
        return 2;
    case 6:
        return 0;
    case 7:
        return 1;
    default:
        return -1;
    }
}

int ModeBarWidth(const std::array<bool, 4>& pairShown)
{
    int width = kModeBarFullWidth;
    for (bool shown : pairShown)
        if (!shown)
            width -= kModeBarPairWidth;
    return width;
}

int ModeButtonIndex(int mode, const std::array<bool, 4>& pairShown)
{
    if (mode < 0 || mode > 9)
        return -1;
    if (mode < 2)
        return mode;
    const int pair = (mode - 2) / 2;
    // A hidden pair has no button: never check another mode's in its place.
    if (!pairShown[pair])
        return -1;
    int index = mode;
    for (int p = 0; p < pair; ++p)
        if (!pairShown[p])
            index -= 2;
    return index;
}

ModeBarGeometry CalcModeBarGeometry(const std::array<bool, 4>& pairShown)
{
    ModeBarGeometry g;
    g.buttons[0] = QRect(6, 6, 34, 34);
    g.buttons[1] = QRect(6 + 38, 6, 34, 34);
    g.separator = QRect(6 + 38 + 38, 6, 2, 34);
    int x = g.separator.x() + 6;
    for (int pair = 0; pair < 4; ++pair) {
        if (!pairShown[pair])
            continue;
        g.buttons[2 + 2 * pair] = QRect(x, 6, 34, 34);
        g.buttons[3 + 2 * pair] = QRect(x + 38, 6, 34, 34);
        x += 2 * 38;
    }
    return g;
}
