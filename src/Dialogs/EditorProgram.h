// The editor as a user starts it: the dialog library's bars and dialogs over
// the program's shell, the installed folder services and the application.
// `main` runs it in the event loop; the end-to-end tests drive this same one.
#pragma once

#include "App/QtTranslation.h"
#include "App/SystemLayoutFolderServices.h"
#include "App/ZAVEditorApp.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/PlatformLayoutDialogs.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class EditorProgram
{
public:
    explicit EditorProgram(AppEnvironment environment = DefaultAppEnvironment());
    ~EditorProgram();
    EditorProgram(const EditorProgram&) = delete;
    EditorProgram& operator=(const EditorProgram&) = delete;

    // The start-up; false: the program ends (Finish still runs).
    bool Start(const std::optional<std::string>& commandLineFile);
    // The shutdown; runs once, from here or from the destructor.
    int Finish();

    CZAVEditorApp& App() { return m_app; }

private:
    // First: Qt's own texts speak the program's language before anything shows.
    std::unique_ptr<QTranslator> m_qtTranslation;
    AppDialogShell m_shell;
    PlatformLayoutDialogs m_layoutDialogs;
    DialogsUi m_ui;
    SystemLayoutFolderServices m_services;
    CZAVEditorApp m_app;
    ILayoutDialogs* m_previousLayoutDialogs = nullptr;
    bool m_finished = false;
};
