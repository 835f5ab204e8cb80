// Steps of the user's road shared by the end-to-end tests.
#pragma once

#include "EndToEnd/support/ModalDriver.h"
#include "EndToEnd/support/ProgramTest.h"
#include "Layout/LayoutManager.h"

#include <vector>

// File > New, the wizard's paper page: a postcard, upright.
void NewPostcardLayout(ProgramTest& test);
// Item > Line, drawn with the mouse between two fractions of the page.
void DrawLine(ProgramTest& test, double fx1, double fy1, double fx2, double fy2);

// File > Layout information: the three header texts typed, OK.
void SetLayoutInformation(ProgramTest& test, const QString& title, const QString& author,
                          const QString& comment);

// The image-information dialog: the check boxes `switches` (those the dialog
// has) switched on, the captions' face IPAMincho, the radio button 1081, OK.
ModalHandler SwitchOnCaptions(std::vector<int> switches);

// The items of a class on the page.
template <typename Item> std::vector<const Item*> ItemsOf(CLayoutManager& layout)
{
    std::vector<const Item*> found;
    for (const auto& item : layout.GetItems())
        if (const auto* typed = dynamic_cast<const Item*>(item.get()))
            found.push_back(typed);
    return found;
}
