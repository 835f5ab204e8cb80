// The save-file dialog opens in a folder that exists and answers with a path
// that does not depend on the process's current folder.
#include "App/SaveDialogStart.h"
#include "App/support/AppTestSupport.h"
#include "App/support/StandInDocumentUi.h"
#include "Core/support/ScopedEnv.h"
#include "Core/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <filesystem>

namespace {

class SaveDialogStartTest : public ::testing::Test
{
protected:
    SaveDialogStartTest() { EnsureApp(); }
    ScratchFolder scratch;
    ScopedEnv home{"HOME", scratch.Path()};
    ScopedEnv config{"XDG_CONFIG_HOME", scratch / "config"};
};

TEST_F(SaveDialogStartTest, TheDialogOpensInAFolderThatExists)
{
    std::filesystem::create_directories(scratch / "layouts");
    struct Case
    {
        std::string proposal;
        std::string folder;
        std::string name;
    };
    const Case cases[] = {
        {scratch / "layouts/Card.zvd", scratch / "layouts", "Card.zvd"},
        {scratch / "gone/deeper/Card.zvd", scratch / "Documents", "Card.zvd"},
        {"Card.zvd", scratch / "Documents", "Card.zvd"},
        {"sub/Card.zvd", scratch / "Documents", "Card.zvd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proposal);
        const SaveDialogStart start = StartOfSaveDialog(c.proposal);
        EXPECT_EQ(start.folder, c.folder);
        EXPECT_EQ(start.name, c.name);
        EXPECT_TRUE(std::filesystem::is_directory(start.folder));
    }
    EXPECT_EQ(AbsoluteChosenPath("/a/b.zvd", "/c"), "/a/b.zvd");
    EXPECT_EQ(AbsoluteChosenPath("b.zvd", "/c"), "/c/b.zvd");
    EXPECT_EQ(AbsoluteChosenPath("d/../b.zvd", "/c"), "/c/b.zvd");
}

TEST_F(SaveDialogStartTest, AProposalInAMissingFolderIsAnsweredInTheDocumentsFolder)
{
    // The process's current folder is elsewhere, as a source checkout would be.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::create_directories(scratch / "cwd");
    std::filesystem::current_path(scratch / "cwd");
    QString shownFolder;
    QTimer::singleShot(0, [&shownFolder] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownFolder = dialog->directory().absolutePath();
        static_cast<QDialog*>(dialog)->accept();
    });
    StandInDocumentUi ui;
    const auto chosen =
        ui.RunSaveFileDialog(nullptr, "Save", "Layouts (*.zvd)", scratch / "Documents/Card.zvd");
    std::filesystem::current_path(before);
    EXPECT_EQ(shownFolder.toStdString(), scratch / "Documents");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, scratch / "Documents/Card.zvd");
}

} // namespace
