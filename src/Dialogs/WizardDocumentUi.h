// The document's dialogs from the dialog library: the new-layout wizard with
// its existing-layout page (File > Open) and the layout header; the others
// stay the application's stand-ins.
#pragma once

#include "App/DocumentUi.h"
#include "App/StandInDocumentUi.h"

class IDialogShell;

class WizardDocumentUi : public IDocumentUi
{
public:
    explicit WizardDocumentUi(IDialogShell& shell) : m_shell(shell) {}

    void RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode) override;
    int RunSelectSaveDialog(CZAVEditorDoc& document, QWidget* parent, int askBeforeDiscard) override
    {
        return m_standIns.RunSelectSaveDialog(document, parent, askBeforeDiscard);
    }
    bool RunHeaderInfoDialog(CZAVEditorDoc& document, QWidget* parent) override;
    std::optional<std::string> RunSaveFileDialog(QWidget* parent, const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& proposal) override
    {
        return m_standIns.RunSaveFileDialog(parent, title, filter, proposal);
    }

private:
    IDialogShell& m_shell;
    StandInDocumentUi m_standIns;
};
