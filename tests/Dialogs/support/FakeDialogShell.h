// A shell that records the boxes it was asked for, over its own settings and
// an optional document.
#pragma once

#include "App/AppSettings.h"
#include "Dialogs/DialogShell.h"

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
    // The wizard's calls on the document, in order.
    bool NewSingleLayout(int paperSize, int direction, int margin) override
    {
        documentCalls.push_back("NewSingleLayout " + std::to_string(paperSize) + " " +
                                std::to_string(direction) + " " + std::to_string(margin));
        return true;
    }
    bool NewDSCLayout(int direction) override
    {
        documentCalls.push_back("NewDSCLayout " + std::to_string(direction));
        return true;
    }
    void SetDSCLayout(int value) override
    {
        documentCalls.push_back("SetDSCLayout " + std::to_string(value));
    }
    void InitialFrameUpdate() override { documentCalls.push_back("InitialFrameUpdate"); }

    AppSettings settings;
    std::string localizeIniPath;
    QFont font;
    CZAVEditorDoc* document = nullptr;
    QWidget* mainWindow = nullptr;
    std::vector<int> errorCodes;
    std::vector<std::pair<int, unsigned>> messages;
    std::vector<std::string> documentCalls;
};
