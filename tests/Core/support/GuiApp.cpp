#include "Core/support/GuiApp.h"

#include <QGuiApplication>

void EnsureGuiApp()
{
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}
