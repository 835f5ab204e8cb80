// A scripted stand-in for the property dialogs: it records what each dialog
// was offered and answers as the test sets it up.
#pragma once

#include "Layout/LayoutDialogs.h"

#include <functional>
#include <string>
#include <vector>

namespace dialogtest {

class FakeDialogs : public ILayoutDialogs
{
public:
    FakeDialogs() { SetLayoutDialogs(this); }
    ~FakeDialogs() override { SetLayoutDialogs(nullptr); }

    bool ChooseColor(COLORREF& color) override
    {
        asked.push_back("color");
        offeredColor = color;
        if (!confirm)
            return false;
        color = chosenColor;
        return true;
    }
    int RunStringItemFontDialog(StringItemFontValues& values) override
    {
        asked.push_back("font");
        offeredFont = values;
        if (!confirm)
            return IDCANCEL;
        if (editFont)
            editFont(values);
        return IDOK;
    }
    int RunPictureTransparencyDialog(CImageFrameItem& item) override
    {
        asked.push_back("transparency");
        pictureItem = &item;
        return pictureAnswer;
    }
    int RunPictureRangeDialog(CImageFrameItem& item) override
    {
        asked.push_back("range");
        pictureItem = &item;
        return pictureAnswer;
    }
    int RunSelectImageDialog(int mode, std::string& path) override
    {
        asked.push_back("select" + std::to_string(mode));
        if (!confirm)
            return IDCANCEL;
        path = chosenPath;
        return IDOK;
    }
    int RunSetImageInfoDialog(ImageInfoValues& values) override
    {
        asked.push_back("info");
        offeredInfo = values;
        if (!confirm)
            return IDCANCEL;
        if (editInfo)
            editInfo(values);
        return IDOK;
    }
    int GetScreenLogPixelsY() override { return dpi; }

    bool confirm = true;
    int dpi = 96;
    COLORREF chosenColor = 0;
    std::string chosenPath;
    int pictureAnswer = 1;
    std::function<void(StringItemFontValues&)> editFont;
    std::function<void(ImageInfoValues&)> editInfo;

    std::vector<std::string> asked;
    COLORREF offeredColor = 0;
    StringItemFontValues offeredFont;
    ImageInfoValues offeredInfo;
    CImageFrameItem* pictureItem = nullptr;
};

} // namespace dialogtest
