// The editor program: the application object, the editor, its event loop.
#include "Dialogs/EditorProgram.h"

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

    EditorProgram program;
    int result = 0;
    if (program.Start(file))
        result = QApplication::exec();
    program.Finish();
    return result;
}
