// The editor program: installs the bars, dialogs and services the
// application calls, then runs it.
#include "App/ShellLayoutDialogs.h"
#include "App/StandInAppUi.h"
#include "App/StandInLayoutFolderServices.h"
#include "App/ZAVEditorApp.h"

#include <QApplication>
#include <QIcon>

#include <optional>
#include <string>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/icon.png")));
    QApplication::setQuitOnLastWindowClosed(true);

    const QStringList arguments = QApplication::arguments();
    std::optional<std::string> file;
    if (arguments.size() > 1)
        file = arguments.at(1).toStdString();

    ShellLayoutDialogs layoutDialogs;
    SetLayoutDialogs(&layoutDialogs);
    StandInAppUi ui;
    StandInLayoutFolderServices services;
    CZAVEditorApp app(DefaultAppEnvironment(), ui, services);
    int result = 0;
    if (app.InitInstance(file))
        result = QApplication::exec();
    app.ExitInstance();
    SetLayoutDialogs(nullptr);
    return result;
}
