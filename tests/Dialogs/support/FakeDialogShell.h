// A shell that records the boxes it was asked for, over its own settings and
// an optional document.
#pragma once

#include "App/AppSettings.h"
#include "App/LayoutFolders.h"
#include "Dialogs/DialogShell.h"

#include <QKeyEvent>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class FakeDialogShell : public IDialogShell
{
public:
    AppSettings& Settings() override { return appSettings ? *appSettings : settings; }
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
    // When set, the settings answered instead (a started application's).
    AppSettings* appSettings = nullptr;
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

    void ShowMessageText(const std::string& text, unsigned type) override
    {
        textMessages.emplace_back(text, type);
    }
    // Each run of the file chooser takes the next answer; none left: cancelled.
    std::optional<std::string> ChooseOpenFile(QWidget*, const std::string& filterName,
                                              const std::string& patterns) override
    {
        fileFilters.emplace_back(filterName, patterns);
        if (chosenFiles.empty())
            return std::nullopt;
        std::string chosen = chosenFiles.front();
        chosenFiles.pop_front();
        return chosen;
    }

    std::vector<std::pair<std::string, unsigned>> textMessages;
    std::deque<std::string> chosenFiles;
    std::vector<std::pair<std::string, std::string>> fileFilters;
    std::vector<std::string> documentCalls;

    // --- The existing-layout page ---
    std::vector<std::string> GetRecentFileList() override { return recentFiles; }
    int RemoveRecentFile(const std::string& path) override
    {
        const auto found = std::find(recentFiles.begin(), recentFiles.end(), path);
        if (found == recentFiles.end())
            return 0;
        recentFiles.erase(found);
        return 1;
    }
    int GetUDLFolder(std::string& folder) override { return AnswerFolder(udlFolder, folder); }
    int GetCommonUDLFolder(std::string& folder) override { return AnswerFolder(commonUdlFolder, folder); }
    int IsInSiblingConfigUDLFolder(const std::string& path) override
    {
        return IsPathDirectlyInFolder(path, configUdlFolder) ? 1 : 0;
    }
    std::vector<std::string> GetMemoryCardRoots() override { return cardRoots; }
    // The position in `paperList`; without one, the document's answer.
    int FindPaperSizeEntry(int code) override
    {
        if (paperList.empty())
            return IDialogShell::FindPaperSizeEntry(code);
        const auto found = std::find(paperList.begin(), paperList.end(), code);
        return found == paperList.end() ? -1 : static_cast<int>(found - paperList.begin());
    }
    // Recorded; with a document, it does the work too.
    bool OnOpenDocument(const std::string& path) override
    {
        documentCalls.push_back("OnOpenDocument " + path);
        return document ? IDialogShell::OnOpenDocument(path) : openSucceeds;
    }
    void SetModifiedFlag(int modified) override
    {
        documentCalls.push_back("SetModifiedFlag " + std::to_string(modified));
        IDialogShell::SetModifiedFlag(modified);
    }

    std::vector<std::string> recentFiles;
    std::string udlFolder, commonUdlFolder, configUdlFolder;
    std::vector<std::string> cardRoots;
    std::vector<int> paperList;
    bool openSucceeds = true;

    // --- The image browser ---
    // `programFolder` when set, else the running program's.
    std::string GetProgramFolder() override
    {
        return programFolder.empty() ? IDialogShell::GetProgramFolder() : programFolder;
    }
    std::string programFolder;

private:
    static int AnswerFolder(const std::string& value, std::string& folder)
    {
        if (value.empty())
            return 0;
        folder = value;
        return 1;
    }
};
