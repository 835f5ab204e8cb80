// What the dialogs and bars ask of the application: the active document,
// the settings (whose setters refuse out-of-range values), the localisation
// file, the interface font and the message boxes. The program answers with
// the application; tests answer with a recording fake, so no test waits on a
// modal box.
#pragma once

#include <QFont>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class AppSettings;
class CLayoutManager;
class CZAVEditorApp;
class CLayoutItem;
class CZAVEditorDoc;
class ILayoutFolderServices;
class QKeyEvent;
class QWidget;

class IDialogShell
{
public:
    virtual ~IDialogShell() = default;
    virtual AppSettings& Settings() = 0;
    virtual std::string GetLocalizeIniPath() = 0;
    virtual QFont GetUIFont() = 0;
    // Null when there is none.
    virtual CZAVEditorDoc* GetActiveEditorDoc() = 0;
    virtual QWidget* MainWindow() = 0;
    // Id 1 shows text 24 with the stop icon; any other id shows nothing.
    virtual void ReportErrorCode(int errorId) = 0;
    virtual void ShowLocalizedMessage(int textId, unsigned type) = 0;

    // The active document's layout manager; null without a document.
    CLayoutManager* GetLayoutManager();

    // --- The tool box and the paper-mode bar ---
    // A command as the menus send it.
    virtual void RouteCommand(int id) = 0;
    // A key typed into a bar: the main window is activated and the key goes,
    // unchanged, to the active view.
    virtual void ForwardKeyToView(const QKeyEvent& event) = 0;
    // The item list's redraw notice (1 an item's visibility, 2 the selection)
    // to the active view; its answer, 0 without a view.
    virtual int SendLayoutRedraw(int kind, CLayoutItem* item) = 0;
    // A layout change to the active view.
    virtual void SendLayoutChanged(int kind, int lParam) = 0;
    // Settings dialogs: a box with a text of their own making, titled with text 161.
    virtual void ShowMessageText(const std::string& text, unsigned type) = 0;
    // The platform's open-file dialog for one existing file; nothing when cancelled.
    // `patterns` is a list such as "*.bmp;*.jpg", matched without regard to case.
    virtual std::optional<std::string> ChooseOpenFile(QWidget* parent, const std::string& filterName,
                                                      const std::string& patterns) = 0;
    // The new-layout wizard's pages make the active document a new layout
    // through these; false (or nothing done) without a document.
    virtual bool NewSingleLayout(int paperSize, int direction, int margin);
    virtual bool NewDSCLayout(int direction);
    virtual void SetDSCLayout(int value);
    // The main window's first showing of the active document, after the wizard.
    virtual void InitialFrameUpdate() {}

    // --- Save as and register ---
    // The layout folders, the name rules and the photo-printing application;
    // null when there is no application.
    virtual ILayoutFolderServices* FolderServices() { return nullptr; }
    // The mounted memory cards' roots, each ending in "/".
    virtual std::vector<std::string> GetMemoryCardRoots() { return {}; }
    // The user's documents folder, ending in "/".
    virtual std::string GetDocumentsFolder();
    // A localised text titled with text 161 whose answer counts: 6 Yes, 7 No,
    // 1 OK (`type` carries the buttons, the icon and the default button).
    virtual int AskLocalizedMessage(int textId, unsigned type);
    // Whether the current user holds the rights on a save target; false
    // without a document.
    virtual bool CheckTargetAccess(const std::string& path, std::uint32_t mask);
    // The wait cursor while a layout is written.
    virtual void SetWaitCursor(bool on);

    // --- The existing-layout page ---
    // The application's own recent-file list, newest first; a removal changes
    // the list the settings store.
    virtual std::vector<std::string> GetRecentFileList() { return {}; }
    virtual int RemoveRecentFile(const std::string&) { return 0; }
    // The photo-printing application's layout folders; 0 when there is none.
    virtual int GetUDLFolder(std::string&) { return 0; }
    virtual int GetCommonUDLFolder(std::string&) { return 0; }
    virtual int IsInSiblingConfigUDLFolder(const std::string&) { return 0; }
    // The scripts that the set indexes of a folder name, as full paths.
    virtual int CollectUsmNamedFiles(const std::string& folder, std::vector<std::string>* list);
    virtual int IsNamedByUsmInFolder(const std::string& path);
    // The active document's: -1 (or false) without one.
    virtual int FindPaperSizeEntry(int code);
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool IsDocumentModified();
    virtual void SetModifiedFlag(int modified);

    // --- The image browser ---
    // The program's folder, ending in "/"; empty when it cannot be read.
    virtual std::string GetProgramFolder();
};

// The program's shell: the application, attached once it exists (it is made
// with the dialog library's implementations, so it cannot come first).
class AppDialogShell : public IDialogShell
{
public:
    void Attach(CZAVEditorApp* app) { m_app = app; }

    AppSettings& Settings() override;
    std::string GetLocalizeIniPath() override;
    QFont GetUIFont() override;
    CZAVEditorDoc* GetActiveEditorDoc() override;
    QWidget* MainWindow() override;
    void ReportErrorCode(int errorId) override;
    void ShowLocalizedMessage(int textId, unsigned type) override;
    void ShowMessageText(const std::string& text, unsigned type) override;
    std::optional<std::string> ChooseOpenFile(QWidget* parent, const std::string& filterName,
                                              const std::string& patterns) override;

    // --- The tool box and the paper-mode bar ---
    void RouteCommand(int id) override;
    void ForwardKeyToView(const QKeyEvent& event) override;
    int SendLayoutRedraw(int kind, CLayoutItem* item) override;
    void SendLayoutChanged(int kind, int lParam) override;
    void InitialFrameUpdate() override;

    // --- Save as and register ---
    ILayoutFolderServices* FolderServices() override;
    std::vector<std::string> GetMemoryCardRoots() override;
    std::string GetDocumentsFolder() override;

    // --- The existing-layout page ---
    std::vector<std::string> GetRecentFileList() override;
    int RemoveRecentFile(const std::string& path) override;
    int GetUDLFolder(std::string& folder) override;
    int GetCommonUDLFolder(std::string& folder) override;
    int IsInSiblingConfigUDLFolder(const std::string& path) override;
    // The application's open, which keeps the layout when the file fails to open.
    bool OnOpenDocument(const std::string& path) override;

private:
    CZAVEditorApp* m_app = nullptr;
};
