// What the application tests share: one QApplication, a program folder with
// the shipped Localize.ini, recording fakes of the bars, the services and
// the message boxes.
#pragma once

#include "App/AppUi.h"
#include "App/DocumentUi.h"
#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorApp.h"

#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <string>
#include <vector>

void EnsureApp();

// A program folder holding the shipped Localize.ini with its "UISetting"
// values replaced by `uiSettings` ("Key=Value" lines), a documents folder, a
// settings file and an instance folder, all under one temporary folder.
class AppFolders
{
public:
    explicit AppFolders(const std::vector<std::string>& uiSettings = {}, bool withLocalizeIni = true);
    AppEnvironment Environment() const;
    QString SettingsFile() const;
    QString Root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

struct RecordedMessage
{
    QWidget* owner;
    QString text;
    QString caption;
    unsigned type;
};

// Records the boxes instead of showing them while it lives.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<RecordedMessage> messages;
};

class FakeToolBox : public IToolBoxBar
{
public:
    explicit FakeToolBox(QWidget* parent, bool withItemList);
    QWidget* Widget() override { return m_widget; }
    void SetCurrentItem(CLayoutItem*) override {}
    CLayoutItem* FindFirstSelectedItem() override { return nullptr; }
    void SelectTool(int tool) override { calls.push_back("SelectTool " + std::to_string(tool)); }
    void UpdateItemInfo(int flag) override { calls.push_back("UpdateItemInfo " + std::to_string(flag)); }
    void RedrawPositionInfo(int flag) override
    {
        calls.push_back("RedrawPositionInfo " + std::to_string(flag));
    }
    bool HasItemList() const override { return m_withItemList; }
    void UpdateItemList(int flag) override { calls.push_back("UpdateList " + std::to_string(flag)); }
    void OnBarFrameMoved() override { calls.push_back("Moved"); }
    void SetBarHeight(int height) override { calls.push_back("SetBarHeight " + std::to_string(height)); }

    std::vector<std::string> calls;

private:
    QWidget* m_widget;
    bool m_withItemList;
};

class FakeModeBar : public IChangeModeBar
{
public:
    explicit FakeModeBar(QWidget* parent);
    QWidget* Widget() override { return m_widget; }
    void SelectMode(int mode) override { modes.push_back(mode); }
    void OnBarFrameMoved() override {}

    std::vector<int> modes;

private:
    QWidget* m_widget;
};

class FakeDocumentUi : public IDocumentUi
{
public:
    void RunNewWizard(CZAVEditorDoc&, QWidget*, int startMode) override { wizardModes.push_back(startMode); }
    int RunSelectSaveDialog(CZAVEditorDoc&, QWidget*, int ask) override
    {
        saveDialogForms.push_back(ask);
        return saveDialogEnd;
    }
    bool RunHeaderInfoDialog(CZAVEditorDoc&, QWidget*) override
    {
        ++headerDialogRuns;
        return headerDialogAccepts;
    }
    std::optional<std::string> RunSaveFileDialog(QWidget*, const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& proposal) override;

    std::vector<int> wizardModes;
    std::vector<int> saveDialogForms;
    int saveDialogEnd = kSaveDialogCancel;
    int headerDialogRuns = 0;
    bool headerDialogAccepts = true;
    // Each run of the file dialog takes the next answer; none left: cancelled.
    std::deque<std::string> chosenPaths;
    std::vector<std::string> proposals;
    std::string lastTitle, lastFilter;
};

class FakeAppUi : public IAppUi
{
public:
    std::unique_ptr<IToolBoxBar> CreateToolBoxBar(CZAVEditorApp& app, QWidget* parent) override;
    std::unique_ptr<IChangeModeBar> CreateChangeModeBar(CZAVEditorApp& app, QWidget* parent) override;
    void RunLogoDialog() override { ++logoRuns; }
    IDocumentUi* DocumentUi() override { return &documentUi; }
    IViewDialogs* ViewDialogs() override { return viewDialogs; }

    bool toolBoxWithItemList = true;
    FakeToolBox* toolBox = nullptr; // owned by the main frame
    FakeModeBar* modeBar = nullptr; // owned by the main frame
    int logoRuns = 0;
    FakeDocumentUi documentUi;
    // The view's dialogs; null ends them as cancelled.
    IViewDialogs* viewDialogs = nullptr;
};

class FakeServices : public ILayoutFolderServices
{
public:
    // Found when a path is set, unless `siblingPathResult` says otherwise.
    int GetSiblingAppPath(std::string& path) override
    {
        const int found = siblingPathResult.value_or(siblingPath.empty() ? 0 : 1);
        if (found)
            path = siblingPath;
        return found;
    }
    int IsSiblingAppRunning() override { return siblingRunning ? 1 : 0; }
    int GetUDLFolder(std::string& folder) override { return AnswerFolder(udlFolder, folder); }
    int GetCommonUDLFolder(std::string& folder) override { return AnswerFolder(commonUdlFolder, folder); }
    int CheckLayoutFileName(const std::string&) override { return 0; }
    int CheckNumberedLayoutFileName(const std::string&) override { return 0; }
    int IsNamedByUsmInFolder(const std::string&) override { return 0; }
    // Directly in the folder set here, as the shell decides it; an empty
    // folder holds nothing.
    int IsInSiblingConfigUDLFolder(const std::string& path) override;
    int IsInUDLFolder(const std::string& path) override;
    int IsInCommonUDLFolder(const std::string& path) override;

    std::string siblingPath;
    std::optional<int> siblingPathResult;
    bool siblingRunning = false;
    // The layout folders; empty: the machine has none.
    std::string configFolder, udlFolder, commonUdlFolder;

private:
    static int AnswerFolder(const std::string& set, std::string& folder);
};

// The text of a localisation entry of the shipped file, as the boxes show it.
QString ShippedCaption(int textId);
