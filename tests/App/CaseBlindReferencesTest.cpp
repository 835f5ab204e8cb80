// A layout made on a case-blind file system names its pictures in another
// case than the files have. Opened as a plain layout script with its folder,
// and packed by the kit and opened as a package, it shows every picture, and
// the kit names the same files.
#include "App/support/FileKindsFakes.h"
#include "Core/Files.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageZAV.h"
#include "FrameKit/SDK.h"
#include "FrameKit/compare/ReadersAgree.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>

namespace {

// The page's two framed pictures and its photo frame, each named in a case
// the file does not have.
std::string CaseBlindScript()
{
    return "[HEADER]\r\nHdRevision=02.10\r\nHdCopyFlag=Possible\r\nHdChangeFlag=Possible\r\n"
           "HdDirection=Vertical\r\nHdPhysicalPaperSize=A4\r\n"
           "HdMargines=42,42,42,42\r\n[PAGE]\r\n"
           "DrawPicture(\"\",1,300,300,500,500,0,0,4)\r\n"
           "DrawPicture(\".\\PAGE\\Logo.Bmp\",0,20,20,220,170,0,0,4)\r\n"
           "DrawPicture(\".\\page\\BACK.JPG\",0,10,10,600,900,0,0,4)\r\n";
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The picture files of the page's framed items.
std::set<std::string> EditorPictures(CLayoutManager& layout)
{
    std::set<std::string> pictures;
    for (const auto& item : layout.GetItems()) {
        const auto* frame = dynamic_cast<const CBackgroundImageFrameItem*>(item.get());
        if (frame && !frame->GetImageFileName().empty())
            pictures.insert(frame->GetImageFileName());
    }
    return pictures;
}

std::set<std::string> KitPictures(const std::string& script)
{
    ZAV_SDK_PACK kit;
    EXPECT_EQ(kit.OpenLayout(script.c_str()), ZAV_OK);
    LayoutHeaderRecord header;
    EXPECT_EQ(kit.GetLayoutHeader(&header), ZAV_OK);
    std::set<std::string> pictures;
    for (std::int32_t i = 0; i < header.itemCount; ++i) {
        ZavItemRecord item;
        EXPECT_EQ(kit.GetItem(i, &item), ZAV_OK);
        if (item.kind == 0 && item.picture.filePath[0] != '\0')
            pictures.insert(item.picture.filePath);
    }
    return pictures;
}

class CaseBlindReferencesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateFolderPath(maker.Work() + "/page"));
        back = maker.Picture("page/back.jpg", "JPG", 0x102030);
        logo = maker.Picture("page/logo.bmp", "BMP", 0x405060);
        script = maker.Work() + "/page.usd";
        WriteText(script, CaseBlindScript());
    }

    RealKindsFixture maker;
    std::string back;
    std::string logo;
    std::string script;
};

TEST_F(CaseBlindReferencesTest, APlainLayoutScriptShowsEveryPicture)
{
    RealKindsFixture f;
    ASSERT_EQ(f.Doc().LoadUsdLayout(script), 1);
    EXPECT_TRUE(f.view.messages.empty());
    EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), 3);
    EXPECT_EQ(EditorPictures(f.Layout()), (std::set<std::string>{back, logo}));
    EXPECT_EQ(KitPictures(script), (std::set<std::string>{back, logo}));
    EXPECT_TRUE(ReadersAgree(script));
}

TEST_F(CaseBlindReferencesTest, APackageOfItShowsEveryPicture)
{
    const std::string package = maker.Work() + "/page.fdp";
    {
        PackageZAV kit;
        ZAVPath layout = {};
        std::strncpy(layout, script.c_str(), sizeof layout - 1);
        ASSERT_EQ(kit.Package(1, &layout, package.c_str()), ZAV_OK);
    }
    RealKindsFixture f;
    ASSERT_EQ(f.Doc().LoadFdpLayout(package), 1);
    EXPECT_TRUE(f.view.messages.empty());
    EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), 3);
    const std::set<std::string> pictures = EditorPictures(f.Layout());
    ASSERT_EQ(pictures.size(), 2u);
    // The package carries the pictures; the editor shows its copies of them.
    const std::string decode = f.Doc().GetDecodeFolder();
    std::set<std::string> bytes;
    for (const std::string& picture : pictures) {
        EXPECT_EQ(picture.rfind(decode + "/", 0), 0u) << picture;
        bytes.insert(ReadFileBytes(picture));
    }
    EXPECT_EQ(bytes, (std::set<std::string>{ReadFileBytes(back), ReadFileBytes(logo)}));
    const std::string unpacked = decode + "/page.usd";
    ASSERT_TRUE(IsFile(unpacked));
    EXPECT_EQ(KitPictures(unpacked), pictures);
    EXPECT_TRUE(ReadersAgree(package));
}

TEST_F(CaseBlindReferencesTest, TwoFilesMatchingAlikeGiveNeitherAndTheOpenSaysSo)
{
    maker.Picture("page/Back.jpg", "JPG", 0x708090);
    RealKindsFixture f;
    ASSERT_EQ(f.Doc().LoadUsdLayout(script), 1);
    // The background is dropped as missing, and the correction is told.
    EXPECT_EQ(EditorPictures(f.Layout()), (std::set<std::string>{logo}));
    ASSERT_EQ(f.view.messages.size(), 1u);
    EXPECT_EQ(f.view.messages[0].first, 169);
    EXPECT_EQ(KitPictures(script).count(back), 0u);
}

} // namespace
