#include "App/support/DocumentFakes.h"

#include "Core/Files.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

void MakeReadOnly(const std::string& path)
{
    QFile::setPermissions(QString::fromStdString(path), QFileDevice::ReadOwner | QFileDevice::ReadUser);
}

class DocumentSaveTest : public ::testing::Test
{
protected:
    DocumentFixture f;
    CZAVEditorDoc& doc = *f.document;
};

TEST_F(DocumentSaveTest, TheWriterIsChosenByTheExtensionAndSuccessHeadsTheRecentList)
{
    doc.SetModifiedFlag(1);
    const std::string path = f.Work() + "/a.ZVD";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(f.kinds.calls, std::vector<std::string>{"save zvd " + path});
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(f.host.settings.RecentFiles().Entries().front(), path);
    for (const char* kind : {"usd", "fdp", "usm"}) {
        f.kinds.calls.clear();
        const std::string other = f.Work() + "/b." + kind;
        EXPECT_TRUE(doc.OnSaveDocument(other));
        EXPECT_EQ(f.kinds.calls, std::vector<std::string>{std::string("save ") + kind + " " + other});
    }
    EXPECT_TRUE(f.recorder.messages.empty());
}

TEST_F(DocumentSaveTest, FailuresShowTheirMessage)
{
    struct Case
    {
        std::string name;
        bool readOnly;
        int writerResult;
        int message;
    };
    const Case cases[] = {
        {"r1.zvd", true, 0, 180}, {"r2.fdp", true, 0, 180},  {"r3.usd", true, 0, 198},
        {"r4.usm", true, 0, 198}, {"w1.zvd", false, 2, 245}, {"w2.usd", false, 1, 23},
        {"w3.fdp", false, 3, 23}, {"w4.txt", false, 0, 23},
    };
    for (const Case& c : cases) {
        f.recorder.messages.clear();
        f.kinds.calls.clear();
        f.kinds.saveResult = c.writerResult;
        std::string path = f.Work() + "/" + c.name;
        if (c.readOnly) {
            path = f.MakeFile(c.name);
            MakeReadOnly(path);
        }
        f.host.settings.RecentFiles().AddRecentFile(path);
        doc.SetModifiedFlag(1);
        EXPECT_FALSE(doc.OnSaveDocument(path)) << c.name;
        EXPECT_EQ(f.MessageIds(), std::vector<int>{c.message}) << c.name;
        EXPECT_EQ(f.kinds.calls.empty(), c.readOnly || c.name == "w4.txt") << c.name;
        EXPECT_TRUE(doc.IsModified());
        EXPECT_TRUE(f.host.settings.RecentFiles().Entries().empty()) << c.name;
    }
}

TEST_F(DocumentSaveTest, AReadOnlyFileInTheCompanionFolderRefusesTheSave)
{
    const std::string image = f.MakeFile("lay/Image001.jpg");
    MakeReadOnly(image);
    EXPECT_FALSE(doc.OnSaveDocument(f.Work() + "/lay.usd"));
    EXPECT_EQ(f.MessageIds(), std::vector<int>{198});
}

TEST_F(DocumentSaveTest, ACompanionFolderThatCannotBeWrittenRefusesTheSaveBeforeAnythingIsWritten)
{
    struct Case
    {
        const char* name;
        const char* readOnly; // the folder made read-only, below the work folder
        int text;
    } cases[] = {
        {"lay.zvd", "lay", 180},
        {"lay.usd", "lay", 198},
        {"deep.usd", "deep/sub", 198},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = f.Work() + "/" + c.name;
        const std::string companion = path.substr(0, path.size() - 4);
        f.MakeFile(companion.substr(f.Work().size() + 1) + "/sub/Image001.jpg");
        f.MakeFile(companion.substr(f.Work().size() + 1) + "/THUMB.USF");
        const std::string folder = f.Work() + "/" + c.readOnly;
        QFile::setPermissions(QString::fromStdString(folder), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                                  QFileDevice::ReadUser |
                                                                  QFileDevice::ExeUser);
        f.kinds.calls.clear();
        f.recorder.messages.clear();
        EXPECT_FALSE(doc.OnSaveDocument(path));
        EXPECT_EQ(f.MessageIds(), std::vector<int>{c.text});
        EXPECT_TRUE(f.kinds.calls.empty());
        EXPECT_FALSE(IsFile(path));
        QFile::setPermissions(QString::fromStdString(folder),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

TEST_F(DocumentSaveTest, FileSaveOfANewLayoutOrOfAnEmptyLayoutScriptRunsTheSaveDialog)
{
    f.ui.saveDialogEnd = kSaveDialogNoSave;
    EXPECT_EQ(doc.DoSave(std::string(), true), kSaveDialogNoSave);
    EXPECT_EQ(f.ui.saveDialogForms, std::vector<int>{0});

    const std::string usd = f.MakeFile("a.usd");
    ASSERT_TRUE(doc.OnOpenDocument(usd));
    auto line = std::make_unique<CLineItem>();
    line->SetVisible(false);
    doc.GetLayoutManager()->AddItem(0, std::move(line));
    doc.OnCommand(57603);
    EXPECT_EQ(f.ui.saveDialogForms, (std::vector<int>{0, 0}));
    EXPECT_TRUE(std::none_of(f.kinds.calls.begin(), f.kinds.calls.end(),
                             [](const std::string& call) { return call.rfind("save", 0) == 0; }));
}

TEST_F(DocumentSaveTest, FileSaveOfALayoutScriptWithItemsChecksAndWritesInPlace)
{
    const std::string usd = f.MakeFile("a.usd");
    ASSERT_TRUE(doc.OnOpenDocument(usd));
    ASSERT_TRUE(doc.SetTitle("title"));
    doc.GetLayoutManager()->AddItem(0, std::make_unique<CBackgroundImageFrameItem>());
    doc.SetModifiedFlag(1);
    f.kinds.calls.clear();
    EXPECT_EQ(doc.DoSave(std::string(), true), 1);
    EXPECT_EQ(f.kinds.calls, std::vector<std::string>{"save usd " + usd});
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(f.ui.saveDialogForms.empty());
}

TEST_F(DocumentSaveTest, SaveAsProposesTheDocumentsFolderText173AndZvd)
{
    f.ui.chosenPaths = {f.Work() + "/abc.zvd. "};
    ASSERT_TRUE(doc.SaveAs(".zvd", std::string(), true));
    ASSERT_EQ(f.ui.proposals.size(), 1u);
    EXPECT_EQ(f.ui.proposals[0], f.host.documentsFolder + ShippedCaption(173).toStdString() + ".zvd");
    EXPECT_EQ(f.ui.lastTitle, ShippedCaption(215).toStdString());
    EXPECT_EQ(f.ui.lastFilter, ShippedCaption(163).toStdString() + " (*.zvd)");
    EXPECT_EQ(f.kinds.calls.back(), "save zvd " + f.Work() + "/abc.zvd");
    EXPECT_EQ(doc.GetPathName(), f.Work() + "/abc.zvd");
    EXPECT_TRUE(doc.SaveAs(".zvd", doc.GetPathName(), true)); // in place: no dialog
    EXPECT_EQ(f.ui.proposals.size(), 1u);
    EXPECT_FALSE(doc.SaveAs(".usd", doc.GetPathName(), true));

    // A layout script's own folder, with the default name.
    const std::string usd = f.MakeFile("sub/a.usd");
    ASSERT_TRUE(doc.OnOpenDocument(usd));
    EXPECT_FALSE(doc.SaveAs(".zvd", usd, true));
    EXPECT_EQ(f.ui.proposals.back(), f.Work() + "/sub/" + ShippedCaption(173).toStdString() + ".zvd");
}

TEST_F(DocumentSaveTest, NoSaveWritesIntoTheProcesssCurrentFolder)
{
    // A name the dialog answered without its folder lies in the offered folder.
    f.ui.chosenPaths = {"answer.zvd"};
    ASSERT_TRUE(doc.SaveAs(".zvd", std::string(), true));
    EXPECT_EQ(f.kinds.calls.back(), "save zvd " + f.host.documentsFolder + "answer.zvd");
    EXPECT_EQ(doc.GetPathName(), f.host.documentsFolder + "answer.zvd");

    // A document named without its folder is asked for a name again, on
    // File > Save and on a save as under its own name.
    for (const char* name : {"plain.zvd", "plain.usd"}) {
        SCOPED_TRACE(name);
        doc.GetLayoutManager()->AddItem(0, std::make_unique<CLineItem>());
        doc.SetPathName(name);
        f.kinds.calls.clear();
        f.ui.saveDialogForms.clear();
        f.ui.saveDialogEnd = kSaveDialogNoSave;
        EXPECT_EQ(doc.DoSave(std::string(), true), kSaveDialogNoSave);
        EXPECT_EQ(f.ui.saveDialogForms, std::vector<int>{0});
        EXPECT_TRUE(f.kinds.calls.empty());
    }
    doc.SetPathName("plain.zvd");
    f.ui.proposals.clear();
    f.ui.chosenPaths = {f.Work() + "/given.zvd"};
    ASSERT_TRUE(doc.SaveAs(".zvd", "plain.zvd", true));
    ASSERT_EQ(f.ui.proposals.size(), 1u);
    EXPECT_EQ(f.ui.proposals[0], f.host.documentsFolder + "plain.zvd");
    EXPECT_EQ(f.kinds.calls, std::vector<std::string>{"save zvd " + f.Work() + "/given.zvd"});
}

TEST_F(DocumentSaveTest, SaveAsAsksAgainOnARefusalAndGivesUpOnMissingRights)
{
    f.MakeFile("taken.zvd");
    const std::string taken = f.Work() + "/taken.zvd";
    doc.SetTargetAccessTest([&](const std::string& path, std::uint32_t) { return path != taken; });
    // ".zvd" alone is a name beginning with a dot: code 2, asked again.
    f.ui.chosenPaths = {f.Work() + "/.zvd", taken, f.Work() + "/never.zvd"};
    EXPECT_FALSE(doc.SaveAs(".zvd", std::string(), true));
    EXPECT_EQ(f.ui.proposals.size(), 2u);
    EXPECT_EQ(f.ui.proposals[0], f.ui.proposals[1]);
    EXPECT_EQ(f.MessageIds(), (std::vector<int>{21, 23}));
    EXPECT_TRUE(f.kinds.calls.empty());
}

TEST_F(DocumentSaveTest, SaveModifiedAsksOnlyForAModifiedLayout)
{
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(f.ui.saveDialogForms.empty());
    doc.SetModifiedFlag(1);
    f.ui.saveDialogEnd = kSaveDialogCancel;
    EXPECT_FALSE(doc.SaveModified());
    f.ui.saveDialogEnd = kSaveDialogNoSave;
    EXPECT_TRUE(doc.SaveModified());
    f.ui.saveDialogEnd = kSaveDialogSaved;
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(f.ui.saveDialogForms, (std::vector<int>{1, 1, 1}));
}

TEST_F(DocumentSaveTest, CheckSavableRefusesWhatCannotBeSaved)
{
    // A camera layout without its frame, even with another item.
    doc.NewDSCLayout(0);
    doc.GetLayoutManager()->DeleteAllItems();
    doc.GetLayoutManager()->AddItem(0, std::make_unique<CBackgroundImageFrameItem>());
    EXPECT_FALSE(doc.CheckSavable());
    EXPECT_EQ(f.MessageIds(), std::vector<int>{10});

    // More than 20 visible items across one print line.
    f.recorder.messages.clear();
    doc.NewSingleLayout(3, 0, 0);
    for (int i = 0; i < 21; ++i) {
        auto frame = std::make_unique<CBackgroundImageFrameItem>();
        frame->SetRect(RECT{10, 10, 300, 300});
        doc.GetLayoutManager()->AddItem(0, std::move(frame));
    }
    EXPECT_FALSE(doc.CheckSavable());
    EXPECT_EQ(f.MessageIds(), std::vector<int>{165});

    // A text that no scale brings between 160 and 4095 units a side.
    f.recorder.messages.clear();
    doc.NewSingleLayout(3, 0, 0);
    auto text = std::make_unique<CStringItem>();
    text->SetRect(RECT{10, 10, 11, 110});
    doc.GetLayoutManager()->AddItem(0, std::move(text));
    EXPECT_FALSE(doc.CheckSavable());
    EXPECT_EQ(f.MessageIds(), std::vector<int>{8});

    // An empty title runs the header dialog; its Cancel refuses silently.
    f.recorder.messages.clear();
    doc.NewSingleLayout(3, 0, 0);
    f.ui.headerDialogAccepts = false;
    EXPECT_FALSE(doc.CheckSavable());
    f.ui.headerDialogAccepts = true;
    EXPECT_TRUE(doc.CheckSavable());
    EXPECT_EQ(f.ui.headerDialogRuns, 2);
    ASSERT_TRUE(doc.SetTitle("t"));
    EXPECT_TRUE(doc.CheckSavable());
    EXPECT_EQ(f.ui.headerDialogRuns, 2);
    EXPECT_TRUE(f.recorder.messages.empty());
}

} // namespace
