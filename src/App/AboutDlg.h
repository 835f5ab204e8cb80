// The About box: the program icon, the product line, a notice and OK, laid
// out and titled from dialog 127 of the localisation file.
#pragma once

#include <QDialog>

#include <string>

class QFont;

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    CAboutDlg(const std::string& localizeIniPath, const QFont* uiFont, QWidget* parent = nullptr);
};
