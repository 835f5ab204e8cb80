// The end-to-end fixture: the editor wired exactly as `main` wires it
// (EditorProgram), started offscreen in folders of its own - program folder
// with the shipped Localize.ini, documents, settings, instance lock, shared
// layout folder, memory-card root and temporary folder - and driven through
// its menus, dialogs and mouse as a user drives it. Message boxes are
// recorded instead of shown. A "fresh program" is a new EditorProgram over
// the same folders, as a user starting the editor again would get.
#pragma once

#include "App/support/AppTestSupport.h"
#include "Core/support/ScopedEnv.h"
#include "Dialogs/EditorProgram.h"
#include "EndToEnd/support/ModalDriver.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CMainFrame;
class CZAVEditorDoc;
class CLayoutManager;

class ProgramTest : public ::testing::Test
{
public:
    // `uiSettings`: "Key=Value" lines of Localize.ini's installation settings.
    explicit ProgramTest(const std::vector<std::string>& uiSettings = {});
    ~ProgramTest() override;

    // Starts the program (a new one when one runs: it is finished first);
    // fails the test when the start-up refuses.
    void StartProgram(const std::optional<std::string>& commandLineFile = std::nullopt);
    // Ends the running program as main does after its event loop.
    void FinishProgram();
    bool IsRunning() const { return m_program != nullptr; }

    CZAVEditorApp& App() { return m_program->App(); }
    CZAVEditorDoc& Document();
    CLayoutManager& Layout();
    CMainFrame& Frame();

    // Opens the menu that holds the command, so its update handlers run, and
    // chooses it; the command must be enabled.
    void Choose(int command);
    // The same, answering the modal windows it opens with the handlers.
    void ChooseWithModals(int command, std::vector<ModalHandler> handlers);
    // Runs the action inside the program's event loop, as the running program
    // would; true when the program ended there (its last window closed).
    bool ProgramEndsDuring(const std::function<void()>& action);

    // A second start of the program (the editor executable) with the file: it
    // hands the file to this one and ends. Returns once `taken` holds (the
    // running program opens the file from its event loop), failing the test
    // when it does not within a while.
    void HandOver(const std::string& path, const std::function<bool()>& taken);
    // The file dropped on the main window; returns once `taken` holds.
    void Drop(const std::string& path, const std::function<bool()>& taken);

    // A left-button drag between two client points of the view.
    void Drag(QPoint from, QPoint to);
    // A left-button double click at a client point of the view.
    void DoubleClick(QPoint at);
    // A client point of the page, a fraction of its width and height from its top-left corner.
    QPoint OnPage(double fx, double fy);

    // The folders the program works in, each ending in "/".
    std::string DocumentsFolder() const;
    std::string SharedLayoutFolder() const;
    std::string MemoryCardRoot() const;
    std::string ScratchFolder() const;

    // The recorded message boxes; texts of the shipped Localize.ini.
    const std::vector<RecordedMessage>& Messages() const { return m_messages.messages; }
    void ForgetMessages() { m_messages.messages.clear(); }
    bool SawMessage(int textId) const;

protected:
    // What a test changes in the environment the program starts with, just
    // before each start.
    virtual void AdjustEnvironment(AppEnvironment&) {}

private:
    QTemporaryDir m_root;
    ScopedEnv m_tempEnv;
    ScopedEnv m_sharedEnv;
    ScopedEnv m_photoAppEnv;
    AppFolders m_folders;
    MessageRecorder m_messages;
    std::unique_ptr<EditorProgram> m_program;
};
