#include "Dialogs/PlatformLayoutDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QScreen>

#include <cmath>

bool PlatformLayoutDialogs::ChooseColor(COLORREF& color)
{
    const QColor chosen = QColorDialog::getColor(QColor(GetRValue(color), GetGValue(color), GetBValue(color)),
                                                 QApplication::activeWindow());
    if (!chosen.isValid())
        return false;
    color = RGB(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

int PlatformLayoutDialogs::GetScreenLogPixelsY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}
