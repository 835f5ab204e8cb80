// Recording fakes around one document: the host (settings, folders, bars),
// the dialogs, the readers and writers by kind, and the folder and name rules.
#pragma once

#include "App/AppSettings.h"
#include "App/DocumentHost.h"
#include "App/DocumentUi.h"
#include "App/LayoutFileKinds.h"
#include "App/LayoutFolderServices.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"

#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FakeDocumentHost : public IDocumentHost
{
public:
    explicit FakeDocumentHost(const AppFolders& folders);
    AppSettings& Settings() override { return settings; }
    std::string GetLocalizeIniPath() override { return localizeIniPath; }
    std::string GetDocumentsFolder() override { return documentsFolder; }
    std::vector<std::string> GetMemoryCardRoots() override { return cardRoots; }
    QWidget* MainWindow() override { return nullptr; }
    void SelectMode(int mode) override { calls.push_back("SelectMode " + std::to_string(mode)); }
    void ShowModeBar(bool show) override { calls.push_back(show ? "ShowModeBar" : "HideModeBar"); }
    void SelectTool(int tool) override;
    void RedrawToolBoxInfo() override { calls.push_back("RedrawToolBoxInfo"); }
    void RefreshView(bool reset) override { calls.push_back(reset ? "RefreshView 1" : "RefreshView 0"); }
    void SetViewUpdates(bool enabled) override { calls.push_back(enabled ? "UpdatesOn" : "UpdatesOff"); }
    void UpdateFrameTitle() override { calls.push_back("UpdateFrameTitle"); }

    AppSettings settings;
    std::string localizeIniPath;
    std::string documentsFolder;
    std::vector<std::string> cardRoots;
    std::vector<std::string> calls;
    CZAVEditorDoc* document = nullptr;
};

class FakeFileKinds : public ILayoutFileKinds
{
public:
    int LoadZvdDocument(CZAVEditorDoc&, const std::string& path) override { return Load("zvd", path); }
    int LoadUsdLayout(CZAVEditorDoc&, const std::string& path) override { return Load("usd", path); }
    int LoadFdpLayout(CZAVEditorDoc&, const std::string& path) override { return Load("fdp", path); }
    int LoadUsmLayout(CZAVEditorDoc&, const std::string& path) override { return Load("usm", path); }
    int SaveZvdDocument(CZAVEditorDoc&, const std::string& path) override { return Save("zvd", path); }
    int SaveUsdLayout(CZAVEditorDoc&, const std::string& path, int) override { return Save("usd", path); }
    int SaveFdpLayout(CZAVEditorDoc&, const std::string& path) override { return Save("fdp", path); }
    int SaveUsmLayout(CZAVEditorDoc&, const std::string& path) override { return Save("usm", path); }

    int loadResult = 1;
    int saveResult = 0;
    std::vector<std::string> calls;
    // Runs inside a load, as a reader that pumps messages might.
    std::function<void()> duringLoad;
    // Runs inside a save, as a writer's own checks do.
    std::function<void()> duringSave;

private:
    int Load(const std::string& kind, const std::string& path);
    int Save(const std::string& kind, const std::string& path);
};

class RuleServices : public FakeServices
{
public:
    int CheckLayoutFileName(const std::string& name) override;
    int CheckNumberedLayoutFileName(const std::string& name) override;
    int IsNamedByUsmInFolder(const std::string& path) override { return path == namedByUsm ? 1 : 0; }

    std::map<std::string, int> layoutNameResults;
    std::map<std::string, int> numberedNameResults;
    std::string namedByUsm;
};

// One document with its fakes, over a program folder of the shipped texts.
struct DocumentFixture
{
    explicit DocumentFixture(const std::vector<std::string>& uiSettings = {});
    ~DocumentFixture();

    AppFolders folders;
    FakeDocumentHost host;
    FakeDocumentUi ui;
    FakeFileKinds kinds;
    RuleServices services;
    MessageRecorder recorder;
    std::unique_ptr<CZAVEditorDoc> document;

    // The texts of the recorded boxes, as localisation ids where they match one.
    std::vector<int> MessageIds() const;
    std::string Work() const;
    // A file (made with its folders) under the work folder.
    std::string MakeFile(const std::string& relative, const std::string& bytes = "x") const;
    // The program's log, which the fixture keeps in its work folder.
    std::string LogText() const;

private:
    QTemporaryDir m_work;
};
