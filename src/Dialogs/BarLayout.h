// The geometry both floating bars negotiate with their frames and lay out
// their controls by: pure functions, so the rules are tested without widgets.
#pragma once

#include <QRect>
#include <QSize>

#include <array>

// The size negotiation's mode flags.
constexpr unsigned LM_STRETCH = 0x01;
constexpr unsigned LM_HORZ = 0x02;
constexpr unsigned LM_MRUWIDTH = 0x04;
constexpr unsigned LM_HORZDOCK = 0x08;
constexpr unsigned LM_VERTDOCK = 0x10;
constexpr unsigned LM_LENGTHY = 0x20;
constexpr unsigned LM_COMMIT = 0x40;

// What a bar keeps for the negotiation.
struct BarSizes
{
    QSize docked;
    QSize floating;
    int fixedWidth = 0;
    int minHeight = 0;
    // The docked size follows the floating one.
    bool changeDockedSize = false;
};

// The size the bar asks for. Floating, it can only be stretched vertically,
// between the minimum height and the work area's height.
QSize CalcDynamicLayout(BarSizes& sizes, int length, unsigned mode, int workAreaHeight);

// --- The tool box ---
constexpr int kToolBoxWidth = 278;
constexpr int kToolBoxMinHeight = 377;
constexpr int kItemRowHeight = 54;

struct ToolBoxGeometry
{
    std::array<QRect, 5> toolButtons;
    QRect separatorTop; // 2053
    std::array<QRect, 5> smallButtons;
    QRect list;          // 1300
    QRect separatorList; // 2054
    QRect readOut;       // 2120
    QRect separatorInfo; // 2055
    QRect infoArea;      // 2121
};

// Top to bottom: the tool buttons, the small buttons and the list from the
// top; the page information, the read-out and their separators from the
// bottom. The list takes what is left, one pixel more when its height would
// leave exactly twice the edge height below its last whole row.
ToolBoxGeometry CalcToolBoxGeometry(int clientHeight, int textHeight, int edgeHeight);

// The tool button of a layout-manager tool code; -1 for a code without one.
int ToolButtonIndex(int tool);

// --- The paper-mode bar ---
constexpr int kModeBarFullWidth = 394;
constexpr int kModeBarHeight = 44;
constexpr int kModeBarPairWidth = 76;

// The "DSCPaperFlag" keys of the four paper pairs, in mode order.
inline constexpr std::array<const char*, 4> kModePairKeys = {"3.5x5", "HAGAKI", "100x150", "4x6NP"};

// The bar's width with the given pairs shown.
int ModeBarWidth(const std::array<bool, 4>& pairShown);
// The button of a mode among the shown ones; -1 for a mode of a hidden pair
// or outside 0..9.
int ModeButtonIndex(int mode, const std::array<bool, 4>& pairShown);
// The places of the shown buttons in mode order, and the separator's.
struct ModeBarGeometry
{
    std::array<QRect, 10> buttons; // by mode; empty for a hidden one
    QRect separator;               // 2053
};
ModeBarGeometry CalcModeBarGeometry(const std::array<bool, 4>& pairShown);
