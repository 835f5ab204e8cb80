#include "App/support/AppTestSupport.h"

#include "App/LayoutFolders.h"
#include "Core/LocalizeScript.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

void EnsureApp()
{
    // The application's exit empties the user's temporary image folder: point
    // it at this program's own folder so that other test programs keep theirs.
    static QTemporaryDir ownTemp;
    static const bool tempSet = qputenv("TMPDIR", ownTemp.path().toUtf8());
    (void)tempSet;
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the input devices the key tests create outlive the
    // static destructors Qt's own teardown relies on.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

namespace {

std::string ShippedIniPath()
{
    return std::string(ZAV_SOURCE_DIR) + "/resources/Localize.ini";
}

} // namespace

AppFolders::AppFolders(const std::vector<std::string>& uiSettings, bool withLocalizeIni)
{
    QDir root(m_root.path());
    root.mkpath(QStringLiteral("program"));
    root.mkpath(QStringLiteral("documents"));
    root.mkpath(QStringLiteral("instance"));
    if (!withLocalizeIni)
        return;
    QFile shipped(QString::fromStdString(ShippedIniPath()));
    shipped.open(QIODevice::ReadOnly);
    QByteArray bytes = shipped.readAll();
    for (const std::string& setting : uiSettings) {
        const QByteArray line = QByteArray::fromStdString(setting);
        const QByteArray key = line.left(line.indexOf('=') + 1);
        const qsizetype at = bytes.indexOf("\n" + key);
        const qsizetype end = bytes.indexOf('\n', at + 1);
        bytes.replace(at + 1, end - at - 1, line);
    }
    QFile copy(root.filePath(QStringLiteral("program/Localize.ini")));
    copy.open(QIODevice::WriteOnly);
    copy.write(bytes);
}

AppEnvironment AppFolders::Environment() const
{
    AppEnvironment env;
    env.programFolder = m_root.filePath(QStringLiteral("program/")).toStdString();
    env.documentsFolder = m_root.filePath(QStringLiteral("documents/")).toStdString();
    env.settingsFile = SettingsFile();
    env.instanceFolder = m_root.filePath(QStringLiteral("instance"));
    return env;
}

QString AppFolders::SettingsFile() const
{
    return m_root.filePath(QStringLiteral("settings.ini"));
}

MessageRecorder::MessageRecorder()
{
    SetMessagePresenter([this](QWidget* owner, const QString& text, const QString& caption, unsigned type) {
        messages.push_back(RecordedMessage{owner, text, caption, type});
    });
}

MessageRecorder::~MessageRecorder()
{
    SetMessagePresenter(nullptr);
}

FakeToolBox::FakeToolBox(QWidget* parent, bool withItemList)
    : m_widget(new QWidget(parent)), m_withItemList(withItemList)
{
    m_widget->setMinimumSize(100, 150);
}

FakeModeBar::FakeModeBar(QWidget* parent) : m_widget(new QWidget(parent))
{
    m_widget->setMinimumSize(100, 40);
}

std::unique_ptr<IToolBoxBar> FakeAppUi::CreateToolBoxBar(CZAVEditorApp&, QWidget* parent)
{
    auto bar = std::make_unique<FakeToolBox>(parent, toolBoxWithItemList);
    toolBox = bar.get();
    return bar;
}

std::unique_ptr<IChangeModeBar> FakeAppUi::CreateChangeModeBar(CZAVEditorApp&, QWidget* parent)
{
    auto bar = std::make_unique<FakeModeBar>(parent);
    modeBar = bar.get();
    return bar;
}

int FakeServices::IsInSiblingConfigUDLFolder(const std::string& path)
{
    return IsPathDirectlyInFolder(path, configFolder) ? 1 : 0;
}

int FakeServices::IsInUDLFolder(const std::string& path)
{
    return IsPathDirectlyInFolder(path, udlFolder) ? 1 : 0;
}

int FakeServices::IsInCommonUDLFolder(const std::string& path)
{
    return IsPathDirectlyInFolder(path, commonUdlFolder) ? 1 : 0;
}

int FakeServices::AnswerFolder(const std::string& set, std::string& folder)
{
    if (set.empty())
        return 0;
    folder = set;
    return 1;
}

QString ShippedCaption(int textId)
{
    std::string text;
    CLocalizeScript(ShippedIniPath()).GetCaption(textId, text);
    return QString::fromStdString(text);
}

std::optional<std::string> FakeDocumentUi::RunSaveFileDialog(QWidget*, const std::string& title,
                                                             const std::string& filter,
                                                             const std::string& proposal)
{
    proposals.push_back(proposal);
    lastTitle = title;
    lastFilter = filter;
    if (chosenPaths.empty())
        return std::nullopt;
    std::string path = chosenPaths.front();
    chosenPaths.pop_front();
    return path;
}
