#include "Core/Files.h"

#include "Core/support/ScratchFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void MakeReadOnly(const std::string& path)
{
    ::chmod(path.c_str(), 0444);
}

} // namespace

TEST(Files, KindsAndReadOnlyAttribute)
{
    ScratchFolder scratch;
    const std::string file = scratch.Write("a.txt", "abc");
    const std::string folder = scratch / "sub";
    fs::create_directory(folder);

    EXPECT_TRUE(IsFile(file));
    EXPECT_FALSE(IsDirectory(file));
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_FALSE(IsFile(folder));
    EXPECT_FALSE(IsFile(scratch / "missing"));
    EXPECT_FALSE(IsDirectory(""));

    EXPECT_FALSE(IsReadOnlyFile(file));
    MakeReadOnly(file);
    MakeReadOnly(folder);
    EXPECT_TRUE(IsReadOnlyFile(file));
    EXPECT_TRUE(IsReadOnlyFile(folder));
    EXPECT_FALSE(IsReadOnlyFile(scratch / "missing"));
}

TEST(Files, DeleteFolderTreeKeepsReadOnlyFiles)
{
    ScratchFolder scratch;
    scratch.Write("tree/a.txt", "a");
    scratch.Write("tree/deep/b.txt", "b");
    const std::string locked = scratch.Write("tree/deep/locked.txt", "c");
    MakeReadOnly(locked);

    EXPECT_FALSE(DeleteFolderTree(scratch / "tree"));
    EXPECT_TRUE(IsFile(locked));
    EXPECT_FALSE(IsFile(scratch / "tree/a.txt"));
    EXPECT_FALSE(IsFile(scratch / "tree/deep/b.txt"));

    EXPECT_TRUE(ForceDeleteFile(locked));
    EXPECT_FALSE(IsFile(locked));
    EXPECT_TRUE(DeleteFolderTree(scratch / "tree"));
    EXPECT_FALSE(IsDirectory(scratch / "tree"));
    EXPECT_FALSE(DeleteFolderTree(scratch / "tree")); // missing
}

TEST(Files, DeleteFolderTreeNeverFollowsLinks)
{
    ScratchFolder scratch;
    const std::string outside = scratch.Write("outside/keep.txt", "k");
    scratch.Write("tree/a.txt", "a");
    fs::create_directory_symlink(scratch / "outside", scratch / "tree/link");

    EXPECT_TRUE(DeleteFolderTree(scratch / "tree"));
    EXPECT_TRUE(IsFile(outside));
}

TEST(Files, DeleteFolderContentsExceptKeepsListedPathsWithoutRegardToCase)
{
    ScratchFolder scratch;
    const std::string keep = scratch.Write("f/Keep.jpg", "k");
    scratch.Write("f/drop.jpg", "d");
    scratch.Write("f/sub/x.jpg", "x");

    EXPECT_TRUE(DeleteFolderContentsExcept(scratch / "f", {scratch / "f/KEEP.JPG"}));
    EXPECT_TRUE(IsFile(keep));
    EXPECT_FALSE(IsFile(scratch / "f/drop.jpg"));
    EXPECT_FALSE(IsDirectory(scratch / "f/sub"));
    EXPECT_TRUE(IsDirectory(scratch / "f"));
    EXPECT_FALSE(DeleteFolderContentsExcept(scratch / "none", {}));
}

TEST(Files, Sizes)
{
    ScratchFolder scratch;
    scratch.Write("s/a", std::string(1000, 'a'));
    scratch.Write("s/b", std::string(24, 'b'));
    scratch.Write("s/sub/c", std::string(500, 'c')); // not entered
    EXPECT_EQ(GetFileSizeOfPath(scratch / "s/a"), 1000u);
    EXPECT_EQ(GetFileSizeOfPath(scratch / "s/missing"), 0u);
    EXPECT_EQ(GetFolderFilesSize(scratch / "s"), 1024u);
    EXPECT_EQ(GetFolderFilesSize(scratch / "missing"), 0u);
}

TEST(Files, GetLongPathSpellsComponentsAsOnDisk)
{
    ScratchFolder scratch;
    const std::string file = scratch.Write("Layouts/Image/Image001.EFF", "x");
    std::string out = "unchanged";

    ASSERT_TRUE(GetLongPath(out, scratch / "layouts/IMAGE/image001.eff", true));
    EXPECT_EQ(out, file);
    ASSERT_TRUE(GetLongPath(out, scratch / "LAYOUTS/image/", false));
    EXPECT_EQ(out, scratch / "Layouts/Image/");
    // A missing component is kept as given, not dropped.
    ASSERT_TRUE(GetLongPath(out, scratch / "layouts/New/a.jpg", false));
    EXPECT_EQ(out, scratch / "Layouts/New/a.jpg");

    out = "unchanged";
    EXPECT_FALSE(GetLongPath(out, scratch / "layouts/image", true)); // a folder
    EXPECT_FALSE(GetLongPath(out, scratch / "layouts/none.eff", true));
    EXPECT_EQ(out, "unchanged");
}

TEST(Files, CreateFolderPathCreatesEveryMissingLevel)
{
    ScratchFolder scratch;
    fs::create_directory(scratch / "a");
    EXPECT_TRUE(CreateFolderPath(scratch / "a/b/c"));
    EXPECT_TRUE(IsDirectory(scratch / "a/b/c"));
    EXPECT_TRUE(CreateFolderPath(scratch / "a/b/c/")); // already there
    scratch.Write("file");
    EXPECT_FALSE(CreateFolderPath(scratch / "file/sub"));
    EXPECT_FALSE(CreateFolderPath(""));
}

TEST(Files, CreateFolderPathOpensTheSharedFolderToEveryone)
{
    ScratchFolder scratch;
    ::setenv("ZAV_SHARED_DATA_DIR", (scratch / "common").c_str(), 1);
    EXPECT_TRUE(CreateFolderPath(scratch / "common/UDL/mine"));
    ::unsetenv("ZAV_SHARED_DATA_DIR");

    struct stat st;
    ASSERT_EQ(::stat((scratch / "common/UDL").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
    ASSERT_EQ(::stat((scratch / "common").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 01000, 0u); // its parent gets default rights
}

TEST(Files, WriteBufferToFile)
{
    ScratchFolder scratch;
    const std::string path = scratch / "out.bin";
    const char bytes[] = {'a', '\0', 'b'};
    EXPECT_TRUE(WriteBufferToFile(path, bytes, sizeof bytes));
    EXPECT_EQ(GetFileSizeOfPath(path), 3u);
    EXPECT_TRUE(WriteBufferToFile(path, bytes, 0)); // truncates to an empty file
    EXPECT_TRUE(IsFile(path));
    EXPECT_EQ(GetFileSizeOfPath(path), 0u);
    EXPECT_FALSE(WriteBufferToFile("", bytes, 1));
    EXPECT_FALSE(WriteBufferToFile(path, nullptr, 1));
    EXPECT_FALSE(WriteBufferToFile(scratch / "missing/out.bin", bytes, 1));
}

TEST(Files, ModuleFolderIsTheFolderOfTheTestProgram)
{
    std::string folder;
    ASSERT_TRUE(GetModuleFolder(folder));
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(IsFile(folder + "core_tests"));
}
