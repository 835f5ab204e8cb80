// The editing view's grid, line-width, roll-paper and environment dialogs,
// run modally without an owner.
#pragma once

#include "App/ViewCommandHost.h"

class IDialogShell;

class DialogsViewDialogs : public IViewDialogs
{
public:
    explicit DialogsViewDialogs(IDialogShell& shell) : m_shell(shell) {}

    bool RunGridDialog(GridSettings& grid) override;
    bool RunLineDialog(int& points) override;
    bool RunRollPaperDialog(int lowest, int highest, int& length) override;
    bool RunEnvDialog() override;

private:
    IDialogShell& m_shell;
};
