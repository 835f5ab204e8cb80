#include "App/StandInWaitDialog.h"

#include <QDialog>

std::unique_ptr<QWidget> CreateStandInWaitPrintSettingDialog(QWidget* owner)
{
    auto dialog = std::make_unique<QDialog>(owner);
    dialog->setObjectName(QStringLiteral("WaitPrintSettingDialog"));
    dialog->setModal(false);
    // 231 x 40 dialog units at the interface font.
    dialog->setFixedSize(347, 65);
    return dialog;
}
