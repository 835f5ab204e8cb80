// The editor program: installs the bars, dialogs and services the
// application calls, then runs it.
#include "App/QtTranslation.h"
#include "App/ShellLayoutDialogs.h"
#include "App/SystemLayoutFolderServices.h"
#include "App/ZAVEditorApp.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/SetImageInfoDialog.h"

#include <QApplication>
#include <QIcon>

#include <optional>
#include <string>
#include <utility>

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
    AppDialogShell shell;
    // The dialog library's dialogs over the shell's, which keep the rest until theirs come.
    DialogsLayoutDialogs dialogLibraryLayoutDialogs(shell, &layoutDialogs);
    SetLayoutDialogs(&dialogLibraryLayoutDialogs);
    DialogsUi ui(shell);
    AppEnvironment environment = DefaultAppEnvironment();
    const auto qtTranslation = InstallQtTranslation(environment.programFolder + "Localize.ini");
    SystemLayoutFolderServices services(environment.programFolder + "Localize.ini");
    CZAVEditorApp app(std::move(environment), ui, services);
    shell.Attach(&app);
    int result = 0;
    if (app.InitInstance(file))
        result = QApplication::exec();
    app.ExitInstance();
    SetLayoutDialogs(nullptr);
    return result;
}
