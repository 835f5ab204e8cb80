#include "Dialogs/DialogsUi.h"

#include "Dialogs/LogoDialog.h"

std::unique_ptr<IToolBoxBar> DialogsUi::CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent)
{
    return m_standIns.CreateToolBoxBar(app, parent);
}

std::unique_ptr<IChangeModeBar> DialogsUi::CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent)
{
    return m_standIns.CreateChangeModeBar(app, parent);
}

void DialogsUi::RunLogoDialog()
{
    CLogoDialog dialog(m_shell);
    dialog.exec();
}
