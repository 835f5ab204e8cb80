#include "FrameKit/PackageZAV.h"
#include "FrameKit/PZAVPackAnalize.h"
#include "FrameKit/PackageErrorCode.h"
#include "PackageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Layouts(const PackageTempDir& dir, std::initializer_list<std::string> rel)
{
    std::vector<std::string> out;
    for (const auto& r : rel)
        out.push_back(dir / r);
    return out;
}

int Package(const std::vector<std::string>& layouts, const std::string& fdp)
{
    std::vector<ZAVPath> paths(layouts.size());
    for (std::size_t i = 0; i < layouts.size(); ++i)
        std::snprintf(paths[i], sizeof paths[i], "%s", layouts[i].c_str());
    PackageZAV kit;
    return kit.Package(static_cast<int>(layouts.size()), paths.data(), fdp.c_str());
}

// Every file below src (but the package) comes back byte for byte below out.
void ExpectSameFiles(const fs::path& src, const fs::path& out)
{
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".fdp")
            continue;
        const fs::path rel = fs::relative(entry.path(), src);
        SCOPED_TRACE(rel.string());
        EXPECT_EQ(ReadBytes((out / rel).string()), ReadBytes(entry.path().string()));
        ++files;
    }
    EXPECT_EQ(ListTree(out).size() > 0, files > 0);
}

int Unpack(const std::string& fdp, const fs::path& target, int* warning)
{
    fs::create_directories(target);
    PackageZAV kit;
    return kit.Unpackage(fdp.c_str(), target.c_str(), warning);
}

TEST(PackageZav, GoldenLayoutOfOneScriptAlone)
{
    PackageTempDir dir;
    WriteBytes(dir / "src/a.usd", LayoutScript("", "", {}));
    const std::string fdp = dir / "a.fdp";
    ASSERT_EQ(Package(Layouts(dir, {"src/a.usd"}), fdp), ZAV_OK);
    const std::string bytes = ReadBytes(fdp);
    const std::uint32_t tables[5] = {12, 99, 165, 231, 297};
    for (int g = 0; g < 5; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(Le32(bytes, tables[g] + 10), g == 0 ? 1u : 0u);
        for (int entry = 2; entry <= 4 && g > 0; ++entry)
            EXPECT_EQ(Le32(bytes, tables[g] + 2 + 12 * (entry - 1) + 8), 0u);
        EXPECT_EQ(Le32(bytes, tables[g] + 50 + 8), g < 4 ? tables[g + 1] : 0u);
        EXPECT_EQ(Le32(bytes, tables[g] + 62), g < 4 ? tables[g + 1] : 0u);
    }
    EXPECT_EQ(Le32(bytes, 12 + 66), 363u);
    EXPECT_EQ(bytes.substr(363), ReadBytes(dir / "src/a.usd"));
}

TEST(PackageZav, GoldenLayoutOfScriptThumbnailAndTwoPictures)
{
    PackageTempDir dir;
    WriteBytes(dir / "src/a.usd", LayoutScript(".\\THUMB.USF", "", {".\\Image\\p1.jpg", ".\\Image\\p2.jpg"}));
    WriteBytes(dir / "src/THUMB.USF", "thumbnail");
    WriteBytes(dir / "src/Image/p1.jpg", "one");
    WriteBytes(dir / "src/Image/p2.jpg", "second");
    const std::string fdp = dir / "a.fdp";
    ASSERT_EQ(Package(Layouts(dir, {"src/a.usd"}), fdp), ZAV_OK);
    const std::string bytes = ReadBytes(fdp);
    const std::uint32_t tables[5] = {12, 99, 165, 252, 360};
    const std::uint32_t counts[5] = {1, 0, 1, 2, 0};
    for (int g = 0; g < 5; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(Le32(bytes, tables[g] + 10), counts[g]);
        EXPECT_EQ(Le32(bytes, tables[g] + 62), g < 4 ? tables[g + 1] : 0u);
    }
    const std::string script = ReadBytes(dir / "src/a.usd");
    EXPECT_EQ(Le32(bytes, 12 + 66), 426u);                      // script
    EXPECT_EQ(Le32(bytes, 165 + 66), 426u + script.size());     // thumbnail
    EXPECT_EQ(Le32(bytes, 252 + 66), 426u + script.size() + 9); // pictures
    EXPECT_EQ(Le32(bytes, 252 + 70), 426u + script.size() + 12);
    EXPECT_EQ(bytes.substr(252 + 66 + 16, 13), std::string("p1.jpg\0\0\0\0\0\0\0", 13));
    EXPECT_EQ(bytes.substr(426), script + "thumbnail" + "one" + "second");
}

TEST(PackageZav, PackageThenUnpackageIsByteIdentical)
{
    PackageTempDir dir;
    // One layout.
    WriteBytes(dir / "one/a.usd", LayoutScript("THUMB.USF", "s.wav", {".\\Image\\p1.jpg"}));
    WriteBytes(dir / "one/THUMB.USF", "t");
    WriteBytes(dir / "one/s.wav", "sound");
    WriteBytes(dir / "one/Image/p1.jpg", "p1");
    // Two layouts sharing a picture, one writing its name in other letters.
    WriteBytes(dir / "two/a.usd", LayoutScript("", "", {"shared.jpg", "own.jpg"}));
    WriteBytes(dir / "two/b.usd", LayoutScript("", "", {"shared.jpg"}));
    WriteBytes(dir / "two/shared.jpg", "shared");
    WriteBytes(dir / "two/own.jpg", "own");
    ASSERT_EQ(Package(Layouts(dir, {"one/a.usd"}), dir / "one.fdp"), ZAV_OK);
    ASSERT_EQ(Package(Layouts(dir, {"two/a.usd", "two/b.usd"}), dir / "two.fdp"), ZAV_OK);
    for (const char* name : {"one", "two"}) {
        SCOPED_TRACE(name);
        int warning = 0;
        ASSERT_EQ(Unpack(dir / (std::string(name) + ".fdp"), dir / ("out-" + std::string(name)), &warning),
                  ZAV_OK);
        EXPECT_EQ(warning, 0);
        ExpectSameFiles(dir.path() / name, dir.path() / ("out-" + std::string(name)));
    }
    PackageZAV kit;
    ASSERT_EQ(kit.Open((dir / "two.fdp").c_str()), ZAV_OK);
    MemberRecord shared, again;
    ASSERT_EQ(kit.GetMemberFileName(0, 4, 0, &shared), ZAV_OK);
    ASSERT_EQ(kit.GetMemberFileName(1, 4, 0, &again), ZAV_OK);
    EXPECT_EQ(shared.offset, again.offset);
    const std::string bytes = ReadBytes(dir / "two.fdp");
    EXPECT_EQ(Le32(bytes, 12 + 10), 2u);                    // two scripts
    EXPECT_EQ(Le32(bytes, 12 + 66 + 42 + 2 * 66 + 10), 2u); // shared.jpg and own.jpg
}

TEST(PackageZav, CameraSetOfEightLayoutsRoundTrips)
{
    PackageTempDir dir;
    std::string index = "[HEADER]\r\nHdRevision=1.00\r\nHdTitle=\"Set\"\r\nHdComment=\"C\"\r\n"
                        "HdClassification=0.10\r\nHdCapability=3\r\nHdCount=8\r\n"
                        "HdDSCThumbnail=\"CAM.USF\"\r\n";
    for (int i = 0; i < 8; ++i) {
        const std::string name = "L0" + std::to_string(i) + ".usd";
        index += "HdFilename=\"" + name + "\"\r\n";
        WriteBytes(dir / ("set/" + name),
                   LayoutScript("T0" + std::to_string(i) + ".USF", "", {"P" + std::to_string(i) + ".jpg"}));
        WriteBytes(dir / ("set/T0" + std::to_string(i) + ".USF"), "thumb" + std::to_string(i));
        WriteBytes(dir / ("set/P" + std::to_string(i) + ".jpg"), "picture" + std::to_string(i));
    }
    WriteBytes(dir / "set/CAM.USF", "camera");
    WriteBytes(dir / "set/SET.usm", index);
    PackageZAV kit;
    ASSERT_EQ(kit.PackageDSC((dir / "set/SET.usm").c_str(), (dir / "set.fdp").c_str()), ZAV_OK);
    int warning = 0;
    ASSERT_EQ(Unpack(dir / "set.fdp", dir.path() / "out", &warning), ZAV_OK);
    ExpectSameFiles(dir.path() / "set", dir.path() / "out");
    ASSERT_EQ(kit.Open((dir / "set.fdp").c_str()), ZAV_OK);
    std::int8_t cls = -1;
    EXPECT_EQ(kit.GetClassification(&cls), ZAV_OK);
    EXPECT_EQ(cls, 2);
    char name[256];
    auto header = std::make_unique<LayoutHeaderRecord>();
    IndexInfo info;
    ASSERT_EQ(kit.GetIndexHeader(name, header.get(), &info), ZAV_OK);
    EXPECT_STREQ(name, "SET.usm");
    EXPECT_STREQ(header->title, "Set");
    EXPECT_EQ(header->revisionMajor, 1);
    EXPECT_EQ(info.classificationMajor, 0);
    EXPECT_EQ(info.classificationMinor, 10);
    EXPECT_EQ(info.capability, 3);
    EXPECT_EQ(info.layoutCount, 8);
    EXPECT_STREQ(info.cameraThumbnail, "CAM.USF");
    int counts[4] = {-1, -1, -1, -1};
    ASSERT_EQ(kit.GetLayoutFileCounts(7, &counts[0], &counts[1], &counts[2], &counts[3]), ZAV_OK);
    EXPECT_EQ(counts[0], 2);
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(counts[2], 1);
    EXPECT_EQ(counts[3], 0);
}

TEST(PackageZav, AnalysisRefusals)
{
    PackageTempDir dir;
    WriteBytes(dir / "a/x.usd", LayoutScript("", "", {"same.jpg"}));
    WriteBytes(dir / "a/same.jpg", "1");
    WriteBytes(dir / "b/y.usd", LayoutScript("", "", {"SAME.JPG"}));
    WriteBytes(dir / "b/SAME.JPG", "2");
    WriteBytes(dir / "c/z.usd", LayoutScript("", "", {"abcdefghij.jpg"}));
    WriteBytes(dir / "c/abcdefghij.jpg", "3");
    WriteBytes(dir / "d/t.usd", LayoutScript("missing.usf", "", {}));
    WriteBytes(dir / "exists.fdp", "keep");
    struct Case
    {
        const char* what;
        std::vector<std::string> layouts;
        std::string target;
        int expected;
    } cases[] = {
        {"same name in another folder", Layouts(dir, {"a/x.usd", "b/y.usd"}), "p1.fdp", ZAV_ERR_NAME_CLASH},
        {"14-character name", Layouts(dir, {"c/z.usd"}), "p2.fdp", ZAV_ERR_NAME_TOO_LONG},
        {"missing thumbnail", Layouts(dir, {"d/t.usd"}), "p3.fdp", ZAV_ERR_LAYOUT_FILE_MISSING},
        {"missing layout", Layouts(dir, {"a/none.usd"}), "p4.fdp", ZAV_ERR_INVALID_ARG},
        {"existing target", Layouts(dir, {"a/x.usd"}), "exists.fdp", ZAV_ERR_PACKAGE_TARGET},
        {"no layouts", {}, "p5.fdp", ZAV_ERR_INVALID_ARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = ListTree(dir.path());
        EXPECT_EQ(Package(c.layouts, dir / c.target), c.expected);
        EXPECT_EQ(ListTree(dir.path()), before); // no package left, the existing one untouched
    }
    PackageZAV kit;
    EXPECT_EQ(kit.Package(1, nullptr, (dir / "p6.fdp").c_str()), ZAV_ERR_INVALID_ARG);

    // Host folders stay as they are; only names that enter the package must fit CP932.
    WriteBytes(dir / "d\xc3\xa9/ok.usd", LayoutScript("", "", {}));
    WriteBytes(dir / "d\xc3\xa9/\xc3\xa9.usd", LayoutScript("", "", {}));
    EXPECT_EQ(Package(Layouts(dir, {"d\xc3\xa9/ok.usd"}), dir / "p8.fdp"), ZAV_OK);
    EXPECT_EQ(Package(Layouts(dir, {"d\xc3\xa9/\xc3\xa9.usd"}), dir / "p9.fdp"), ZAV_ERR_NAME_TOO_LONG);
    EXPECT_FALSE(fs::exists(dir / "p9.fdp"));

    PZAVPackAnalize analysis;
    ZAVPath two[2];
    std::snprintf(two[0], sizeof two[0], "%s", (dir / "a/x.usd").c_str());
    std::snprintf(two[1], sizeof two[1], "%s", (dir / "a/x.usd").c_str());
    ASSERT_EQ(analysis.AnalyseLayouts(2, two, (dir / "p7.fdp").c_str()), ZAV_OK);
    EXPECT_EQ(analysis.GetCount(0), 1);
    EXPECT_EQ(analysis.GetCount(3), 1);
    EXPECT_EQ(analysis.GetCount(7), 0);
    ZAVPath file;
    EXPECT_EQ(analysis.GetFile(3, 0, file), ZAV_OK);
    EXPECT_EQ(std::string(file), dir / "a/same.jpg");
    EXPECT_EQ(analysis.GetFile(3, 1, file), ZAV_ERR_GROUP);
    EXPECT_EQ(analysis.AddFile(5, (dir / "b/SAME.JPG").c_str(), "other.jpg"), ZAV_ERR_GROUP);
    analysis.Clear();
    EXPECT_EQ(analysis.GetCount(0), 0);
}

TEST(PackageZav, SetIndexRefusals)
{
    PackageTempDir dir;
    WriteBytes(dir / "L.usd", LayoutScript("", "", {}));
    struct Case
    {
        const char* what;
        std::string header;
        int expected;
    } cases[] = {
        {"revision 2.00", "HdRevision=2.00\r\nHdCount=1\r\nHdFilename=\"L.usd\"\r\n", ZAV_ERR_INDEX_REVISION},
        {"no revision", "HdCount=1\r\nHdFilename=\"L.usd\"\r\n", ZAV_ERR_INDEX_KEY},
        {"revision 1.99", "HdRevision=1.99\r\nHdCount=1\r\nHdFilename=\"L.usd\"\r\n", ZAV_OK},
        {"no count", "HdRevision=1.00\r\n", ZAV_ERR_INDEX_KEY},
        {"missing layout", "HdRevision=1.00\r\nHdCount=1\r\nHdFilename=\"M.usd\"\r\n",
         ZAV_ERR_INDEX_FILE_MISSING},
        {"missing thumbnail", "HdRevision=1.00\r\nHdDSCThumbnail=\"N.USF\"\r\nHdCount=0\r\n",
         ZAV_ERR_INDEX_FILE_MISSING},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string index = dir / ("i" + std::to_string(n) + ".usm");
        const std::string fdp = dir / ("i" + std::to_string(n++) + ".fdp");
        WriteBytes(index, "[HEADER]\r\n" + c.header);
        PackageZAV kit;
        EXPECT_EQ(kit.PackageDSC(index.c_str(), fdp.c_str()), c.expected);
        EXPECT_EQ(fs::exists(fdp), c.expected == ZAV_OK);
    }
}

class PackageZavQueries : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(dir / "src/a.usd", LayoutScript("THUMB.USF", "", {"p1.jpg", "p2.jpg", "p3.jpg"}));
        WriteBytes(dir / "src/b.usd", LayoutScript("", "", {}));
        WriteBytes(dir / "src/THUMB.USF", "thumbnail");
        for (const char* p : {"p1.jpg", "p2.jpg", "p3.jpg"})
            WriteBytes(dir / (std::string("src/") + p), p);
        ASSERT_EQ(Package(Layouts(dir, {"src/a.usd", "src/b.usd"}), single), ZAV_OK);
    }

    // A camera set of one layout: counts 2, 1, 3, 0.
    std::string CameraPackage(const std::string& classification)
    {
        const std::string folder = "set" + std::to_string(++sets);
        WriteBytes(dir / (folder + "/L.usd"), LayoutScript("T.USF", "", {"p1.jpg", "p2.jpg", "p3.jpg"}));
        WriteBytes(dir / (folder + "/T.USF"), "t");
        WriteBytes(dir / (folder + "/CAM.USF"), "c");
        for (const char* p : {"p1.jpg", "p2.jpg", "p3.jpg"})
            WriteBytes(dir / (folder + "/" + p), p);
        WriteBytes(dir / (folder + "/S.usm"), "[HEADER]\r\nHdRevision=1.00\r\n" + classification +
                                                  "HdCapability=1\r\nHdCount=1\r\nHdFilename=\"L.usd\"\r\n"
                                                  "HdDSCThumbnail=\"CAM.USF\"\r\n");
        const std::string fdp = dir / (folder + ".fdp");
        PackageZAV kit;
        EXPECT_EQ(kit.PackageDSC((dir / (folder + "/S.usm")).c_str(), fdp.c_str()), ZAV_OK);
        return fdp;
    }

    PackageTempDir dir;
    std::string single = dir / "single.fdp";
    int sets = 0;
};

TEST_F(PackageZavQueries, NoPackageOpenGives7016)
{
    PackageZAV kit;
    std::int8_t cls = 9;
    EXPECT_EQ(kit.GetClassification(&cls), ZAV_ERR_NO_PACKAGE);
    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    EXPECT_EQ(kit.GetClassification(&cls), ZAV_OK);
    EXPECT_EQ(cls, 0);
    char name[256];
    auto header = std::make_unique<LayoutHeaderRecord>();
    EXPECT_EQ(kit.GetLayoutFileNames(2, name, header.get()), ZAV_ERR_LAYOUT_INDEX);
    EXPECT_EQ(kit.GetClassification(&cls), ZAV_ERR_NO_PACKAGE); // the failed query closed it
    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    ASSERT_EQ(kit.GetLayoutFileNames(1, name, header.get()), ZAV_OK);
    EXPECT_STREQ(name, "b.usd");
    EXPECT_STREQ(header->title, "Card");
    fs::remove(single);
    EXPECT_EQ(kit.GetClassification(&cls), ZAV_ERR_NO_PACKAGE);
    EXPECT_EQ(kit.Open(single.c_str()), ZAV_ERR_PACKAGE_OPEN);
    EXPECT_EQ(kit.GetClassification(&cls), ZAV_ERR_NO_PACKAGE);
}

TEST_F(PackageZavQueries, Classification)
{
    struct Case
    {
        const char* what;
        std::string key;
        int expected;
    } cases[] = {
        {"0.10", "HdClassification=0.10\r\n", 2},
        {"1.00", "HdClassification=1.00\r\n", 1},
        {"missing", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageZAV kit;
        ASSERT_EQ(kit.Open(CameraPackage(c.key).c_str()), ZAV_OK);
        std::int8_t cls = -1;
        EXPECT_EQ(kit.GetClassification(&cls), ZAV_OK);
        EXPECT_EQ(cls, c.expected);
    }
    PackageZAV kit;
    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    char name[256];
    auto header = std::make_unique<LayoutHeaderRecord>();
    IndexInfo info;
    EXPECT_EQ(kit.GetIndexHeader(name, header.get(), &info), ZAV_ERR_NO_INDEX);
}

TEST_F(PackageZavQueries, CountsKindsAndCopies)
{
    PackageZAV kit;
    ASSERT_EQ(kit.Open(CameraPackage("HdClassification=0.10\r\n").c_str()), ZAV_OK);
    int c[4] = {-1, -1, -1, -1};
    ASSERT_EQ(kit.GetLayoutFileCounts(0, &c[0], &c[1], &c[2], &c[3]), ZAV_OK);
    EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{2, 1, 3, 0}));
    struct Case
    {
        int layout, kind, item, expected;
        const char* packageName;
    } cases[] = {
        {0, 1, 0, ZAV_OK, "L.usd"},
        {0, 1, 1, ZAV_ERR_LAYOUT_INDEX, ""},
        {0, 2, 0, ZAV_OK, "S.usm"},
        {0, 2, 1, ZAV_OK, "CAM.USF"},
        {0, 2, 2, ZAV_ERR_LAYOUT_INDEX, ""},
        {0, 3, 0, ZAV_OK, "T.USF"},
        {0, 4, 2, ZAV_OK, "p3.jpg"},
        {0, 4, 3, ZAV_ERR_LAYOUT_INDEX, ""},
        {0, 5, 99, ZAV_OK, ""},
        {0, 6, 0, ZAV_OK, "CAM.USF"},
        {0, 6, 1, ZAV_ERR_LAYOUT_INDEX, ""},
        {0, 7, 0, ZAV_OK, "S.usm"},
        {1, 7, 0, ZAV_ERR_LAYOUT_INDEX, ""},
        {1, 1, 0, ZAV_ERR_LAYOUT_INDEX, ""},
        {0, 8, 0, ZAV_ERR_INVALID_ARG, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.layout) + "/" + std::to_string(k.kind) + "/" + std::to_string(k.item));
        ASSERT_EQ(kit.Open(dir.path().string().append("/set1.fdp").c_str()), ZAV_OK);
        MemberRecord r;
        r.offset = r.size = 0x55555555;
        std::memset(r.referenceName, 'x', 255);
        EXPECT_EQ(kit.GetMemberFileName(k.layout, k.kind, k.item, &r), k.expected);
        if (k.expected == ZAV_OK) {
            EXPECT_STREQ(r.packageName, k.packageName);
            if (k.kind == 5) {
                EXPECT_TRUE(r.IsAbsent());
            }
        }
    }
    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    MemberRecord r;
    EXPECT_EQ(kit.GetMemberFileName(1, 3, 0, &r), ZAV_ERR_MEMBER_NOT_FOUND);
    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    EXPECT_EQ(kit.GetMemberFileName(0, 7, 0, &r), ZAV_ERR_NO_INDEX);
    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    EXPECT_EQ(kit.GetMemberFileName(0, 6, 0, &r), ZAV_ERR_MEMBER_NOT_FOUND);

    ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
    ASSERT_EQ(kit.GetMemberFileName(0, 3, 0, &r), ZAV_OK);
    ASSERT_EQ(r.size, 9u);
    char buffer[16] = {};
    EXPECT_EQ(kit.CopyMemberFile(0, 3, 0, buffer, static_cast<int>(r.size)), ZAV_OK);
    EXPECT_EQ(std::string(buffer), "thumbnail");
    const struct
    {
        void* buffer;
        int size;
    } bad[] = {{nullptr, 9}, {buffer, 0}, {buffer, 10}, {buffer, -1}};
    for (const auto& b : bad) {
        ASSERT_EQ(kit.Open(single.c_str()), ZAV_OK);
        EXPECT_EQ(kit.CopyMemberFile(0, 3, 0, b.buffer, b.size), ZAV_ERR_INVALID_ARG);
    }
}

} // namespace
