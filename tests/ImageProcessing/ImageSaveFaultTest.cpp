#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"

#include "ImageProcessing/support/FixtureFiles.h"
#include "Platform/support/FaultyWriteCalls.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

namespace {

std::vector<std::uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct ImageSave
{
    const char* what;
    const char* file;
    std::function<int(const std::string&, CImage&)> write;
    int failedWrite; // the writer's code for a write that failed after the file was created
};

const ImageSave kSaves[] = {
    {"BMP", "a.bmp", [](const std::string& path, CImage& image) { return CBMPFile().Write(path, &image); },
     ImageFileReadFailed},
    {"EFF", "a.eff", [](const std::string& path, CImage& image) { return CEFFFile().Write(path, &image); },
     ImageFileOpenFailed},
    {"JPEG", "a.jpg", [](const std::string& path, CImage& image) { return CJpegFile().Write(path, &image); },
     ImageFileOpenFailed},
};

void DrawPicture(CImage& image)
{
    ASSERT_TRUE(image.Create(64, 48));
    image.FillRectLTRB(8, 8, 40, 30, 0x0000FF);
}

TEST(ImageSaveFault, AFailingStepKeepsThePreviousFileAndLeavesNoTemporaryFile)
{
    std::vector<std::uint8_t> previous(3000);
    for (std::size_t i = 0; i < previous.size(); ++i)
        previous[i] = static_cast<std::uint8_t>(i * 7);
    struct Fault
    {
        WriteFault fault;
        bool created; // whether the step fails after the staged file exists
    };
    for (const ImageSave& save : kSaves)
        for (const Fault f : {Fault{WriteFault::Open, false}, Fault{WriteFault::MiddleWrite, true},
                              Fault{WriteFault::Sync, true}, Fault{WriteFault::Rename, true}}) {
            SCOPED_TRACE(std::string(save.what) + ", fault at " + WriteFaultName(f.fault));
            FixtureFolder folder;
            const std::string path = folder.Path(save.file);
            WriteFixtureFile(path, previous);
            const std::string root = std::filesystem::path(path).parent_path().string();
            const auto before = FolderNames(root);
            CImage image;
            DrawPicture(image);
            FaultyWriteCalls calls(f.fault, 100);
            EXPECT_EQ(save.write(path, image), f.created ? save.failedWrite : ImageFileMissing);
            EXPECT_GE(calls.Failures(), 1);
            EXPECT_EQ(FileBytes(path), previous);
            EXPECT_EQ(FolderNames(root), before);
        }
}

TEST(ImageSaveFault, ASuccessfulSaveReplacesTheFileAndKeepsItsPermissions)
{
    for (const ImageSave& save : kSaves) {
        SCOPED_TRACE(save.what);
        FixtureFolder folder;
        const std::string path = folder.Path(save.file);
        WriteFixtureFile(path, std::vector<std::uint8_t>(100000, 0xAA)); // longer than the picture
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
        CImage image;
        DrawPicture(image);
        ASSERT_EQ(save.write(path, image), ImageFileOk);
        EXPECT_EQ(FileMode(path), 0600u);
        EXPECT_LT(FileBytes(path).size(), 100000u);
        CImage back;
        ASSERT_EQ(back.LoadFile(path), ImageFileOk);
        EXPECT_EQ(back.GetWidth(), 64);
        EXPECT_EQ(back.GetHeight(), 48);
        EXPECT_EQ(FolderNames(std::filesystem::path(path).parent_path().string()),
                  std::set<std::string>{save.file});
    }
}

} // namespace
