#include "FrameKit/PackageFormat.h"
#include "FrameKit/PackageErrorCode.h"
#include "PackageTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

// Writes the sources into dir and packs them, group by group.
int Pack(const PackageTempDir& dir,
         const std::vector<std::vector<std::pair<std::string, std::string>>>& files,
         const std::string& target)
{
    PackageGroups groups;
    for (std::size_t g = 0; g < files.size(); ++g) {
        for (const auto& [name, body] : files[g]) {
            WriteBytes(dir / ("src/" + name), body);
            groups[g].push_back({dir / ("src/" + name), ""});
        }
    }
    PZAVPackage package;
    return package.Write(target.c_str(), groups);
}

void ExpectTable(const std::string& bytes, std::size_t at, int group, std::uint32_t n, std::uint32_t next)
{
    SCOPED_TRACE("group " + std::to_string(group));
    ASSERT_GE(bytes.size(), at + 66);
    EXPECT_EQ(bytes[at], 5);
    EXPECT_EQ(bytes[at + 1], 0);
    const std::uint32_t values[5] = {n, n ? std::uint32_t(at + 66) : 0,
                                     n ? std::uint32_t(at + 66 + 4 * n) : 0,
                                     n ? std::uint32_t(at + 66 + 8 * n) : 0, next};
    const int tags[5] = {1, 2, 3, 4, 99};
    for (int e = 0; e < 5; ++e) {
        const std::size_t entry = at + 2 + 12 * e;
        EXPECT_EQ(std::uint8_t(bytes[entry]) | (std::uint8_t(bytes[entry + 1]) << 8), 100 * group + tags[e]);
        EXPECT_EQ(bytes[entry + 2], 4);
        EXPECT_EQ(Le32(bytes, entry + 4), 1u);
        EXPECT_EQ(Le32(bytes, entry + 8), values[e]);
    }
    EXPECT_EQ(Le32(bytes, at + 62), next);
}

TEST(PackageFormat, OneScriptAloneHasItsBodyAt363)
{
    PackageTempDir dir;
    const std::string fdp = dir / "one.fdp";
    ASSERT_EQ(Pack(dir, {{{"a.usd", "SCRIPT"}}}, fdp), ZAV_OK);
    const std::string bytes = ReadBytes(fdp);
    ASSERT_EQ(bytes.size(), 363u + 6);
    EXPECT_EQ(bytes.substr(0, 12), std::string("VLZAV\0\1\0\x0c\0\0\0", 12));
    ExpectTable(bytes, 12, 0, 1, 99);
    ExpectTable(bytes, 99, 1, 0, 165);
    ExpectTable(bytes, 165, 2, 0, 231);
    ExpectTable(bytes, 231, 3, 0, 297);
    ExpectTable(bytes, 297, 4, 0, 0);
    EXPECT_EQ(Le32(bytes, 78), 363u);
    EXPECT_EQ(Le32(bytes, 82), 6u);
    EXPECT_EQ(bytes.substr(86, 13), std::string("A.USD\0\0\0\0\0\0\0\0", 13).replace(0, 5, "a.usd"));
    EXPECT_EQ(bytes.substr(363), "SCRIPT");
}

TEST(PackageFormat, EmptySourceTakesTheNextMembersOffsetAndNamesFindWithoutCase)
{
    PackageTempDir dir;
    const std::string fdp = dir / "p.fdp";
    ASSERT_EQ(
        Pack(dir, {{{"a.usd", "S"}}, {}, {{"THUMB.USF", "TT"}}, {{"e.jpg", ""}, {"f.jpg", "FFF"}}}, fdp),
        ZAV_OK);
    PZAVPackageInfo info;
    ASSERT_EQ(info.Open(fdp.c_str()), ZAV_OK);
    EXPECT_EQ(info.GetCount(3), 2);
    EXPECT_EQ(info.GetCount(5), 0);
    std::uint32_t eOff = 0, eSize = 9, fOff = 0, fSize = 0;
    ASSERT_EQ(info.FindMember("e.jpg", &eOff, &eSize), ZAV_OK);
    ASSERT_EQ(info.FindMember("F.JPG", &fOff, &fSize), ZAV_OK);
    EXPECT_EQ(eSize, 0u);
    EXPECT_EQ(eOff, fOff);
    EXPECT_EQ(fSize, 3u);
    std::uint32_t off = 0, size = 0;
    EXPECT_EQ(info.FindMember("thumb.usf", &off, &size), ZAV_OK);
    EXPECT_EQ(size, 2u);
    char buf[4] = {};
    EXPECT_EQ(info.ReadMember("thumb.usf", buf, 2), ZAV_OK);
    EXPECT_EQ(std::string(buf, 2), "TT");
    EXPECT_EQ(info.ReadMember("thumb.usf", buf, 3), ZAV_ERR_FILE_IO);
    EXPECT_EQ(info.FindMember("none.jpg", &off, &size), ZAV_ERR_MEMBER_NOT_FOUND);
    char name[256];
    EXPECT_EQ(info.GetMemberName(2, 0, name), ZAV_OK);
    EXPECT_STREQ(name, "THUMB.USF");
    EXPECT_EQ(info.GetMemberName(2, 1, name), ZAV_ERR_LAYOUT_INDEX);
    EXPECT_EQ(info.GetMemberName(5, 0, name), ZAV_ERR_LAYOUT_INDEX);
}

TEST(PackageFormat, WriterRefusesAndLeavesNothingBehind)
{
    PackageTempDir dir;
    const std::string existing = dir / "exists.fdp";
    WriteBytes(existing, "keep");
    EXPECT_EQ(Pack(dir, {{{"a.usd", "S"}}}, existing), ZAV_ERR_PACKAGE_TARGET);
    EXPECT_EQ(ReadBytes(existing), "keep");

    const std::string fdp = dir / "long.fdp";
    EXPECT_EQ(Pack(dir, {{{"abcdefghi.usd", "S"}}}, fdp), ZAV_ERR_NAME_TOO_LONG);
    EXPECT_FALSE(std::filesystem::exists(fdp));

    PackageGroups missing;
    missing[0].push_back({dir / "nothing.usd", ""});
    PZAVPackage writer;
    EXPECT_EQ(writer.Write(fdp.c_str(), missing), ZAV_ERR_FILE_IO);
    EXPECT_FALSE(std::filesystem::exists(fdp));
}

TEST(PackageFormat, SourceOfFourGibibytesIsRefusedBeforeTheTargetIsMade)
{
    PackageTempDir dir;
    const std::string big = dir / "big.jpg";
    WriteBytes(big, "");
    std::filesystem::resize_file(big, (std::uint64_t(1) << 32) - 100); // sparse
    PackageGroups groups;
    groups[0].push_back({big, ""});
    const std::string fdp = dir / "big.fdp";
    PZAVPackage writer;
    EXPECT_EQ(writer.Write(fdp.c_str(), groups), ZAV_ERR_FILE_IO);
    EXPECT_FALSE(std::filesystem::exists(fdp));
}

struct HostileCase
{
    const char* what;
    void (*edit)(std::string&);
    int expected;
};

// A valid package of one script "a.usd" (body "SCRIPT" at 363) edited one way.
TEST(PackageFormat, ReaderRefusesHostileDirectories)
{
    const HostileCase cases[] = {
        {"byte 0", [](std::string& b) { b[0] = 'X'; }, ZAV_ERR_PACKAGE_MAGIC},
        {"byte 4", [](std::string& b) { b[4] = 'X'; }, ZAV_ERR_PACKAGE_MAGIC},
        {"byte 5 not zero", [](std::string& b) { b[5] = 1; }, ZAV_ERR_PACKAGE_MAGIC},
        {"version 2", [](std::string& b) { b[6] = 2; }, ZAV_ERR_PACKAGE_MAGIC},
        {"byte 7", [](std::string& b) { b[7] = 1; }, ZAV_ERR_PACKAGE_MAGIC},
        {"offset 13", [](std::string& b) { b[8] = 13; }, ZAV_ERR_PACKAGE_MAGIC},
        {"offset high byte", [](std::string& b) { b[11] = 1; }, ZAV_ERR_PACKAGE_MAGIC},
        {"11 bytes", [](std::string& b) { b.resize(11); }, ZAV_ERR_FILE_IO},
        {"empty", [](std::string& b) { b.clear(); }, ZAV_ERR_FILE_IO},
        {"cut table", [](std::string& b) { b.resize(12 + 40); }, ZAV_ERR_FILE_IO},
        {"cut arrays", [](std::string& b) { b.resize(12 + 66 + 10); }, ZAV_ERR_FILE_IO},
        {"last table cut", [](std::string& b) { b.resize(362); }, ZAV_ERR_FILE_IO},
        {"N = 0xFFFFFFFF", [](std::string& b) { PutLe32(b, 22, 0xFFFFFFFFu); }, ZAV_ERR_FILE_IO},
        {"N in a later group", [](std::string& b) { PutLe32(b, 99 + 10, 0x10000000u); }, ZAV_ERR_FILE_IO},
        {"name without NUL", [](std::string& b) { b.replace(86, 13, "abcdefghijklm"); }, ZAV_ERR_FILE_IO},
        {"empty name", [](std::string& b) { b.replace(86, 13, std::string(13, '\0')); }, ZAV_ERR_FILE_IO},
        {"name ..", [](std::string& b) { b.replace(86, 3, std::string("..\0", 3)); }, ZAV_ERR_FILE_IO},
        {"name .", [](std::string& b) { b.replace(86, 2, std::string(".\0", 2)); }, ZAV_ERR_FILE_IO},
        {"name ..\\..\\a.jpg", [](std::string& b) { b.replace(86, 12, "..\\..\\a.jpg"); }, ZAV_ERR_FILE_IO},
        {"name a/b", [](std::string& b) { b.replace(86, 4, std::string("a/b\0", 4)); }, ZAV_ERR_FILE_IO},
        {"size past the end", [](std::string& b) { PutLe32(b, 82, 7); }, ZAV_ERR_FILE_IO},
        {"offset past the end", [](std::string& b) { PutLe32(b, 78, 364); }, ZAV_ERR_FILE_IO},
        {"sum wraps 32 bits", [](std::string& b) { PutLe32(b, 78, 0xFFFFFFF0u), PutLe32(b, 82, 0x20u); },
         ZAV_ERR_FILE_IO},
    };
    PackageTempDir dir;
    const std::string good = dir / "good.fdp";
    ASSERT_EQ(Pack(dir, {{{"a.usd", "SCRIPT"}}}, good), ZAV_OK);
    const std::string original = ReadBytes(good);
    PZAVPackageInfo info;
    ASSERT_EQ(info.Open(good.c_str()), ZAV_OK);
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = original;
        c.edit(bytes);
        const std::string path = dir / "hostile.fdp";
        std::filesystem::remove(path);
        WriteBytes(path, bytes);
        EXPECT_EQ(info.Open(path.c_str()), c.expected);
        EXPECT_TRUE(info.Path().empty());
        EXPECT_EQ(info.GetCount(0), 0);
    }
    EXPECT_EQ(info.Open((dir / "absent.fdp").c_str()), ZAV_ERR_PACKAGE_OPEN);
    EXPECT_EQ(info.Open(dir.path().c_str()), ZAV_ERR_FILE_IO);
}

} // namespace
