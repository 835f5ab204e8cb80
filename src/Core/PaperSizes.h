// The paper sizes and margins by code, in layout units on the portrait page,
// shared by the page geometry and the fitting of layout scripts to papers.
#pragma once

#include <optional>

struct PaperTableSize
{
    int width = 0;
    int height = 0; // a roll paper's default height; callers give roll lengths
};

struct PaperTableMargins
{
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

// Codes 0..23; 11 has a row but no name. Nothing outside the table.
std::optional<PaperTableSize> GetPaperTableSize(int code);
// Margin modes 0..6 on the portrait page. Nothing outside the table.
std::optional<PaperTableMargins> GetPaperTableMargins(int mode);
