#include "Core/DialogLayout.h"

#include "Core/LocalizeScript.h"

void SetupDialogLayout(int dialogId, IDialogLayoutTarget& dialog, const std::string& localizeIniPath)
{
    const CLocalizeScript script(localizeIniPath);
    int captionId = 0, width = 0, height = 0;
    const bool found = script.GetDialogInfo(dialogId, captionId, width, height);
    if (found)
        dialog.SetClientSize(width, height);
    dialog.ApplyFont();
    if (found) {
        std::string title;
        script.GetCaption(captionId, title);
        dialog.SetTitle(title);
    }
    for (int i = 0; i < dialog.ControlCount(); ++i) {
        int x = 0, y = 0;
        if (!script.GetControlInfo(dialogId, dialog.ControlId(i), captionId, x, y, width, height))
            continue;
        dialog.PlaceControl(i, x, y, width, height);
        std::string text;
        if (script.GetCaption(captionId, text) && !text.empty())
            dialog.SetControlText(i, text);
    }
    dialog.FitControlsToTexts();
}
