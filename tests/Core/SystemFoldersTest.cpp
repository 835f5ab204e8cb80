#include "Core/SystemFolders.h"

#include "Core/support/ScratchFolder.h"

#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kReadWriteDelete = 0x13019F; // what the save code asks for
constexpr std::uint32_t kGenericRead = 0x120089;
constexpr std::uint32_t kGenericWrite = 0x120116;
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// Runs `check` as the user nobody with only the effective ids changed (the
// real ids stay root's); its result is the child's exit status.
int AsNobody(const std::function<bool()>& check)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool switched =
            ::setgroups(0, nullptr) == 0 && ::setegid(kNogroup) == 0 && ::seteuid(kNobody) == 0;
        ::_exit(!switched ? 2 : check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

class RecordingFeedback : public IWaitFeedback
{
public:
    void BeginWait() override { ++begun; }
    void EndWait() override { ++ended; }
    void KeepPainted() override { ++painted; }
    int begun = 0, ended = 0, painted = 0;
};

} // namespace

TEST(SystemFolders, SharedDataFolderFollowsTheMapping)
{
    ::setenv("ZAV_SHARED_DATA_DIR", "/srv/zav/", 1);
    EXPECT_EQ(GetSharedDataFolder(), "/srv/zav/UDL");
    ::unsetenv("ZAV_SHARED_DATA_DIR");

    ScratchFolder scratch;
    ::setenv("XDG_DATA_HOME", scratch.Path().c_str(), 1);
    struct stat st;
    const bool system = ::stat("/var/lib/zaveditor", &st) == 0 && S_ISDIR(st.st_mode);
    EXPECT_EQ(GetSharedDataFolder(), system ? "/var/lib/zaveditor/UDL" : scratch / "zaveditor/UDL");
    ::unsetenv("XDG_DATA_HOME");
}

TEST(SystemFolders, DocumentsFolderEndsWithSeparator)
{
    const std::string docs = GetMyDocumentsFolder();
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs.back(), '/');
    EXPECT_NE(docs, "/");
}

TEST(SystemFolders, PlatformTests)
{
    EXPECT_FALSE(IsWin9x());
    EXPECT_FALSE(IsNTFSVolume(""));
    ScratchFolder scratch;
    EXPECT_TRUE(IsNTFSVolume(scratch.Path())); // the test's temporary folder keeps permissions
}

TEST(SystemFolders, HasFileAccessUsesTheEffectiveIds)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    ScratchFolder scratch;
    ::chmod(scratch.Path().c_str(), 0755);
    const std::string readOnly = scratch.Write("ro.txt", "x");
    ::chmod(readOnly.c_str(), 0444);
    // The user's group may only read; everyone else may write. The group's
    // entry decides, as the system decides.
    const std::string groupRead = scratch.Write("group.txt", "x");
    ASSERT_EQ(::chown(groupRead.c_str(), 0, kNogroup), 0);
    ::chmod(groupRead.c_str(), 0646);

    // Real id root, effective id nobody: a test with the real ids would grant.
    EXPECT_EQ(AsNobody([&] { return !HasFileAccess(readOnly, kGenericWrite); }), 0);
    EXPECT_EQ(AsNobody([&] { return HasFileAccess(readOnly, kGenericRead); }), 0);
    EXPECT_EQ(AsNobody([&] { return !HasFileAccess(groupRead, kGenericWrite); }), 0);
    EXPECT_EQ(AsNobody([&] { return HasFileAccess(groupRead, kGenericRead); }), 0);
    EXPECT_TRUE(HasFileAccess(readOnly, kReadWriteDelete)); // root itself
    EXPECT_FALSE(HasFileAccess(scratch / "missing", kGenericRead));
}

TEST(SystemFolders, DeleteRightFollowsTheStickySharedFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    ScratchFolder scratch;
    ::chmod(scratch.Path().c_str(), 0755);
    const std::string shared = scratch / "UDL";
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ::chmod(shared.c_str(), 01777);
    const std::string others = scratch.Write("UDL/others.usd", "x");
    ::chmod(others.c_str(), 0666);
    const std::string own = scratch.Write("UDL/own.usd", "x");
    ASSERT_EQ(::chown(own.c_str(), kNobody, kNogroup), 0);

    EXPECT_EQ(AsNobody([&] { return HasFileAccess(others, kGenericWrite); }), 0);
    EXPECT_EQ(AsNobody([&] { return !HasFileAccess(others, kReadWriteDelete); }), 0);
    EXPECT_EQ(AsNobody([&] { return HasFileAccess(own, kReadWriteDelete); }), 0);
}

TEST(SystemFolders, FolderTreeAccessStopsAtTheFirstRefusal)
{
    constexpr std::uint32_t kExecute = FileRights::Execute; // even root needs an execute bit
    ScratchFolder scratch;
    scratch.Write("t/a.sh");
    scratch.Write("t/sub/b.sh");
    scratch.Write("t/sub/c.sh");
    for (const char* name : {"t/a.sh", "t/sub/b.sh", "t/sub/c.sh"})
        ::chmod((scratch / name).c_str(), 0755);

    RecordingFeedback feedback;
    EXPECT_TRUE(HasFolderTreeAccess(scratch / "t", kExecute, &feedback));
    EXPECT_EQ(feedback.begun, feedback.ended);
    EXPECT_EQ(feedback.begun, 4); // a.sh, sub, and sub's two files
    EXPECT_EQ(feedback.painted, 4);

    ::chmod((scratch / "t/sub/b.sh").c_str(), 0644);
    RecordingFeedback refused;
    EXPECT_FALSE(HasFolderTreeAccess(scratch / "t", kExecute, &refused));
    EXPECT_EQ(refused.begun, refused.ended);
    EXPECT_FALSE(HasFolderTreeAccess(scratch / "t", kExecute)); // without feedback
    EXPECT_FALSE(HasFolderTreeAccess(scratch / "missing", kExecute));
}
