// The dialogs the property edits open, seen from the layout model: the shell
// installs their implementation; without one every dialog ends as cancelled.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFont.h"

#include <string>

class CImageFrameItem;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr unsigned CF_SCREENFONTS = 0x00000001;
constexpr unsigned CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr unsigned CF_EFFECTS = 0x00000100;
constexpr unsigned CF_TTONLY = 0x00040000;
constexpr unsigned CF_NOVERTFONTS = 0x01000000;

// What the text font dialog shows and, after OK, what the user chose.
struct StringItemFontValues
{
    LOGFONT font;
    unsigned flags = 0;
    std::string text;
    COLORREF textColor = 0;
    POINT shadowOffset{};
    COLORREF shadowColor = 0;
    bool shadow = false;
    COLORREF backColor = 0;
    bool backColorOn = false;
    bool vertical = false;
};

// The fields of the image-information dialog.
struct ImageInfoValues
{
    bool showDateTime = false;
    bool showExposureTime = false;
    bool showFNumber = false;
    bool showISO = false;
    bool showCameraName = false;
    bool showFlash = false;
    bool showFileName = false;
    bool fullPath = false;
    std::string fontFace;
    int fontSize = 0;
    int infoValue = 0;
};

class ILayoutDialogs
{
public:
    virtual ~ILayoutDialogs() = default;
    // The platform's colour chooser; true with the colour chosen.
    virtual bool ChooseColor(COLORREF& color) = 0;
    // IDOK when confirmed; the values then hold the choice.
    virtual int RunStringItemFontDialog(StringItemFontValues& values) = 0;
    // 1 when confirmed, 3 when the item has no valid picture; the dialog changes the item itself.
    virtual int RunPictureTransparencyDialog(CImageFrameItem& item) = 0;
    virtual int RunPictureRangeDialog(CImageFrameItem& item) = 0;
    // Mode 0 an insert-photo frame, 1 a background; IDOK with the chosen path.
    virtual int RunSelectImageDialog(int mode, std::string& path) = 0;
    virtual int RunSetImageInfoDialog(ImageInfoValues& values) = 0;
    // The screen's logical pixels per inch, vertically.
    virtual int GetScreenLogPixelsY() = 0;
};

// Not owned; null removes it.
void SetLayoutDialogs(ILayoutDialogs* dialogs);
ILayoutDialogs* GetLayoutDialogs();
