#include "Dialogs/DialogShell.h"

#include "App/MessageBoxes.h"
#include "App/ZAVEditorApp.h"
#include "App/ZAVEditorDoc.h"

#include <cassert>

CLayoutManager* IDialogShell::GetLayoutManager()
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document ? document->GetLayoutManager() : nullptr;
}

AppSettings& AppDialogShell::Settings()
{
    assert(m_app);
    return m_app->Settings();
}

std::string AppDialogShell::GetLocalizeIniPath()
{
    return m_app ? m_app->GetLocalizeIniPath() : std::string();
}

QFont AppDialogShell::GetUIFont()
{
    return m_app ? m_app->GetUIFont() : QFont();
}

CZAVEditorDoc* AppDialogShell::GetActiveEditorDoc()
{
    return m_app ? m_app->GetDocument() : nullptr;
}

QWidget* AppDialogShell::MainWindow()
{
    return m_app ? m_app->MainWindow() : nullptr;
}

void AppDialogShell::ReportErrorCode(int errorId)
{
    ::ReportErrorCode(errorId);
}

void AppDialogShell::ShowLocalizedMessage(int textId, unsigned type)
{
    ::ShowLocalizedMessage(textId, type);
}
