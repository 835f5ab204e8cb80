// The application: the single-instance rule and the hand-over of a file to
// the running editor, the refusals to start, the start-up order, the
// shutdown, and the accessors the rest of the editor reaches it through.
#pragma once

#include "App/AppSettings.h"
#include "App/CommandRouter.h"
#include "App/DocumentFileKinds.h"
#include "App/DocumentHost.h"
#include "App/ProgramLauncher.h"
#include "App/ViewCommandHost.h"
#include "App/WindowPlacement.h"
#include "App/ZAVEditorView.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LayoutServices.h"

#include <QFont>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class CZAVEditorDoc;
class CZAVEditorView;
class IAppUi;
class PrintCommand;
class ILayoutFolderServices;
class QSettings;
class SingleInstance;

// Where the application finds and keeps its files; tests give their own.
struct AppEnvironment
{
    std::string programFolder;   // holds Localize.ini; ends in "/"
    std::string documentsFolder; // ends in "/"
    QString settingsFile;        // empty: the user's config folder
    QString instanceFolder;      // the lock and the socket
};
AppEnvironment DefaultAppEnvironment();

// Height of the interface font: minus the point size at a fixed 96 dpi.
int UIFontHeight(int pointSize);

class CZAVEditorApp : public ILayoutShell,
                      public ILayoutManagerHost,
                      public ICommandTarget,
                      public IDocumentHost,
                      public IEditorViewHost,
                      public IViewCommandHost
{
public:
    CZAVEditorApp(AppEnvironment environment, IAppUi& ui, ILayoutFolderServices& services);
    ~CZAVEditorApp() override;

    // The start-up; false ends the program (ExitInstance still runs).
    bool InitInstance(const std::optional<std::string>& commandLineFile);
    int ExitInstance();
    // 0: this is the only editor; 1: another runs and got the file (or a raise).
    int ForwardToRunningInstance(const std::optional<std::string>& commandLineFile);

    AppSettings& Settings() override { return m_settings; }
    CommandRouter& Router() { return m_router; }
    CZAVEditorDoc* GetDocument() { return m_document.get(); }
    CMainFrame* GetMainFrame() { return m_mainFrame.get(); }
    CZAVEditorView* GetView() { return m_view; }
    // The layout folders, the name rules and the photo-printing application.
    ILayoutFolderServices& FolderServices() { return m_services; }
    const QFont& GetUIFont() const { return m_fontUI; }
    bool IsInitialized() const { return m_bInitialized; }

    // The recent-file list, newest first.
    const std::vector<std::string>* GetRecentFileList() const { return &m_settings.RecentFiles().Entries(); }
    void AddRecentFile(const std::string& path) { m_settings.RecentFiles().AddRecentFile(path); }
    int RemoveRecentFile(const std::string& path) { return m_settings.RecentFiles().RemoveRecentFile(path); }

    // The question before unsaved changes are discarded (the document's
    // SaveModified); false: the caller keeps the document and does not go on.
    bool SaveModifiedDocument();
    // Dropped and handed-over files: the question first, then the document's
    // open; a file that fails to open leaves the document as it was.
    bool OpenDocumentFile(const std::string& path);
    // The open alone, for callers that asked already.
    bool OpenKeepingDocument(const std::string& path);
    // Before InitInstance: the document's file kinds (not owned), and the
    // memory-card roots (else the mounted removable volumes).
    void SetLayoutFileKinds(ILayoutFileKinds* kinds) { m_fileKinds = kinds ? kinds : &m_documentFileKinds; }
    void SetMemoryCardRoots(std::optional<std::vector<std::string>> roots) { m_cardRoots = std::move(roots); }
    void OnAppAbout();

    // ILayoutShell
    ILayoutDocument* GetActiveEditorDoc() override;
    std::string GetLocalizeIniPath() override { return m_strLocalizeIniPath; }
    // IDocumentHost
    std::string GetDocumentsFolder() override { return m_env.documentsFolder; }
    std::vector<std::string> GetMemoryCardRoots() override;
    QWidget* MainWindow() override;
    void SelectMode(int mode) override;
    void ShowModeBar(bool show) override;
    void SelectTool(int tool) override;
    void RedrawToolBoxInfo() override;
    void RefreshView(bool reset) override;
    void SetViewUpdates(bool enabled) override;
    void UpdateFrameTitle() override;
    // ILayoutManagerHost
    ILayoutView* GetActiveEditorView() override { return m_view; }
    bool HasMainWindow() override { return m_mainFrame != nullptr; }
    ILayoutToolBox* GetToolBox() override;
    // IEditorViewHost
    void ForwardLayoutChanged(int kind, int lParam) override;
    QMenuBar* MainMenuBar() override;
    void RebuildItemList() override;
    void RouteCommand(int id) override { m_router.Route(id); }
    IViewCommandHost* CommandHost() override { return this; }
    // IViewCommandHost
    bool IsBarVisible(FloatingBar bar) override;
    void ShowBar(FloatingBar bar, bool show) override;
    std::string GetProgramFolder() override { return m_env.programFolder; }
    IViewDialogs* GetViewDialogs() override;
    IDocumentUi& GetDocumentUi() override { return *m_documentUi; }
    ICommandTarget* GetPrintCommand() override;
    // ICommandTarget: About and Exit
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

private:
    bool RefuseStart(int textId);
    std::unique_ptr<QSettings> OpenSettingsStore() const;
    void PlaceWindowsAndShow();
    // What the first start sizes the main window for: its menus, its page and the bars.
    FirstStartRoom MeasureFirstStartRoom() const;
    void OnInstanceRequest(const QString& path);
    // The working folders, and Print's hand-off files unless the
    // photo-printing application runs and may still read them.
    void RemoveTemporaryFiles();

    AppEnvironment m_env;
    IAppUi& m_ui;
    ILayoutFolderServices& m_services;
    AppSettings m_settings;
    std::string m_strLocalizeIniPath;
    QFont m_fontUI;
    bool m_bInitialized = false;
    // Only a start that read the settings writes them back.
    bool m_settingsLoaded = false;
    CommandRouter m_router;
    std::unique_ptr<SingleInstance> m_instance;
    DocumentFileKinds m_documentFileKinds;
    IDocumentUi* m_documentUi = nullptr; // the interface's, from the start-up on
    ILayoutFileKinds* m_fileKinds = &m_documentFileKinds;
    std::optional<std::vector<std::string>> m_cardRoots;
    std::unique_ptr<CZAVEditorDoc> m_document;
    StoredPlaces m_storedPlaces;
    DetachedProgramLauncher m_launcher;
    std::unique_ptr<PrintCommand> m_print; // reached through the view's Print
    std::unique_ptr<CMainFrame> m_mainFrame;
    CZAVEditorView* m_view = nullptr; // owned by the main frame
};
