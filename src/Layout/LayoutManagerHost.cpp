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

ILayoutDocument* GetActiveDocument()
{
    ILayoutShell* shell = GetLayoutShell();
    return shell ? shell->GetActiveEditorDoc() : nullptr;
}
