#include "FrameKit/PathResolve.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PathResolveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("framekit-resolve-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "Layouts" / "Image");
    }
    void TearDown() override { fs::remove_all(dir); }
    void Touch(const fs::path& p) { std::ofstream(p) << "x"; }
    std::string Resolve(const char* ref, const std::string& base, int* rc = nullptr)
    {
        char out[kZavPathSize];
        int r = ResolveRelativePath(ref, base.c_str(), out);
        if (rc != nullptr)
            *rc = r;
        return r == ZAV_OK ? std::string(out) : std::string("<") + std::to_string(r) + ">";
    }
    fs::path dir;
};

TEST_F(PathResolveTest, ResolvesTheReferenceFormsAgainstTheFolder)
{
    const std::string base = (dir / "Layouts").string();
    struct Case
    {
        const char* ref;
        std::string expected;
    } cases[] = {
        {".\\Image\\a.bmp", base + "/Image/a.bmp"},
        {"Image\\a.bmp", base + "/Image/a.bmp"},
        {"..\\Layouts\\.\\Image\\a.bmp", base + "/Image/a.bmp"},
        {"..\\b.bmp", dir.string() + "/b.bmp"},
        {"\\srv\\c.bmp", "/srv/c.bmp"},
        // A drive letter stays as written inside the folder and does not resolve elsewhere.
        {"C:\\Data\\a.bmp", base + "/C:/Data/a.bmp"},
        {"c:a.bmp", base + "/c:a.bmp"},
        {"\\..\\..\\x", "/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Resolve(c.ref, base), c.expected) << c.ref;
}

TEST_F(PathResolveTest, RefusesEmptyRelativeBaseAndTooLong)
{
    int rc = 0;
    Resolve("", dir.string(), &rc);
    EXPECT_EQ(rc, ZAV_ERR_ARGUMENT);
    Resolve("a.bmp", "relative/folder", &rc);
    EXPECT_EQ(rc, ZAV_ERR_ARGUMENT);
    std::string longRef(kZavPathSize, 'n');
    Resolve(longRef.c_str(), dir.string(), &rc);
    EXPECT_EQ(rc, ZAV_ERR_ARGUMENT);
    char small[8];
    EXPECT_EQ(ResolveRelativePath("abcdefgh", "/", small, sizeof small), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(small[0], '\0');
    // A lone lead byte is not CP932.
    Resolve("\x95", dir.string(), &rc);
    EXPECT_EQ(rc, ZAV_ERR_ARGUMENT);
}

TEST_F(PathResolveTest, RelativeAndDriveLetterNeverReachTheWorkingDirectory)
{
    const fs::path old = fs::current_path();
    fs::create_directories(dir / "cwd" / "C:");
    Touch(dir / "cwd" / "a.bmp");
    Touch(dir / "cwd" / "C:" / "a.bmp");
    fs::current_path(dir / "cwd");
    const std::string base = (dir / "Layouts").string();
    for (const char* ref : {"a.bmp", ".\\a.bmp", "C:a.bmp", "C:\\a.bmp", "C:/a.bmp"}) {
        std::string p = Resolve(ref, base);
        EXPECT_EQ(p.rfind(base + "/", 0), 0u) << ref;
        EXPECT_FALSE(fs::exists(p)) << ref;
    }
    fs::current_path(old);
}

TEST_F(PathResolveTest, FindsAComponentInAnotherLetterCase)
{
    Touch(dir / "Layouts" / "Image" / "Photo01.JPG");
    const std::string base = (dir / "Layouts").string();
    EXPECT_EQ(Resolve(".\\IMAGE\\photo01.jpg", base), base + "/Image/Photo01.JPG");
    // A name not present in any case is kept as written.
    EXPECT_EQ(Resolve(".\\image\\none.jpg", base), base + "/Image/none.jpg");
}

TEST_F(PathResolveTest, ConvertsShiftJisWithABackslashTrailByte)
{
    // 0x95 0x5C is one character; its trail byte is no separator.
    fs::create_directories(dir / "Layouts" / "\xe8\xa1\xa8");
    Touch(dir / "Layouts" / "\xe8\xa1\xa8" / "a.bmp");
    const std::string base = (dir / "Layouts").string();
    EXPECT_EQ(Resolve("\x95\x5c\\a.bmp", base), base + "/\xe8\xa1\xa8/a.bmp");
}

TEST_F(PathResolveTest, FileTimeGivesWriteTimeInUtcAndFailsForMissingOrFifo)
{
    const fs::path p = dir / "t.txt";
    Touch(p);
    struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 250000000}}; // 2023-11-14 22:13:20 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
    ZavDateTime t;
    ASSERT_EQ(GetFileTime(p.c_str(), 1, &t), ZAV_OK);
    EXPECT_EQ(t.year, 2023);
    EXPECT_EQ(t.month, 11);
    EXPECT_EQ(t.day, 14);
    EXPECT_EQ(t.dayOfWeek, 2);
    EXPECT_EQ(t.hour, 22);
    EXPECT_EQ(t.minute, 13);
    EXPECT_EQ(t.second, 20);
    EXPECT_EQ(t.milliseconds, 250);
    ZavDateTime created;
    EXPECT_EQ(GetFileTime(p.c_str(), 0, &created), ZAV_OK);
    EXPECT_GE(created.year, 2024);
    EXPECT_EQ(GetFileTime((dir / "none").c_str(), 1, &t), ZAV_ERR_FILE_IO);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(GetFileTime((dir / "fifo").c_str(), 1, &t), ZAV_ERR_FILE_IO);
}

TEST(FileNamePartTest, NameAfterTheLastSeparator)
{
    struct Case
    {
        const char* path;
        const char* name; // null: none
    } cases[] = {
        {".\\Image\\a.bmp", "a.bmp"},        {"a.bmp", nullptr}, {"dir\\", nullptr}, {"\x95\x5c", nullptr},
        {"d\\\x95\x5c.bmp", "\x95\x5c.bmp"},
    };
    for (const Case& c : cases) {
        const char* got = FileNamePart(c.path);
        if (c.name == nullptr)
            EXPECT_EQ(got, nullptr) << c.path;
        else
            EXPECT_STREQ(got, c.name) << c.path;
    }
    EXPECT_EQ(FileNamePart(nullptr), nullptr);
}

TEST(FileNamePartTest, RemoveKeepsTheFolderWithoutItsSeparator)
{
    struct Case
    {
        std::string path, expected;
    } cases[] = {
        {"a\\b\\c.usd", "a\\b"}, {"c.usd", "c.usd"},       {"\\c.usd", ""},
        {"a\\\x95\x5c", "a"},    {"\x95\x5c", "\x95\x5c"},
    };
    for (Case& c : cases) {
        std::string p = c.path;
        RemoveFileNamePart(p);
        EXPECT_EQ(p, c.expected) << c.path;
    }
}

} // namespace
