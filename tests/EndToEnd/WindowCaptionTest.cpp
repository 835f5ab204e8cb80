// The main window's caption names the layout and the program, and marks
// unsaved changes, through every step that replaces, changes or saves it.
#include "App/MainFrame.h"
#include "App/ZAVEditorDoc.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"

namespace {

class WindowCaptionTest : public ProgramTest
{
protected:
    // The caption as the window manager shows it: Qt puts the modified marker
    // where the title holds "[*]".
    QString ShownCaption()
    {
        QString title = Frame().windowTitle();
        return title.replace(QStringLiteral("[*]"),
                             Frame().isWindowModified() ? QStringLiteral("*") : QString());
    }
    static QString Caption(const QString& name, bool modified)
    {
        return name + (modified ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") +
               ShippedCaption(161);
    }
};

TEST_F(WindowCaptionTest, NamesTheLayoutAndMarksUnsavedChangesThroughNewChangeSaveSaveAsAndOpen)
{
    const QString untitled = ShippedCaption(173);
    ASSERT_FALSE(untitled.isEmpty());
    StartProgram();
    EXPECT_EQ(ShownCaption(), Caption(untitled, false)) << "at start";

    NewPostcardLayout(*this);
    EXPECT_EQ(ShownCaption(), Caption(untitled, false)) << "after File > New";
    DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
    ASSERT_TRUE(Document().IsModified());
    EXPECT_EQ(ShownCaption(), Caption(untitled, true)) << "after a change";

    const std::string first = SaveLayout(*this, SaveTarget::EditorDocument, "caption");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(ShownCaption(), Caption(QStringLiteral("caption.zvd"), false)) << "after the save";
    DrawLine(*this, 0.3, 0.7, 0.6, 0.3);
    EXPECT_EQ(ShownCaption(), Caption(QStringLiteral("caption.zvd"), true)) << "after another change";
    ASSERT_FALSE(SaveLayout(*this, SaveTarget::InPlace, std::string()).empty());
    EXPECT_EQ(ShownCaption(), Caption(QStringLiteral("caption.zvd"), false)) << "after File > Save";

    DrawLine(*this, 0.1, 0.5, 0.9, 0.5);
    const std::string second = SaveLayout(*this, SaveTarget::EditorDocument, "caption-copy");
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(ShownCaption(), Caption(QStringLiteral("caption-copy.zvd"), false)) << "after Save as";

    Drop(first, [&] { return Document().GetPathName() == first; });
    EXPECT_EQ(ShownCaption(), Caption(QStringLiteral("caption.zvd"), false)) << "after opening";

    NewPostcardLayout(*this);
    EXPECT_EQ(ShownCaption(), Caption(untitled, false)) << "after File > New over a saved layout";

    // A fresh start on the file shows its name at once.
    StartProgram(second);
    EXPECT_EQ(ShownCaption(), Caption(QStringLiteral("caption-copy.zvd"), false))
        << "opened from the command line";
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
}

} // namespace
