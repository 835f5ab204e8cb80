// The layout folders as the document's save steps see them: the shared
// folder while the photo-printing application runs, the three folders no
// editor document or package is written into, the common folder that a save
// in place leaves for the dialog, and the documents folder that a save-as
// proposal moves to. Each folder and each condition is set alone.
#include "App/support/DocumentFakes.h"

#include "App/SaveChecks.h"
#include "Layout/BackgroundImageFrameItem.h"

#include <gtest/gtest.h>

#include <QDir>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kAppRunningText = 194;
constexpr int kForeignFolderText = 167;

enum class Folder { None, Config, Shared, Common };

const char* FolderName(Folder folder)
{
    switch (folder) {
    case Folder::Config:
        return "config";
    case Folder::Shared:
        return "udl";
    case Folder::Common:
        return "common";
    default:
        return "plain";
    }
}

class LayoutFolderRulesTest : public ::testing::Test
{
protected:
    LayoutFolderRulesTest()
    {
        for (const Folder folder : {Folder::None, Folder::Config, Folder::Shared, Folder::Common})
            QDir().mkpath(QString::fromStdString(In(folder)));
        f.services.configFolder = In(Folder::Config);
        f.services.udlFolder = In(Folder::Shared);
        f.services.commonUdlFolder = In(Folder::Common);
        f.services.siblingPath = "/opt/print/print";
        f.services.siblingRunning = true;
    }

    std::string In(Folder folder) const { return f.Work() + "/" + FolderName(folder); }

    // The destination check of a layout of the kind the extension names.
    int Check(const std::string& ext, Folder folder, const std::string& name = "LAYOUT1")
    {
        f.recorder.messages.clear();
        if (ext == ".usm")
            f.document->NewDSCLayout(0);
        else
            f.document->NewSingleLayout(3, 0, 0);
        return f.document->CheckSaveDestination(ext, In(folder) + "/" + name + ext, 0);
    }

    std::vector<std::string> Saves() const
    {
        std::vector<std::string> saves;
        for (const std::string& call : f.kinds.calls)
            if (call.rfind("save", 0) == 0)
                saves.push_back(call);
        return saves;
    }

    DocumentFixture f;
};

TEST_F(LayoutFolderRulesTest, TheSharedFolderIsRefusedToTheLayoutKindsWhileThePrintingApplicationRuns)
{
    for (const char* ext : {".usd", ".usm"}) {
        SCOPED_TRACE(ext);
        const std::string name = std::string(ext) == ".usm" ? "PARTY1_0" : "LAYOUT1";
        EXPECT_EQ(Check(ext, Folder::Shared, name), SaveDestinationAppRunning);
        EXPECT_EQ(f.MessageIds(), std::vector<int>{kAppRunningText});
        EXPECT_EQ(Check(ext, Folder::None, name), SaveDestinationOk);
        EXPECT_TRUE(f.MessageIds().empty());
    }
}

TEST_F(LayoutFolderRulesTest, EachConditionOfTheRunningApplicationRuleAloneLetsTheSaveThrough)
{
    struct Case
    {
        const char* name;
        std::function<void(FakeServices&)> change;
    };
    const Case cases[] = {
        {"not running", [](FakeServices& s) { s.siblingRunning = false; }},
        {"not installed", [](FakeServices& s) { s.siblingPath.clear(); }},
        {"installed without a path",
         [](FakeServices& s) {
             s.siblingPath.clear();
             s.siblingPathResult = 1;
         }},
        {"a path but not found", [](FakeServices& s) { s.siblingPathResult = 0; }},
        {"another folder", [](FakeServices& s) { s.udlFolder += "-elsewhere"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FakeServices saved = f.services;
        c.change(f.services);
        EXPECT_EQ(Check(".usd", Folder::Shared), SaveDestinationOk);
        EXPECT_TRUE(f.MessageIds().empty());
        static_cast<FakeServices&>(f.services) = saved;
    }
    // Every answer restored: refused again.
    EXPECT_EQ(Check(".usd", Folder::Shared), SaveDestinationAppRunning);
}

TEST_F(LayoutFolderRulesTest, TheRunningApplicationRuleIsForTheLayoutKindsOnly)
{
    // The editor document and the package meet the foreign-folder rule there instead.
    for (const char* ext : {".zvd", ".fdp"}) {
        SCOPED_TRACE(ext);
        EXPECT_EQ(Check(ext, Folder::Shared), SaveDestinationForeignFolder);
        EXPECT_EQ(f.MessageIds(), std::vector<int>{kForeignFolderText});
    }
}

TEST_F(LayoutFolderRulesTest, EachLayoutFolderAloneRefusesTheEditorDocumentAndThePackage)
{
    f.services.siblingRunning = false;
    for (const char* ext : {".zvd", ".fdp"})
        for (const Folder folder : {Folder::Config, Folder::Shared, Folder::Common}) {
            SCOPED_TRACE(std::string(ext) + " in " + FolderName(folder));
            // Only this folder is a layout folder.
            f.services.configFolder = folder == Folder::Config ? In(folder) : std::string();
            f.services.udlFolder = folder == Folder::Shared ? In(folder) : std::string();
            f.services.commonUdlFolder = folder == Folder::Common ? In(folder) : std::string();
            EXPECT_EQ(Check(ext, folder), SaveDestinationForeignFolder);
            EXPECT_EQ(f.MessageIds(), std::vector<int>{kForeignFolderText});
            EXPECT_EQ(Check(ext, Folder::None), SaveDestinationOk);
        }
    // The layout kinds are written into the layout folders.
    for (const Folder folder : {Folder::Config, Folder::Shared, Folder::Common}) {
        f.services.configFolder = In(Folder::Config);
        f.services.udlFolder = In(Folder::Shared);
        f.services.commonUdlFolder = In(Folder::Common);
        EXPECT_EQ(Check(".usd", folder), SaveDestinationOk) << FolderName(folder);
    }
}

TEST_F(LayoutFolderRulesTest, SaveInPlaceOfALayoutOfTheCommonFolderAsksForANewPlace)
{
    f.services.siblingRunning = false;
    f.ui.saveDialogEnd = kSaveDialogNoSave;
    CZAVEditorDoc& doc = *f.document;
    for (const char* ext : {".zvd", ".usd"})
        for (const Folder folder : {Folder::Common, Folder::None}) {
            SCOPED_TRACE(std::string(ext) + " in " + FolderName(folder));
            const std::string path = f.MakeFile(std::string(FolderName(folder)) + "/LAYOUT1" + ext);
            ASSERT_TRUE(doc.OnOpenDocument(path));
            ASSERT_TRUE(doc.SetTitle("title"));
            doc.GetLayoutManager()->AddItem(0, std::make_unique<CBackgroundImageFrameItem>());
            f.kinds.calls.clear();
            f.ui.saveDialogForms.clear();
            doc.DoSave(std::string(), true);
            if (folder == Folder::Common) {
                EXPECT_EQ(f.ui.saveDialogForms, std::vector<int>{0});
                EXPECT_TRUE(Saves().empty());
            } else {
                EXPECT_TRUE(f.ui.saveDialogForms.empty());
                EXPECT_EQ(Saves(), std::vector<std::string>{"save " + std::string(ext + 1) + " " + path});
            }
        }
}

TEST_F(LayoutFolderRulesTest, SaveAsProposesTheDocumentsFolderForALayoutOfEachLayoutFolder)
{
    f.services.siblingRunning = false;
    CZAVEditorDoc& doc = *f.document;
    for (const Folder folder : {Folder::Config, Folder::Shared, Folder::Common, Folder::None}) {
        SCOPED_TRACE(FolderName(folder));
        // Only this folder is a layout folder.
        f.services.configFolder = folder == Folder::Config ? In(folder) : std::string();
        f.services.udlFolder = folder == Folder::Shared ? In(folder) : std::string();
        f.services.commonUdlFolder = folder == Folder::Common ? In(folder) : std::string();
        const std::string path = f.MakeFile(std::string(FolderName(folder)) + "/LAYOUT1.usd");
        doc.SetPathName(path);
        f.ui.proposals.clear();
        EXPECT_FALSE(doc.SaveAs(".zvd", std::string(), true)); // the dialog is cancelled
        const std::string expected = folder == Folder::None ? In(folder) + "/" : f.host.documentsFolder;
        ASSERT_EQ(f.ui.proposals.size(), 1u);
        EXPECT_EQ(f.ui.proposals[0], expected + ShippedCaption(173).toStdString() + ".zvd");
    }
}

} // namespace
