// Paper facts that both the layout files and the layout model rely on, kept in
// one place so the two libraries can share a program.
#pragma once

constexpr int kMinRollLength = 500;
constexpr int kMaxRollLength = 15840;

// A layout script names roll papers 6 to 10 only; code 11 has no name there.
constexpr bool IsScriptRollPaper(int paperSize)
{
    return paperSize >= 6 && paperSize <= 10;
}

// The page table gives the unnamed code 11 a roll row as well, so the page
// geometry treats it as roll paper.
constexpr bool IsPageTableRollPaper(int paperSize)
{
    return paperSize >= 6 && paperSize <= 11;
}
