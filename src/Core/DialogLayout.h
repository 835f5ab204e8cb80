// Sizes, titles and places a dialog and its controls from Localize.ini: the
// section of the dialog id holds, under the dialog id, "caption id, client
// width, client height", and under each control id "caption id, x, y, width,
// height"; captions come from section "Caption".
#pragma once

#include "Platform/DialogLayoutTarget.h"

#include <string>

// A dialog without an entry keeps its size and title; a control without one
// keeps its place, size and text. The font is set in every case. The dialog's
// title is set even when its caption is empty or "None"; a control's text
// only when its caption is not empty. Last, controls whose texts need more
// room than their entries give are grown, and the dialog with them.
void SetupDialogLayout(int dialogId, IDialogLayoutTarget& dialog, const std::string& localizeIniPath);
