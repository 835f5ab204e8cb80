#include "Core/ProgramLog.h"

#include "Core/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The process's log pointed at a scratch folder with a fixed clock, and back.
struct LogInFolder
{
    LogInFolder()
    {
        GetProgramLog().SetFolder(scratch.Path());
        GetProgramLog().SetClock([] { return std::time_t{86400 * 365}; });
    }
    ~LogInFolder()
    {
        GetProgramLog().SetFolder({});
        GetProgramLog().SetClock({});
    }
    std::string File() const { return scratch / ProgramLog::kFileName; }

    ScratchFolder scratch;
};

std::string Stamp(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace

TEST(ProgramLog, EntriesAreStampedLinesAppendedToTheFile)
{
    LogInFolder log;
    EXPECT_EQ(GetProgramLog().FilePath(), log.File());
    GetProgramLog().Write("first");
    GetProgramLog().Write("two\nlines");
    const std::string stamp = Stamp(86400 * 365);
    EXPECT_EQ(ReadAll(log.File()), stamp + " zaveditor: first\n" + stamp + " zaveditor: two lines\n");
    struct stat st
    {
    };
    ASSERT_EQ(::stat(log.File().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u); // the user's own
}

TEST(ProgramLog, AGrownFileKeepsItsNewerHalfFromALineStart)
{
    LogInFolder log;
    const std::string entry(99, 'x');
    const std::string line = Stamp(86400 * 365) + " zaveditor: " + entry + "\n";
    const std::size_t lines = ProgramLog::kMaxBytes / line.size();
    for (std::size_t i = 0; i < lines + 1; ++i)
        GetProgramLog().Write(entry);
    const std::string text = ReadAll(log.File());
    EXPECT_LE(text.size(), static_cast<std::size_t>(ProgramLog::kMaxBytes));
    EXPECT_GE(text.size(), static_cast<std::size_t>(ProgramLog::kMaxBytes / 2 - line.size()));
    ASSERT_EQ(text.size() % line.size(), 0u);
    EXPECT_EQ(text.substr(0, line.size()), line);
}

TEST(ProgramLog, ALinkInThePlaceOfTheFileIsNotFollowed)
{
    LogInFolder log;
    const std::string elsewhere = log.scratch.Write("elsewhere", "kept");
    std::filesystem::create_symlink(elsewhere, log.File());
    GetProgramLog().Write("entry");
    EXPECT_EQ(ReadAll(elsewhere), "kept");
}

TEST(ProgramLog, AnOperationEndNamesWhereItsChecksFailed)
{
    LogInFolder log;
    {
        const FailedCheckTrail trail;
        LogOperationEnd("open", "/a/b.zvd", 25, trail);
    }
    const FailedCheckTrail trail;
    const int line = __LINE__ + 2;
    try {
        BoolCheck(0, 0);
    } catch (int) {
    }
    LogOperationEnd("save", "/a/c.usd", 23, trail);
    const std::string stamp = Stamp(86400 * 365);
    EXPECT_EQ(ReadAll(log.File()),
              stamp + " zaveditor: open of \"/a/b.zvd\" ended with message 25; no check failed\n" + stamp +
                  " zaveditor: save of \"/a/c.usd\" ended with message 23; failed checks, oldest first: "
                  "tests/Core/ProgramLogTest.cpp:" +
                  std::to_string(line) + "\n");
}

TEST(ProgramLog, OnlyTheLatestChecksAreNamedWithACountOfTheOthers)
{
    LogInFolder log;
    const FailedCheckTrail trail;
    for (std::size_t i = 0; i < FailedCheckTrail::kKept + 2; ++i) {
        try {
            NullCheck(nullptr, 0);
        } catch (int) {
        }
    }
    LogOperationEnd("registration", "Spring", 24, trail);
    const std::string text = ReadAll(log.File());
    EXPECT_NE(text.find("failed checks, oldest first: (2 earlier) tests/Core/ProgramLogTest.cpp:"),
              std::string::npos)
        << text;
}
