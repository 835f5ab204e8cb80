#include "Dialogs/WizardDocumentUi.h"

#include "App/ZAVEditorDoc.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/NewWizard.h"
#include "Dialogs/SelectSaveDialog.h"
#include "Dialogs/UDLOpenFileDialog.h"

void WizardDocumentUi::RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode)
{
    // Until the existing-layout page comes, File > Open is the open dialog alone.
    if (startMode == kExistingPage) {
        CUDLOpenFileDialog dialog(m_shell, parent);
        if (dialog.DoModal() == 1 && !dialog.GetPathName().empty())
            document.OnOpenDocument(dialog.GetPathName());
        return;
    }
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
