// What a staged save leaves on disk beyond the bytes: the modes of what it
// made, an old version it could not clear away, and symbolic links it saves
// through.
#include "App/support/FileKindsFakes.h"

#include "App/StagedSave.h"
#include "Core/Files.h"
#include "Layout/InsertImageFrameItem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Kind
{
    const char* extension;
    std::function<int(CZAVEditorDoc&, const std::string&)> save;
};

const Kind kKinds[] = {
    {".zvd", [](CZAVEditorDoc& d, const std::string& p) { return d.SaveZvdDocument(p); }},
    {".usd", [](CZAVEditorDoc& d, const std::string& p) { return d.SaveUsdLayout(p, 0); }},
};

// Sets the umask while it lives.
class Umask
{
public:
    explicit Umask(mode_t mask) : m_saved(::umask(mask)) {}
    ~Umask() { ::umask(m_saved); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t m_saved;
};

unsigned ModeOf(const std::string& path)
{
    struct stat st;
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Every entry below the folder with its mode, hidden ones included.
std::map<std::string, unsigned> ModesBelow(const std::string& folder)
{
    std::map<std::string, unsigned> modes;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        modes[fs::relative(entry.path(), folder).string()] = ModeOf(entry.path().string());
    return modes;
}

// Gives the page's photo frame another picture, so that the next save writes
// other bytes.
void ChangeThePhoto(RealKindsFixture& f, unsigned rgb)
{
    for (const auto& item : f.Layout().GetItems()) {
        if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get())) {
            ASSERT_EQ(frame->LoadImage(f.Picture("other.jpg", "JPG", rgb)), 0);
            return;
        }
    }
    FAIL() << "no photo frame";
}

TEST(StagedSaveTest, WhatASaveMakesTakesTheModesOfTheUmaskAlsoInASharedFolder)
{
    for (const mode_t mask : {022, 002, 077}) {
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(std::to_string(mask) + kind.extension);
            RealKindsFixture f;
            f.MakePhotoPage();
            // Like the shared layout folder: open to every user, sticky.
            const std::string shared = f.Work() + "/shared";
            ASSERT_TRUE(fs::create_directory(shared));
            fs::permissions(shared, static_cast<fs::perms>(01777));
            const std::string path = shared + "/page" + kind.extension;
            const Umask umask(mask);
            // The first save and one that replaces it.
            for (int round = 0; round < 2; ++round) {
                SCOPED_TRACE(round);
                ASSERT_EQ(kind.save(f.Doc(), path), 0);
                EXPECT_EQ(ModeOf(shared + "/page"), 0777u & ~mask);
                EXPECT_EQ(ModeOf(path), 0666u & ~mask);
                const std::map<std::string, unsigned> modes = ModesBelow(shared + "/page");
                EXPECT_GE(modes.size(), 2u);
                for (const auto& [name, mode] : modes)
                    EXPECT_EQ(mode, 0666u & ~mask) << name;
                ChangeThePhoto(f, 0xff0000 + round);
            }
            ASSERT_EQ(f.Doc().SaveFdpLayout(shared + "/page.fdp"), 0);
            EXPECT_EQ(ModeOf(shared + "/page.fdp"), 0666u & ~mask);
        }
    }
}

// Turns a just-saved companion folder into one that a save could not clear
// away afterwards.
struct Obstacle
{
    const char* what;
    std::function<void(const std::string& companion)> make;
};

const Obstacle kObstacles[] = {
    {"a read-only file",
     [](const std::string& c) { fs::permissions(c + "/THUMB.USF", static_cast<fs::perms>(0444)); }},
    {"a read-only folder inside",
     [](const std::string& c) {
         fs::create_directory(c + "/sub");
         std::ofstream(c + "/sub/kept.txt") << "kept";
         fs::permissions(c + "/sub", static_cast<fs::perms>(0555));
     }},
    {"the folder itself read-only",
     [](const std::string& c) { fs::permissions(c, static_cast<fs::perms>(0555)); }},
};

void MakeWritableAgain(const std::string& folder)
{
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
}

TEST(StagedSaveTest, ACompanionFolderThatCouldNotBeClearedAwayFailsTheSaveAndStaysAsItWas)
{
    for (const Kind& kind : kKinds) {
        for (const Obstacle& obstacle : kObstacles) {
            SCOPED_TRACE(std::string(kind.extension) + ", " + obstacle.what);
            RealKindsFixture f;
            f.MakePhotoPage();
            const std::string folder = f.Work() + "/lay";
            const std::string path = folder + "/page" + kind.extension;
            ASSERT_EQ(kind.save(f.Doc(), path), 0);
            obstacle.make(folder + "/page");
            const std::map<std::string, std::string> before = ReadTree(folder);
            const std::map<std::string, unsigned> modes = ModesBelow(folder);
            ChangeThePhoto(f, 0xff0000);

            // No success with a stale copy of the previous save beside it:
            // the save fails before it touches anything.
            EXPECT_EQ(kind.save(f.Doc(), path), 1);
            EXPECT_EQ(ReadTree(folder), before);
            EXPECT_EQ(ModesBelow(folder), modes);
            MakeWritableAgain(folder + "/page");
        }
    }
}

TEST(StagedSaveTest, AnOldVersionThatCannotBeRemovedAfterTheSwapIsNoSuccess)
{
    const std::function<int(CZAVEditorDoc&, const std::string&)> saves[] = {
        kKinds[0].save, kKinds[1].save,
        [](CZAVEditorDoc& d, const std::string& p) { return d.SaveFdpLayout(p); }};
    const char* extensions[] = {".zvd", ".usd", ".fdp"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(extensions[i]);
        RealKindsFixture f;
        f.MakePhotoPage();
        const std::string path = f.Work() + "/lay/page" + extensions[i];
        ASSERT_EQ(saves[i](f.Doc(), path), 0);
        ChangeThePhoto(f, 0xff0000);
        f.files.FailAt(FailingSaveFileSystem::DeleteStep, 1);
        EXPECT_EQ(saves[i](f.Doc(), path), 1);
        EXPECT_TRUE(f.files.Failed());
        f.files.FailAt(FailingSaveFileSystem::None, 0);
    }
}

// The tree test as another user sees it: a child process that runs as
// "nobody" answers for the folder.
bool RemovableByNobody(const std::string& folder)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? (FolderTreeMayBeRemoved(folder) ? 0 : 1) : 2);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not become another user";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(StagedSaveTest, AFolderAnotherUserCannotWriteIsNotRemovableForThatUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser may act as another user";
    struct Case
    {
        const char* what;
        bool ownedByNobody;
        unsigned companionMode;
        unsigned parentMode;
        bool removable;
    } cases[] = {
        {"the user's own tree", true, 0755, 0777, true},
        {"another's tree, not writable", false, 0755, 0777, false},
        {"another's tree open to all, in a sticky folder", false, 0777, 01777, false},
        {"another's tree open to all, in an open folder", false, 0777, 0777, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealKindsFixture f;
        const std::string parent = f.Work() + "/shared";
        const std::string companion = parent + "/page";
        fs::create_directories(companion + "/sub");
        std::ofstream(companion + "/THUMB.USF") << "thumb";
        std::ofstream(companion + "/sub/a.jpg") << "a";
        // Every folder up to the work folder must let the child through.
        for (fs::path p = f.Work(); p != p.parent_path(); p = p.parent_path())
            fs::permissions(p, fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(parent, static_cast<fs::perms>(c.parentMode));
        fs::permissions(companion, static_cast<fs::perms>(c.companionMode));
        fs::permissions(companion + "/sub", static_cast<fs::perms>(c.companionMode));
        if (c.ownedByNobody) {
            for (const std::string& p :
                 {companion, companion + "/THUMB.USF", companion + "/sub", companion + "/sub/a.jpg"})
                ASSERT_EQ(::lchown(p.c_str(), 65534, 65534), 0);
        }
        EXPECT_EQ(RemovableByNobody(companion), c.removable);
        // The superuser itself may remove every one of them.
        EXPECT_TRUE(FolderTreeMayBeRemoved(companion));
    }
}

TEST(StagedSaveTest, ASaveThroughSymbolicLinksWritesTheirTargetsAndKeepsTheLinks)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.extension);
        RealKindsFixture f;
        f.MakePhotoPage();
        const std::string folder = f.Work() + "/lay";
        const std::string elsewhere = f.Work() + "/elsewhere";
        fs::create_directories(folder);
        fs::create_directories(elsewhere + "/pictures");
        ASSERT_EQ(kind.save(f.Doc(), elsewhere + "/real" + kind.extension), 0);
        // The document and its companion folder both reached through links.
        const std::string path = folder + "/page" + kind.extension;
        fs::create_symlink(elsewhere + "/real" + kind.extension, path);
        fs::create_directory_symlink("../elsewhere/pictures", folder + "/page");
        const std::string before = ReadFileBytes(path);

        ChangeThePhoto(f, 0xff0000);
        ASSERT_EQ(kind.save(f.Doc(), path), 0);
        EXPECT_TRUE(fs::is_symlink(path));
        EXPECT_TRUE(fs::is_symlink(folder + "/page"));
        EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"page", "page" + std::string(kind.extension)}));
        EXPECT_NE(ReadFileBytes(elsewhere + "/real" + kind.extension), before);
        const std::vector<std::string> pictures = NamesIn(elsewhere + "/pictures");
        EXPECT_NE(std::find(pictures.begin(), pictures.end(), "THUMB.USF"), pictures.end());
        // Nothing set aside or staged stays in either folder.
        EXPECT_EQ(NamesIn(elsewhere),
                  (std::vector<std::string>{"pictures", "real", "real" + std::string(kind.extension)}));

        RealKindsFixture reopened;
        const int loaded = kind.extension == std::string(".zvd") ? reopened.Doc().LoadZvdDocument(path)
                                                                 : reopened.Doc().LoadUsdLayout(path);
        EXPECT_EQ(loaded, 1);
    }
}

TEST(StagedSaveTest, APackageSavedThroughASymbolicLinkKeepsTheLink)
{
    RealKindsFixture f;
    f.MakePhotoPage();
    const std::string elsewhere = f.Work() + "/elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directories(f.Work() + "/lay");
    const std::string path = f.Work() + "/lay/page.fdp";
    // A link to a package not made yet, then to the one just made.
    fs::create_symlink(elsewhere + "/real.fdp", path);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(f.Doc().SaveFdpLayout(path), 0);
        EXPECT_TRUE(fs::is_symlink(path));
        EXPECT_EQ(NamesIn(f.Work() + "/lay"), std::vector<std::string>{"page.fdp"});
        EXPECT_EQ(NamesIn(elsewhere), std::vector<std::string>{"real.fdp"});
        RealKindsFixture reopened;
        EXPECT_EQ(reopened.Doc().LoadFdpLayout(path), 1);
    }
}

} // namespace
