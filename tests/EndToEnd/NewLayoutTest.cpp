// A new layout drawn in the program and saved as the editor document opens
// in a fresh program as it was drawn.
#include "App/ZAVEditorDoc.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"

namespace {

using NewLayoutTest = ProgramTest;

TEST_F(NewLayoutTest, APostcardWithALineSavedAsTheEditorDocumentOpensInAFreshProgram)
{
    StartProgram();
    NewPostcardLayout(*this);
    DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
    ASSERT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u);
    ASSERT_TRUE(Document().IsModified());
    RECT drawn;
    ItemsOf<CLineItem>(Layout()).front()->GetRect(&drawn, false);

    const std::string path = SaveLayout(*this, SaveTarget::EditorDocument, "postcard");
    ASSERT_FALSE(path.empty());
    ASSERT_FALSE(SavedFiles().empty());
    EXPECT_EQ(SavedFiles().back().path, path);

    StartProgram(path);
    EXPECT_EQ(Document().GetPathName(), path);
    EXPECT_EQ(Layout().GetPaperSizeIndex(), 0);
    const std::vector<const CLineItem*> lines = ItemsOf<CLineItem>(Layout());
    ASSERT_EQ(lines.size(), 1u);
    RECT reopened;
    lines.front()->GetRect(&reopened, false);
    EXPECT_EQ(reopened.left, drawn.left);
    EXPECT_EQ(reopened.top, drawn.top);
    EXPECT_EQ(reopened.right, drawn.right);
    EXPECT_EQ(reopened.bottom, drawn.bottom);
    EXPECT_FALSE(Document().IsModified());
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
}

} // namespace
