#include "App/support/BuildFakes.h"
#include "App/support/DocumentFakes.h"

#include "App/CameraSetLoad.h"
#include "App/DSCUSMFile.h"
#include "App/DocumentFileKinds.h"
#include "App/PackageKit.h"
#include "App/SaveFileSystem.h"
#include "Core/Path.h"
#include "Core/support/ScopedTmpDir.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Platform/ProfileReader.h"
#include "Script/UDLScript.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void MakeReadOnly(const std::string& path)
{
    QFile::setPermissions(QString::fromStdString(path), QFileDevice::ReadOwner | QFileDevice::ReadUser);
}

UDLDrawRecord Picture(int frame, RECT r, const std::string& file = "", int rotation = 0)
{
    UDLDrawRecord record;
    record.type = UDLDrawPicture;
    record.picture = UDLPicturePart{file, frame, r.left, r.top, r.right, r.bottom, rotation, 0, 4};
    return record;
}

constexpr RECT kBaseArea{0, 0, 1332, 1914};

// --- Names and export ------------------------------------------------------

class CameraSetWriteTest : public ::testing::Test
{
protected:
    CameraSetWriteTest() : m_tmp(f.Work() + "/tmp")
    {
        fs::create_directories(f.Work() + "/tmp");
        fs::create_directories(f.Work() + "/card");
    }

    std::string Card(const std::string& name) const { return f.Work() + "/card/" + name; }

    DocumentFixture f;
    ScopedTmpDir m_tmp;
    CZAVEditorDoc& doc = *f.document;
};

TEST_F(CameraSetWriteTest, NamesOfTheSetAndItsFiles)
{
    CDSCUSMFile set;
    ASSERT_EQ(set.Init(&doc, "", Card("AB.usd")), 1);
    EXPECT_EQ(set.GetIndexPath(), Card("AB    _0.usm"));
    std::string temp;
    ASSERT_EQ(set.GetTempFolder(temp), 1);
    EXPECT_EQ(GetFileNameFromPath(temp, true), "AB    _0");
    EXPECT_EQ(GetFileNameFromPath(GetFolderFromPath(temp), true), "ZAVTempSaveUSM");
    EXPECT_EQ(set.GetTempIndexPath(), GetFolderFromPath(temp) + "/AB    _0.usm");
    std::string name;
    ASSERT_EQ(set.MakeCtfFileName(name), 1);
    EXPECT_EQ(name, "AB    _0.ctf");
    ASSERT_EQ(set.MakeEffFileName(name), 1);
    EXPECT_EQ(name, temp + "/AB    .eff");
    std::vector<std::string> names;
    ASSERT_EQ(set.MakeUsdFileName(names), 1);
    EXPECT_EQ(names,
              (std::vector<std::string>{"AB    00.usd", "AB    01.usd", "AB    11.usd", "AB    10.usd",
                                        "AB    21.usd", "AB    20.usd", "AB    31.usd", "AB    30.usd"}));
    EXPECT_EQ(CameraSetScriptPaths(Card("ABCDEFGHI.usm")).front(), Card("ABCDEF00.usd"));
}

TEST_F(CameraSetWriteTest, OnlyDrawnContentBesidesFramesAndMacroStringsIsRendered)
{
    CLayoutManager& layout = *doc.GetLayoutManager();
    doc.NewDSCLayout(0);
    auto macro = std::make_unique<CMacroStringItem>();
    layout.AddItem(0, std::move(macro));
    auto hiddenLine = std::make_unique<CLineItem>();
    hiddenLine->SetVisible(false);
    layout.AddItem(0, std::move(hiddenLine));
    CDSCUSMFile frames;
    ASSERT_EQ(frames.Init(&doc, "", Card("AB.usd")), 1);
    EXPECT_EQ(frames.GetRenderFlag(), 0);
    EXPECT_EQ(frames.GetTextImagePath(), "");

    layout.AddItem(0, std::make_unique<CLineItem>());
    CDSCUSMFile drawn;
    ASSERT_EQ(drawn.Init(&doc, "", Card("AB.usd")), 1);
    EXPECT_EQ(drawn.GetRenderFlag(), 1);
    EXPECT_EQ(GetFileNameFromPath(drawn.GetTextImagePath(), true), "AB    .eff");
}

TEST_F(CameraSetWriteTest, ExportWritesTheEightMembersAndTheIndex)
{
    ASSERT_EQ(doc.SetTitle("Set title"), 1);
    ASSERT_EQ(doc.SetComment("Set comment"), 1);
    CDSCUSMFile set;
    const std::string source = f.Work() + "/tmp/usmtemp.usd";
    ASSERT_EQ(set.Init(&doc, source, Card("ABCDEF.usd")), 1);
    std::string temp;
    ASSERT_EQ(set.GetTempFolder(temp), 1);
    fs::create_directories(temp);
    WriteAll(temp + "/THUMB.USF", std::string(1000, 't'));
    WriteAll(temp + "/ABCDEF.eff", std::string(300, 'e'));
    {
        CUDLScript script;
        script.SetPaperSize(17);
        script.SetMarginMode(2);
        script.SetDirection(1);
        ASSERT_EQ(script.SetAuthor("Author"), 1);
        ASSERT_EQ(script.SetTitle("Layout title"), 1);
        script.SetThumbnail(f.Work() + "/tmp/usmtemp/THUMB.USF");
        script.SetDrawRecords({Picture(1, {0, 0, 1332, 1914}, "", 1),
                               Picture(0, {10, 20, 1300, 1900}, f.Work() + "/tmp/usmtemp/ABCDEF.eff")});
        ASSERT_EQ(script.Write(source), 1);
    }
    // The shared steps of the set's save, up to the index as first written.
    ASSERT_EQ(set.Export(), 1);
    ASSERT_EQ(set.TakeTitleAndComment(), 1);
    ASSERT_EQ(set.WriteIndex(), 1);

    const std::string folder = GetFolderFromPath(temp);
    const std::pair<int, int> pairs[] = {{17, 2}, {17, 0}, {18, 0}, {18, 2},
                                         {16, 0}, {16, 2}, {0, 0},  {0, 2}};
    const char* codes[] = {"00", "01", "11", "10", "21", "20", "31", "30"};
    ASSERT_EQ(set.GetHeader().fileNames.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        const std::string member = folder + "/ABCDEF" + codes[i] + ".usd";
        SCOPED_TRACE(member);
        EXPECT_EQ(set.GetHeader().fileNames[i], member);
        CUDLScript script;
        ASSERT_EQ(script.Read(member), 1);
        EXPECT_EQ(script.GetPaperSize(), pairs[i].first);
        EXPECT_EQ(script.GetMarginMode(), pairs[i].second);
        EXPECT_EQ(script.GetDirection(), 1);
        EXPECT_EQ(script.GetAuthor(), "Author");
        EXPECT_EQ(script.GetTitle(), "Layout title");
        EXPECT_EQ(script.GetRollPaperLength(), 500);
        const RecordRect paper = GetPaperRect({pairs[i].first, pairs[i].second}, 0);
        const RecordRect expected = i == 0 ? RecordRect{10, 20, 1300, 1900} : paper;
        const UDLPicturePart& frame = script.GetDrawRecord(1)->picture;
        EXPECT_EQ((RecordRect{frame.left, frame.top, frame.right, frame.bottom}), expected);
        const std::string text = ReadAll(member);
        EXPECT_NE(text.find("HdThumbnail=\".\\ABCDEF_0\\THUMB.USF\""), std::string::npos);
        EXPECT_NE(text.find("DrawPicture(\".\\ABCDEF_0\\ABCDEF.eff\",0,"), std::string::npos);
        EXPECT_EQ(ReadProfileInt(member, "HEADER", "HdCapacity", -1),
                  static_cast<int>(fs::file_size(member)) + 1000 + 300);
    }

    const std::string index = ReadAll(set.GetTempIndexPath());
    EXPECT_EQ(index, ReadAll(std::string(ZAV_SOURCE_DIR) + "/tests/fixtures/script/camera-set.usm"));

    // The set's total: the index, its members and its companion folder.
    WriteAll(folder + "/ABCDEF_0/ABCDEF_0.ctf", std::string(50, 'c'));
    std::uint64_t expected = fs::file_size(set.GetTempIndexPath()) + 1000 + 300 + 50;
    for (const std::string& member : set.GetHeader().fileNames)
        expected += fs::file_size(member);
    // The frame image's size limit asks through the layout's document.
    const ILayoutDocument& asLayoutDocument = doc;
    EXPECT_EQ(asLayoutDocument.GetUsmTotalFileSize(set.GetTempIndexPath()), static_cast<long long>(expected));
    // A missing member adds nothing.
    const std::uint64_t missing = fs::file_size(folder + "/ABCDEF21.usd");
    fs::remove(folder + "/ABCDEF21.usd");
    EXPECT_EQ(doc.GetUsmTotalFileSize(set.GetTempIndexPath()), static_cast<long long>(expected - missing));
}

TEST_F(CameraSetWriteTest, AReadOnlyMemberScriptRefusesTheSaveOfTheSet)
{
    const std::string member = f.MakeFile("ABCDEF31.usd");
    MakeReadOnly(member);
    doc.SetModifiedFlag(1);
    EXPECT_FALSE(doc.OnSaveDocument(f.Work() + "/ABCDEF_1.usm"));
    EXPECT_EQ(f.MessageIds(), std::vector<int>{198});
    EXPECT_TRUE(f.kinds.calls.empty());
    QFile::setPermissions(QString::fromStdString(member), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.recorder.messages.clear();
    EXPECT_TRUE(doc.OnSaveDocument(f.Work() + "/ABCDEF_1.usm"));
    EXPECT_EQ(f.kinds.calls.size(), 1u);
}

// --- Opening sets ----------------------------------------------------------

// Counts the picture reads of the checks and answers with the real sizes.
class CountingProbe : public ICameraPictureProbe
{
public:
    bool ReadPictureSize(const std::string& path, SIZE& size) override
    {
        reads.push_back(path);
        return ScaledPictureProbe().ReadPictureSize(path, size);
    }
    std::vector<std::string> reads;
};

class CameraSetOpenTest : public ::testing::Test
{
protected:
    std::string Set(const std::string& relative) const { return f.Work() + "/VLUDL/" + relative; }

    std::string Photo(const std::string& relative, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(Qt::blue);
        const std::string path = Set(relative);
        fs::create_directories(fs::path(path).parent_path());
        image.save(QString::fromStdString(path), "BMP");
        return path;
    }

    void Member(const std::string& name, std::vector<UDLDrawRecord> records, int paper = 17, int margin = 2)
    {
        CUDLScript script;
        script.SetPaperSize(paper);
        script.SetMarginMode(margin);
        script.SetDirection(0);
        ASSERT_EQ(script.SetAuthor("Camera author"), 1);
        script.SetDrawRecords(std::move(records));
        fs::create_directories(f.Work() + "/VLUDL");
        ASSERT_EQ(script.Write(Set(name)), 1);
    }

    void Index(const std::vector<std::string>& names, const std::string& file = "ABCDEF_0.usm")
    {
        std::string text =
            "[HEADER]\r\nHdRevision=01.00\r\nHdTitle=\"Card title\"\r\nHdComment=\"Card comment\"\r\n"
            "HdCapability=0\r\nHdClassification=00.01\r\nHdCount=" +
            std::to_string(names.size()) + "\r\n";
        for (const std::string& name : names)
            text += "HdFilename=\"" + name + "\"\r\n";
        WriteAll(Set(file), text);
    }

    int Open(const std::string& file = "ABCDEF_0.usm") { return LoadCameraLayoutSet(doc, Set(file), &probe); }

    DocumentFixture f;
    RecordingView view;
    CountingProbe probe;
    CZAVEditorDoc& doc = *f.document;
    CLayoutManager& layout = *doc.GetLayoutManager();
};

TEST_F(CameraSetOpenTest, BackgroundsByTheirSize)
{
    struct Case
    {
        const char* name;
        int width;
        int height;
        int result;
        int items;
        std::vector<std::pair<int, unsigned>> messages;
    };
    const Case cases[] = {
        {"a camera picture is built", 1024, 704, 1, 2, {}},
        {"another size is corrected and skipped", 1000, 700, 1, 1, {{169, MB_ICONHAND}}},
        {"a small picture fails the open", 150, 150, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        layout.DeleteAllItems();
        view.messages.clear();
        doc.SetDSCLayout(0);
        Photo("ABCDEF_0/bg.bmp", c.width, c.height);
        Member("ABCDEF00.usd", {Picture(1, kBaseArea, "", 1), Picture(0, kBaseArea, Set("ABCDEF_0/bg.bmp"))});
        Index({"ABCDEF00.usd"});
        EXPECT_EQ(Open(), c.result);
        EXPECT_TRUE(doc.IsDSCLayout());
        EXPECT_EQ(layout.GetItemCount(-1, -1, nullptr), c.items);
        EXPECT_EQ(view.messages, c.messages);
        if (c.items == 2) {
            const auto* background = dynamic_cast<CBackgroundImageFrameItem*>(layout.GetItemAt(0));
            ASSERT_NE(background, nullptr);
            EXPECT_EQ(background->GetLabel(), "bg.bmp");
            EXPECT_TRUE(IsKindOf<CInsertImageFrameItem>(layout.GetItemAt(1)));
            EXPECT_EQ(doc.GetTitle(), "Card title");
            EXPECT_EQ(doc.GetComment(), "Card comment");
            EXPECT_EQ(doc.GetAuthor(), "Camera author");
        }
    }
}

TEST_F(CameraSetOpenTest, WhatAScriptMayHold)
{
    UDLDrawRecord line;
    line.type = UDLDrawLine;
    UDLDrawRecord text;
    text.type = UDLDrawText;
    struct Case
    {
        const char* name;
        std::vector<UDLDrawRecord> records;
        int paper;
        int result;
        std::vector<std::pair<int, unsigned>> messages;
    };
    const Case cases[] = {
        {"a line fails", {Picture(1, kBaseArea, "", 1), line}, 17, 0, {}},
        {"a string is corrected", {text, Picture(1, kBaseArea, "", 1)}, 17, 1, {{169, MB_ICONHAND}}},
        {"no picture fails", {text}, 17, 0, {}},
        {"a background first fails", {Picture(0, kBaseArea)}, 17, 0, {}},
        {"a third picture fails",
         {Picture(1, kBaseArea, "", 1), Picture(0, kBaseArea), Picture(0, kBaseArea)},
         17,
         0,
         {}},
        {"a frame beyond the print area fails", {Picture(1, {0, 0, 1334, 1914}, "", 1)}, 17, 0, {}},
        {"an open bottom is corrected", {Picture(1, {0, 0, 1332, -1}, "", 1)}, 17, 1, {{169, MB_ICONHAND}}},
        {"paper 3 fails", {Picture(1, {3, 3, 100, 100}, "", 1)}, 3, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        layout.DeleteAllItems();
        view.messages.clear();
        Member("ABCDEF00.usd", c.records, c.paper, c.paper == 3 ? 0 : 2);
        Index({"ABCDEF00.usd"});
        EXPECT_EQ(Open(), c.result);
        EXPECT_EQ(view.messages, c.messages);
    }
}

TEST_F(CameraSetOpenTest, WithoutABackgroundOnlyTheFrameStandsTurnedOnThePortraitPage)
{
    Member("ABCDEF00.usd", {Picture(1, kBaseArea, "", 1)});
    Index({"ABCDEF00.usd"});
    ASSERT_EQ(Open(), 1);
    ASSERT_EQ(layout.GetItemCount(-1, -1, nullptr), 1);
    const auto* frame = dynamic_cast<CInsertImageFrameItem*>(layout.GetItemAt(0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(layout.GetOrientation(), 0);
    EXPECT_EQ(frame->GetImageRotation(), 1);
    RECT rect{};
    frame->GetRect(&rect, false);
    const RECT printable = layout.GetPrintableRect();
    EXPECT_EQ(std::make_pair(rect.right, rect.bottom), std::make_pair(printable.right, printable.bottom));
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(CameraSetOpenTest, OneBackgroundNamedByAllEightScriptsIsReadOnce)
{
    Photo("ABCDEF_0/BG.bmp", 704, 1024);
    std::vector<std::string> names;
    for (const char* code : {"00", "01", "11", "10", "21", "20", "31", "30"}) {
        names.push_back(std::string("ABCDEF") + code + ".usd");
        // The same picture, named in either case.
        const std::string named = code[1] == '0' ? Set("ABCDEF_0/BG.bmp") : Set("ABCDEF_0/bg.BMP");
        Member(names.back(), {Picture(1, kBaseArea, "", 1), Picture(0, kBaseArea, named)});
    }
    Index(names);
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(probe.reads, std::vector<std::string>{Set("ABCDEF_0/BG.bmp")});
    EXPECT_EQ(layout.GetItemCount(-1, -1, nullptr), 2);
}

TEST_F(CameraSetOpenTest, MemberNamesAreBareNamesFoundWithoutRegardToCase)
{
    Member("abcdef00.USD", {Picture(1, kBaseArea, "", 1)});
    Index({"ABCDEF00.usd"});
    EXPECT_EQ(Open(), 1);

    // Valid scripts outside the set: reading any of them would open the set.
    const std::string outside = f.Work() + "/x.usd";
    {
        CUDLScript script;
        script.SetPaperSize(17);
        script.SetMarginMode(2);
        script.SetDrawRecords({Picture(1, kBaseArea, "", 1)});
        ASSERT_EQ(script.Write(outside), 1);
        fs::create_directories(Set("sub"));
        ASSERT_EQ(script.Write(Set("sub/x.usd")), 1);
    }
    for (const std::string& name : {std::string("..\\x.usd"), std::string("../x.usd"), outside,
                                    std::string("sub/x.usd"), std::string("sub\\x.usd"), std::string("..")}) {
        SCOPED_TRACE(name);
        Index({name});
        EXPECT_EQ(Open(), 0);
    }
    Index({"ABCDEF01.usd"}); // missing
    EXPECT_EQ(Open(), 0);
    Index({});
    EXPECT_EQ(Open(), 0);
}

TEST_F(CameraSetOpenTest, PicturesOutsideTheSetAreNotRead)
{
    QImage image(1024, 704, QImage::Format_RGB888);
    image.fill(Qt::green);
    const std::string outside = f.Work() + "/outside.bmp";
    image.save(QString::fromStdString(outside), "BMP");
    Member("ABCDEF00.usd", {Picture(1, kBaseArea, outside, 1)});
    Index({"ABCDEF00.usd"});
    EXPECT_EQ(Open(), 0);
    Member("ABCDEF00.usd", {Picture(1, kBaseArea, "", 1), Picture(0, kBaseArea, outside)});
    EXPECT_EQ(Open(), 1); // a background that is not there is skipped
    EXPECT_TRUE(probe.reads.empty());
    EXPECT_EQ(layout.GetItemCount(-1, -1, nullptr), 1);
}

TEST_F(CameraSetOpenTest, ARefusedTitleIsThrown)
{
    Member("ABCDEF00.usd", {Picture(1, kBaseArea, "", 1)});
    const std::string longTitle(200, 'x');
    WriteAll(Set("ABCDEF_0.usm"), "[HEADER]\r\nHdRevision=01.00\r\nHdTitle=\"" + longTitle +
                                      "\"\r\nHdCapability=0\r\nHdClassification=00.01\r\nHdCount=1\r\n"
                                      "HdFilename=\"ABCDEF00.usd\"\r\n");
    EXPECT_THROW(Open(), int);
}

// A camera package: the kit names the set's index and unpacks a set that
// the test made beforehand.
class CameraPackageKit : public IPackageKit
{
public:
    CameraPackageKit(std::string setFolder, std::string indexName, std::int8_t classification)
        : m_setFolder(std::move(setFolder)), m_indexName(std::move(indexName)),
          m_classification(classification)
    {
    }
    int Package(const std::vector<std::string>&, const std::string&) override { return 5000; }
    int PackageDSC(const std::string&, const std::string&) override { return 5000; }
    int Open(const std::string&) override { return 0; }
    int GetClassification(std::int8_t& classification) override
    {
        classification = m_classification;
        return 0;
    }
    int GetLayoutFileName(int, std::string&) override { return 5000; }
    int GetIndexFileName(std::string& name) override
    {
        name = m_indexName;
        return 0;
    }
    int Unpackage(const std::string&, const std::string& folder, int& warning) override
    {
        warning = 0;
        fs::copy(m_setFolder, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        return 0;
    }

private:
    std::string m_setFolder;
    std::string m_indexName;
    std::int8_t m_classification;
};

class CameraPackageTest : public CameraSetOpenTest
{
protected:
    CameraPackageTest() : m_tmp(f.Work() + "/tmp") { fs::create_directories(f.Work() + "/tmp"); }

    int OpenPackage(const std::string& indexName, std::int8_t classification, int editable = 0)
    {
        InstallSettings install = ReadInstallSettings(f.host.localizeIniPath);
        install.editableFrameType = editable;
        f.host.settings.SetInstallSettings(install);
        DocumentFileKinds kinds(
            [&] { return std::make_unique<CameraPackageKit>(Set(""), indexName, classification); },
            SystemSaveFileSystem());
        package = std::make_unique<CZAVEditorDoc>(f.host, f.services, f.ui, kinds);
        const std::string path = f.MakeFile("set.fdp", "package");
        return package->LoadFdpLayout(path);
    }

    ScopedTmpDir m_tmp;
    std::unique_ptr<CZAVEditorDoc> package;
};

TEST_F(CameraPackageTest, ACameraPackageOpensAsItsCameraSet)
{
    Photo("ABCDEF_0/bg.bmp", 1024, 704);
    Member("ABCDEF00.usd", {Picture(1, kBaseArea, "", 1), Picture(0, kBaseArea, Set("ABCDEF_0/bg.bmp"))});
    Index({"ABCDEF00.usd"});
    ASSERT_EQ(OpenPackage("ABCDEF_0.usm", 2), 1);
    EXPECT_TRUE(package->IsDSCLayout());
    CLayoutManager& opened = *package->GetLayoutManager();
    ASSERT_EQ(opened.GetItemCount(-1, -1, nullptr), 2);
    const auto* background = dynamic_cast<CImageFrameItem*>(opened.GetItemAt(0));
    ASSERT_NE(background, nullptr);
    // The page refers to the unpacked set, not to where it was made.
    EXPECT_EQ(GetFolderFromPath(GetFolderFromPath(background->GetImageFileName())),
              package->GetDecodeFolder());
    EXPECT_EQ(package->GetTitle(), "Card title");
    package.reset();

    EXPECT_EQ(OpenPackage("ABCDEF_0.usm", 2, 2), -1);
    package.reset();
    for (const char* name : {"..\\ABCDEF_0.usm", "../ABCDEF_0.usm", "", "missing.usm"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(OpenPackage(name, 2), 0);
        package.reset();
    }
}

} // namespace
