#include "App/MessageBoxes.h"

#include "Core/LocalizeScript.h"

#include <QApplication>
#include <QDockWidget>
#include <QMessageBox>
#include <QPointer>

namespace {

struct MessageContext
{
    std::string localizeIniPath;
    QPointer<QWidget> mainWindow;
    MessagePresenter presenter;
};

MessageContext& Context()
{
    static MessageContext context;
    return context;
}

QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void SetMessagePresenter(MessagePresenter presenter)
{
    Context().presenter = std::move(presenter);
}

void SetMessageContext(std::string localizeIniPath, QWidget* mainWindow)
{
    Context().localizeIniPath = std::move(localizeIniPath);
    Context().mainWindow = mainWindow;
}

QWidget* MessageBoxOwner(QWidget* mainWindow, QWidget* activeWindow)
{
    if (!activeWindow || qobject_cast<QDockWidget*>(activeWindow))
        return mainWindow;
    return activeWindow;
}

void ShowMessage(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    if (Context().presenter) {
        Context().presenter(owner, text, caption, type);
        return;
    }
    QMessageBox box(IconOf(type), caption, text, QMessageBox::Ok, owner);
    box.exec();
}

void ShowLocalizedMessage(int textId, unsigned type)
{
    const CLocalizeScript script(Context().localizeIniPath);
    std::string caption, text;
    script.GetCaption(161, caption);
    script.GetCaption(textId, text);
    QWidget* mainWindow = Context().mainWindow;
    QWidget* owner = mainWindow ? MessageBoxOwner(mainWindow, QApplication::activeWindow()) : nullptr;
    ShowMessage(owner, QString::fromStdString(text), QString::fromStdString(caption), type);
}

void ShowGeneralError()
{
    ShowLocalizedMessage(24, MB_ICONSTOP);
}

void ReportErrorCode(int errorId)
{
    if (errorId == 1)
        ShowGeneralError();
}
