// Every paper, direction and margin mode the new-layout wizard offers, roll
// papers at their shortest, default and longest lengths: saved as a layout
// script and as an editor document, each reopens without a message, saves
// again byte for byte, and reads the same through the frame-file kit.
#include "App/DocumentBuildMessages.h"
#include "App/support/FileKindsFakes.h"
#include "Core/LocalizeScript.h"
#include "Core/PaperRules.h"
#include "FrameKit/compare/ReadersAgree.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LineItem.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct PaperMode
{
    int paper;
    std::string name;
    int direction;
    int margin;
    int rollLength; // 0 for cut papers
};

// What the wizard's paper page offers: each paper of the localisation file,
// both directions, each margin mode the editor offers on it. Whatever is
// offered must be one the layout files carry.
std::vector<PaperMode> OfferedModes(const std::string& localizeIni)
{
    const CLocalizeScript script(localizeIni);
    std::vector<PaperSizeEntry> papers;
    EXPECT_TRUE(script.GetPaperSizeString(papers));
    std::vector<PaperMode> modes;
    for (const PaperSizeEntry& entry : papers) {
        for (int margin = 0; margin < kMarginModeCount; ++margin) {
            if (!IsPaperOffered(entry.name, entry.paperId, margin))
                continue;
            EXPECT_TRUE(IsMarginModeAccepted(margin, entry.paperId)) << entry.name << " margin " << margin;
            std::vector<int> lengths{0};
            if (IsScriptRollPaper(entry.paperId)) {
                int standard = 0;
                EXPECT_TRUE(script.GetDefaultRollPaperLength(entry.paperId, standard)) << entry.name;
                lengths = {kMinRollLength, standard, kMaxRollLength};
            }
            for (const int direction : {0, 1})
                for (const int length : lengths)
                    modes.push_back({entry.paperId, entry.name, direction, margin, length});
        }
    }
    return modes;
}

void MakePage(CZAVEditorDoc& doc)
{
    CLayoutManager& layout = *doc.GetLayoutManager();
    const RECT p = layout.GetPrintableRect();
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetFrameNumber(1);
    frame->SetRect(RECT{p.left + 10, p.top + 10, p.left + 200, p.top + 150});
    ASSERT_TRUE(layout.AddItem(0, std::move(frame)));
    auto line = std::make_unique<CLineItem>();
    line->SetWidth(3);
    line->SetColor(RGB(1, 2, 3));
    line->SetRect(RECT{p.left + 10, p.top + 180, p.left + 200, p.top + 180});
    ASSERT_TRUE(layout.AddItem(0, std::move(line)));
}

TEST(PaperModeRoundTripTest, EveryOfferedPaperModeReopensAndSavesByteForByte)
{
    RealKindsFixture f;
    const std::vector<PaperMode> modes = OfferedModes(f.base.host.localizeIniPath);
    // Every paper of the list is offered in some mode, roll papers included.
    ASSERT_GE(modes.size(), 23u * 2u);
    int index = 0;
    for (const PaperMode& m : modes) {
        SCOPED_TRACE(testing::Message() << m.name << " direction " << m.direction << " margin " << m.margin
                                        << " length " << m.rollLength);
        for (const char* kind : {".usd", ".zvd"}) {
            SCOPED_TRACE(kind);
            const bool script = std::string(kind) == ".usd";
            ASSERT_TRUE(f.Doc().NewSingleLayout(m.paper, m.direction, m.margin));
            if (m.rollLength != 0) {
                ASSERT_EQ(f.Doc().SetLayoutPaper(m.paper, m.direction, m.margin, m.rollLength, false), 1);
            }
            MakePage(f.Doc());
            const std::string folder = f.Work() + "/mode" + std::to_string(index++);
            const std::string path = folder + "/page" + kind;
            ASSERT_EQ(script ? f.Doc().SaveUsdLayout(path, 0) : f.Doc().SaveZvdDocument(path), 0);
            const std::map<std::string, std::string> first = ReadTree(folder);
            EXPECT_TRUE(ReadersAgree(path));

            f.view.messages.clear();
            f.Doc().ResetLayout();
            ASSERT_EQ(script ? f.Doc().LoadUsdLayout(path) : f.Doc().LoadZvdDocument(path), 1);
            EXPECT_TRUE(f.view.messages.empty());
            const CLayoutManager& layout = f.Layout();
            EXPECT_EQ(layout.GetPaperSizeIndex(), m.paper);
            EXPECT_EQ(layout.GetOrientation(), m.direction);
            EXPECT_EQ(layout.GetPaperMode(), m.margin);
            if (m.rollLength != 0) {
                EXPECT_EQ(layout.GetRollLength(), m.rollLength);
            }
            EXPECT_EQ(layout.GetItemCount(-1, -1, nullptr), 2);
            ASSERT_EQ(script ? f.Doc().SaveUsdLayout(path, 0) : f.Doc().SaveZvdDocument(path), 0);
            EXPECT_EQ(ReadTree(folder), first);
        }
    }
}

} // namespace
