#include "Platform/support/App.h"

#include <QApplication>

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
