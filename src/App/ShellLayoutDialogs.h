// The dialogs the layout model opens, as the shell shows them: the platform's
// colour and file choosers, the screen's resolution, and stand-ins for the
// text, range, transparency and image-information dialogs until the dialog
// library brings them (the text asks for the string only and keeps the
// proposed font and colours; the others end as cancelled).
#pragma once

#include "Layout/LayoutDialogs.h"

class QWidget;

class ShellLayoutDialogs : public ILayoutDialogs
{
public:
    bool ChooseColor(COLORREF& color) override;
    int RunStringItemFontDialog(StringItemFontValues& values) override;
    int RunPictureTransparencyDialog(CImageFrameItem& item) override;
    int RunPictureRangeDialog(CImageFrameItem& item) override;
    int RunSelectImageDialog(int mode, std::string& path) override;
    int RunSetImageInfoDialog(ImageInfoValues& values) override;
    int GetScreenLogPixelsY() override;
};

// The file-dialog filter of the picture kinds the image readers take.
const char* ImageFileFilter();
