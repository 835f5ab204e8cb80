// Paper facts that the layout files, the layout model, the view's commands and
// the dialogs all rely on, kept in one place so that they cannot disagree.
#pragma once

constexpr int kMinRollLength = 500;
constexpr int kMaxRollLength = 15840;

// The roll papers that have a name (6 to 10): the layout files store a length
// for these, a page built from a file is checked against them, and only these
// offer the roll-length command. Code 11 has no name.
constexpr bool IsScriptRollPaper(int paperSize)
{
    return paperSize >= 6 && paperSize <= 10;
}

// The page table and the paper lists also give the unnamed code 11 a roll row,
// so the page geometry, the wizard and the page information treat it as roll
// paper.
constexpr bool IsPageTableRollPaper(int paperSize)
{
    return paperSize >= 6 && paperSize <= 11;
}

// Paper codes 0 to 23; 11 has a row in the page table but no paper text.
constexpr int kPaperSizeCount = 24;
constexpr int kUnassignedPaperSize = 11;

// The paper codes that have a paper text; a layout file names its paper by
// that text, so no other code can be a page's paper.
constexpr bool IsNamedPaper(int paperSize)
{
    return paperSize >= 0 && paperSize < kPaperSizeCount && paperSize != kUnassignedPaperSize;
}

// "A3" and "A3N": borderless printing on them has a margin mode of its own.
constexpr bool IsA3Paper(int paperSize)
{
    return paperSize == 4 || paperSize == 5;
}

// "BUSINESSCARD1" and "WALLET": no standard margin, and a borderless mode of
// their own.
constexpr bool IsCardPaper(int paperSize)
{
    return paperSize == 22 || paperSize == 23;
}

// Margin modes 0 to 6 (their texts: the layout script's header).
constexpr int kMarginModeCount = 7;

// The margin modes a layout file may carry on a paper: every reader of the
// format (this editor's and the photo-printing application's) refuses the
// header otherwise, so the writers refuse it too.
constexpr bool IsMarginModeAccepted(int marginMode, int paperSize)
{
    const bool roll = IsScriptRollPaper(paperSize);
    switch (marginMode) {
    case 0:
    case 1:
        return !roll;
    case 2:
        return !roll && !IsA3Paper(paperSize) && !IsCardPaper(paperSize);
    case 3:
    case 4:
        return roll;
    case 5:
        return IsA3Paper(paperSize);
    case 6:
        return IsCardPaper(paperSize);
    default:
        return false;
    }
}

// The printable areas the editor offers a layout for the photo-printing
// application in (the new-layout wizard's buttons, in their order).
enum PrintableArea { kAreaStandard = 0, kAreaMaximum = 1, kAreaBorderless = 2, kAreaRollPaper = 3 };

// The margin mode four-side borderless printing takes on a paper.
constexpr int BorderlessMarginMode(int paperSize)
{
    return IsA3Paper(paperSize) ? 5 : IsCardPaper(paperSize) ? 6 : 2;
}

// The margin mode an area gives on a paper (roll paper: 4 with the auto
// cutter, else 3); -1 for no area.
constexpr int MarginModeOfArea(int area, int paperSize, bool autoCutter)
{
    switch (area) {
    case kAreaMaximum:
        return 0;
    case kAreaStandard:
        return 1;
    case kAreaBorderless:
        return BorderlessMarginMode(paperSize);
    case kAreaRollPaper:
        return autoCutter ? 4 : 3;
    default:
        return -1;
    }
}

// The area a margin mode shows; -1 for none.
constexpr int AreaOfMarginMode(int marginMode)
{
    switch (marginMode) {
    case 0:
        return kAreaMaximum;
    case 1:
        return kAreaStandard;
    case 2:
    case 5:
    case 6:
        return kAreaBorderless;
    case 3:
    case 4:
        return kAreaRollPaper;
    default:
        return -1;
    }
}

// The areas the editor offers on a paper; a paper without a text has none.
constexpr bool IsAreaOffered(int paperSize, int area)
{
    if (!IsNamedPaper(paperSize))
        return false;
    if (paperSize == 1) // "A6"
        return area == kAreaStandard || area == kAreaMaximum;
    if (paperSize == 2) // "4x6"
        return area == kAreaStandard;
    if (IsScriptRollPaper(paperSize))
        return area == kAreaRollPaper;
    if (IsCardPaper(paperSize))
        return area == kAreaMaximum || area == kAreaBorderless;
    return area == kAreaStandard || area == kAreaMaximum || area == kAreaBorderless;
}

// The editor offers a margin mode on a paper when an area it offers there
// gives that mode; a page read with any other pair is reported to the user.
constexpr bool IsMarginModeOffered(int paperSize, int marginMode)
{
    const int area = AreaOfMarginMode(marginMode);
    return area >= 0 && IsAreaOffered(paperSize, area) &&
           (MarginModeOfArea(area, paperSize, false) == marginMode ||
            MarginModeOfArea(area, paperSize, true) == marginMode);
}
