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

bool IDialogShell::NewSingleLayout(int paperSize, int direction, int margin)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->NewSingleLayout(paperSize, direction, margin);
}

bool IDialogShell::NewDSCLayout(int direction)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->NewDSCLayout(direction);
}

void IDialogShell::SetDSCLayout(int value)
{
    if (CZAVEditorDoc* document = GetActiveEditorDoc())
        document->SetDSCLayout(value);
}

void AppDialogShell::InitialFrameUpdate()
{
    if (!m_app || !m_app->GetDocument())
        return;
    m_app->RefreshView(true);
    m_app->UpdateFrameTitle();
}
