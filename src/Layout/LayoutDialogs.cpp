#include "Layout/LayoutDialogs.h"

namespace {
ILayoutDialogs* g_dialogs = nullptr;
}

void SetLayoutDialogs(ILayoutDialogs* dialogs)
{
    g_dialogs = dialogs;
}

ILayoutDialogs* GetLayoutDialogs()
{
    return g_dialogs;
}
