// What the settings-dialog tests share: a started application whose document
// the fake shell answers with, its temporary folders in a folder of the
// test's own, and the shipped texts the dialogs show.
#pragma once

#include "App/support/AppTestSupport.h"
#include "Core/support/ScopedTmpDir.h"
#include "Dialogs/support/FakeDialogShell.h"

#include <QDialog>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <string>

std::string ShippedIniPath();
// Text 164 with the two bounds, as the range message shows it.
std::string RangeText(const std::string& lower, const std::string& upper);

class StartedApp
{
public:
    StartedApp();
    ~StartedApp();

    CZAVEditorApp& App() { return *m_app; }
    CZAVEditorDoc& Document();
    QString SettingsFile() const { return m_folders.SettingsFile(); }
    QString TempFolder() const { return m_tmp.path(); }
    // Ends the application, which writes its settings.
    void Exit();
    // The integer stored in the settings file under the key whose name ends
    // so, whatever its group; -1 without one.
    int StoredSetting(const char* nameEnd) const;

    FakeDialogShell shell;
    MessageRecorder recorder;

private:
    QTemporaryDir m_tmp;
    AppFolders m_folders;
    FakeServices m_services;
    FakeAppUi m_ui;
    std::unique_ptr<CZAVEditorApp> m_app;
    bool m_exited = false;
    // Set once the test application exists, which points TMPDIR at its own
    // folder first; the last member, so that it is put back before the
    // application goes.
    std::optional<ScopedTmpDir> m_tmpDir;
};

// True when the dialog closed with OK.
inline bool ClosedWithOk(const QDialog& dialog)
{
    return !dialog.isVisible() && dialog.result() == QDialog::Accepted;
}
