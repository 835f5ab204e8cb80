#include "App/support/DocumentFakes.h"

#include "Core/LocalizeScript.h"
#include "Core/Path.h"
#include "Core/ProgramLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FakeDocumentHost::FakeDocumentHost(const AppFolders& folders)
{
    const AppEnvironment env = folders.Environment();
    localizeIniPath = env.programFolder + "Localize.ini";
    documentsFolder = env.documentsFolder;
    settings.SetInstallSettings(ReadInstallSettings(localizeIniPath));
}

void FakeDocumentHost::SelectTool(int tool)
{
    calls.push_back("SelectTool " + std::to_string(tool));
    if (document)
        document->GetLayoutManager()->GetDragState().currentTool = tool;
}

int FakeFileKinds::Load(const std::string& kind, const std::string& path)
{
    calls.push_back("load " + kind + " " + path);
    if (duringLoad)
        duringLoad();
    return loadResult;
}

int FakeFileKinds::Save(const std::string& kind, const std::string& path)
{
    calls.push_back("save " + kind + " " + path);
    if (duringSave)
        duringSave();
    return saveResult;
}

int RuleServices::CheckLayoutFileName(const std::string& name)
{
    const auto it = layoutNameResults.find(name);
    return it == layoutNameResults.end() ? 0 : it->second;
}

int RuleServices::CheckNumberedLayoutFileName(const std::string& name)
{
    const auto it = numberedNameResults.find(name);
    return it == numberedNameResults.end() ? 0 : it->second;
}

DocumentFixture::DocumentFixture(const std::vector<std::string>& uiSettings)
    : folders(uiSettings), host(folders)
{
    EnsureApp();
    SetMessageContext(host.localizeIniPath, nullptr);
    GetProgramLog().SetFolder(Work());
    document = std::make_unique<CZAVEditorDoc>(host, services, ui, kinds);
    host.document = document.get();
}

DocumentFixture::~DocumentFixture()
{
    document.reset();
    SetMessageContext(std::string(), nullptr);
    GetProgramLog().SetFolder(std::string());
}

std::string DocumentFixture::LogText() const
{
    QFile file(QString::fromStdString(Work() + "/" + ProgramLog::kFileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::vector<int> DocumentFixture::MessageIds() const
{
    std::vector<int> ids;
    const CLocalizeScript script(host.localizeIniPath);
    for (const RecordedMessage& message : recorder.messages) {
        int found = -1;
        for (int id = 1; id < 300 && found < 0; ++id) {
            std::string text;
            if (script.GetCaption(id, text) && QString::fromStdString(text) == message.text)
                found = id;
        }
        ids.push_back(found);
    }
    return ids;
}

std::string DocumentFixture::Work() const
{
    return m_work.path().toStdString();
}

std::string DocumentFixture::MakeFile(const std::string& relative, const std::string& bytes) const
{
    const QString path = m_work.filePath(QString::fromStdString(relative));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path.toStdString();
}
