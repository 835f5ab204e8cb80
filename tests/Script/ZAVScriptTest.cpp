#include "Script/ZAVScript.h"

#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ZAVScript, CameraFormGolden)
{
    TempFolder folder;
    CZAVScript script;
    script.SetDSCFlag(1);
    script.SetDrawRecords({});
    ASSERT_EQ(script.Write(folder.File("a.zvd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("a.zvd")), ReadBytes(FixturePath("camera.zvd")));
}

TEST(ZAVScript, PlainFormGolden)
{
    TempFolder folder;
    CZAVScript script;
    script.SetDrawRecords({});
    ASSERT_EQ(script.Write(folder.File("a.zvd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("a.zvd")), ReadBytes(FixturePath("plain.zvd")));
}

TEST(ZAVScript, GoldenFilesReadBackAndWriteByteForByte)
{
    TempFolder folder;
    for (const char* name : {"camera.zvd", "plain.zvd"}) {
        const std::string original = ReadBytes(FixturePath(name));
        WriteBytes(folder.File(name), original);
        CZAVScript script;
        ASSERT_EQ(script.Read(folder.File(name)), 1) << name;
        EXPECT_EQ(script.GetDrawRecordCount(), 0);
        ASSERT_EQ(script.Write(folder.File("again.zvd")), 1) << name;
        EXPECT_EQ(ReadBytes(folder.File("again.zvd")), original) << name;
    }
}

TEST(ZAVScript, WithoutARecordBlockWriteFails)
{
    TempFolder folder;
    CZAVScript script;
    EXPECT_EQ(script.Write(folder.File("a.zvd")), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.File("a.zvd")));
}

TEST(ZAVScript, CameraTitlesFollowTheFlagAtSetTime)
{
    CZAVScript plain;
    ASSERT_EQ(plain.SetTitle("t"), 1);
    EXPECT_EQ(plain.GetTitle(), "t");
    EXPECT_EQ(plain.GetDSCTitle(), "");
    CZAVScript camera;
    camera.SetDSCFlag(1);
    ASSERT_EQ(camera.SetTitle("t"), 1);
    ASSERT_EQ(camera.SetComment("c"), 1);
    EXPECT_EQ(camera.GetDSCTitle(), "t");
    EXPECT_EQ(camera.GetDSCComment(), "c");
    EXPECT_EQ(camera.SetTitle(std::string(129, 'x')), 0);
    EXPECT_EQ(camera.SetTitle("two\nlines"), 0);
    EXPECT_EQ(camera.GetTitle(), "t");
    EXPECT_EQ(camera.GetDSCTitle(), "t");
    EXPECT_EQ(camera.SetRollPaperLength(499), 0);
}

TEST(ZAVScript, CameraFormRoundTrip)
{
    TempFolder folder;
    CZAVScript script;
    script.SetDSCFlag(1);
    ASSERT_EQ(script.SetAuthor("作者"), 1);
    ASSERT_EQ(script.SetTitle("タイトル"), 1);
    ASSERT_EQ(script.SetComment("コメント; 100%"), 1);
    script.SetDirection(1);
    script.SetThumbnail("./a/THUMB.USF");
    ZAVDrawRecord line;
    line.type = ZAVDrawLine;
    line.line = {10, 20, 110, 20, 3, 255, 0, 0, 0};
    script.SetDrawRecords({line});
    ASSERT_EQ(script.Write(folder.File("a.zvd")), 1);
    const std::string bytes = ReadBytes(folder.File("a.zvd"));
    EXPECT_NE(
        bytes.find(
            "HdThumbnail=\".\\a\\THUMB.USF\"\r\n[BASE_PAPER_INFO]\r\nDrawLine(10,20,110,20,3,255,0,0,0)\r\n"),
        std::string::npos);

    CZAVScript back;
    ASSERT_EQ(back.Read(folder.File("a.zvd")), 1);
    EXPECT_EQ(back.GetDSCFlag(), 1);
    EXPECT_EQ(back.GetTitle(), "タイトル");
    EXPECT_EQ(back.GetComment(), "コメント; 100%");
    EXPECT_EQ(back.GetAuthor(), "作者");
    EXPECT_EQ(back.GetDirection(), 1);
    EXPECT_EQ(back.GetThumbnail(), folder.Path() + "/a/THUMB.USF");
    EXPECT_EQ(back.GetDSCRevision(), 1.0);
    EXPECT_EQ(back.GetClassification(), 0.01);
    ASSERT_EQ(back.GetDrawRecordCount(), 1);
    EXPECT_EQ(*back.GetDrawRecord(0), line);
    ASSERT_EQ(back.Write(folder.File("a.zvd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("a.zvd")), bytes);
}

const char* const kCameraHeader[] = {"[DSC_ZAV_HEADER]", "HdRevision=01.00",       "HdTitle=\"T\"",
                                     "HdComment=\"C\"",  "HdClassification=00.01", "[HEADER]",
                                     "HdRevision=02.10", "HdAuthor=\"\"",          "HdDirection=Vertical",
                                     "HdThumbnail=\"\"", "[BASE_PAPER_INFO]"};

std::string Camera(std::size_t replaceAt, const char* replacement, const std::string& objects = "")
{
    std::string text;
    for (std::size_t i = 0; i < std::size(kCameraHeader); ++i) {
        const char* line = i == replaceAt ? replacement : kCameraHeader[i];
        if (line) {
            text += line;
            text += "\r\n";
        }
    }
    return text + objects;
}

TEST(ZAVScript, ReadingRules)
{
    TempFolder folder;
    const std::string plain = ReadBytes(FixturePath("plain.zvd"));
    struct ReadCase
    {
        const char* what;
        std::string text;
        int read;
        int readHeader;
    };
    const ReadCase cases[] = {
        {"camera", Camera(99, nullptr), 1, 1},
        {"first line [PAGE]", "[PAGE]\r\n" + plain, 0, 0},
        {"first line a key", "Key=1\r\n" + plain, 0, 0},
        {"lower-case header", "[header]\r\n" + plain.substr(plain.find("\r\n") + 2), 0, 0},
        {"leading comment", ";c\r\n" + plain, 1, 1},
        {"extra key after camera keys", Camera(5, "HdExtra=1\r\n[HEADER]"), 0, 0},
        {"copyright in camera header", Camera(8, "HdCopyright=\"x\"\r\nHdDirection=Vertical"), 0, 0},
        {"no classification", Camera(4, nullptr), 1, 1},
        {"classification abc", Camera(4, "HdClassification=abc"), 0, 0},
        {"no camera revision", Camera(1, nullptr), 0, 0},
        {"camera bad object", Camera(99, nullptr, "DrawLine(1)\r\n"), 0, 0},
        {"plain bad object", plain + "DrawLine(1)\r\n", 0, 1},
        {"plain no [PAGE]", plain.substr(0, plain.find("[PAGE]")), 0, 1},
        {"other first section", "[OTHER]\r\n", 0, 0},
    };
    for (const auto& c : cases) {
        WriteBytes(folder.File("a.zvd"), c.text);
        CZAVScript script;
        EXPECT_EQ(script.Read(folder.File("a.zvd")), c.read) << c.what;
        EXPECT_EQ(script.ReadHeader(folder.File("a.zvd")), c.readHeader) << c.what;
    }
}

TEST(ZAVScript, CameraFormIgnoresPaperKeysAndTakesTitlesFromTheCameraHeader)
{
    TempFolder folder;
    WriteBytes(folder.File("a.zvd"), Camera(99, nullptr));
    CZAVScript script;
    ASSERT_EQ(script.Read(folder.File("a.zvd")), 1);
    EXPECT_EQ(script.GetPaperSize(), 3);
    EXPECT_EQ(script.GetMarginMode(), 0);
    EXPECT_EQ(script.GetRollPaperLength(), 500);
    EXPECT_EQ(script.GetTitle(), "T");
    EXPECT_EQ(script.GetComment(), "C");
    EXPECT_EQ(script.GetDSCTitle(), "T");
}

TEST(ZAVScript, PaperCodeWithoutATextFailsTheWriteAndKeepsThePreviousFile)
{
    TempFolder folder;
    WriteBytes(folder.File("a.zvd"), "previous\r\n");
    CZAVScript script;
    script.SetPaperSize(11);
    script.SetDrawRecords({});
    EXPECT_EQ(script.Write(folder.File("a.zvd")), 0);
    EXPECT_EQ(ReadBytes(folder.File("a.zvd")), "previous\r\n");
}

} // namespace
