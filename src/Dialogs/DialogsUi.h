// The dialog library's answer to what the application shows: its bars, logo,
// document and view dialogs and the wait notice of Print.
#pragma once

#include "App/AppUi.h"
#include "Dialogs/ViewDialogs.h"
#include "Dialogs/WizardDocumentUi.h"

class IDialogShell;

class DialogsUi : public IAppUi
{
public:
    explicit DialogsUi(IDialogShell& shell) : m_shell(shell), m_documentUi(shell), m_viewDialogs(shell) {}

    std::unique_ptr<IToolBoxBar> CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent) override;
    std::unique_ptr<IChangeModeBar> CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent) override;
    void RunLogoDialog() override;
    IDocumentUi* DocumentUi() override { return &m_documentUi; }
    std::unique_ptr<QWidget> CreateWaitPrintSettingDialog(QWidget* owner) override;

    IDialogShell& Shell() { return m_shell; }
    IViewDialogs* ViewDialogs() override { return &m_viewDialogs; }

private:
    IDialogShell& m_shell;
    WizardDocumentUi m_documentUi;
    DialogsViewDialogs m_viewDialogs;
};
