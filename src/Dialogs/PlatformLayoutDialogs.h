// The layout model's dialogs as the program shows them: the dialog library's
// own, with the platform's colour chooser and the screen's resolution.
#pragma once

#include "Dialogs/SetImageInfoDialog.h"

class PlatformLayoutDialogs : public DialogsLayoutDialogs
{
public:
    explicit PlatformLayoutDialogs(IDialogShell& shell) : DialogsLayoutDialogs(shell, nullptr) {}

    bool ChooseColor(COLORREF& color) override;
    int GetScreenLogPixelsY() override;
};
