#include "FrameKit/PZAVUnpackage.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageFormat.h"
#include "FrameKit/PackageZAV.h"
#include "PackageTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

// Packs a script with those picture references, each member named by the
// reference's file-name part, without the analysis (which would refuse them).
std::string HostilePackage(const PackageTempDir& dir, const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& pictures)
{
    std::vector<std::string> refs;
    PackageGroups groups;
    const std::string src = dir / ("src-" + name);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        refs.push_back(pictures[i].first);
        const std::string file = src + "/m" + std::to_string(i);
        WriteBytes(file, pictures[i].second);
        std::string member = pictures[i].first.substr(pictures[i].first.rfind('\\') + 1);
        groups[3].push_back({file, member});
    }
    WriteBytes(src + "/a.usd", LayoutScript("", "", refs));
    groups[0].insert(groups[0].begin(), PackageSource{src + "/a.usd", ""});
    const std::string fdp = dir / (name + ".fdp");
    PZAVPackage writer;
    EXPECT_EQ(writer.Write(fdp.c_str(), groups), ZAV_OK);
    fs::remove_all(src);
    return fdp;
}

int Unpack(const std::string& fdp, const fs::path& target, int* warning)
{
    PackageZAV kit;
    return kit.Unpackage(fdp.c_str(), target.c_str(), warning);
}

TEST(PackageUnpack, ExistingFileKeptEmptyMemberSkipped)
{
    PackageTempDir dir;
    const std::string fdp =
        HostilePackage(dir, "p", {{"keep.jpg", "new"}, {"empty.jpg", ""}, {"p.jpg", "P"}});
    fs::create_directories(dir.path() / "target");
    WriteBytes(dir / "target/keep.jpg", "old");
    for (int* warning : {static_cast<int*>(nullptr), new int(0)}) {
        std::unique_ptr<int> owned(warning);
        fs::remove(dir.path() / "target/p.jpg");
        fs::remove(dir.path() / "target/a.usd");
        EXPECT_EQ(Unpack(fdp, dir.path() / "target", warning), ZAV_OK);
        if (warning != nullptr) {
            EXPECT_EQ(*warning, ZAV_WARN_FILE_EXISTS);
        }
        EXPECT_EQ(ListTree(dir.path() / "target"),
                  "a.usd = " + ReadBytes(dir / "target/a.usd") + "\nkeep.jpg = old\np.jpg = P\n");
    }
}

TEST(PackageUnpack, LaterFailureRemovesNestedFoldersAndFilesMadeSoFar)
{
    PackageTempDir dir;
    const std::string fdp = HostilePackage(
        dir, "p",
        {{"keep.jpg", "new"}, {".\\A\\B\\p1.jpg", "1"}, {"A\\C\\p2.jpg", "2"}, {"\\abs\\p3.jpg", "3"}});
    fs::create_directories(dir.path() / "target");
    WriteBytes(dir / "target/keep.jpg", "old");
    const std::string before = ListTree(dir.path());
    int warning = 0;
    EXPECT_EQ(Unpack(fdp, dir.path() / "target", &warning), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(ListTree(dir.path()), before);

    // Without the last member the same package makes those folders and files.
    const std::string good =
        HostilePackage(dir, "q", {{"keep.jpg", "new"}, {".\\A\\B\\p1.jpg", "1"}, {"A\\C\\p2.jpg", "2"}});
    EXPECT_EQ(Unpack(good, dir.path() / "target", &warning), ZAV_OK);
    EXPECT_EQ(ReadBytes(dir / "target/A/B/p1.jpg"), "1");
    EXPECT_EQ(ReadBytes(dir / "target/A/C/p2.jpg"), "2");
    EXPECT_EQ(ReadBytes(dir / "target/keep.jpg"), "old");
}

TEST(PackageUnpack, TargetMustBeAnExistingAbsoluteFolder)
{
    PackageTempDir dir;
    const std::string fdp = HostilePackage(dir, "p", {{"p.jpg", "P"}});
    int warning = 0;
    EXPECT_EQ(Unpack(fdp, dir.path() / "missing", &warning), ZAV_ERR_NO_TARGET_FOLDER);
    EXPECT_EQ(Unpack(fdp, "relative", &warning), ZAV_ERR_NO_TARGET_FOLDER);
    WriteBytes(dir / "file", "x");
    EXPECT_EQ(Unpack(fdp, dir.path() / "file", &warning), ZAV_ERR_NO_TARGET_FOLDER);
    PackageZAV kit;
    EXPECT_EQ(kit.Unpackage(fdp.c_str(), nullptr, &warning), ZAV_ERR_NO_TARGET_FOLDER);
}

TEST(PackageUnpack, HostileReferencesAndPlantedLinksWriteNothingOutsideTheTarget)
{
    struct Case
    {
        const char* what;
        std::string reference;
        int expected;
        std::string written; // below the target, when it succeeds
    } cases[] = {
        {"climbing", "..\\x.jpg", ZAV_OK, "x.jpg"},
        {"climbing deeper", "sub\\..\\..\\y.jpg", ZAV_OK, "y.jpg"},
        {"root", "\\x\\r.jpg", ZAV_ERR_ARGUMENT, ""},
        {"drive", "C:\\x\\d.jpg", ZAV_ERR_ARGUMENT, ""},
        {"drive alone", "C:\\e.jpg", ZAV_ERR_ARGUMENT, ""},
        {"slash", "a/b\\s.jpg", ZAV_ERR_ARGUMENT, ""},
        {"folder link to outside", "link\\l.jpg", ZAV_ERR_ARGUMENT, ""},
        {"file in a folder's place", "plain\\f.jpg", ZAV_ERR_ARGUMENT, ""},
        {"link in a member's place", "m.jpg", ZAV_OK, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageTempDir dir;
        const std::string fdp = HostilePackage(dir, "p", {{c.reference, "BODY"}});
        fs::create_directories(dir.path() / "outside");
        WriteBytes(dir / "outside/m.jpg", "secret");
        fs::create_directories(dir.path() / "target");
        fs::create_directory_symlink(dir.path() / "outside", dir.path() / "target/link");
        fs::create_symlink(dir.path() / "outside/m.jpg", dir.path() / "target/m.jpg");
        WriteBytes(dir / "target/plain", "file");
        PackageZAV opened; // the package itself is well formed
        EXPECT_EQ(opened.Open(fdp.c_str()), ZAV_OK);
        const std::string before = ListTree(dir.path());
        int warning = 0;
        EXPECT_EQ(Unpack(fdp, dir.path() / "target", &warning), c.expected);
        std::string after = ListTree(dir.path());
        if (c.expected == ZAV_OK) {
            const std::string script = "target/a.usd = " + ReadBytes(dir / "target/a.usd") + "\n";
            ASSERT_NE(after.find(script), std::string::npos);
            after.erase(after.find(script), script.size());
            if (!c.written.empty()) {
                const std::string line = "target/" + c.written + " = BODY\n";
                ASSERT_NE(after.find(line), std::string::npos) << after;
                after.erase(after.find(line), line.size());
            } else {
                EXPECT_EQ(warning, ZAV_WARN_FILE_EXISTS);
            }
        }
        EXPECT_EQ(after, before);
        EXPECT_EQ(ReadBytes(dir / "outside/m.jpg"), "secret");
    }
}

// Lowers the soft limit of open files while it lives.
class OpenFileLimit
{
public:
    explicit OpenFileLimit(rlim_t soft)
    {
        EXPECT_EQ(::getrlimit(RLIMIT_NOFILE, &m_saved), 0);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        EXPECT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    ~OpenFileLimit() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }
    OpenFileLimit(const OpenFileLimit&) = delete;
    OpenFileLimit& operator=(const OpenFileLimit&) = delete;

private:
    rlimit m_saved{};
};

TEST(PackageUnpack, ThousandsOfMembersInOneSubfolderUnpackUnderALowOpenFileLimit)
{
    constexpr int kMembers = 2000;
    PackageTempDir dir;
    std::vector<std::pair<std::string, std::string>> pictures;
    for (int i = 0; i < kMembers; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "p%04d.jpg", i);
        pictures.push_back({std::string("Image\\") + name, "body " + std::to_string(i)});
    }
    const std::string fdp = HostilePackage(dir, "many", pictures);
    // The same members with a last one that fails: the rollback too runs
    // under the limit and takes everything away again.
    pictures.push_back({"\\abs\\last.jpg", "x"});
    const std::string failing = HostilePackage(dir, "fails", pictures);
    fs::create_directories(dir.path() / "target");
    fs::create_directories(dir.path() / "other");
    int warning = 0;
    {
        const OpenFileLimit limit(256);
        EXPECT_EQ(Unpack(failing, dir.path() / "other", &warning), ZAV_ERR_ARGUMENT);
        EXPECT_EQ(Unpack(fdp, dir.path() / "target", &warning), ZAV_OK);
    }
    EXPECT_TRUE(fs::is_empty(dir.path() / "other"));
    EXPECT_EQ(warning, 0);
    int found = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "target/Image")) {
        const std::string name = entry.path().filename().string();
        const int number = std::stoi(name.substr(1, 4));
        EXPECT_EQ(ReadBytes(entry.path().string()), "body " + std::to_string(number)) << name;
        ++found;
    }
    EXPECT_EQ(found, kMembers);
}

TEST(PackageUnpack, MemberPathsOfFolderParts)
{
    struct Case
    {
        std::string folder;
        int expected;
        std::vector<std::string> components;
    } cases[] = {
        {"", ZAV_OK, {}},
        {".", ZAV_OK, {}},
        {".\\Image", ZAV_OK, {"Image"}},
        {"a\\\\b", ZAV_OK, {"a", "b"}},
        {"a\\..\\b", ZAV_OK, {}},
        {"..", ZAV_OK, {}},
        {"\\a", ZAV_ERR_ARGUMENT, {}},
        {"c:", ZAV_ERR_ARGUMENT, {}},
        {"a/b", ZAV_ERR_ARGUMENT, {}},
        {"\x95\x5c", ZAV_OK, {"\xe8\xa1\xa8"}}, // the trail byte is no separator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        std::vector<std::string> components{"stale"};
        EXPECT_EQ(MakeMemberPath(c.folder, components), c.expected);
        if (c.expected == ZAV_OK) {
            EXPECT_EQ(components, c.components);
        }
    }
}

} // namespace
