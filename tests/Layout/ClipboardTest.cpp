#include "Core/TempFolders.h"
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"
#include "Platform/Archive.h"
#include "Platform/support/FaultyWriteCalls.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sys/resource.h>

namespace {

using namespace managertest;
using Labels_t = std::vector<std::string>;

std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return static_cast<std::int32_t>(bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
                                     (std::uint32_t(bytes[offset + 3]) << 24));
}

class ClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
        SetUpA4(other);
        manager.SetClipboardPort(&clipboard);
        other.SetClipboardPort(&clipboard);
    }
    void AddLines(CLayoutManager& page, int count, bool selected)
    {
        for (int i = 0; i < count; ++i)
            Append(page, MakeLine(RECT{10, 10 + i * 10, 100, 10 + i * 10}, 1))->SetSelected(selected);
    }
    std::vector<CInsertImageFrameItem*> AddFrames(int count)
    {
        std::vector<CInsertImageFrameItem*> frames;
        for (int i = 1; i <= count; ++i)
            frames.push_back(Append(manager, MakeFrame(RECT{10, 10, 200, 200}, i)));
        return frames;
    }
    ScratchFolder tempRoot; // the editor's temporary folders, for this test alone
    ScopedTmpDir tmpDir{tempRoot.Path()};
    FakeHost host;
    FakeModeShell shell;
    FakeClipboard clipboard;
    CLayoutManager manager;
    CLayoutManager other;
};

TEST_F(ClipboardTest, EmptyCopyGivesFourZeroCountsOnTheSystemClipboard)
{
    manager.SetClipboardPort(nullptr);
    EXPECT_TRUE(manager.Copy());
    const auto block = GetSystemClipboardPort().Get();
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(*block, std::vector<std::uint8_t>(16, 0));
}

TEST_F(ClipboardTest, BlockHeaderAndItemsBackToFront)
{
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "S"))->SetSelected(true);
    CInsertImageFrameItem* frame =
        AppendFrameWithTexts(manager, RECT{10, 10, 200, 200}, 1, {RECT{0, 0, 5, 5}, RECT{0, 10, 5, 15}});
    frame->SetSelected(true);
    Append(manager, MakeLine(RECT{10, 10, 100, 10}, 1))->SetSelected(true);
    Append(manager, MakeLine(RECT{10, 20, 100, 20}, 1)); // not selected
    const std::vector<std::uint8_t> block = manager.WriteClipboardBlock().value();
    ASSERT_GE(block.size(), 20u);
    EXPECT_EQ(IntAt(block, 0), 3); // the macro strings are not written
    EXPECT_EQ(IntAt(block, 4), 1);
    EXPECT_EQ(IntAt(block, 8), 2);
    EXPECT_EQ(IntAt(block, 12), 1);
    EXPECT_EQ(IntAt(block, 16), 0); // the backmost selected item first: the line
    // The line's own archive form follows its kind code.
    CLineItem probe;
    probe.SetRect(RECT{10, 10, 100, 10});
    probe.SetWidth(1);
    probe.SetSelected(true);
    const std::vector<std::uint8_t> line = layouttest::Store(probe);
    ASSERT_GE(block.size(), 20 + line.size() + 4);
    EXPECT_TRUE(std::equal(line.begin(), line.end(), block.begin() + 20));
    EXPECT_EQ(IntAt(block, 20 + line.size()), 3); // then the frame
}

TEST_F(ClipboardTest, PasteKeepsOrderSelectsTheNewItemsAndUndoes)
{
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "A"))->SetSelected(true);
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "B"))->SetSelected(true);
    ASSERT_TRUE(manager.Copy());
    Append(other, MakeString(RECT{0, 0, 50, 50}, "C"))->SetSelected(true);
    host.Clear();
    EXPECT_EQ(other.Paste(), 1);
    EXPECT_EQ(Labels(other), (Labels_t{"A", "B", "C"}));
    EXPECT_TRUE(other.GetItemAt(0)->IsSelected());
    EXPECT_FALSE(other.GetItemAt(2)->IsSelected());
    EXPECT_EQ(host.Kinds(), (std::vector<int>{3, 1}));
    EXPECT_EQ(host.toolBoxCalls, 1);
    other.Undo();
    EXPECT_EQ(Labels(other), (Labels_t{"C"}));
}

TEST_F(ClipboardTest, PastedLinesGetFreeNumbersAndNames)
{
    AddLines(manager, 2, true);
    ASSERT_TRUE(manager.Copy());
    Append(other, MakeLine(RECT{0, 0, 10, 0}, 1))->SetLineNumber(1);
    other.Paste();
    // The back one arrives first and takes the first free number.
    EXPECT_EQ(Labels(other), (Labels_t{"Line3", "Line2", ""}));
}

TEST_F(ClipboardTest, LimitOfTwentyLinesShowsMessage157)
{
    AddLines(manager, 15, true);
    ASSERT_TRUE(manager.Copy());
    AddLines(other, 6, false);
    auto* held = new CChangeOrderUndoInfo;
    other.SetPendingUndo(std::unique_ptr<CUndoInfo>(held));
    host.Clear();
    EXPECT_EQ(other.Paste(), 1);
    EXPECT_EQ(host.messages, (std::vector<int>{157}));
    EXPECT_EQ(other.GetItemCount(-1, -1, nullptr), 6);
    EXPECT_EQ(other.GetPendingUndo(), held);
    EXPECT_TRUE(host.sent.empty());

    other.DeleteAllItems();
    AddLines(other, 5, false);
    host.Clear();
    EXPECT_EQ(other.Paste(), 1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(other.GetItemCount(-1, -1, nullptr), 20);
}

TEST_F(ClipboardTest, LimitOfTwentyOtherItems)
{
    for (int i = 0; i < 3; ++i)
        Append(manager, MakeString(RECT{0, 0, 50, 50}, "S"))->SetSelected(true);
    ASSERT_TRUE(manager.Copy());
    for (int i = 0; i < 18; ++i)
        Append(other, MakeString(RECT{0, 0, 50, 50}, "T"));
    other.Paste();
    EXPECT_EQ(host.messages, (std::vector<int>{157}));
    EXPECT_EQ(other.GetItemCount(-1, -1, nullptr), 18);
}

TEST_F(ClipboardTest, FramesIntoACameraLayoutShowMessage241)
{
    AddFrames(1)[0]->SetSelected(true);
    ASSERT_TRUE(manager.Copy());
    shell.cameraLayout = true;
    EXPECT_EQ(other.Paste(), 1);
    EXPECT_EQ(host.messages, (std::vector<int>{241}));
    EXPECT_EQ(other.GetItemCount(-1, -1, nullptr), 0);
}

TEST_F(ClipboardTest, CopiedFramesKeepTheirNumbers)
{
    auto frames = AddFrames(3);
    frames[1]->SetSelected(true);
    frames[2]->SetSelected(true);
    ASSERT_TRUE(manager.Copy());
    manager.Paste();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{2, 3, 1, 2, 3}));
}

TEST_F(ClipboardTest, CutFrameTwoThenPasteKeepsNumberTwo)
{
    auto frames = AddFrames(3);
    frames[1]->SetSelected(true);
    host.Clear();
    ASSERT_TRUE(manager.Cut());
    EXPECT_EQ(host.Kinds(), (std::vector<int>{3, 1}));
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2}));
    manager.Paste();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{2, 1, 2}));
    // Undoing the paste leaves the other frame 2 alone; undoing that pastes again.
    manager.Undo();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2}));
    manager.Undo();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{2, 1, 2}));
}

TEST_F(ClipboardTest, CutFrameThreeThenPasteRenumbersIt)
{
    auto frames = AddFrames(3);
    frames[2]->SetSelected(true);
    ASSERT_TRUE(manager.Cut());
    manager.Paste();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(manager.GetItemAt(0)->GetLabel(), "Frame3");
    manager.Undo();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2}));
}

TEST_F(ClipboardTest, CutIsUndone)
{
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "A"));
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "B"))->SetSelected(true);
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "C"));
    ASSERT_TRUE(manager.Cut());
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "C"}));
    manager.Undo();
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "B", "C"}));
}

TEST_F(ClipboardTest, CutBehindASelectedTextOfAnUnselectedFrameComesBackInPlace)
{
    // A selected text whose frame is not selected stays on the page and must
    // keep counting, or the cut item would come back one place too far back.
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "A"))->SetSelected(true);
    CInsertImageFrameItem* frame =
        AppendFrameWithTexts(manager, RECT{10, 10, 200, 200}, 1, {RECT{0, 0, 5, 5}});
    frame->GetLinkedText1()->SetSelected(true);
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "B"));
    ASSERT_TRUE(manager.Cut());
    EXPECT_EQ(Labels(manager), (Labels_t{"T1.0", "F1", "B"}));
    manager.Undo();
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "T1.0", "F1", "B"}));
}

TEST_F(ClipboardTest, FailedHandOverKeepsTheCutItems)
{
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "A"))->SetSelected(true);
    auto* held = new CChangeOrderUndoInfo;
    manager.SetPendingUndo(std::unique_ptr<CUndoInfo>(held));
    clipboard.refuse = true;
    host.Clear();
    EXPECT_FALSE(manager.Cut());
    EXPECT_EQ(clipboard.puts, 1);
    EXPECT_EQ(Labels(manager), (Labels_t{"A"}));
    EXPECT_EQ(manager.GetPendingUndo(), held);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(ClipboardTest, TruncatedOrForeignBlocksPasteNothing)
{
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "A"))->SetSelected(true);
    AddLines(manager, 2, true);
    ASSERT_TRUE(manager.Copy());
    const std::vector<std::uint8_t> good = *clipboard.held;

    std::vector<std::vector<std::uint8_t>> bad;
    for (std::size_t cut : {good.size() - 1, good.size() / 2, std::size_t(20), std::size_t(3)})
        bad.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    std::vector<std::uint8_t> extra = good;
    extra.push_back(0);
    bad.push_back(extra);
    std::vector<std::uint8_t> foreignKind = good;
    foreignKind[16] = 9; // an unknown kind code
    bad.push_back(foreignKind);
    std::vector<std::uint8_t> wrongCounts = good;
    wrongCounts[4] = 3; // three lines claimed, two written
    bad.push_back(wrongCounts);
    std::vector<std::uint8_t> hugeCount = good;
    hugeCount[3] = 0x7F;
    bad.push_back(hugeCount);
    bad.push_back(std::vector<std::uint8_t>(64, 0xAB));

    Append(other, MakeString(RECT{0, 0, 50, 50}, "Z"))->SetSelected(true);
    for (const auto& block : bad) {
        auto* held = new CChangeOrderUndoInfo;
        other.SetPendingUndo(std::unique_ptr<CUndoInfo>(held));
        clipboard.held = block;
        host.Clear();
        EXPECT_EQ(other.Paste(), 0) << block.size();
        EXPECT_EQ(Labels(other), (Labels_t{"Z"}));
        EXPECT_TRUE(other.GetItemAt(0)->IsSelected());
        EXPECT_EQ(other.GetPendingUndo(), held);
        EXPECT_TRUE(host.sent.empty());
        EXPECT_EQ(host.messages, (std::vector<int>{24}));
    }
    clipboard.held.reset();
    EXPECT_EQ(other.Paste(), 0);
}

TEST_F(ClipboardTest, ItemsPlacedFarBeyondAnyPaperPasteNothing)
{
    struct Case
    {
        const char* name;
        RECT rect;
        int lineWidth; // 0: a text
    };
    const Case cases[] = {
        {"line wider than an int holds", RECT{-2000000000, 10, 2000000000, 10}, 1},
        {"text far right", RECT{30000000, 0, 30000100, 50}, 0},
        {"text far up", RECT{0, -30000000, 50, 50}, 0},
        {"line of a huge width", RECT{10, 10, 100, 10}, 2000000000},
    };
    Append(other, MakeString(RECT{0, 0, 50, 50}, "Z"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLayoutManager source;
        SetUpA4(source);
        source.SetClipboardPort(&clipboard);
        if (c.lineWidth > 0)
            Append(source, MakeLine(c.rect, c.lineWidth))->SetSelected(true);
        else
            Append(source, MakeString(c.rect, "far"))->SetSelected(true);
        ASSERT_TRUE(source.Copy());
        host.Clear();
        EXPECT_EQ(other.Paste(), 0);
        EXPECT_EQ(Labels(other), (Labels_t{"Z"}));
        EXPECT_EQ(host.messages, (std::vector<int>{24}));
    }
}

TEST_F(ClipboardTest, PastedLineIsFittedIntoThePrintableArea)
{
    other.SetPaper(22, 0, 0, 500, false); // printable {3, 3, 689, 1199}
    Append(manager, MakeLine(RECT{0, 100, 1000, 100}, 20))->SetSelected(true);
    ASSERT_TRUE(manager.Copy());
    other.Paste();
    auto* line = dynamic_cast<CLineItem*>(other.GetItemAt(0));
    ASSERT_NE(line, nullptr);
    RECT r;
    line->GetRect(&r, false);
    const RECT p = other.GetPrintableRect();
    EXPECT_EQ(r.top, r.bottom);
    EXPECT_EQ(r.left, p.left);
    EXPECT_LE(r.right, p.right);
    const int width = line->GetWidth(false, -1.0f);
    EXPECT_GE(width, 5);
    EXPECT_LT(width, 20);
    EXPECT_EQ(width % 5, 0);
}

// Each edge of the page alone decides whether a pasted item is fitted; an
// item inside keeps its place.
TEST_F(ClipboardTest, AnItemPastedPastAnyOneEdgeIsFittedIntoThePage)
{
    const RECT p = other.GetPrintableRect();
    const int w = 100, h = 80;
    struct Case
    {
        const char* name;
        RECT rect;
        bool fitted;
    };
    const Case cases[] = {
        {"inside", RECT{p.left + 10, p.top + 10, p.left + 10 + w, p.top + 10 + h}, false},
        {"touching every edge", p, false},
        {"past the left edge", RECT{p.left - 5, p.top + 10, p.left - 5 + w, p.top + 10 + h}, true},
        {"past the top edge", RECT{p.left + 10, p.top - 5, p.left + 10 + w, p.top - 5 + h}, true},
        {"past the right edge", RECT{p.right - w + 5, p.top + 10, p.right + 5, p.top + 10 + h}, true},
        {"past the bottom edge", RECT{p.left + 10, p.bottom - h + 5, p.left + 10 + w, p.bottom + 5}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        manager.DeleteAllItems();
        other.DeleteAllItems();
        Append(manager, MakeFrame(c.rect, 1))->SetSelected(true);
        ASSERT_TRUE(manager.Copy());
        ASSERT_EQ(other.Paste(), 1);
        ASSERT_EQ(other.GetItemCount(-1, -1, nullptr), 1);
        RECT r;
        other.GetItemAt(0)->GetRect(&r, false);
        EXPECT_GE(r.left, p.left);
        EXPECT_GE(r.top, p.top);
        EXPECT_LE(r.right, p.right);
        EXPECT_LE(r.bottom, p.bottom);
        if (c.fitted) { // smaller than the page: moved to its corner whole
            EXPECT_EQ(r.left, p.left);
            EXPECT_EQ(r.top, p.top);
            EXPECT_EQ(r.right - r.left, c.rect.right - c.rect.left);
            EXPECT_EQ(r.bottom - r.top, c.rect.bottom - c.rect.top);
        } else {
            EXPECT_EQ(r.left, c.rect.left);
            EXPECT_EQ(r.top, c.rect.top);
            EXPECT_EQ(r.right, c.rect.right);
            EXPECT_EQ(r.bottom, c.rect.bottom);
        }
    }
}

// A line's width counts as part of it: a thick line whose stroke alone
// reaches past the bottom is fitted too.
TEST_F(ClipboardTest, ALineWhoseStrokeReachesPastTheBottomIsFitted)
{
    const RECT p = other.GetPrintableRect();
    for (const bool past : {false, true}) {
        SCOPED_TRACE(past);
        manager.DeleteAllItems();
        other.DeleteAllItems();
        // The stroke covers the line's row and width - 1 rows below it.
        const int width = 20;
        const int y = p.bottom - (width - 1) + (past ? 1 : 0);
        Append(manager, MakeLine(RECT{p.left + 10, y, p.left + 200, y}, width))->SetSelected(true);
        ASSERT_TRUE(manager.Copy());
        ASSERT_EQ(other.Paste(), 1);
        auto* line = dynamic_cast<CLineItem*>(other.GetItemAt(0));
        ASSERT_NE(line, nullptr);
        RECT r;
        line->GetRect(&r, false);
        EXPECT_LE(r.bottom + line->GetWidth(false, -1.0f) - 1, p.bottom);
        EXPECT_EQ(r.top, past ? p.top : y);
    }
}

TEST_F(ClipboardTest, SelectAllCopiesHiddenItemsAndTheirPastedCopiesAreShown)
{
    // Every kind the block carries, each hidden and shown; Select All takes both.
    struct Kind
    {
        const char* name;
        std::function<CLayoutItem*(CLayoutManager&)> add;
    };
    const Kind kinds[] = {
        {"line",
         [](CLayoutManager& page) {
             return Append(page, MakeLine(RECT{10, 10, 100, 10}, 1));
         }},
        {"text",
         [](CLayoutManager& page) {
             return Append(page, MakeString(RECT{0, 0, 50, 50}, "S"));
         }},
        {"insert-photo frame",
         [](CLayoutManager& page) {
             return Append(page, MakeFrame(RECT{10, 10, 200, 200}, 1));
         }},
        {"background",
         [](CLayoutManager& page) {
             auto background = std::make_unique<CBackgroundImageFrameItem>();
             background->SetRect(RECT{20, 20, 300, 300});
             return Append(page, std::move(background));
         }},
    };
    for (const Kind& kind : kinds) {
        for (const bool visible : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (visible ? " shown" : " hidden"));
            manager.DeleteAllItems();
            other.DeleteAllItems();
            kind.add(manager)->SetVisible(visible);
            manager.SelectAll(true);
            ASSERT_TRUE(manager.Copy());
            ASSERT_EQ(manager.GetItemAt(0)->IsVisible(), visible); // the copy leaves the source alone
            for (int paste = 1; paste <= 2; ++paste) {
                ASSERT_EQ(other.Paste(), 1);
                ASSERT_EQ(other.GetItemCount(-1, -1, nullptr), paste);
                for (int i = 0; i < paste; ++i)
                    EXPECT_TRUE(other.GetItemAt(i)->IsVisible()) << "paste " << paste << " item " << i;
            }
        }
    }
}

// Pictures travel through files in the clipboard folder, under a temporary
// folder of the test's own.
class ClipboardPictureTest : public ClipboardTest
{
protected:
    void SetUp() override
    {
        m_tmpDir.emplace(scratch.Path());
        ClipboardTest::SetUp();
    }
    // A selected frame showing a picture red on the left, blue on the right.
    CInsertImageFrameItem* AddPictureFrame(CLayoutManager& page, int number)
    {
        CInsertImageFrameItem* frame = Append(page, MakeFrame(RECT{10, 10, 400, 200}, number));
        const std::string picture =
            layouttest::WriteBmp24(scratch / ("p" + std::to_string(number) + ".bmp"), 400, 200,
                                   [](int x, int) -> std::uint32_t { return x < 200 ? 0xFF0000 : 0x0000FF; });
        EXPECT_EQ(frame->LoadImage(picture), ImageLoadOk);
        frame->SetSelected(true);
        return frame;
    }
    static void ExpectRedAndBlue(CLayoutItem* item)
    {
        auto* frame = dynamic_cast<CInsertImageFrameItem*>(item);
        ASSERT_NE(frame, nullptr);
        CImage& image = *frame->GetImageBuffer1();
        ASSERT_TRUE(image.IsValid());
        EXPECT_EQ(layouttest::RgbAt(image, image.GetWidth() / 4, 10), 0xFF0000u);
        EXPECT_EQ(layouttest::RgbAt(image, image.GetWidth() * 3 / 4, 10), 0x0000FFu);
    }
    static std::vector<std::string> ClipFiles()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(GetTempClipFolder(false)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The clipboard-folder files a block names, in block order: for a frame its
    // working copy, then its picture.
    static std::vector<std::string> NamedClipFiles(const std::vector<std::uint8_t>& block)
    {
        const std::string text(block.begin(), block.end());
        const std::string folder = GetTempClipFolder(false);
        std::vector<std::string> paths;
        for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at + 1)) {
            const std::size_t end = text.find('\n', at);
            if (end == std::string::npos)
                break;
            paths.push_back(text.substr(at, end - at));
            at = end;
        }
        return paths;
    }

    ScratchFolder scratch;

private:
    std::optional<ScopedTmpDir> m_tmpDir;
};

// Lowers the largest file this process may write while it lives (a full disk
// that root cannot write past either).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

TEST_F(ClipboardPictureTest, CopiedPictureArrivesWithThePaste)
{
    AddPictureFrame(manager, 1);
    ASSERT_TRUE(manager.Copy());
    ASSERT_EQ(NamedClipFiles(*clipboard.held).size(), 2u);
    EXPECT_EQ(other.Paste(), 1);
    ExpectRedAndBlue(other.GetItemAt(0));

    // The next copy replaces the files of the block before it.
    ASSERT_TRUE(manager.Copy());
    std::vector<std::string> named;
    for (const std::string& path : NamedClipFiles(*clipboard.held))
        named.push_back(std::filesystem::path(path).filename().string());
    std::sort(named.begin(), named.end());
    EXPECT_EQ(ClipFiles(), named);
}

TEST_F(ClipboardPictureTest, CopyWhosePictureCannotBeWrittenHandsNothingOverAndKeepsThePreviousBlock)
{
    AddPictureFrame(manager, 1);
    ASSERT_TRUE(manager.Copy());
    const std::vector<std::uint8_t> previous = *clipboard.held;
    const std::vector<std::string> previousFiles = ClipFiles();
    ASSERT_EQ(previousFiles.size(), 2u);
    manager.SelectAll(false);
    CInsertImageFrameItem* second = AddPictureFrame(manager, 2);
    const auto workingSize = std::filesystem::file_size(second->GetImageFileName2());
    const rlim_t pictureSize = 400 * 200 * 4;
    ASSERT_LT(workingSize + 1, pictureSize);

    struct Case
    {
        const char* name;
        bool cut;
        int handOvers; // 1 when the block was written and only its hand-over failed
        std::function<std::shared_ptr<void>()> fail; // the failure lasts while its result lives
    };
    const Case cases[] = {
        {"bitmap write fails midway", false, 0,
         [] { return std::make_shared<FaultyWriteCalls>(WriteFault::MiddleWrite); }},
        {"bitmap write fails midway, cut", true, 0,
         [] { return std::make_shared<FaultyWriteCalls>(WriteFault::MiddleWrite); }},
        {"bitmap rename fails", false, 0,
         [] { return std::make_shared<FaultyWriteCalls>(WriteFault::Rename); }},
        {"bitmap file short of room", false, 0,
         [&] { return std::make_shared<FileSizeLimit>(workingSize + 1); }},
        {"working copy short of room", false, 0, [] { return std::make_shared<FileSizeLimit>(16); }},
        {"hand-over refused", true, 1,
         [&] {
             clipboard.refuse = true;
             return nullptr;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int puts = clipboard.puts;
        host.Clear();
        {
            const auto failure = c.fail();
            EXPECT_FALSE(c.cut ? manager.Cut() : manager.Copy());
        }
        clipboard.refuse = false;
        EXPECT_EQ(clipboard.puts, puts + c.handOvers);
        EXPECT_EQ(*clipboard.held, previous);
        EXPECT_EQ(ClipFiles(), previousFiles);
        EXPECT_EQ(manager.GetItemCount(-1, -1, nullptr), 2);
        EXPECT_TRUE(host.sent.empty());

        other.DeleteAllItems();
        EXPECT_EQ(other.Paste(), 1);
        ASSERT_EQ(other.GetItemCount(-1, -1, nullptr), 1);
        auto* pasted = dynamic_cast<CInsertImageFrameItem*>(other.GetItemAt(0));
        ASSERT_NE(pasted, nullptr);
        EXPECT_EQ(pasted->GetImageFileName(), scratch / "p1.bmp"); // the first frame's block
        ExpectRedAndBlue(pasted);
    }
    // Without a failure the same frame copies.
    EXPECT_TRUE(manager.Copy());
    EXPECT_NE(*clipboard.held, previous);
}

TEST_F(ClipboardPictureTest, PasteWhosePictureCannotBeReadPastesNothingAndShowsText24)
{
    AddPictureFrame(manager, 1);
    ASSERT_TRUE(manager.Copy());
    const std::vector<std::string> named = NamedClipFiles(*clipboard.held);
    ASSERT_EQ(named.size(), 2u);
    const std::string& working = named[0];
    const std::string& picture = named[1];
    const std::string keptWorking = scratch / "kept-working";
    const std::string keptPicture = scratch / "kept-picture";
    std::filesystem::copy_file(working, keptWorking);
    std::filesystem::copy_file(picture, keptPicture);

    struct Case
    {
        const char* name;
        std::function<void()> damage;
    };
    const Case cases[] = {
        {"picture removed", [&] { std::filesystem::remove(picture); }},
        {"picture cut short", [&] { std::filesystem::resize_file(picture, 100); }},
        {"picture not a bitmap",
         [&] { std::ofstream(picture, std::ios::binary | std::ios::trunc) << "JUNK"; }},
        {"working copy removed", [&] { std::filesystem::remove(working); }},
    };
    Append(other, MakeString(RECT{0, 0, 50, 50}, "Z"))->SetSelected(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::copy_file(keptWorking, working, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(keptPicture, picture, std::filesystem::copy_options::overwrite_existing);
        c.damage();
        auto* held = new CChangeOrderUndoInfo;
        other.SetPendingUndo(std::unique_ptr<CUndoInfo>(held));
        host.Clear();
        EXPECT_EQ(other.Paste(), 0);
        EXPECT_EQ(Labels(other), (Labels_t{"Z"}));
        EXPECT_TRUE(other.GetItemAt(0)->IsSelected());
        EXPECT_EQ(other.GetPendingUndo(), held);
        EXPECT_TRUE(host.sent.empty());
        EXPECT_EQ(host.messages, (std::vector<int>{24}));
    }
    // Whole again, the same block pastes.
    std::filesystem::copy_file(keptWorking, working, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(keptPicture, picture, std::filesystem::copy_options::overwrite_existing);
    host.Clear();
    EXPECT_EQ(other.Paste(), 1);
    EXPECT_TRUE(host.messages.empty());
    ExpectRedAndBlue(other.GetItemAt(0));
}

} // namespace
