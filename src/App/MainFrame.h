// The editor's main window: the view, a status bar, menu 128 with its
// accelerators, and the tool box and paper-mode bars, which always float.
// It remembers its placement, relays layout notifications to the bars and
// takes the files a later start hands over. Leaving it - closing, or the
// desktop's log-out - first asks whether to save unsaved changes.
#pragma once

#include "App/AppUi.h"
#include "App/HandOverReceiver.h"
#include "Core/MenuModel.h"

#include <QMainWindow>

#include <memory>
#include <string>

class CZAVEditorApp;
class CommandRouter;
class QDockWidget;
class QMenu;
class QSessionManager;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    CMainFrame(CZAVEditorApp& app, IAppUi& ui, CommandRouter& router);
    ~CMainFrame() override;

    IToolBoxBar* GetToolBoxBar() { return m_toolBox.get(); }
    IChangeModeBar* GetChangeModeBar() { return m_modeBar.get(); }
    QDockWidget* ToolBoxFrame() { return m_toolBoxFrame; }
    QDockWidget* ChangeModeFrame() { return m_modeFrame; }
    const MenuModel& Menu() const { return m_menu; }
    HandOverReceiver& HandOver() { return m_handOver; }

    // The table of what each layout change redraws on the bars; always 0.
    int OnLayoutChanged(int kind);
    void OnOpenFileRequest(const QString& path) { m_handOver.OnOpenFileRequest(path); }
    // The desktop's log-out, once the program may ask the user: true lets
    // the session end, false cancels it.
    bool QueryEndSession();
    // The caption as the framework composes it, "name - title", with the
    // title localisation text 161 and a marker while there are unsaved changes.
    void UpdateFrameTitle(const std::string& documentName, bool modified);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenuBar();
    void FillMenu(QMenu* menu, const std::vector<MenuEntry>& entries);
    void AddAccelerators();
    QDockWidget* FloatBar(QWidget* bar, const QString& objectName);
    void StoreRect();
    void StoreSizeState();
    void OnCommitDataRequest(QSessionManager& session);

    CZAVEditorApp& m_app;
    CommandRouter& m_router;
    QString m_title;
    MenuModel m_menu;
    std::unique_ptr<IToolBoxBar> m_toolBox;
    std::unique_ptr<IChangeModeBar> m_modeBar;
    QDockWidget* m_toolBoxFrame = nullptr;
    QDockWidget* m_modeFrame = nullptr;
    HandOverReceiver m_handOver;
};
