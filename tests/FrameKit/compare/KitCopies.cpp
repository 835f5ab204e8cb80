// The frame-file kit stays self-contained, so it keeps its own copies of some
// of the editor's rules: the paper names, the margins its search matches and
// the length of the header texts. Each copy is pinned to the editor's answers
// here, so that the two cannot drift apart.
#include "Core/PaperRules.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PaperTable.h"
#include "FrameKit/SDK.h"
#include "FrameKit/ValueChecks.h"
#include "FrameKit/compare/ReadersAgree.h"
#include "Platform/ShiftJis.h"
#include "Script/HeaderSection.h"
#include "Script/UDLScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The kit numbers the papers without the editor's unassigned code.
int KitPaperCode(int editorCode)
{
    return editorCode < kUnassignedPaperSize ? editorCode : editorCode - 1;
}

std::vector<std::int32_t> MarginNumbers(int editorMode)
{
    std::vector<std::int32_t> numbers;
    std::stringstream text{std::string(MarginText(editorMode).value())};
    for (std::string part; std::getline(text, part, ',');)
        numbers.push_back(std::stoi(part));
    return numbers;
}

TEST(KitCopiesTest, ThePaperTableNamesTheEditorsPapersInItsOrder)
{
    int named = 0;
    for (int code = -1; code <= kPaperSizeCount; ++code) {
        const auto text = PaperSizeText(code);
        EXPECT_EQ(text.has_value(), IsNamedPaper(code)) << code;
        if (!text)
            continue;
        ++named;
        const std::string name(*text);
        EXPECT_TRUE(PaperNameMatches(KitPaperCode(code), name.c_str())) << name;
        std::int32_t length = -1, width = -1;
        EXPECT_TRUE(GetPaperSize(name.c_str(), &length, &width)) << name;
        // The kit knows the roll papers as the papers without a length.
        EXPECT_EQ(length == 0, IsScriptRollPaper(code)) << name;
    }
    EXPECT_EQ(named, kZavPaperCount);
}

TEST(KitCopiesTest, EachSearchMarginModeIsOneOfTheEditorsMarginTexts)
{
    // Mode 0 matches any margins.
    for (int editorMode = 0; editorMode < kMarginModeCount; ++editorMode) {
        const std::vector<std::int32_t> m = MarginNumbers(editorMode);
        ASSERT_EQ(m.size(), 4u);
        EXPECT_TRUE(MarginsMatch(0, m[0], m[1], m[2], m[3]));
    }
    for (int kitMode = 1; kitMode < kZavMarginModeCount; ++kitMode) {
        int matches = 0;
        for (int editorMode = 0; editorMode < kMarginModeCount; ++editorMode) {
            const std::vector<std::int32_t> m = MarginNumbers(editorMode);
            matches += MarginsMatch(kitMode, m[0], m[1], m[2], m[3]) ? 1 : 0;
        }
        EXPECT_EQ(matches, 1) << "kit mode " << kitMode;
    }
}

class KitHeaderTexts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kit-copies-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

// The longest title the editor takes, in kana and in ASCII, reads whole
// through the kit; one byte more the editor refuses.
TEST_F(KitHeaderTexts, TheLongestTitleTheEditorTakesReadsWholeThroughTheKit)
{
    EXPECT_EQ(kZavHeaderTextBytes, kHeaderTextBytes);
    std::string kana;
    for (std::size_t i = 0; i < kHeaderTextBytes / 2; ++i)
        kana += "\xe3\x81\x8b"; // two bytes in Shift-JIS
    for (const std::string& title : {kana, std::string(kHeaderTextBytes, 't')}) {
        SCOPED_TRACE(title);
        const std::string path = (dir / "layout.usd").string();
        CUDLScript writer;
        ASSERT_EQ(writer.SetTitle(title), 1);
        ASSERT_EQ(writer.SetComment(title), 1);
        EXPECT_EQ(writer.SetAuthor(title + "a"), 0);
        ASSERT_EQ(writer.Write(path), 1);
        EXPECT_TRUE(ReadersAgree(path));

        ZAV_SDK_PACK kit;
        ASSERT_EQ(kit.OpenLayout(path.c_str()), ZAV_OK);
        LayoutHeaderRecord header;
        ASSERT_EQ(kit.GetLayoutHeader(&header), ZAV_OK);
        EXPECT_EQ(ShiftJisToUtf8(header.title).value_or(""), title);
        EXPECT_EQ(ShiftJisToUtf8(header.comment).value_or(""), title);
    }
}

} // namespace
