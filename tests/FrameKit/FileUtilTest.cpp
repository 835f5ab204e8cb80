#include "FrameKit/FileUtil.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileUtilTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("framekit-file-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Make(const std::string& name, const std::string& bytes)
    {
        std::string p = (dir / name).string();
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    fs::path dir;
};

TEST_F(FileUtilTest, ShortReadGivesIoErrorAndReportsBytesRead)
{
    std::string p = Make("sixty.bin", std::string(60, 'x'));
    ZAV_FileUtil file(p.c_str(), false, false);
    char buf[100];
    std::uint32_t got = 0;
    EXPECT_EQ(file.Read(100, buf, &got), ZAV_ERR_FILE_IO);
    EXPECT_EQ(got, 60u);
    EXPECT_EQ(file.Read(60, buf, &got), ZAV_OK);
    EXPECT_EQ(file.Read(1, nullptr, &got), ZAV_ERR_ARGUMENT);
}

TEST_F(FileUtilTest, ExclusiveCreateKeepsAnExistingFile)
{
    std::string p = Make("kept.txt", "original");
    {
        ZAV_FileUtil file(p.c_str(), true, true);
        EXPECT_FALSE(file.IsOpen());
        std::uint32_t written = 7;
        EXPECT_EQ(file.Write(3, &written, "new"), ZAV_ERR_FILE_IO);
        EXPECT_EQ(written, 0u);
    }
    std::ifstream in(p);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "original");

    std::string fresh = (dir / "fresh.txt").string();
    {
        ZAV_FileUtil file(fresh.c_str(), true, true);
        ASSERT_TRUE(file.IsOpen());
        std::uint32_t written = 0;
        EXPECT_EQ(file.Write(5, &written, "hello"), ZAV_OK);
        EXPECT_EQ(written, 5u);
        std::uint32_t size = 0;
        EXPECT_EQ(file.GetSize(&size), ZAV_OK);
        EXPECT_EQ(size, 5u);
    }
}

TEST_F(FileUtilTest, SizeRefusesMissingFifoAndFilesOf4GiB)
{
    std::uint32_t size = 0;
    std::string missing = (dir / "missing").string();
    EXPECT_EQ(ZAV_FileUtil(missing.c_str(), false, false).GetSize(&size), ZAV_ERR_FILE_IO);

    std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    char buf[4];
    EXPECT_EQ(ZAV_FileUtil(fifo.c_str(), false, false).GetSize(&size), ZAV_ERR_FILE_IO);
    EXPECT_EQ(ZAV_FileUtil(fifo.c_str(), false, false).Read(4, buf), ZAV_ERR_FILE_IO);

    std::string sparse = (dir / "sparse").string();
    {
        std::ofstream(sparse, std::ios::binary) << "x";
    }
    ASSERT_EQ(::truncate(sparse.c_str(), 4294967296LL), 0);
    EXPECT_EQ(ZAV_FileUtil(sparse.c_str(), false, false).GetSize(&size), ZAV_ERR_FILE_IO);

    EXPECT_TRUE(FileExists(dir.c_str()));
    EXPECT_TRUE(IsFolder(dir.c_str()));
    EXPECT_FALSE(IsFolder(sparse.c_str()));
}

TEST(FramePaths, NamePartsSplitOnlyAtRealSeparators)
{
    // 0x95 0x5C is one double-byte character whose trail byte looks like "\".
    const char sjis[] = "dir\\\x95\x5C.usd";
    char name[32];
    ASSERT_EQ(GetFileNamePart(sjis, name, sizeof name), ZAV_OK);
    EXPECT_STREQ(name, "\x95\x5C.usd");
    const char trailOnly[] = "\x95\x5C\x95\x5C";
    ASSERT_EQ(GetFileNamePart(trailOnly, name, sizeof name), ZAV_OK);
    EXPECT_STREQ(name, trailOnly);
    EXPECT_EQ(GetFileNamePart("a\\abcdef", name, 6), ZAV_ERR_ARGUMENT);
    EXPECT_STREQ(name, "");
    char unterminated[300];
    std::memset(unterminated, 'a', sizeof unterminated);
    EXPECT_EQ(GetFileNamePart(unterminated, name, sizeof name), ZAV_ERR_ARGUMENT);

    char folder[256], file[256];
    SplitFolderAndName("one\\two\\three.usd", folder, file);
    EXPECT_STREQ(folder, "one\\two");
    EXPECT_STREQ(file, "three.usd");
    SplitFolderAndName("\\top.usd", folder, file);
    EXPECT_STREQ(folder, "");
    EXPECT_STREQ(file, "top.usd");
    SplitFolderAndName(sjis + 4, folder, file);
    EXPECT_STREQ(folder, "");
    EXPECT_STREQ(file, "\x95\x5C.usd");
}

TEST(FramePaths, ReplaceAndCompare)
{
    char path[261] = "a\\b\\old.usd";
    ReplaceFileName(path, "new.usd");
    EXPECT_STREQ(path, "a\\b\\new.usd");
    ReplaceFileName(path, "");
    EXPECT_STREQ(path, "a\\b\\new.usd");
    char bare[261] = "old.usd";
    ReplaceFileName(bare, "other.usd");
    EXPECT_STREQ(bare, "other.usd");

    EXPECT_TRUE(SamePath("A\\B.USD", "a\\b.usd"));
    EXPECT_FALSE(SamePath("a\\b.usd", "a\\c.usd"));
    EXPECT_TRUE(SameFileName("x\\Pic.JPG", "y\\pic.jpg", false));
    EXPECT_FALSE(SameFileName("x\\Pic.JPG", "y\\pic.jpg", true));
    EXPECT_TRUE(HasExtension("usd", "dir\\LAYOUT.USD"));
    EXPECT_TRUE(HasExtension(".usm", "set.usm"));
    EXPECT_FALSE(HasExtension("usd", "usd"));

    const char text[] = "a\x95\x5C"
                        "b";
    EXPECT_TRUE(IsCharBoundary(text, 1));
    EXPECT_FALSE(IsCharBoundary(text, 2));
    EXPECT_TRUE(IsCharBoundary(text, 3));
    EXPECT_TRUE(IsTerminatedWithin("abc", 4));
    EXPECT_FALSE(IsTerminatedWithin("abc", 3));
}

TEST(FrameGuard, IntegerCodesAndOtherFailures)
{
    EXPECT_EQ(ZavGuard([]() -> int { throw 6001; }), 6001);
    EXPECT_EQ(ZavGuard([]() -> int { throw std::bad_alloc(); }), ZAV_ERR_UNEXPECTED);
    EXPECT_EQ(ZavGuard([] { return ZAV_OK; }), ZAV_OK);
}

} // namespace
