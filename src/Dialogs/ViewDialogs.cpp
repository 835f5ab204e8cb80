#include "Dialogs/ViewDialogs.h"

#include "Dialogs/SetEnvDialog.h"
#include "Dialogs/SetGridDialog.h"
#include "Dialogs/SetLineDialog.h"
#include "Dialogs/SetRollPaperDialog.h"

#include <cmath>

bool DialogsViewDialogs::RunGridDialog(GridSettings& grid)
{
    CSetGridDialog dialog(m_shell);
    dialog.SetGrid(grid);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    grid = dialog.GetGrid();
    return true;
}

bool DialogsViewDialogs::RunLineDialog(int& points)
{
    CSetLineDialog dialog(m_shell);
    dialog.SetLineWidth(points);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    points = dialog.GetLineWidth();
    return true;
}

bool DialogsViewDialogs::RunRollPaperDialog(int lowest, int highest, int& length)
{
    CSetRollPaperDialog dialog(m_shell);
    dialog.SetLimits(lowest, highest);
    dialog.SetLength(length);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Layout units, unconverted.
    length = static_cast<int>(std::lround(dialog.GetLengthInUnit(-1, false)));
    return true;
}

bool DialogsViewDialogs::RunEnvDialog()
{
    CSetEnvDialog dialog(m_shell);
    return dialog.exec() == QDialog::Accepted;
}
