// The dialog library's answer to what the application shows. Bars and
// dialogs not built yet keep the application's stand-ins.
#pragma once

#include "App/AppUi.h"
#include "App/StandInAppUi.h"

class IDialogShell;

class DialogsUi : public IAppUi
{
public:
    explicit DialogsUi(IDialogShell& shell) : m_shell(shell) {}

    std::unique_ptr<IToolBoxBar> CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent) override;
    std::unique_ptr<IChangeModeBar> CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent) override;
    void RunLogoDialog() override;
    IDocumentUi* DocumentUi() override { return nullptr; }

    IDialogShell& Shell() { return m_shell; }

private:
    IDialogShell& m_shell;
    StandInAppUi m_standIns;
};
