// One document behind a recording shell, for the bars' tests, and the page
// the item list is tried on: a frame with its two macro strings, a text, a
// line and a background, front to back.
#pragma once

#include "App/support/DocumentFakes.h"
#include "Dialogs/support/FakeDialogShell.h"

#include <string>
#include <vector>

class CBackgroundImageFrameItem;
class CInsertImageFrameItem;
class CLayoutManager;
class CLineItem;
class CMacroStringItem;
class CStringItem;

struct BarFixture
{
    explicit BarFixture(const std::vector<std::string>& uiSettings = {});

    CLayoutManager& Layout();
    // The page's items front to back.
    std::vector<CLayoutItem*> Order();
    std::vector<CLayoutItem*> Selected();
    // The text of a localisation entry of the fixture's file.
    std::string Text(int id) const;

    struct Page
    {
        CMacroStringItem* macro1 = nullptr;
        CMacroStringItem* macro2 = nullptr;
        CInsertImageFrameItem* frame = nullptr;
        CStringItem* text = nullptr;
        CLineItem* line = nullptr;
        CBackgroundImageFrameItem* background = nullptr;
    };
    Page MakePage();

    DocumentFixture doc;
    FakeDialogShell shell;
};
