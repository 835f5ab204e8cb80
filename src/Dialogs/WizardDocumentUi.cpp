#include "Dialogs/WizardDocumentUi.h"

#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/NewWizard.h"

void WizardDocumentUi::RunNewWizard(CZAVEditorDoc&, QWidget* parent, int startMode)
{
    CNewWizard wizard(m_shell, parent);
    wizard.DoModal(startMode);
}

bool WizardDocumentUi::RunHeaderInfoDialog(CZAVEditorDoc& document, QWidget* parent)
{
    return ::RunHeaderInfoDialog(m_shell, document, parent);
}
