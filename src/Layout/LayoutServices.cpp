#include "Layout/LayoutServices.h"

namespace {
ILayoutShell* g_shell = nullptr;

ILayoutDocument* ActiveDocument()
{
    return g_shell ? g_shell->GetActiveEditorDoc() : nullptr;
}
} // namespace

void SetLayoutShell(ILayoutShell* shell)
{
    g_shell = shell;
}

ILayoutShell* GetLayoutShell()
{
    return g_shell;
}

bool IsActiveDocumentDSCLayout()
{
    const ILayoutDocument* document = ActiveDocument();
    return document && document->IsDSCLayout();
}

int GetActiveDocumentOrientation()
{
    const ILayoutDocument* document = ActiveDocument();
    return document ? document->GetPageOrientation() : 0;
}

std::string GetLayoutLocalizeIniPath()
{
    return g_shell ? g_shell->GetLocalizeIniPath() : std::string();
}
