// The document's dialogs from the dialog library: the new-layout wizard with
// its existing-layout page (File > Open), the save-format dialog, the layout
// header and the platform's file dialog of Save As.
#pragma once

#include "App/DocumentUi.h"

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
                                                 const std::string& proposal) override;

private:
    IDialogShell& m_shell;
};
