// A save cut off after any one of its file-system steps: the next open finds
// exactly the previous or exactly the new layout, without a message, and
// nothing the save left behind stays beside the target. And the journal's own
// rules: its format, the names it may touch, rolling back when a staged part
// is gone, and leaving alone a journal that does not match the disk.
#include "App/support/InterruptedSave.h"
#include "App/support/FileKindsFakes.h"
#include "App/support/SaveKinds.h"

#include "App/SaveJournal.h"
#include "App/StagedSave.h"
#include "Core/TempFolders.h"
#include "ImageProcessing/EffFormat.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/StringItem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void ChangeThePhoto(RealKindsFixture& f)
{
    for (const auto& item : f.Layout().GetItems()) {
        if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get())) {
            ASSERT_EQ(frame->LoadImage(f.Picture("other.jpg", "JPG", 0xff0000)), 0);
            return;
        }
    }
    FAIL() << "no photo frame";
}

// The frame images carry the time they are written: every save of one page
// writes the same bytes under this clock.
class FixedClock : public CEffClock
{
public:
    explicit FixedClock(RealKindsFixture& f) : m_layout(f.Layout()) { m_layout.SetFrameImageClock(this); }
    ~FixedClock() override { m_layout.SetFrameImageClock(nullptr); }
    EffDateTime Now() const override { return EffDateTime{2024, 5, 6, 7, 8, 9}; }

private:
    CLayoutManager& m_layout;
};

CLayoutItem* FirstText(RealKindsFixture& f)
{
    for (const auto& item : f.Layout().GetItems())
        if (dynamic_cast<CStringItem*>(item.get()))
            return item.get();
    return nullptr;
}

// The previous and the changed layout as editor documents of their own, so
// that every round saves from the same pages.
struct TwoLayouts
{
    explicit TwoLayouts(RealKindsFixture& f)
        : oldSource(f.Work() + "/old/page.zvd"), newSource(f.Work() + "/new/page.zvd")
    {
        f.MakePhotoPage();
        // A text becomes a picture stamped with the time it is drawn.
        for (CLayoutItem* text = FirstText(f); text; text = FirstText(f))
            EXPECT_TRUE(f.Layout().DeleteItem(text));
        EXPECT_EQ(f.Doc().SaveZvdDocument(oldSource), 0);
        ChangeThePhoto(f);
        EXPECT_EQ(f.Doc().SaveZvdDocument(newSource), 0);
    }
    std::string oldSource;
    std::string newSource;
};

bool OpensWithoutMessage(RealKindsFixture& reader, const std::string& path)
{
    reader.base.recorder.messages.clear();
    reader.view.messages.clear();
    return reader.Doc().OnOpenDocument(path) && reader.base.recorder.messages.empty() &&
           reader.view.messages.empty();
}

std::vector<std::string> Without(std::vector<std::string> names, const std::vector<std::string>& foreign)
{
    std::erase_if(names, [&](const std::string& n) {
        return std::find(foreign.begin(), foreign.end(), n) != foreign.end();
    });
    return names;
}

// A folder like the shared layout folder: open to every user, sticky, and
// holding what others put there, some of it named much like a save's own.
const std::vector<std::string> kForeign = {".page.usd.notes", ".page.save-12345", ".other.save-ABCDEF"};

void MakeSharedFolder(const std::string& folder)
{
    fs::create_directories(folder);
    fs::permissions(folder, static_cast<fs::perms>(01777));
    std::ofstream(folder + "/other.usd") << "another layout";
    std::ofstream(folder + "/.page.usd.notes") << "not the program's";
    fs::create_directory(folder + "/.page.save-12345");
    fs::create_directory(folder + "/.other.save-ABCDEF");
    std::ofstream(folder + "/.other.save-ABCDEF/kept") << "another save's";
}

TEST(InterruptedSaveTest, ALayoutSaveStoppedAfterAnyStepReopensAsThePreviousOrTheNewOne)
{
    struct Case
    {
        const char* name;
        const SaveKind& kind;
        bool shared;
    } cases[] = {
        {".zvd", kSaveKinds[0], false},
        {".usd", kSaveKinds[1], false},
        {".usd in the shared layout folder", kSaveKinds[1], true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RealKindsFixture f;
        RealKindsFixture reader;
        const FixedClock clock(f);
        const TwoLayouts layouts(f);
        const std::string folder = f.Work() + (c.shared ? "/UDL" : "/lay");
        if (c.shared)
            MakeSharedFolder(folder);
        const std::string path = folder + "/page" + c.kind.extension;
        const std::vector<std::string> foreign = c.shared ? kForeign : std::vector<std::string>{};
        const InterruptedSave run{
            [&] {
                ASSERT_TRUE(f.Doc().OnOpenDocument(layouts.oldSource));
                ASSERT_EQ(c.kind.save(f.Doc(), path), 0);
                ASSERT_TRUE(f.Doc().OnOpenDocument(layouts.newSource));
            },
            [&] { return c.kind.save(f.Doc(), path); },
            [&] { return OpensWithoutMessage(reader, path); },
            [&] { return ReadTree(folder); },
            [&] { return Without(HiddenNamesIn(folder), foreign); },
            WritesJournalOf(path),
        };
        EXPECT_GT(ExpectOldOrNewAfterEveryStop(f.files, run), 10);
        // Nothing of another's was touched.
        for (const std::string& name : foreign)
            EXPECT_TRUE(fs::exists(folder + "/" + name)) << name;
        EXPECT_EQ(ReadFileBytes(folder + "/.other.save-ABCDEF/kept"), c.shared ? "another save's" : "");
    }
}

TEST(InterruptedSaveTest, APackageSaveStoppedAfterAnyStepReopensAsThePreviousOrTheNewPackage)
{
    RealKindsFixture f;
    RealKindsFixture reader;
    const FixedClock clock(f);
    const TwoLayouts layouts(f);
    const std::string folder = f.Work() + "/out";
    const std::string path = folder + "/page.fdp";
    const std::string temp = GetTempFolder();
    const InterruptedSave run{
        [&] {
            ASSERT_TRUE(f.Doc().OnOpenDocument(layouts.oldSource));
            ASSERT_EQ(f.Doc().SaveFdpLayout(path), 0);
            ASSERT_TRUE(f.Doc().OnOpenDocument(layouts.newSource));
        },
        [&] { return f.Doc().SaveFdpLayout(path); },
        [&] { return OpensWithoutMessage(reader, path); },
        [&] { return ReadTree(folder); },
        [&] {
            // The work folder's set-aside copies in the temporary folder too.
            std::vector<std::string> left = HiddenNamesIn(folder);
            for (const std::string& name : HiddenNamesIn(temp))
                if (name.rfind(".ZAVDTemp", 0) == 0)
                    left.push_back(name);
            return left;
        },
        [&](const std::string& step) { return step.rfind("rename ", 0) == 0 && step.ends_with(" " + path); },
    };
    EXPECT_GT(ExpectOldOrNewAfterEveryStop(f.files, run), 5);
}

// A journal and the entries it names, made by hand beside a layout.
struct HandMadeSwap
{
    explicit HandMadeSwap(const std::string& folder) : folder(folder)
    {
        fs::create_directories(folder + "/.page.save-Ab12Cd");
        fs::create_directories(folder + "/.page.old-Xy34Zw");
        fs::create_directories(folder + "/.page.zvd.old-Qr56St");
        std::ofstream(folder + "/.page.save-Ab12Cd/a.jpg") << "new picture";
        std::ofstream(folder + "/.page.save-Ab12Cd.zvd") << "new script";
        fs::create_directories(folder + "/page");
        std::ofstream(folder + "/page/a.jpg") << "old picture";
        std::ofstream(folder + "/page.zvd") << "old script";
        journal.swaps = {
            {folder + "/.page.save-Ab12Cd", folder + "/page", folder + "/.page.old-Xy34Zw/page"},
            {folder + "/.page.save-Ab12Cd.zvd", folder + "/page.zvd",
             folder + "/.page.zvd.old-Qr56St/page.zvd"},
        };
        journal.leftovers = {folder + "/.page.save-Ab12Cd"};
    }
    void Write() const { std::ofstream(SaveJournalPath(Path())) << FormatSaveJournal(journal); }
    std::string Path() const { return folder + "/page.zvd"; }
    std::vector<std::string> Targets() const { return {Path(), folder + "/page"}; }
    SavedContent Old() const
    {
        return {{"page", "<folder>"}, {"page/a.jpg", "old picture"}, {"page.zvd", "old script"}};
    }
    SavedContent New() const
    {
        return {{"page", "<folder>"}, {"page/a.jpg", "new picture"}, {"page.zvd", "new script"}};
    }

    std::string folder;
    SaveJournal journal;
};

TEST(SaveJournalTest, TheJournalReadsBackAsWrittenAndRefusesAnythingElse)
{
    SaveJournal journal;
    journal.swaps = {{"/a/.b.save-Ab12Cd", "/a/b", "/a/.b.old-Xy34Zw/b"},
                     {"/a/.b.save-Ab12Cd.zvd", "/a/b.zvd", ""}};
    journal.leftovers = {"/a/.b\tc\\d\ne"};
    const std::string text = FormatSaveJournal(journal);
    const auto read = ParseSaveJournal(text);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->swaps.size(), 2u);
    EXPECT_EQ(read->swaps[0].aside, "/a/.b.old-Xy34Zw/b");
    EXPECT_EQ(read->swaps[1].aside, "");
    EXPECT_EQ(read->leftovers, journal.leftovers);
    const std::string broken[] = {
        "",                                           // nothing
        text.substr(0, text.size() - 4),              // cut before its end
        text + "more\n",                              // something after the end
        "ZAV save journal 2\nend\n",                  // another version
        "ZAV save journal 1\nswap\t/a\t/b\nend\n",    // a field missing
        "ZAV save journal 1\nleftover\t/a\\q\nend\n", // an unknown escape
        "ZAV save journal 1\nrename\t/a\nend\n",      // an unknown line
    };
    for (const std::string& text : broken)
        EXPECT_FALSE(ParseSaveJournal(text)) << text;
}

TEST(SaveJournalTest, OnlyTheNamesASaveMakesCountAsItsLeftovers)
{
    struct Case
    {
        const char* name;
        bool owned;
    } cases[] = {
        {".page.save-Ab12Cd", true},
        {".page.save-Ab12Cd.zvd", true},
        {".page.old-Ab12Cd", true},
        {"..page.save-Ab12Cd.zvd.0123456789abcdef~", true},
        {"..page.journal.0123456789abcdef~", true},
        {".page.journal", false},        // the journal: recovery's, not the sweep's
        {".page.save-Ab12C", false},     // five characters
        {".page.save-Ab12Cd7", false},   // seven
        {".page.save-Ab-2Cd", false},    // not a letter or digit
        {".page.old-Ab12Cd.zvd", false}, // a set-aside folder has no extension
        {".page.save-Ab12Cdx", false},   // more without a dot
        {".pages.save-Ab12Cd", false},   // another target
        {"page.save-Ab12Cd", false},     // not hidden
        {"..page.save-Ab12Cd.zvd.0123456789abcdeg~", false},
        {".page.save-Ab12Cd.zvd~", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSaveLeftoverName(c.name, "page"), c.owned) << c.name;
}

TEST(SaveJournalTest, ASaveCutOffAtEachStateIsCompletedOrUndone)
{
    // Each state a cut-off swap can leave: what is moved before recovery and
    // what the recovery must give.
    struct Case
    {
        const char* name;
        int movedEntries; // entries fully in place
        bool secondAside; // the second entry's previous set aside, the new not yet in
        bool loseStaged;  // a staged part gone (a card pulled too early)
        SaveRecovery outcome;
        bool isNew;
    } cases[] = {
        {"nothing moved yet", 0, false, false, SaveRecovery::RolledForward, true},
        {"the folder in place", 1, false, false, SaveRecovery::RolledForward, true},
        {"the script set aside", 1, true, false, SaveRecovery::RolledForward, true},
        {"everything in place", 2, false, false, SaveRecovery::RolledForward, true},
        {"a staged script lost after its previous went aside", 1, true, true, SaveRecovery::RolledBack,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir work;
        const std::string folder = work.path().toStdString() + "/lay";
        HandMadeSwap swap(folder);
        swap.Write();
        for (int i = 0; i < c.movedEntries; ++i) {
            const SaveSwapEntry& e = swap.journal.swaps[i];
            fs::rename(e.target, e.aside);
            fs::rename(e.staged, e.target);
        }
        const SaveSwapEntry& second = swap.journal.swaps[1];
        if (c.secondAside)
            fs::rename(second.target, second.aside);
        if (c.loseStaged)
            fs::remove(second.staged);
        EXPECT_EQ(FinishInterruptedSave(SystemSaveFileSystem(), swap.Path(), swap.Targets()), c.outcome);
        EXPECT_EQ(ReadTree(folder), c.isNew ? swap.New() : swap.Old());
    }
}

TEST(SaveJournalTest, AJournalThatDoesNotMatchTheDiskIsLeftAloneAndNothingIsTouched)
{
    struct Case
    {
        const char* name;
        std::function<void(HandMadeSwap&)> spoil;
    } cases[] = {
        {"a journal naming a file the program did not make",
         [](HandMadeSwap& s) { s.journal.swaps[0].staged = s.folder + "/holiday.jpg"; }},
        {"a journal naming a target of another layout",
         [](HandMadeSwap& s) { s.journal.swaps[1].target = s.folder + "/other.zvd"; }},
        {"a journal reaching out of the folder",
         [](HandMadeSwap& s) { s.journal.swaps[0].staged = s.folder + "/.page.save-Ab12Cd/../../x"; }},
        {"a leftover of the user's",
         [](HandMadeSwap& s) { s.journal.leftovers.push_back(s.folder + "/page.bak"); }},
        {"neither the previous nor the new save whole",
         [](HandMadeSwap& s) {
             fs::remove(s.journal.swaps[1].staged);
             fs::remove(s.journal.swaps[1].target);
         }},
        {"not a journal", [](HandMadeSwap&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir work;
        const std::string folder = work.path().toStdString() + "/lay";
        HandMadeSwap swap(folder);
        std::ofstream(folder + "/holiday.jpg") << "the user's";
        c.spoil(swap);
        if (std::string(c.name) == "not a journal")
            std::ofstream(SaveJournalPath(swap.Path())) << "ZAV save journal 1\nswap\t";
        else
            swap.Write();
        const SavedContent before = ReadTree(folder);
        EXPECT_EQ(FinishInterruptedSave(SystemSaveFileSystem(), swap.Path(), swap.Targets()),
                  SaveRecovery::Ignored);
        EXPECT_EQ(ReadTree(folder), before);
    }
}

TEST(SaveJournalTest, WithoutAJournalOnlyTheSavesOwnLeftoversBesideTheTargetGo)
{
    const QTemporaryDir work;
    const std::string folder = work.path().toStdString() + "/lay";
    MakeSharedFolder(folder);
    std::ofstream(folder + "/page.usd") << "the layout";
    fs::create_directories(folder + "/.page.save-Ab12Cd/inner");
    std::ofstream(folder + "/.page.save-Ab12Cd.usd") << "staged";
    fs::create_directories(folder + "/.page.old-Xy34Zw/page");
    std::ofstream(folder + "/..page.usd.journal.0123456789abcdef~") << "half a journal";
    EXPECT_EQ(FinishInterruptedSave(SystemSaveFileSystem(), folder + "/page.usd",
                                    {folder + "/page.usd", folder + "/page"}),
              SaveRecovery::Nothing);
    EXPECT_EQ(HiddenNamesIn(folder),
              (std::vector<std::string>{".other.save-ABCDEF", ".page.save-12345", ".page.usd.notes"}));
    EXPECT_EQ(ReadFileBytes(folder + "/page.usd"), "the layout");
}

} // namespace
