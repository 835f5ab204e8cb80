// The document's dialogs from the dialog library: the new-layout wizard, the
// save-format dialog, the open dialog with preview (in place of the
// existing-layout page) and the layout header; the file dialog of Save As
// stays the application's stand-in.
#pragma once

#include "App/DocumentUi.h"
#include "App/StandInDocumentUi.h"

class IDialogShell;

class WizardDocumentUi : public IDocumentUi
{
public:
    explicit WizardDocumentUi(IDialogShell& shell) : m_shell(shell) {}

    void RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode) override;
    int RunSelectSaveDialog(CZAVEditorDoc& document, QWidget* parent, int askBeforeDiscard) override;
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
