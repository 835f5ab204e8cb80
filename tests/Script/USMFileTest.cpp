#include "Script/USMFile.h"

#include "Core/Path.h"
#include "Core/support/ScopedTmpDir.h"
#include "Script/UDLScript.h"
#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string IndexText(std::initializer_list<const char*> keys)
{
    std::string text = "[HEADER]\r\n";
    for (const char* key : keys)
        text += std::string(key) + "\r\n";
    return text;
}

struct ReadCase
{
    const char* name;
    std::string text;
    bool reads;
};

TEST(USMFileReadTest, KeysInOrderWithTheirForms)
{
    const ReadCase cases[] = {
        {"three counted, two named",
         IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdCount=3",
                    "HdFilename=\"A.usd\"", "HdFilename=\"B.usd\""}),
         false},
        {"no HdCapability",
         IndexText({"HdRevision=01.00", "HdClassification=00.01", "HdCount=1", "HdFilename=\"A.usd\""}),
         false},
        {"HdCount=2.0",
         IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdCount=2.0",
                    "HdFilename=\"A.usd\"", "HdFilename=\"B.usd\""}),
         false},
        {"HdFilename before HdCount",
         IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdFilename=\"A.usd\"",
                    "HdCount=1"}),
         false},
        {"HdCount=4294967296",
         IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdCount=4294967296",
                    "HdFilename=\"A.usd\""}),
         false},
        {"HdCapability=-2147483649",
         IndexText({"HdRevision=01.00", "HdCapability=-2147483649", "HdClassification=00.01", "HdCount=1",
                    "HdFilename=\"A.usd\""}),
         false},
        {"no file name",
         IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdCount=0"}), false},
        {"an unquoted file name",
         IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdCount=1",
                    "HdFilename=A.usd"}),
         false},
        {"an empty revision",
         IndexText({"HdRevision=", "HdCapability=0", "HdClassification=00.01", "HdCount=1",
                    "HdFilename=\"A.usd\""}),
         false},
        {"another section first", "[PAGE]\r\n[HEADER]\r\nHdRevision=01.00\r\n", false},
        {"HdRevision=1.5 and HdClassification=-0.25",
         IndexText({"HdRevision=1.5", "HdCapability=-7", "HdClassification=-0.25", "HdCount=1",
                    "HdFilename=\"A.usd\""}),
         true},
    };
    TempFolder folder;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(folder.File("a.usm"), c.text);
        CUSMFile index;
        EXPECT_EQ(index.ReadIndex(folder.File("a.usm")), c.reads ? 1 : 0);
    }
    CUSMFile missing;
    EXPECT_EQ(missing.ReadIndex(folder.File("none.usm")), 0);
}

TEST(USMFileReadTest, ValuesAndOptionalTexts)
{
    TempFolder folder;
    WriteBytes(
        folder.File("a.usm"),
        IndexText({"HdRevision=1.5", "HdTitle=\"Title ; x\"", "HdComment=\"\"", "HdCapability=12345",
                   "HdClassification=-0.25", "HdCount=3", "HdFilename=\"A.usd\"", "HdFilename=\"B.usd\"",
                   "HdFilename=\"..\\C.usd\"", "HdDSCThumbnail=\".\\AB\\AB.ctf\""}));
    CUSMFile index;
    ASSERT_EQ(index.ReadIndex(folder.File("a.usm")), 1);
    EXPECT_EQ(index.GetHeader().revision, 1.5);
    EXPECT_EQ(index.GetTitle(), "Title ; x");
    EXPECT_EQ(index.GetComment(), "");
    EXPECT_EQ(index.GetHeader().capability, 12345);
    EXPECT_EQ(index.GetClassification(), -0.25);
    EXPECT_EQ(index.GetCount(), 3);
    EXPECT_EQ(index.GetFilename(0), "A.usd");
    EXPECT_EQ(index.GetFilename(2), "..\\C.usd"); // as written; the reader of a set judges it
    EXPECT_EQ(index.GetFilename(3), "");
    EXPECT_EQ(index.GetFilename(-1), "");
    EXPECT_EQ(index.GetHeader().cameraThumbnail, ".\\AB\\AB.ctf");

    WriteBytes(folder.File("b.usm"),
               IndexText({"HdRevision=01.00", "HdCapability=0", "HdClassification=00.01", "HdCount=1",
                          "HdFilename=\"A.usd\""}));
    CUSMFile bare;
    ASSERT_EQ(bare.ReadIndex(folder.File("b.usm")), 1);
    EXPECT_EQ(bare.GetTitle(), "");
    EXPECT_EQ(bare.GetComment(), "");
    EXPECT_EQ(bare.GetHeader().cameraThumbnail, "");
}

// A set of chosen variants named with the camera suffix, writing into the
// temporary folder, as the camera variant does.
class TestSet : public CUSMFile
{
public:
    using CUSMFile::AddVariant;
    int MakeIndexFileName(const std::string& destination) override
    {
        const int result = BuildIndexPath(destination, "_0");
        std::string temp;
        if (result == 1 && GetTempFolder(temp) == 1)
            m_tempIndexPath = CombinePath(GetFolderFromPath(temp), GetFileNameFromPath(m_indexPath, true));
        return result;
    }
};

class FixedDocument : public IUSMDocument
{
public:
    std::string GetTitle() const override { return "Set title"; }
    std::string GetComment() const override { return "Set comment"; }
};

TEST(USMFileNameTest, IndexAndMemberNames)
{
    CUSMFile plain;
    ASSERT_EQ(plain.Init(nullptr, "", "/cards/AB.usd"), 1);
    EXPECT_EQ(plain.GetIndexPath(), "/cards/AB    __.usm");
    ASSERT_EQ(plain.Init(nullptr, "", "/cards/ABCDEFGHI.usd"), 1);
    EXPECT_EQ(plain.GetIndexPath(), "/cards/ABCDEF__.usm");

    TestSet set;
    ASSERT_EQ(set.Init(nullptr, "", "/cards/AB.usd"), 1);
    EXPECT_EQ(set.GetIndexPath(), "/cards/AB    _0.usm");
    set.AddVariant({18, 0});
    set.AddVariant({0, 2});
    set.AddVariant({11, 0});
    set.AddVariant({17, 3});
    std::string name;
    ASSERT_EQ(set.FormatUsdFileName(0, name), 1);
    EXPECT_EQ(name, "AB    11.usd");

    set.Reset();
    ASSERT_EQ(set.Init(nullptr, "", "/cards/ABCDEF.usd"), 1);
    set.AddVariant({18, 0});
    set.AddVariant({0, 2});
    set.AddVariant({11, 0});
    set.AddVariant({17, 3});
    ASSERT_EQ(set.FormatUsdFileName(0, name), 1);
    EXPECT_EQ(name, "ABCDEF11.usd");
    ASSERT_EQ(set.FormatUsdFileName(1, name), 1);
    EXPECT_EQ(name, "ABCDEF30.usd");
    EXPECT_EQ(set.FormatUsdFileName(2, name), 0);
    EXPECT_EQ(set.FormatUsdFileName(3, name), 0);
    EXPECT_EQ(set.FormatUsdFileName(4, name), 0);
    std::vector<std::string> names;
    EXPECT_EQ(set.MakeUsdFileName(names), 0);

    std::string folder;
    ASSERT_EQ(set.GetMemberFolder(folder), 1);
    EXPECT_EQ(folder, "/cards/ABCDEF_0");
    std::string path = "/cards/ABCDEF_0/A.eff";
    ASSERT_EQ(set.MakeRelativeToIndex(path), 1);
    EXPECT_EQ(path, "./ABCDEF_0/A.eff");
    EXPECT_EQ(NativeToStoredReference(path), ".\\ABCDEF_0\\A.eff");

    set.Reset();
    EXPECT_EQ(set.GetIndexPath(), "");
    EXPECT_TRUE(set.GetVariants().empty());
    EXPECT_EQ(set.FormatUsdFileName(0, name), 0);
    EXPECT_EQ(set.GetMemberFolder(folder), 0);
}

class USMFileExportTest : public ::testing::Test
{
protected:
    USMFileExportTest() : m_tmp(m_scratch.Path()) {}

    // The set's temporary folder, made as the camera variant makes it.
    std::string SetFolder(TestSet& set)
    {
        std::string temp;
        EXPECT_EQ(set.GetTempFolder(temp), 1);
        std::filesystem::create_directories(temp);
        return temp;
    }

    TempFolder m_scratch;
    ScopedTmpDir m_tmp;
    TempFolder m_cards;
};

TEST_F(USMFileExportTest, TheByteTotalCountsItsOwnDigits)
{
    struct Case
    {
        std::size_t effBytes;
        std::size_t thumbBytes;
        const char* capacity;
    };
    // The member alone, "[HEADER]" and "HdCapacity=0", is 24 bytes.
    const Case cases[] = {{0, 74, "99"}, {0, 75, "101"}, {10, 64, "99"}, {0, 0, "25"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        TestSet set;
        ASSERT_EQ(set.Init(nullptr, "", m_cards.File("ABCDEF.usd")), 1);
        const std::string temp = SetFolder(set);
        std::filesystem::remove(temp + "/ABCDEF.eff");
        std::filesystem::remove(temp + "/THUMB.USF");
        if (c.effBytes)
            WriteBytes(temp + "/ABCDEF.eff", std::string(c.effBytes, 'e'));
        if (c.thumbBytes)
            WriteBytes(temp + "/THUMB.USF", std::string(c.thumbBytes, 't'));
        const std::string member = m_cards.File("m.usd");
        WriteBytes(member, "[HEADER]\r\nHdCapacity=0\r\n");
        ASSERT_EQ(set.UpdateUsdCapacity(member), 1);
        EXPECT_EQ(ReadBytes(member), std::string("[HEADER]\r\nHdCapacity=") + c.capacity + "\r\n");
        EXPECT_EQ(std::to_string(std::filesystem::file_size(member) + c.effBytes + c.thumbBytes), c.capacity);
    }
}

TEST_F(USMFileExportTest, ARollPaperMemberIsRefusedForItsReaderWouldRefuseIt)
{
    // Set members carry a cut paper's margin (their names have no character
    // for a roll margin), which no reader accepts on roll paper.
    TestSet set;
    const std::string source = m_cards.File("usmtemp.usd");
    {
        CUDLScript script;
        script.SetPaperSize(17);
        script.SetMarginMode(2);
        UDLDrawRecord photo;
        photo.picture = UDLPicturePart{"", 1, 0, 0, 1332, 1914, 1, 0, 4};
        script.SetDrawRecords({photo});
        ASSERT_EQ(script.Write(source), 1);
    }
    FixedDocument document;
    ASSERT_EQ(set.Init(&document, source, m_cards.File("ABCDEF.usd")), 1);
    set.AddVariant({17, 2});
    set.AddVariant({7, 0});
    const std::string temp = SetFolder(set);
    EXPECT_NE(set.Export(), 1);
    EXPECT_FALSE(std::filesystem::exists(GetFolderFromPath(temp) + "/ABCDEF71.usd"));
}

TEST_F(USMFileExportTest, MembersTakeTheirPairsPaperAndTheSourcesTexts)
{
    TestSet set;
    const std::string source = m_cards.File("usmtemp.usd");
    {
        CUDLScript script;
        script.SetPaperSize(17);
        script.SetMarginMode(2);
        script.SetDirection(1);
        ASSERT_EQ(script.SetAuthor("Author"), 1);
        ASSERT_EQ(script.SetTitle("Title"), 1);
        ASSERT_EQ(script.SetComment("Comment"), 1);
        script.SetThumbnail(m_cards.File("usmtemp/THUMB.USF"));
        UDLDrawRecord photo;
        photo.picture = UDLPicturePart{"", 1, 0, 0, 1332, 1914, 1, 0, 4};
        UDLDrawRecord frame;
        frame.picture = UDLPicturePart{m_cards.File("usmtemp/ABCDEF.eff"), 0, 10, 20, 1300, 1900, 0, 0, 4};
        UDLDrawRecord text;
        text.type = UDLDrawText;
        text.text.imageFileName = ".\\usmtemp\\Image002.eff";
        text.text.right = 100;
        text.text.bottom = 50;
        script.SetDrawRecords({photo, frame, text});
        ASSERT_EQ(script.Write(source), 1);
    }
    FixedDocument document;
    ASSERT_EQ(set.Init(&document, source, m_cards.File("ABCDEF.usd")), 1);
    set.AddVariant({17, 2});
    set.AddVariant({0, 0});
    const std::string temp = SetFolder(set);
    ASSERT_EQ(set.Export(), 1);
    ASSERT_EQ(set.Save(), 1);

    const std::string tempRoot = GetFolderFromPath(temp);
    EXPECT_EQ(set.GetHeader().fileNames,
              (std::vector<std::string>{tempRoot + "/ABCDEF00.usd", tempRoot + "/ABCDEF31.usd"}));
    EXPECT_EQ(set.GetTitle(), "Set title");
    EXPECT_EQ(set.GetCount(), 2);

    CUDLScript base;
    ASSERT_EQ(base.Read(tempRoot + "/ABCDEF00.usd"), 1);
    EXPECT_EQ(base.GetPaperSize(), 17);
    EXPECT_EQ(base.GetMarginMode(), 2);
    EXPECT_EQ(base.GetDirection(), 1);
    EXPECT_EQ(base.GetAuthor(), "Author");
    EXPECT_EQ(base.GetTitle(), "Title");
    EXPECT_EQ(base.GetComment(), "Comment");
    ASSERT_EQ(base.GetDrawRecordCount(), 3);
    EXPECT_EQ(base.GetDrawRecord(1)->picture.right, 1300); // the base pair keeps the geometry
    const std::string baseText = ReadBytes(tempRoot + "/ABCDEF00.usd");
    EXPECT_NE(baseText.find("HdThumbnail=\".\\ABCDEF_0\\THUMB.USF\""), std::string::npos);
    EXPECT_NE(baseText.find("\".\\ABCDEF_0\\ABCDEF.eff\",0,10,20,1300,1900"), std::string::npos);
    EXPECT_NE(baseText.find("\".\\ABCDEF_0\\Image002.eff\""), std::string::npos);
    EXPECT_EQ(baseText.find("HdRollPaperLength"), std::string::npos);

    const std::string card = ReadBytes(tempRoot + "/ABCDEF31.usd");
    EXPECT_NE(card.find("HdPhysicalPaperSize=HAGAKI\r\nHdMargines=42,42,42,42\r\n"), std::string::npos);
    EXPECT_NE(card.find("\"\",1,3,3,1326,2006,"), std::string::npos) << card;
    EXPECT_NE(card.find("HdCapacity=" + std::to_string(card.size()) + "\r\n"), std::string::npos);
    CUDLScript member;
    EXPECT_EQ(member.Read(tempRoot + "/ABCDEF31.usd"), 1);

    const std::string index = ReadBytes(tempRoot + "/ABCDEF_0.usm");
    EXPECT_EQ(index, "[HEADER]\r\nHdRevision=01.00\r\nHdTitle=\"Set title\"\r\nHdComment=\"Set comment\"\r\n"
                     "HdCapability=0\r\nHdClassification=00.01\r\nHdCount=2\r\n"
                     "HdFilename=\"ABCDEF00.usd\"\r\nHdFilename=\"ABCDEF31.usd\"\r\n");
}

TEST_F(USMFileExportTest, APairOutsideTheTablesFailsTheExport)
{
    TestSet set;
    const std::string source = m_cards.File("usmtemp.usd");
    CUDLScript script;
    ASSERT_EQ(script.Write(source), 1);
    ASSERT_EQ(set.Init(nullptr, source, m_cards.File("ABCDEF.usd")), 1);
    set.AddVariant({17, 2});
    set.AddVariant({11, 0});
    SetFolder(set);
    EXPECT_EQ(set.Export(), 0);
    EXPECT_EQ(set.Save(), 0);

    TestSet unreadable;
    ASSERT_EQ(unreadable.Init(nullptr, m_cards.File("none.usd"), m_cards.File("ABCDEF.usd")), 1);
    unreadable.AddVariant({17, 2});
    EXPECT_EQ(unreadable.Export(), 0);
    EXPECT_TRUE(unreadable.GetHeader().fileNames.empty());
}

} // namespace
