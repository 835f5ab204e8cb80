#include "Dialogs/InterimFilterProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QString>

#include <algorithm>

CInterimFilterProgress::CInterimFilterProgress(QWidget* parent)
    : m_dialog(std::make_unique<QProgressDialog>(parent))
{
    m_dialog->setCancelButton(nullptr);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setRange(0, 100);
    m_dialog->setValue(0);
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->show();
}

CInterimFilterProgress::~CInterimFilterProgress() = default;

void CInterimFilterProgress::SetText(const std::string& text)
{
    m_dialog->setWindowTitle(QString::fromStdString(text));
}

void CInterimFilterProgress::SetPos(int percent)
{
    m_dialog->setValue(std::clamp(percent, 0, 100));
}

std::unique_ptr<IFilterProgress> CreateFilterProgress(QWidget* parent)
{
    return std::make_unique<CInterimFilterProgress>(parent);
}
