#include "Dialogs/WizardDocumentUi.h"

#include "App/SaveFileDialog.h"

#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/NewWizard.h"
#include "Dialogs/SelectSaveDialog.h"

void WizardDocumentUi::RunNewWizard(CZAVEditorDoc&, QWidget* parent, int startMode)
{
    CNewWizard wizard(m_shell, parent);
    wizard.DoModal(startMode);
}

bool WizardDocumentUi::RunHeaderInfoDialog(CZAVEditorDoc& document, QWidget* parent)
{
    return ::RunHeaderInfoDialog(m_shell, document, parent);
}

int WizardDocumentUi::RunSelectSaveDialog(CZAVEditorDoc& /*document*/, QWidget* parent, int askBeforeDiscard)
{
    // The dialog works on the shell's active document, which is this one.
    CSelectSaveDialog dialog(m_shell, askBeforeDiscard, parent);
    return dialog.DoModal();
}

std::optional<std::string> WizardDocumentUi::RunSaveFileDialog(QWidget* parent, const std::string& title,
                                                               const std::string& filter,
                                                               const std::string& proposal)
{
    return RunPlatformSaveFileDialog(parent, title, filter, proposal);
}
