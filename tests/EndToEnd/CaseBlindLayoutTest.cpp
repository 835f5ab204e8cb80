// A layout made on a case-blind file system, whose picture references differ
// from the files only in case, opens in the program with every picture, as a
// plain layout script with its folder and as a package the kit made of it;
// saved again as the editor document, it reads alike through both readers.
#include "App/ZAVEditorDoc.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageZAV.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"

#include <QDir>
#include <QImage>

#include <cstring>
#include <fstream>
#include <set>

namespace {

class CaseBlindLayoutTest : public ProgramTest
{
protected:
    // page.usd naming "page/back.jpg" and "page/logo.bmp" in other cases.
    std::string MakeLayout()
    {
        const std::string folder = ScratchFolder() + "made/";
        EXPECT_TRUE(QDir().mkpath(QString::fromStdString(folder + "page")));
        back = Picture(folder + "page/back.jpg", "JPG", Qt::darkBlue);
        logo = Picture(folder + "page/logo.bmp", "BMP", Qt::darkRed);
        const std::string script = folder + "page.usd";
        std::ofstream(script, std::ios::binary)
            << "[HEADER]\r\nHdRevision=02.10\r\nHdCopyFlag=Possible\r\nHdChangeFlag=Possible\r\n"
               "HdDirection=Vertical\r\nHdPhysicalPaperSize=A4\r\nHdMargines=42,42,42,42\r\n[PAGE]\r\n"
               "DrawPicture(\"\",1,300,300,500,500,0,0,4)\r\n"
               "DrawPicture(\".\\PAGE\\Logo.Bmp\",0,20,20,220,170,0,0,4)\r\n"
               "DrawPicture(\".\\page\\BACK.JPG\",0,10,10,600,900,0,0,4)\r\n";
        return script;
    }

    static std::string Picture(const std::string& path, const char* format, Qt::GlobalColor colour)
    {
        QImage image(400, 300, QImage::Format_RGB888);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }

    std::set<std::string> PictureBytes()
    {
        std::set<std::string> bytes;
        for (const CBackgroundImageFrameItem* frame : ItemsOf<CBackgroundImageFrameItem>(Layout())) {
            std::ifstream in(frame->GetImageFileName(), std::ios::binary);
            EXPECT_TRUE(in) << frame->GetImageFileName();
            bytes.insert(std::string(std::istreambuf_iterator<char>(in), {}));
        }
        return bytes;
    }

    std::set<std::string> FileBytes() const
    {
        std::set<std::string> bytes;
        for (const std::string& path : {back, logo}) {
            std::ifstream in(path, std::ios::binary);
            bytes.insert(std::string(std::istreambuf_iterator<char>(in), {}));
        }
        return bytes;
    }

    std::string back;
    std::string logo;
};

TEST_F(CaseBlindLayoutTest, APlainLayoutScriptAndAPackageOfItShowEveryPicture)
{
    const std::string script = MakeLayout();
    const std::string package = ScratchFolder() + "page.fdp";
    {
        PackageZAV kit;
        ZAVPath layout = {};
        std::strncpy(layout, script.c_str(), sizeof layout - 1);
        ASSERT_EQ(kit.Package(1, &layout, package.c_str()), ZAV_OK);
    }
    for (const std::string& file : {script, package}) {
        SCOPED_TRACE(file);
        StartProgram(file);
        for (const RecordedMessage& m : Messages())
            ADD_FAILURE() << "message: " << m.text.toStdString();
        EXPECT_EQ(Document().GetPathName(), file);
        EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 3);
        EXPECT_EQ(ItemsOf<CBackgroundImageFrameItem>(Layout()).size(), 2u);
        EXPECT_TRUE(PictureBytes() == FileBytes()) << "the pictures shown are not the layout's files";
        // The save's check reads the written document through both readers.
        const bool fromPackage = file == package;
        const std::string saved =
            SaveLayout(*this, SaveTarget::EditorDocument, fromPackage ? "from-package" : "from-script");
        ASSERT_FALSE(saved.empty());
        StartProgram(saved);
        EXPECT_EQ(PictureBytes().size(), 2u);
        EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
    }
}

} // namespace
