#include "Dialogs/DialogShell.h"

#include "App/MainFrame.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorApp.h"
#include "App/ZAVEditorDoc.h"

#include <QCoreApplication>
#include <QKeyEvent>

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

// --- The tool box and the paper-mode bar ---

void AppDialogShell::RouteCommand(int id)
{
    if (m_app)
        m_app->Router().Route(id);
}

void AppDialogShell::ForwardKeyToView(const QKeyEvent& event)
{
    CMainFrame* frame = m_app ? m_app->GetMainFrame() : nullptr;
    if (!frame)
        return;
    frame->activateWindow();
    if (QWidget* view = frame->centralWidget())
        QCoreApplication::postEvent(view,
                                    new QKeyEvent(event.type(), event.key(), event.modifiers(), event.text(),
                                                  event.isAutoRepeat(), static_cast<quint16>(event.count())));
}

int AppDialogShell::SendLayoutRedraw(int kind, CLayoutItem* /*item*/)
{
    if (!m_app || (kind != 1 && kind != 2))
        return 0;
    if (ILayoutView* view = m_app->GetActiveEditorView()) {
        view->InvalidateNoErase();
        view->UpdateWindow();
    } else {
        m_app->RefreshView(false);
    }
    return 0;
}

void AppDialogShell::SendLayoutChanged(int kind, int lParam)
{
    if (!m_app)
        return;
    if (ILayoutView* view = m_app->GetActiveEditorView()) {
        view->SendLayoutChanged(kind, lParam);
        return;
    }
    // Without the editing view the main frame still hears of the change.
    if (CMainFrame* frame = m_app->GetMainFrame())
        frame->OnLayoutChanged(kind);
    m_app->RefreshView(false);
}
