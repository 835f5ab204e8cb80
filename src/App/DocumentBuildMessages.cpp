#include "App/DocumentBuildMessages.h"

#include "App/MessageBoxes.h"
#include "Core/PaperRules.h"
#include "Layout/LayoutManagerHost.h"

#include <initializer_list>

namespace {

bool OneOf(int value, std::initializer_list<int> allowed)
{
    for (int a : allowed)
        if (a == value)
            return true;
    return false;
}

} // namespace

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
    if (displayName.empty())
        return false;
    if (paperIndex == 1)
        return OneOf(marginMode, {0, 1});
    if (paperIndex == 2)
        return marginMode == 1;
    if (IsScriptRollPaper(paperIndex))
        return OneOf(marginMode, {3, 4});
    if (IsCardPaper(paperIndex))
        return OneOf(marginMode, {0, 6});
    return OneOf(marginMode, {0, 1, 2, 5});
}
