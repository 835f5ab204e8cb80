#include "Layout/LayoutManagerHost.h"

namespace {
ILayoutManagerHost* g_host = nullptr;
}

void SetLayoutManagerHost(ILayoutManagerHost* host)
{
    g_host = host;
}

ILayoutManagerHost* GetLayoutManagerHost()
{
    return g_host;
}

ILayoutModeDocument* GetActiveModeDocument()
{
    ILayoutShell* shell = GetLayoutShell();
    if (!shell)
        return nullptr;
    return dynamic_cast<ILayoutModeDocument*>(shell->GetActiveEditorDoc());
}
