// Saves the file system does not let through, and what a save leaves for
// other users: the previous save stays whole and the user is told; a folder
// open to everyone gets what the user's umask gives.
#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

constexpr int kSaveFailedText = 23;
constexpr int kReadOnlyText = 180;

// Every entry below the folder, hidden ones included, with its bytes (or a
// mark for a folder) and its mode.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat st;
        ::lstat(entry.path().c_str(), &st);
        std::string content = "<folder>";
        if (!entry.is_directory()) {
            std::ifstream in(entry.path(), std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), {});
        }
        entries[fs::relative(entry.path(), folder).string()] =
            std::to_string(st.st_mode & 07777) + " " + content;
    }
    return entries;
}

unsigned ModeOf(const std::string& path)
{
    struct stat st;
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// A disk that takes no more bytes, as this process sees it while it lives:
// every write fails as on a full disk (EFBIG, the signal ignored).
class FullDisk
{
public:
    FullDisk()
    {
        m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit none = m_saved;
        none.rlim_cur = 0;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    }
    ~FullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousSignal);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_saved{};
    void (*m_previousSignal)(int) = SIG_DFL;
};

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

using SaveFailureTest = ProgramTest;

TEST_F(SaveFailureTest, ASaveTheDiskOrTheFolderRefusesLeavesThePreviousSaveWholeAndTellsTheUser)
{
    struct Case
    {
        const char* what;
        // Makes the obstacle for the saved document; returns what undoes it.
        std::function<std::function<void()>(const std::string& path, const std::string& companion)> obstacle;
        // Held while the save runs.
        bool fullDisk;
        int text;
    } cases[] = {
        {"a full disk", [](const std::string&, const std::string&) { return std::function<void()>([] {}); },
         true, kSaveFailedText},
        {"a read-only document",
         [](const std::string& path, const std::string&) {
             fs::permissions(path, static_cast<fs::perms>(0444));
             return std::function<void()>([path] { fs::permissions(path, static_cast<fs::perms>(0644)); });
         },
         false, kReadOnlyText},
        {"a read-only companion folder",
         [](const std::string&, const std::string& companion) {
             fs::permissions(companion, static_cast<fs::perms>(0555));
             return std::function<void()>(
                 [companion] { fs::permissions(companion, static_cast<fs::perms>(0755)); });
         },
         false, kReadOnlyText},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartProgram();
        NewPostcardLayout(*this);
        DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
        const std::string path =
            SaveLayout(*this, SaveTarget::EditorDocument, "kept" + std::to_string(round++));
        ASSERT_FALSE(path.empty());
        const std::string companion = path.substr(0, path.size() - 4);
        ASSERT_TRUE(fs::is_directory(companion));
        DrawLine(*this, 0.3, 0.7, 0.7, 0.8);
        ASSERT_TRUE(Document().IsModified());

        const std::function<void()> undo = c.obstacle(path, companion);
        const std::map<std::string, std::string> before = Snapshot(DocumentsFolder());
        ForgetMessages();
        {
            std::optional<FullDisk> full;
            if (c.fullDisk)
                full.emplace();
            Choose(ID_FILE_SAVE);
        }
        EXPECT_EQ(Snapshot(DocumentsFolder()), before);
        EXPECT_TRUE(SawMessage(c.text));
        EXPECT_TRUE(Document().IsModified());
        EXPECT_EQ(ItemsOf<CLineItem>(Layout()).size(), 2u);
        undo();

        // The previous save opens as it was saved.
        ForgetMessages();
        StartProgram(path);
        EXPECT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u);
        EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
    }
}

TEST_F(SaveFailureTest, ASaveIntoAFolderOpenToEveryoneGivesItsFilesAndFolderTheModesOfTheUmask)
{
    // Like the shared layout folder: open to every user, sticky.
    fs::permissions(DocumentsFolder(), static_cast<fs::perms>(01777));
    const Umask umask(002);
    StartProgram();
    NewPostcardLayout(*this);
    DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
    const std::string path = SaveLayout(*this, SaveTarget::EditorDocument, "open");
    ASSERT_FALSE(path.empty());
    const std::string companion = path.substr(0, path.size() - 4);
    // A first save, then one over it.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) {
            DrawLine(*this, 0.3, 0.7, 0.7, 0.8);
            ASSERT_FALSE(SaveLayout(*this, SaveTarget::InPlace, "").empty());
        }
        EXPECT_EQ(ModeOf(companion), 0775u);
        EXPECT_EQ(ModeOf(path), 0664u);
        int files = 0;
        for (const auto& entry : fs::directory_iterator(companion)) {
            EXPECT_EQ(ModeOf(entry.path().string()), 0664u) << entry.path();
            ++files;
        }
        EXPECT_GE(files, 1);
    }
}

} // namespace
