#include "Dialogs/DialogsUi.h"

#include "Dialogs/ChangeModeBar.h"
#include "Dialogs/LogoDialog.h"
#include "Dialogs/ProgressDialog.h"
#include "Dialogs/ToolBoxBar.h"

std::unique_ptr<IToolBoxBar> DialogsUi::CreateToolBoxBar(CZAVEditorApp& /*app*/, QWidget* parent)
{
    auto bar = std::make_unique<CToolBoxBar>(m_shell, parent);
    bar->Create(false);
    bar->InitButtons();
    return bar;
}

std::unique_ptr<IChangeModeBar> DialogsUi::CreateChangeModeBar(CZAVEditorApp& /*app*/, QWidget* parent)
{
    auto bar = std::make_unique<CChangeModeBar>(m_shell, parent);
    bar->Create(false);
    bar->InitButtons();
    return bar;
}

void DialogsUi::RunLogoDialog()
{
    CLogoDialog dialog(m_shell);
    dialog.exec();
}

std::unique_ptr<QWidget> DialogsUi::CreateWaitPrintSettingDialog(QWidget* owner)
{
    return std::make_unique<CWaitPrintSettingDialog>(m_shell, owner);
}
