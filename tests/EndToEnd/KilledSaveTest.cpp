// A save killed as a crash or a power cut kills it: a child process (this test
// program run again) saves a changed layout over its previous save and holds
// still right after a chosen file-system step until the test kills it with
// SIGKILL. The editor started afterwards opens exactly the previous or exactly
// the new layout, without a message and without anything of the save left.
#include "App/DocumentFileKinds.h"
#include "App/SaveFileSystem.h"
#include "App/ZAVEditorDoc.h"
#include "EndToEnd/support/Scenario.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderVariable = "ZAV_KILLED_SAVE_FOLDER";
constexpr const char* kStepVariable = "ZAV_KILLED_SAVE_STEP";
constexpr const char* kHeldMark = "held";

using KilledSaveTest = ProgramTest;

// The system's steps; after the n-th step of the chosen kind ("rename 2") it
// marks that it is holding and waits to be killed.
class HoldingFileSystem : public ISaveFileSystem
{
public:
    HoldingFileSystem(std::string kind, int count, std::string mark)
        : m_kind(std::move(kind)), m_count(count), m_mark(std::move(mark))
    {
    }
    bool MakeUniqueFolder(const std::string& prefix, std::string& made) override
    {
        return After("make", System().MakeUniqueFolder(prefix, made));
    }
    bool SyncTree(const std::string& path) override { return After("sync-tree", System().SyncTree(path)); }
    bool WriteDurably(const std::string& path, std::string_view bytes) override
    {
        return After("journal", System().WriteDurably(path, bytes));
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return After("rename", System().Rename(from, to));
    }
    bool SyncFolder(const std::string& folder) override { return After("sync", System().SyncFolder(folder)); }
    bool DeleteTree(const std::string& folder) override
    {
        return After("delete", System().DeleteTree(folder));
    }
    bool RemoveFile(const std::string& path) override { return After("remove", System().RemoveFile(path)); }

private:
    static ISaveFileSystem& System() { return SystemSaveFileSystem(); }
    bool After(const char* kind, bool result)
    {
        if (kind == m_kind && ++m_seen == m_count) {
            std::ofstream(m_mark) << kind;
            for (;;)
                ::pause();
        }
        return result;
    }
    std::string m_kind;
    int m_count;
    int m_seen = 0;
    std::string m_mark;
};

std::map<std::string, std::string> FilesBelow(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string& bytes = files[fs::relative(entry.path(), folder).string()];
        if (entry.is_directory()) {
            bytes = "/";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The child's part, run only when the parent starts this program with the
// folder and the step: the previous save, a copy of it, the new save whole
// elsewhere, then the new save over the previous one, held at the step.
TEST_F(KilledSaveTest, ChildSavesAndHolds)
{
    const char* folder = std::getenv(kFolderVariable);
    const char* step = std::getenv(kStepVariable);
    if (!folder || !step)
        GTEST_SKIP() << "run by the killed-save test as its child";
    const std::string base = folder;
    StartProgram();
    NewPostcardLayout(*this);
    DrawLine(*this, 0.2, 0.2, 0.8, 0.2);
    DocumentFileKinds plain;
    ASSERT_EQ(plain.SaveZvdDocument(Document(), base + "/lay/page.zvd"), 0);
    fs::copy(base + "/lay", base + "/old", fs::copy_options::recursive);
    DrawLine(*this, 0.2, 0.6, 0.8, 0.6);
    ASSERT_EQ(plain.SaveZvdDocument(Document(), base + "/new/page.zvd"), 0);

    const std::string kind(step, std::strchr(step, ' '));
    HoldingFileSystem holding(kind, std::atoi(std::strchr(step, ' ') + 1), base + "/" + kHeldMark);
    DocumentFileKinds held(MakeFramePackageKit, holding);
    held.SaveZvdDocument(Document(), base + "/lay/page.zvd");
    ADD_FAILURE() << "the save ran through without reaching " << step;
}

TEST_F(KilledSaveTest, ASaveKilledMidwayOpensAsThePreviousOrTheNewLayout)
{
    struct Case
    {
        const char* step;
        const char* what;
        const char* expected;
    } cases[] = {
        {"sync-tree 1", "the new pictures staged", "old"},
        {"journal 1", "the journal written", "new"},
        {"rename 1", "the previous picture folder set aside", "new"},
        {"rename 2", "the new picture folder in place", "new"},
        {"rename 3", "the previous script set aside", "new"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string base =
            ScratchFolder() + "killed-" + std::string(c.step).replace(std::string(c.step).find(' '), 1, "-");
        fs::create_directories(base);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kFolderVariable, QString::fromStdString(base));
        environment.insert(kStepVariable, c.step);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QString::fromStdString(fs::read_symlink("/proc/self/exe").string()),
                    {"--gtest_filter=KilledSaveTest.ChildSavesAndHolds"});
        ASSERT_TRUE(child.waitForStarted());
        const bool held = QTest::qWaitFor(
            [&] { return fs::exists(base + "/" + kHeldMark) || child.state() == QProcess::NotRunning; },
            120000);
        ASSERT_TRUE(held && fs::exists(base + "/" + kHeldMark)) << "the child did not reach the step";
        ASSERT_EQ(::kill(static_cast<pid_t>(child.processId()), SIGKILL), 0);
        ASSERT_TRUE(child.waitForFinished());
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

        StartProgram();
        ASSERT_TRUE(Document().OnOpenDocument(base + "/lay/page.zvd"));
        EXPECT_TRUE(Messages().empty());
        EXPECT_EQ(FilesBelow(base + "/lay"), FilesBelow(base + "/" + c.expected));
        FinishProgram();
    }
}

} // namespace
