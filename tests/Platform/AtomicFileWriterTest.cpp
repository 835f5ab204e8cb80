#include "Platform/AtomicFileWriter.h"

#include "Platform/support/FaultyWriteCalls.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool Replace(const std::string& path, const std::string& text, mode_t mode = 0666)
{
    return WriteFileAtomically(path, text.data(), text.size(), mode);
}

class AtomicFileWriterTest : public ::testing::Test
{
protected:
    std::string File(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    std::string Folder() const { return m_folder.path().toStdString(); }

    QTemporaryDir m_folder;
};

TEST_F(AtomicFileWriterTest, EveryFailingStepLeavesTheTargetAndNoTemporaryFile)
{
    const std::string previous = "previous good contents\r\n";
    const std::string next(4096, 'n');
    for (const WriteFault fault :
         {WriteFault::Open, WriteFault::MiddleWrite, WriteFault::Sync, WriteFault::Rename}) {
        const std::string path = File("target.txt");
        WriteText(path, previous);
        const auto before = FolderNames(Folder());
        {
            FaultyWriteCalls calls(fault);
            EXPECT_FALSE(Replace(path, next)) << WriteFaultName(fault);
            EXPECT_GE(calls.Failures(), 1) << WriteFaultName(fault);
            for (const auto& opened : calls.Opened()) {
                EXPECT_NE(opened, path) << "the target itself was opened";
                EXPECT_EQ(std::filesystem::path(opened).parent_path(), Folder());
            }
        }
        EXPECT_EQ(ReadText(path), previous) << WriteFaultName(fault);
        EXPECT_EQ(FolderNames(Folder()), before) << WriteFaultName(fault);
    }
}

TEST_F(AtomicFileWriterTest, AFailedWriteOfANewFileCreatesNothing)
{
    for (const WriteFault fault :
         {WriteFault::Open, WriteFault::MiddleWrite, WriteFault::Sync, WriteFault::Rename}) {
        FaultyWriteCalls calls(fault);
        EXPECT_FALSE(Replace(File("new.txt"), std::string(100, 'x'))) << WriteFaultName(fault);
        EXPECT_TRUE(FolderNames(Folder()).empty()) << WriteFaultName(fault);
    }
}

TEST_F(AtomicFileWriterTest, SuccessReplacesTheContentsAndKeepsThePermissions)
{
    for (const unsigned mode : {0600u, 0640u, 0604u, 0755u}) {
        const std::string path = File("kept.bin");
        WriteText(path, "a much longer previous content than the next one");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        const std::string next("short\0with a NUL", 16);
        EXPECT_TRUE(Replace(path, next));
        EXPECT_EQ(ReadText(path), next);
        EXPECT_EQ(FileMode(path), mode) << std::oct << mode;
        EXPECT_EQ(FolderNames(Folder()), std::set<std::string>{"kept.bin"});
    }
}

TEST_F(AtomicFileWriterTest, SuccessKeepsTheOwnerWhereTheSystemAllowsIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser may give a file away";
    const std::string path = File("theirs.txt");
    WriteText(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0620), 0);
    EXPECT_TRUE(Replace(path, "new"));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0620u);
    EXPECT_EQ(ReadText(path), "new");
}

TEST_F(AtomicFileWriterTest, ANewFileGetsTheAskedModeLessTheUmask)
{
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(Replace(File("new.bin"), "x", 0666));
    EXPECT_TRUE(Replace(File("private.bin"), "", 0600));
    ::umask(mask);
    EXPECT_EQ(FileMode(File("new.bin")), 0644u);
    EXPECT_EQ(FileMode(File("private.bin")), 0600u);
    EXPECT_EQ(ReadText(File("private.bin")), "");
}

TEST_F(AtomicFileWriterTest, AWriteThroughALinkReplacesTheLinkedFileAndKeepsTheLink)
{
    std::filesystem::create_directory(File("real"));
    WriteText(File("real/data.txt"), "old");
    std::filesystem::create_symlink("real/data.txt", File("link.txt"));
    EXPECT_TRUE(Replace(File("link.txt"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(File("link.txt")));
    EXPECT_EQ(ReadText(File("real/data.txt")), "new");
    EXPECT_EQ(FolderNames(File("real")), std::set<std::string>{"data.txt"});
}

TEST_F(AtomicFileWriterTest, EveryKindOfLinkIsWrittenThroughInTheTargetsOwnFolder)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // name, what it points to
        std::string target;                                     // below the test's folder
        bool targetExists;
    } cases[] = {
        {"relative, into another folder", {{"link.txt", "real/data.txt"}}, "real/data.txt", true},
        {"absolute", {{"link.txt", "@/real/data.txt"}}, "real/data.txt", true},
        {"to a file not made yet", {{"link.txt", "real/new.txt"}}, "real/new.txt", false},
        {"a chain of two", {{"link.txt", "mid.txt"}, {"mid.txt", "real/data.txt"}}, "real/data.txt", true},
        {"relative to the link's own folder",
         {{"real/link.txt", "../other/data.txt"}},
         "other/data.txt",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const std::string base = folder.path().toStdString();
        std::filesystem::create_directory(base + "/real");
        std::filesystem::create_directory(base + "/other");
        if (c.targetExists)
            WriteText(base + "/" + c.target, "old");
        for (const auto& [name, to] : c.links)
            std::filesystem::create_symlink(to.front() == '@' ? base + to.substr(1) : to, base + "/" + name);
        const std::string link = base + "/" + c.links.front().first;
        FaultyWriteCalls calls(WriteFault::None);
        EXPECT_TRUE(Replace(link, "new"));
        for (const auto& made : c.links)
            EXPECT_TRUE(std::filesystem::is_symlink(base + "/" + made.first)) << made.first;
        EXPECT_EQ(ReadText(base + "/" + c.target), "new");
        ASSERT_EQ(calls.Opened().size(), 1u);
        const std::string targetFolder = std::filesystem::path(base + "/" + c.target).parent_path().string();
        EXPECT_EQ(std::filesystem::path(calls.Opened().front()).parent_path().lexically_normal().string(),
                  std::filesystem::path(targetFolder).lexically_normal().string());
        EXPECT_FALSE(std::filesystem::exists(calls.Opened().front()));
    }
}

TEST_F(AtomicFileWriterTest, MissingFolderOrFolderTargetFails)
{
    EXPECT_FALSE(Replace(File("no/such/folder/a.txt"), "x"));
    std::filesystem::create_directory(File("dir"));
    EXPECT_FALSE(Replace(File("dir"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(File("dir")));
    EXPECT_FALSE(Replace("", "x"));
    EXPECT_EQ(FolderNames(Folder()), std::set<std::string>{"dir"});
}

TEST_F(AtomicFileWriterTest, AWriterNotCommittedIsDiscarded)
{
    const std::string path = File("a.txt");
    WriteText(path, "old");
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        ASSERT_TRUE(writer.Write("new", 3));
        EXPECT_EQ(FolderNames(Folder()).size(), 2u); // the staged file sits beside the target
    }
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(FolderNames(Folder()), std::set<std::string>{"a.txt"});
    AtomicFileWriter unopened;
    EXPECT_FALSE(unopened.Write("x", 1));
    EXPECT_FALSE(unopened.Commit());
}

TEST_F(AtomicFileWriterTest, AnInstalledFileLayerBelongsToItsThread)
{
    FaultyWriteCalls calls(WriteFault::Rename);
    bool otherThread = false;
    std::thread([&] { otherThread = Replace(File("other.txt"), "x"); }).join();
    EXPECT_TRUE(otherThread);
    EXPECT_FALSE(Replace(File("this.txt"), "x"));
    EXPECT_EQ(calls.Failures(), 1);
}

} // namespace
