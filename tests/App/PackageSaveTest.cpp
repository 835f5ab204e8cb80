#include "App/support/FileKindsFakes.h"
#include "App/support/LayoutShape.h"

#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "FrameKit/PackageErrorCode.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/ImageFrameItem.h"

#include "FrameKit/compare/ReadersAgree.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ImageNames(CLayoutManager& layout)
{
    std::vector<std::string> names;
    for (const auto& item : layout.GetItems())
        if (auto* frame = dynamic_cast<CImageFrameItem*>(item.get()))
            names.push_back(frame->GetImageFileName());
    return names;
}

TEST(PackageSaveTest, APhotoLayoutPackedAndReopenedIsTheSamePage)
{
    RealKindsFixture f;
    f.MakePhotoPage();
    const std::string package = f.Work() + "/page.fdp";
    ASSERT_EQ(f.Doc().SaveFdpLayout(package), 0);
    EXPECT_TRUE(IsFile(package));
    EXPECT_TRUE(ReadersAgree(package));
    EXPECT_EQ(NamesIn(f.Work()), (std::vector<std::string>{"back.bmp", "page.fdp", "photo.jpg"}));
    EXPECT_FALSE(IsDirectory(GetTempEncodeFolder(false)));
    const std::string decode = f.Doc().GetDecodeFolder();
    EXPECT_TRUE(IsFile(decode + "/page.usd"));
    // The background's picture went into the package; the photo of the
    // frame is not part of a layout script and keeps its own.
    int named = 0;
    for (const auto& item : f.Layout().GetItems()) {
        const auto* frame = dynamic_cast<const CImageFrameItem*>(item.get());
        if (!frame || dynamic_cast<const CInsertImageFrameItem*>(frame))
            continue;
        ++named;
        EXPECT_EQ(frame->GetImageFileName().rfind(decode + "/", 0), 0u) << frame->GetImageFileName();
        EXPECT_TRUE(IsFile(frame->GetImageFileName())) << frame->GetImageFileName();
    }
    EXPECT_EQ(named, 1);

    // A layout script leaves the hidden line out and carries the text as a
    // picture.
    std::vector<std::string> expected = LayoutShape(f.Layout(), true);
    std::erase_if(expected, [](const std::string& s) { return s.ends_with(" hidden"); });
    expected.front().replace(0, expected.front().find(' '), typeid(CBackgroundImageFrameItem).name());
    RealKindsFixture other;
    EXPECT_EQ(other.Doc().LoadFdpLayout(package), 1);
    EXPECT_EQ(LayoutShape(other.Layout(), true), expected);
    EXPECT_FALSE(other.Doc().IsDSCLayout());
    for (const std::string& name : ImageNames(other.Layout())) {
        if (!name.empty()) {
            EXPECT_EQ(name.rfind(other.Doc().GetDecodeFolder() + "/", 0), 0u) << name;
        }
    }
}

// What a failed package save must leave as it was.
struct PackageState
{
    std::string package;
    std::map<std::string, std::string> decode;
    std::vector<std::string> names;
    std::vector<std::string> besideTarget;

    static PackageState Of(RealKindsFixture& f, const std::string& path)
    {
        return PackageState{ReadFileBytes(path), ReadTree(f.Doc().GetDecodeFolder()), ImageNames(f.Layout()),
                            NamesIn(GetFolderFromPath(path))};
    }
    bool operator==(const PackageState&) const = default;
};

class PackageFailureTest : public testing::Test
{
protected:
    void SetUp() override
    {
        f.MakePhotoPage();
        ASSERT_EQ(f.Doc().SaveFdpLayout(path), 0);
        // The next save would pack another page.
        f.Layout().GetItemAt(1)->SetRect(RECT{60, 620, 460, 620});
        before = PackageState::Of(f, path);
        ASSERT_FALSE(before.decode.empty());
    }
    void ExpectUnchanged(int result)
    {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(PackageState::Of(f, path), before);
        EXPECT_FALSE(IsDirectory(GetTempEncodeFolder(false)));
        EXPECT_FALSE(IsFile(GetTempEncodeFolder(false)));
    }

    RealKindsFixture f;
    const std::string path = f.Work() + "/out/page.fdp";
    PackageState before;
};

TEST_F(PackageFailureTest, TheKitFailingOrLeavingNoPackageKeepsThePreviousOne)
{
    f.kit.fail["Package"] = ZAV_ERR_PACKAGE_TARGET;
    ExpectUnchanged(f.Doc().SaveFdpLayout(path));
    f.kit.fail.clear();
    f.kit.packageWritesNothing = true;
    ExpectUnchanged(f.Doc().SaveFdpLayout(path));
    f.kit.packageWritesNothing = false;
    EXPECT_EQ(f.Doc().SaveFdpLayout(path), 0);
    EXPECT_NE(ReadFileBytes(path), before.package);
}

TEST_F(PackageFailureTest, AFailedMoveOrFolderKeepsThePreviousPackageAndDecodeFolder)
{
    for (const FailingSaveFileSystem::Step step :
         {FailingSaveFileSystem::RenameStep, FailingSaveFileSystem::MakeFolderStep}) {
        int failures = 0;
        int result = 1;
        for (int n = 1; n <= 20; ++n) {
            SCOPED_TRACE(testing::Message() << "step " << step << ", call " << n);
            f.files.FailAt(step, n);
            result = f.Doc().SaveFdpLayout(path);
            const bool failed = f.files.Failed();
            f.files.FailAt(FailingSaveFileSystem::None, 0);
            if (!failed)
                break;
            ++failures;
            ExpectUnchanged(result);
        }
        EXPECT_GE(failures, step == FailingSaveFileSystem::RenameStep ? 4 : 3);
        EXPECT_EQ(result, 0);
        before = PackageState::Of(f, path);
    }
}

TEST_F(PackageFailureTest, AFailedWriteOfTheLayoutKeepsThePreviousPackage)
{
    int failures = 0;
    int result = 1;
    for (int n = 1; n <= 20; ++n) {
        SCOPED_TRACE(n);
        FailingFileWrites writes(FailingFileWrites::OpenStep, n);
        result = f.Doc().SaveFdpLayout(path);
        if (!writes.Failed())
            break;
        ++failures;
        ExpectUnchanged(result);
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(result, 0);
}

TEST(PackageSaveTest, ACameraSetTheKitCannotPackLeavesNoPackageAndNoStaging)
{
    RealKindsFixture f;
    ASSERT_TRUE(f.Doc().NewDSCLayout(0));
    const std::string path = f.Work() + "/ABCDEF_0.fdp";
    f.kit.fail["PackageDSC"] = 5000;
    EXPECT_EQ(f.Doc().SaveFdpLayout(path), 1);
    EXPECT_EQ(f.kit.calls, std::vector<std::string>{"PackageDSC"});
    EXPECT_FALSE(IsFile(path));
    EXPECT_FALSE(IsDirectory(GetTempEncodeFolder(false)));
    EXPECT_FALSE(IsDirectory(f.Doc().GetDecodeFolder()));
}

} // namespace
