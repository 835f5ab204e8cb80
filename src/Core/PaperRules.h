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

// The margin mode four-side borderless printing takes on a paper.
constexpr int BorderlessMarginMode(int paperSize)
{
    return IsA3Paper(paperSize) ? 5 : IsCardPaper(paperSize) ? 6 : 2;
}
