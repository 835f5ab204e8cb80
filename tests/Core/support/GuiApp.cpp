#include "Core/support/GuiApp.h"

#include <QApplication>

void EnsureGuiApp()
{
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
