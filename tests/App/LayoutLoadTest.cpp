#include "App/support/FileKindsFakes.h"
#include "App/support/LayoutShape.h"

#include "Core/Files.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutLoadTest, AnEditorDocumentOfAKindTheInstallationDoesNotEditIsRefusedBeforeAnythingIsBuilt)
{
    struct Case
    {
        bool camera;
        int editable;
        int result;
    };
    for (const Case c : {Case{false, 1, -1}, Case{true, 2, -1}, Case{false, 0, 1}, Case{false, 2, 1},
                         Case{true, 0, 1}, Case{true, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << "camera " << c.camera << ", editable " << c.editable);
        RealKindsFixture f;
        if (c.camera)
            ASSERT_TRUE(f.Doc().NewDSCLayout(0));
        else
            f.MakePhotoPage();
        const std::string path = f.Work() + "/page.zvd";
        ASSERT_EQ(f.Doc().SaveZvdDocument(path), 0);
        // The page the refused open must leave alone.
        f.Doc().ResetLayout();
        f.Doc().SetDSCLayout(0);
        f.MakePhotoPage(false);
        const std::vector<std::string> before = LayoutShape(f.Layout());
        f.SetEditableFrameType(c.editable);
        EXPECT_EQ(f.Doc().LoadZvdDocument(path), c.result);
        if (c.result < 0) {
            EXPECT_EQ(LayoutShape(f.Layout()), before);
            EXPECT_FALSE(f.Doc().IsDSCLayout());
        } else {
            EXPECT_EQ(f.Doc().IsDSCLayout(), c.camera);
        }
    }
}

TEST(LayoutLoadTest, ALayoutScriptReopensAndAMissingOrBrokenFileFails)
{
    RealKindsFixture f;
    f.MakePhotoPage();
    const std::string path = f.Work() + "/page.usd";
    ASSERT_EQ(f.Doc().SaveUsdLayout(path, 0), 0);
    const std::vector<std::string> saved = LayoutShape(f.Layout());
    f.Doc().ResetLayout();
    EXPECT_EQ(f.Doc().LoadUsdLayout(path), 1);
    // The hidden line is not in a layout script.
    EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), static_cast<int>(saved.size()) - 1);
    EXPECT_EQ(f.Doc().LoadUsdLayout(f.Work() + "/missing.usd"), 0);
    EXPECT_EQ(f.Doc().LoadZvdDocument(f.Work() + "/missing.zvd"), 0);
    EXPECT_EQ(f.Doc().LoadUsdLayout(f.base.MakeFile("broken.usd", "[HEADER]\r\nHdRevision=x\r\n")), 0);
}

TEST(LayoutLoadTest, AFailedOpenLogsWhereTheReaderFailed)
{
    RealKindsFixture f;
    const std::string path = f.base.MakeFile("broken.usd", "[HEADER]\r\nHdRevision=x\r\n");
    EXPECT_FALSE(f.Doc().OnOpenDocument(path));
    const std::string log = f.base.LogText();
    const std::string entry =
        "open of \"" + path + "\" ended with message 25; failed checks, oldest first: src/Script/";
    EXPECT_NE(log.find(entry), std::string::npos) << log;
}

// A photo layout packed by the real kit at `package`.
void SavePackage(RealKindsFixture& f, const std::string& package)
{
    f.MakePhotoPage();
    ASSERT_EQ(f.Doc().SaveFdpLayout(package), 0);
    f.Doc().ResetLayout();
    f.kit.calls.clear();
}

TEST(LayoutLoadTest, APackageOfAKindThisInstallationDoesNotEditIsRefused)
{
    struct Case
    {
        std::int8_t classification;
        int editable;
        int result;
    };
    for (const Case c : {Case{1, 0, -1}, Case{0, 1, -1}, Case{2, 2, -1}, Case{1, 2, -1}, Case{5, 0, 0}}) {
        SCOPED_TRACE(testing::Message()
                     << "classification " << int{c.classification} << ", editable " << c.editable);
        RealKindsFixture f;
        const std::string package = f.Work() + "/page.fdp";
        SavePackage(f, package);
        f.kit.classification = c.classification;
        f.SetEditableFrameType(c.editable);
        EXPECT_EQ(f.Doc().LoadFdpLayout(package), c.result);
        EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), 0);
        EXPECT_EQ(std::count(f.kit.calls.begin(), f.kit.calls.end(), "Unpackage"), 0);
    }
}

TEST(LayoutLoadTest, AKitErrorFailsTheOpen)
{
    for (const char* call : {"Open", "GetClassification", "GetLayoutFileName", "Unpackage"}) {
        SCOPED_TRACE(call);
        RealKindsFixture f;
        const std::string package = f.Work() + "/page.fdp";
        SavePackage(f, package);
        f.kit.fail[call] = ZAV_ERR_FILE_IO;
        EXPECT_EQ(f.Doc().LoadFdpLayout(package), 0);
        EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), 0);
    }
    RealKindsFixture f;
    EXPECT_EQ(f.Doc().LoadFdpLayout(f.base.MakeFile("not-a-package.fdp", "plain text")), 0);
}

TEST(LayoutLoadTest, ALayoutNameThatLeavesTheDecodeFolderIsRefused)
{
    for (const char* name : {"../page.usd", "sub/page.usd", "..", ""}) {
        SCOPED_TRACE(name);
        RealKindsFixture f;
        const std::string package = f.Work() + "/page.fdp";
        SavePackage(f, package);
        f.kit.layoutName = name;
        EXPECT_EQ(f.Doc().LoadFdpLayout(package), 0);
        EXPECT_EQ(std::count(f.kit.calls.begin(), f.kit.calls.end(), "Unpackage"), 0);
    }
}

} // namespace
