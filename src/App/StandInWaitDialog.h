// The wait notice of Print until the dialog library brings the real one: an
// empty modeless dialog of the notice's size.
#pragma once

#include <QWidget>

#include <memory>

std::unique_ptr<QWidget> CreateStandInWaitPrintSettingDialog(QWidget* owner);
