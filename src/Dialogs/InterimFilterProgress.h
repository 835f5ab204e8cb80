// The progress shown while the transparency editor feathers a shape, and the
// one place that makes it. Until the program's own progress dialog exists,
// a modeless Qt progress dialog stands in: no Cancel button, shown at once.
#pragma once

#include "Dialogs/FilterProgress.h"

#include <memory>

class QProgressDialog;
class QWidget;

class CInterimFilterProgress : public IFilterProgress
{
public:
    explicit CInterimFilterProgress(QWidget* parent);
    ~CInterimFilterProgress() override;

    void SetText(const std::string& text) override;
    void SetPos(int percent) override;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

// The progress display of a blur started from `parent`; closed when released.
std::unique_ptr<IFilterProgress> CreateFilterProgress(QWidget* parent);
