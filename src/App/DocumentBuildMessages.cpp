#include "App/DocumentBuildMessages.h"

#include "App/MessageBoxes.h"
#include "Core/PaperRules.h"
#include "Layout/LayoutManagerHost.h"

void BuildMessages::Show() const
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    ILayoutView* view = host ? host->GetActiveEditorView() : nullptr;
    if (!view)
        return;
    if (corrected)
        view->ShowLocalizedMessage(169, MB_ICONHAND);
    if (fontReplaced)
        view->ShowLocalizedMessage(208, MB_ICONHAND);
    if (paperRefused)
        view->ShowLocalizedMessage(240, MB_ICONINFORMATION);
}

bool IsPaperOffered(const std::string& displayName, int paperIndex, int marginMode)
{
    return !displayName.empty() && IsMarginModeOffered(paperIndex, marginMode);
}
