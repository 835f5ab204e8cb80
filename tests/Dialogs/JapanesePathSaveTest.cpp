// A path's length limits count the bytes of its Shift-JIS form, whichever way
// the layout is saved: a path of Japanese folder names 200 bytes long there
// saves, one of 243 is refused, on every save path the editor has.
#include "App/ZAVEditorDoc.h"
#include "App/support/JapanesePaths.h"
#include "Core/Path.h"
#include "Dialogs/SCRegistDialog.h"
#include "Dialogs/SaveAsPackagedZAVDialog.h"
#include "Dialogs/support/SaveDialogFixture.h"
#include "Platform/FolderChooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

class OneFolder : public IFolderChooser
{
public:
    explicit OneFolder(std::string folder) : m_folder(std::move(folder)) {}
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override
    {
        return m_folder;
    }

private:
    std::string m_folder;
};

struct SavePath
{
    const char* what;
    // Saves the layout at a path whose folder makes the target `bytes` long;
    // gives the target.
    std::function<std::string(SaveDialogFixture&, std::size_t bytes)> save;
};

std::string Root(SaveDialogFixture& s, const char* kind)
{
    return s.f.Work() + "/" + kind;
}

const SavePath kSavePaths[] = {
    {"editor document, in place",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string target = JapaneseFolder(Root(s, "zvd"), bytes, "/LAY.zvd") + "/LAY.zvd";
         s.MakePhotoLayout(target);
         s.Doc().DoSave(target, true);
         return target;
     }},
    {"editor document, chosen",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string target = JapaneseFolder(Root(s, "zvdas"), bytes, "/LAY.zvd") + "/LAY.zvd";
         s.MakePhotoLayout();
         s.f.ui.chosenPaths = {target};
         s.Doc().SaveAs(".zvd", std::string(), true);
         return target;
     }},
    {"layout script, in place",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string target = JapaneseFolder(Root(s, "usd"), bytes, "/LAY.usd") + "/LAY.usd";
         s.MakePhotoLayout(target);
         s.Doc().DoSave(target, true);
         return target;
     }},
    {"camera set, in place",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string target = JapaneseFolder(Root(s, "usm"), bytes, "/PARTY1_0.usm") + "/PARTY1_0.usm";
         s.MakeCameraLayout(target);
         s.Doc().DoSave(target, true);
         return target;
     }},
    {"packaged frame file",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string folder = JapaneseFolder(Root(s, "fdp"), bytes, "/LAY.fdp");
         s.MakePhotoLayout();
         OneFolder chooser(folder);
         CSaveAsPackagedZAVDialog dialog(s.shell);
         dialog.SetFolderChooser(&chooser);
         dialog.show();
         dialog.SelectFolderButton()->click();
         dialog.NameEdit()->setText(QStringLiteral("LAY"));
         dialog.OkButton()->click();
         return folder + "/LAY.fdp";
     }},
    {"registration in the shared folder",
     [](SaveDialogFixture& s, std::size_t bytes) {
         s.services.udlFolder = JapaneseFolder(Root(s, "udl"), bytes, "/LAY.usd");
         s.MakePhotoLayout();
         CSCRegistDialog dialog(s.shell, 0);
         dialog.show();
         dialog.NameEdit()->setText(QStringLiteral("LAY"));
         dialog.accept();
         return s.services.udlFolder + "/LAY.usd";
     }},
    {"registration on a card",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string card = JapaneseFolder(Root(s, "card"), bytes, "/VLUDL/LAY.usd");
         s.shell.cardRoots = {card + "/"};
         s.MakePhotoLayout();
         CSCRegistDialog dialog(s.shell, 1);
         dialog.show();
         dialog.NameEdit()->setText(QStringLiteral("LAY"));
         dialog.accept();
         return card + "/VLUDL/LAY.usd";
     }},
    {"camera registration on a card",
     [](SaveDialogFixture& s, std::size_t bytes) {
         const std::string card = JapaneseFolder(Root(s, "dsc"), bytes, "/VLUDL/PARTY1_0.usm");
         s.shell.cardRoots = {card + "/"};
         s.MakeCameraLayout();
         CSCRegistDialog dialog(s.shell, 2);
         dialog.show();
         dialog.NameEdit()->setText(QStringLiteral("PARTY1"));
         dialog.accept();
         return card + "/VLUDL/PARTY1_0.usm";
     }},
};

TEST(JapanesePathSaveTest, TwoHundredShiftJisBytesSaveOnEveryPath)
{
    for (const SavePath& path : kSavePaths) {
        SCOPED_TRACE(path.what);
        SaveDialogFixture s;
        const std::string target = path.save(s, 200);
        ASSERT_EQ(s.Saves().size(), 1u);
        EXPECT_NE(s.Saves()[0].find(target), std::string::npos) << s.Saves()[0];
        EXPECT_TRUE(s.ShellMessages().empty());
        EXPECT_TRUE(s.f.MessageIds().empty());
    }
}

TEST(JapanesePathSaveTest, TwoHundredFortyThreeShiftJisBytesAreRefusedOnEveryPath)
{
    for (const SavePath& path : kSavePaths) {
        SCOPED_TRACE(path.what);
        SaveDialogFixture s;
        const std::string target = path.save(s, kMaxSavedPathBytes);
        EXPECT_EQ(PathShiftJisBytes(target), kMaxSavedPathBytes);
        EXPECT_TRUE(s.Saves().empty());
        // One refusal, text 21, through the shell or the document.
        std::vector<int> shown = s.ShellMessages();
        for (const int id : s.f.MessageIds())
            shown.push_back(id);
        EXPECT_EQ(shown, std::vector<int>{21});
    }
}

} // namespace
