// A shell that records the boxes it was asked for, over its own settings and
// an optional document.
#pragma once

#include "App/AppSettings.h"
#include "Dialogs/DialogShell.h"

#include <QKeyEvent>

#include <string>
#include <utility>
#include <vector>

class FakeDialogShell : public IDialogShell
{
public:
    AppSettings& Settings() override { return settings; }
    std::string GetLocalizeIniPath() override { return localizeIniPath; }
    QFont GetUIFont() override { return font; }
    CZAVEditorDoc* GetActiveEditorDoc() override { return document; }
    QWidget* MainWindow() override { return mainWindow; }
    void ReportErrorCode(int errorId) override { errorCodes.push_back(errorId); }
    void ShowLocalizedMessage(int textId, unsigned type) override { messages.emplace_back(textId, type); }

    // --- The tool box and the paper-mode bar: what reached the view ---
    void RouteCommand(int id) override { commands.push_back(id); }
    void ForwardKeyToView(const QKeyEvent& event) override
    {
        if (event.type() == QEvent::KeyPress)
            keys.push_back(event.key());
    }
    int SendLayoutRedraw(int kind, CLayoutItem* item) override
    {
        redraws.emplace_back(kind, item);
        return 0;
    }
    void SendLayoutChanged(int kind, int lParam) override { layoutChanges.emplace_back(kind, lParam); }

    AppSettings settings;
    std::string localizeIniPath;
    QFont font;
    CZAVEditorDoc* document = nullptr;
    QWidget* mainWindow = nullptr;
    std::vector<int> errorCodes;
    std::vector<std::pair<int, unsigned>> messages;
    std::vector<int> commands;
    std::vector<int> keys;
    std::vector<std::pair<int, CLayoutItem*>> redraws;
    std::vector<std::pair<int, int>> layoutChanges;
};
