#include "Core/FolderBrowser.h"

#include "Core/SystemFolders.h"
#include "Core/support/ScratchFolder.h"
#include "Platform/ShiftJis.h"

#include <gtest/gtest.h>

namespace {

class FakeChooser : public IFolderChooser
{
public:
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& initialFolder) override
    {
        askedTitle = title;
        askedInitial = initialFolder;
        return answer;
    }
    std::optional<std::string> answer;
    std::string askedTitle, askedInitial;
};

} // namespace

TEST(FolderBrowser, TitledWithCaption232AndStartingWhereAsked)
{
    ScratchFolder scratch;
    const std::string ini =
        scratch.Write("Localize.ini", Utf8ToShiftJis("[Caption]\n232=フォルダの選択\n").value());
    FakeChooser chooser;
    chooser.answer = "/chosen";
    EXPECT_EQ(BrowseForFolder(chooser, ini, "/start/here"), "/chosen");
    EXPECT_EQ(chooser.askedTitle, "フォルダの選択");
    EXPECT_EQ(chooser.askedInitial, "/start/here");

    chooser.answer.reset(); // cancelled: the folder it opened on
    EXPECT_EQ(BrowseForFolder(chooser, ini, "/start/here"), "/start/here");
}

TEST(FolderBrowser, WithoutAStartFolderOpensOnTheDocuments)
{
    FakeChooser chooser;
    std::string docs = GetMyDocumentsFolder();
    docs.pop_back();
    EXPECT_EQ(BrowseForFolder(chooser, "/no/such/Localize.ini", ""), docs);
    EXPECT_EQ(chooser.askedInitial, docs);
    EXPECT_EQ(chooser.askedTitle, "");
}
