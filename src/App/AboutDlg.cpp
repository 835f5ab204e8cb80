#include "App/AboutDlg.h"

#include "Core/DialogLayout.h"
#include "Platform/DialogLayoutTarget.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(const std::string& localizeIniPath, const QFont* uiFont, QWidget* parent)
    : QDialog(parent)
{
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    SetControlId(icon, 1515);
    auto* product = new QLabel(QStringLiteral("ZAV VARERAVA 2.12"), this);
    SetControlId(product, 1514);
    auto* notice = new QLabel(this);
    SetControlId(notice, 1516);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    SetControlId(ok, 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    CWidgetDialogLayout target(this, uiFont);
    SetupDialogLayout(127, target, localizeIniPath);
}
