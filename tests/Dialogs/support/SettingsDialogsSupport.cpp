#include "Dialogs/support/SettingsDialogsSupport.h"

#include "Core/LocalizeScript.h"
#include "Dialogs/DialogSupport.h"

#include <QSettings>

std::string ShippedIniPath()
{
    return std::string(ZAV_SOURCE_DIR) + "/resources/Localize.ini";
}

std::string RangeText(const std::string& lower, const std::string& upper)
{
    std::string text;
    CLocalizeScript(ShippedIniPath()).GetCaption(164, text);
    return FormatRangeText(text, lower, upper);
}

StartedApp::StartedApp()
{
    EnsureApp();
    m_tmpDir.emplace(m_tmp.path().toStdString());
    {
        QSettings store(m_folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }
    m_app = std::make_unique<CZAVEditorApp>(m_folders.Environment(), m_ui, m_services);
    m_app->InitInstance(std::nullopt);
    shell.localizeIniPath = ShippedIniPath();
    shell.document = m_app->GetDocument();
    shell.appSettings = &m_app->Settings();
}

StartedApp::~StartedApp()
{
    Exit();
}

CZAVEditorDoc& StartedApp::Document()
{
    return *m_app->GetDocument();
}

void StartedApp::Exit()
{
    if (m_exited)
        return;
    m_exited = true;
    m_app->ExitInstance();
}

int StartedApp::StoredSetting(const char* nameEnd) const
{
    QSettings store(SettingsFile(), QSettings::IniFormat);
    for (const QString& key : store.allKeys())
        if (key.endsWith(QLatin1String(nameEnd)))
            return store.value(key).toInt();
    return -1;
}
