#include "Dialogs/EditorProgram.h"

#include <utility>

namespace {

std::string LocalizeIniOf(const AppEnvironment& environment)
{
    return environment.programFolder + "Localize.ini";
}

} // namespace

EditorProgram::EditorProgram(AppEnvironment environment)
    : m_qtTranslation(InstallQtTranslation(LocalizeIniOf(environment))), m_layoutDialogs(m_shell),
      m_ui(m_shell), m_services(LocalizeIniOf(environment)), m_app(std::move(environment), m_ui, m_services)
{
    // The shell answers for the application, which is made with the dialog
    // library's implementations, so it is attached once both exist.
    m_shell.Attach(&m_app);
    m_previousLayoutDialogs = GetLayoutDialogs();
    SetLayoutDialogs(&m_layoutDialogs);
}

EditorProgram::~EditorProgram()
{
    Finish();
    // A second start that handed its file over leaves the running one's in place.
    if (GetLayoutDialogs() == &m_layoutDialogs)
        SetLayoutDialogs(m_previousLayoutDialogs);
}

bool EditorProgram::Start(const std::optional<std::string>& commandLineFile)
{
    return m_app.InitInstance(commandLineFile);
}

int EditorProgram::Finish()
{
    if (m_finished)
        return 0;
    m_finished = true;
    return m_app.ExitInstance();
}
