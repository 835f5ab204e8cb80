#include "Script/UDLScript.h"

#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(UDLScriptHeader, NewScriptWritesTheDefaultHeader)
{
    TempFolder folder;
    CUDLScript script;
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("a.usd")), ReadBytes(FixturePath("default-header.usd")));
}

TEST(UDLScriptHeader, RollPaperWritesItsLength)
{
    TempFolder folder;
    CUDLScript script;
    script.SetPaperSize(7);
    script.SetMarginMode(3);
    ASSERT_EQ(script.SetRollPaperLength(3000), 1);
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    std::string expected = ReadBytes(FixturePath("roll-paper.usd"));
    expected.replace(expected.find("42,42,42,42"), 11, "0,0,-36,-36");
    EXPECT_EQ(ReadBytes(folder.File("a.usd")), expected);
}

TEST(UDLScriptHeader, AMarginTheReaderRefusesForThePaperIsNotWritten)
{
    struct Case
    {
        int paper;
        int margin;
    };
    // Each pair is one the reader refuses: cut margins on roll paper, roll
    // margins on cut paper, and the borderless modes of other papers.
    for (const Case c : {Case{7, 0}, Case{6, 1}, Case{10, 2}, Case{3, 3}, Case{22, 4}, Case{3, 5}, Case{4, 6},
                         Case{4, 2}, Case{23, 2}}) {
        SCOPED_TRACE(testing::Message() << "paper " << c.paper << ", margin " << c.margin);
        TempFolder folder;
        WriteBytes(folder.File("a.usd"), "before");
        CUDLScript script;
        script.SetPaperSize(c.paper);
        script.SetMarginMode(c.margin);
        EXPECT_EQ(script.Write(folder.File("a.usd")), 0);
        EXPECT_EQ(ReadBytes(folder.File("a.usd")), "before");
    }
}

TEST(UDLScriptHeader, GoldenFileReadsBackAndWritesByteForByte)
{
    TempFolder folder;
    const std::string original = ReadBytes(FixturePath("default-header.usd"));
    WriteBytes(folder.File("a.usd"), original);
    CUDLScript script;
    ASSERT_EQ(script.Read(folder.File("a.usd")), 1);
    EXPECT_EQ(script.GetDrawRecordCount(), 0);
    EXPECT_EQ(script.GetHeaderInfo(), UDLHeaderInfo());
    ASSERT_EQ(script.Write(folder.File("again.usd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("again.usd")), original);
}

TEST(UDLScriptHeader, LineFeedsAloneAreReadAsLineEnds)
{
    TempFolder folder;
    std::string text = ReadBytes(FixturePath("default-header.usd"));
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    WriteBytes(folder.File("a.usd"), text + "DrawLine(1,1,2,2,1,0,0,0)");
    CUDLScript script;
    ASSERT_EQ(script.Read(folder.File("a.usd")), 1);
    EXPECT_EQ(script.GetDrawRecordCount(), 1);
}

TEST(UDLScriptHeader, RollPaperRoundTripsWithARollMargin)
{
    TempFolder folder;
    // The writer writes the margin text whatever the paper, while the reader
    // accepts "42,42,42,42" only for cut papers.
    CUDLScript refused;
    EXPECT_EQ(refused.Read(FixturePath("roll-paper.usd")), 0);

    CUDLScript script;
    script.SetPaperSize(7);
    script.SetMarginMode(3);
    ASSERT_EQ(script.SetRollPaperLength(3000), 1);
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    CUDLScript back;
    ASSERT_EQ(back.Read(folder.File("a.usd")), 1);
    EXPECT_EQ(back.GetHeaderInfo(), script.GetHeaderInfo());
    ASSERT_EQ(back.Write(folder.File("b.usd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("b.usd")), ReadBytes(folder.File("a.usd")));
}

// The keys a header needs, with the given lines standing in place of some.
struct HeaderCase
{
    const char* what;
    std::vector<std::string> lines;
    bool accepted;
};

std::vector<std::string> Minimal(const std::string& paper = "A4", const std::string& margins = "42,42,42,42")
{
    return {"[HEADER]", "HdRevision=02.10", "HdDirection=Vertical", "HdPhysicalPaperSize=" + paper,
            "HdMargines=" + margins};
}

std::vector<std::string> With(std::vector<std::string> lines, std::size_t at, const std::string& line)
{
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    return lines;
}

std::vector<std::string> Without(std::vector<std::string> lines, std::size_t at)
{
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
    return lines;
}

std::vector<std::string> Replace(std::vector<std::string> lines, std::size_t at, const std::string& line)
{
    lines[at] = line;
    return lines;
}

class HeaderAcceptance : public testing::TestWithParam<HeaderCase>
{
};

TEST_P(HeaderAcceptance, ReadsOrRefuses)
{
    TempFolder folder;
    std::string text;
    for (const auto& line : GetParam().lines)
        text += line + "\r\n";
    text += "[PAGE]\r\n";
    WriteBytes(folder.File("a.usd"), text);
    CUDLScript script;
    EXPECT_EQ(script.ReadHeader(folder.File("a.usd")), GetParam().accepted ? 1 : 0) << GetParam().what;
    EXPECT_EQ(script.Read(folder.File("a.usd")), GetParam().accepted ? 1 : 0) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Script, HeaderAcceptance,
    testing::Values(
        HeaderCase{"minimal", Minimal(), true},
        HeaderCase{"first line [PAGE]", Replace(Minimal(), 0, "[PAGE]"), false},
        HeaderCase{"section case", Replace(Minimal(), 0, "[header]"), false},
        HeaderCase{"no revision", Without(Minimal(), 1), false},
        HeaderCase{"empty revision", Replace(Minimal(), 1, "HdRevision="), false},
        HeaderCase{"revision not numeric", Replace(Minimal(), 1, "HdRevision=2a"), false},
        HeaderCase{"revision beyond a double", Replace(Minimal(), 1, "HdRevision=" + std::string(400, '9')),
                   false},
        HeaderCase{"no direction", Without(Minimal(), 2), false},
        HeaderCase{"direction case", Replace(Minimal(), 2, "HdDirection=vertical"), false},
        HeaderCase{"no paper", Without(Minimal(), 3), false}, HeaderCase{"paper case", Minimal("a4"), false},
        HeaderCase{"no margins", Without(Minimal(), 4), false},
        HeaderCase{"quoted author", With(Minimal(), 2, "HdAuthor=\"\""), true},
        HeaderCase{"unquoted author", With(Minimal(), 2, "HdAuthor=abc"), false},
        HeaderCase{"flags", With(With(Minimal(), 2, "HdChangeFlag=Impossible"), 2, "HdCopyFlag=Possible"),
                   true},
        HeaderCase{"flag case", With(Minimal(), 2, "HdCopyFlag=possible"), false},
        HeaderCase{"stray key", With(With(Minimal(), 2, "HdFoo=1"), 2, "HdAuthor=\"a\""), false},
        HeaderCase{"keys out of order", With(With(Minimal(), 2, "HdAuthor=\"a\""), 2, "HdTitle=\"t\""),
                   false},
        HeaderCase{"capacity -5", With(Minimal(), 3, "HdCapacity=-5"), true},
        HeaderCase{"capacity empty", With(Minimal(), 3, "HdCapacity="), true},
        HeaderCase{"capacity 1.5", With(Minimal(), 3, "HdCapacity=1.5"), false},
        HeaderCase{"capacity out of range", With(Minimal(), 3, "HdCapacity=2147483648"), false},
        HeaderCase{"R89 with 42s", With(Minimal("R89"), 5, "HdRollPaperLength=500"), false},
        HeaderCase{"R89 with roll margins", With(Minimal("R89", "0,0,-36,-36"), 5, "HdRollPaperLength=500"),
                   true},
        HeaderCase{"A3 with mode 2", Minimal("A3", "-42,-72,-36,-36"), false},
        HeaderCase{"A3 with mode 5", Minimal("A3", "-42,-72,-50,-50"), true},
        HeaderCase{"A4 with mode 5", Minimal("A4", "-42,-72,-50,-50"), false},
        HeaderCase{"WALLET with mode 6", Minimal("WALLET", "-36,-50,-26,-26"), true},
        HeaderCase{"WALLET with mode 2", Minimal("WALLET", "-42,-72,-36,-36"), false},
        HeaderCase{"letter with mode 2", Minimal("Letter", "-42,-72,-36,-36"), true},
        HeaderCase{"unknown margins", Minimal("A4", "1,2,3,4"), false},
        HeaderCase{"roll without length", Minimal("R100", "-36,-36,-36,-36"), false},
        HeaderCase{"roll length 499", With(Minimal("R100", "0,0,-36,-36"), 5, "HdRollPaperLength=499"),
                   false},
        HeaderCase{"roll length 500", With(Minimal("R100", "0,0,-36,-36"), 5, "HdRollPaperLength=500"), true},
        HeaderCase{"roll length 15840", With(Minimal("RA4", "0,0,-36,-36"), 5, "HdRollPaperLength=15840"),
                   true},
        HeaderCase{"roll length 15841", With(Minimal("RA4", "0,0,-36,-36"), 5, "HdRollPaperLength=15841"),
                   false},
        HeaderCase{"roll length huge", With(Minimal("RA4", "0,0,-36,-36"), 5, "HdRollPaperLength=4294967796"),
                   false},
        HeaderCase{"non-roll with length", With(Minimal(), 5, "HdRollPaperLength=100"), true},
        HeaderCase{"thumbnail too long", With(Minimal(), 3, "HdThumbnail=\"" + std::string(768, 'x') + "\""),
                   false},
        HeaderCase{"thumbnail fits", With(Minimal(), 3, "HdThumbnail=\"" + std::string(767, 'x') + "\""),
                   true}));

TEST(UDLScriptHeader, MinimalHeaderReadsDefaults)
{
    TempFolder folder;
    WriteBytes(folder.File("a.usd"),
               CrLf({"[HEADER]", "HdRevision=2.10", "HdDirection=Horizontal", "HdPhysicalPaperSize=4x6",
                     "HdMargines=42,198,42,42", "HdRollPaperLength=100", "[PAGE]"}));
    CUDLScript script;
    ASSERT_EQ(script.Read(folder.File("a.usd")), 1);
    const UDLHeaderInfo& header = script.GetHeaderInfo();
    EXPECT_EQ(header.revision, 2.1);
    EXPECT_EQ(header.author, "");
    EXPECT_EQ(header.title, "");
    EXPECT_EQ(header.copyFlag, 1);
    EXPECT_EQ(header.changeFlag, 1);
    EXPECT_EQ(header.capacity, 0);
    EXPECT_EQ(header.direction, 1);
    EXPECT_EQ(header.paperSize, 2);
    EXPECT_EQ(header.marginMode, 1);
    EXPECT_EQ(header.rollPaperLength, 500);
}

TEST(UDLScriptHeader, ReadsEveryKeyAndResolvesTheThumbnail)
{
    TempFolder folder;
    WriteBytes(
        folder.File("a.usd"),
        CrLf({"; made by hand", "[HEADER]", "HdRevision=02.10", "HdAuthor=\"Ann\"", "HdCopyright=\"(c)\"",
              "HdCopyFlag=Impossible", "HdChangeFlag=Possible", "HdKeyWord=\"k\"", "HdTitle=\"a;b\" ;note",
              "HdComment=\"\x95\x5C\"", "HdDirection=Vertical", "HdSound=\"s.wav\"", "HdCapacity=1234",
              "HdThumbnail=\".\\THUMB.USF\"", "HdPhysicalPaperSize=R5IN", "HdMargines=-36,-36,-36,-36",
              "HdRollPaperLength=7000", "HdApplication=\"app\"", "[PAGE]"}));
    CUDLScript script;
    ASSERT_EQ(script.Read(folder.File("a.usd")), 1);
    UDLHeaderInfo expected;
    expected.author = "Ann";
    expected.copyright = "(c)";
    expected.copyFlag = 0;
    expected.keyword = "k";
    expected.title = "a;b";
    expected.comment = "表";
    expected.sound = "s.wav";
    expected.capacity = 1234;
    expected.thumbnail = folder.Path() + "/THUMB.USF";
    expected.paperSize = 10;
    expected.marginMode = 4;
    expected.rollPaperLength = 7000;
    expected.application = "app";
    EXPECT_EQ(script.GetHeaderInfo(), expected);
    EXPECT_EQ(script.GetThumbnail(), folder.Path() + "/THUMB.USF");
}

TEST(UDLScriptHeader, OverlongHeaderTextsAreCutAtACharacterBoundary)
{
    TempFolder folder;
    // 127 single bytes and then a double-byte character: the cut falls before it.
    const std::string title = std::string(127, 'a') + "\x95\x5C" + "tail";
    WriteBytes(folder.File("a.usd"),
               CrLf({"[HEADER]", "HdRevision=2.1", ("HdTitle=\"" + title + "\"").c_str(),
                     "HdDirection=Vertical", "HdPhysicalPaperSize=A4", "HdMargines=42,42,42,42", "[PAGE]"}));
    CUDLScript script;
    ASSERT_EQ(script.Read(folder.File("a.usd")), 1);
    EXPECT_EQ(script.GetTitle(), std::string(127, 'a'));
}

TEST(UDLScriptHeader, TextSettersRefuseWhatTheFieldCannotHold)
{
    CUDLScript script;
    EXPECT_EQ(script.SetTitle(std::string(128, 'x')), 1);
    EXPECT_EQ(script.SetTitle(std::string(129, 'x')), 0);
    EXPECT_EQ(script.GetTitle(), std::string(128, 'x'));
    EXPECT_EQ(script.SetAuthor(std::string(126, 'x') + "表"), 1); // 128 Shift-JIS bytes
    EXPECT_EQ(script.SetAuthor(std::string(127, 'x') + "表"), 0); // 129
    EXPECT_EQ(script.GetAuthor(), std::string(126, 'x') + "表");
    EXPECT_EQ(script.SetComment("line\r\nbreak"), 0);
    EXPECT_EQ(script.SetComment("tab\tis fine"), 1);
    EXPECT_EQ(script.SetComment("\xF0\x9F\x98\x80"), 0); // Shift-JIS cannot hold it
    EXPECT_EQ(script.GetComment(), "tab\tis fine");
    // A quote before ";" would end the value early on reading: refused when set.
    EXPECT_EQ(script.SetTitle("a\";b"), 0);
    EXPECT_EQ(script.GetTitle(), std::string(128, 'x'));
    EXPECT_EQ(script.SetComment("x\"y;z"), 0);
    EXPECT_EQ(script.SetAuthor("a \"q\" b"), 1);
    EXPECT_EQ(script.SetRollPaperLength(499), 0);
    EXPECT_EQ(script.SetRollPaperLength(15841), 0);
    EXPECT_EQ(script.GetRollPaperLength(), 500);
}

TEST(UDLScriptHeader, WriteRefusesValuesWithoutAFileForm)
{
    TempFolder folder;
    const std::string path = folder.File("a.usd");
    WriteBytes(path, "previous\r\n");
    for (int paper : {11, -1, 24}) {
        CUDLScript script;
        script.SetPaperSize(paper);
        EXPECT_EQ(script.Write(path), 0) << paper;
    }
    CUDLScript margins;
    margins.SetMarginMode(7);
    EXPECT_EQ(margins.Write(path), 0);
    CUDLScript thumbnail;
    thumbnail.SetThumbnail(std::string(768, 'x'));
    EXPECT_EQ(thumbnail.Write(path), 0);
    EXPECT_EQ(ReadBytes(path), "previous\r\n");
}

TEST(UDLScriptHeader, HeaderRoundTripsThroughTheFile)
{
    TempFolder folder;
    CUDLScript script;
    ASSERT_EQ(script.SetAuthor("作者"), 1);
    ASSERT_EQ(script.SetTitle("a;b \"q\" 100%"), 1);
    ASSERT_EQ(script.SetComment(""), 1);
    script.SetPaperSize(9);
    script.SetMarginMode(3);
    ASSERT_EQ(script.SetRollPaperLength(15840), 1);
    script.SetDirection(1);
    script.SetCapacity(-7);
    script.SetThumbnail(folder.Path() + "/a/THUMB.USF");
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    EXPECT_NE(ReadBytes(folder.File("a.usd")).find("HdThumbnail=\".\\a\\THUMB.USF\"\r\n"), std::string::npos);
    CUDLScript back;
    ASSERT_EQ(back.Read(folder.File("a.usd")), 1);
    EXPECT_EQ(back.GetHeaderInfo(), script.GetHeaderInfo());
    ASSERT_EQ(back.Write(folder.File("b.usd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("b.usd")), ReadBytes(folder.File("a.usd")));
}

// Bytes that Shift-JIS cannot decode (0x80, and 0x82 without its second byte)
// placed in a layout script: in comments and in lines the reader does not need
// they do not matter; in a line it reads they fail the read.
struct UndecodableCase
{
    const char* what;
    std::size_t at; // the line replaced
    std::string line;
    int read;
    int readHeader;
};

void PrintTo(const UndecodableCase& c, std::ostream* os)
{
    *os << c.what;
}

class UndecodableBytes : public testing::TestWithParam<UndecodableCase>
{
};

TEST_P(UndecodableBytes, MatterOnlyWhereTheReaderNeedsThem)
{
    std::vector<std::string> lines = {"[HEADER]",
                                      "HdRevision=02.10",
                                      "HdTitle=\"t\"",
                                      "HdDirection=Vertical",
                                      "HdPhysicalPaperSize=A4",
                                      "HdMargines=42,42,42,42",
                                      "[PAGE]",
                                      "DrawLine(1,1,2,2,1,0,0,0)",
                                      ";end"};
    lines[GetParam().at] = GetParam().line;
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    TempFolder folder;
    WriteBytes(folder.File("a.usd"), text);
    CUDLScript header;
    EXPECT_EQ(header.ReadHeader(folder.File("a.usd")), GetParam().readHeader) << GetParam().what;
    CUDLScript script;
    ASSERT_EQ(script.Read(folder.File("a.usd")), GetParam().read) << GetParam().what;
    if (GetParam().read == 1) {
        EXPECT_EQ(script.GetHeaderInfo().title, "t") << GetParam().what;
        EXPECT_EQ(script.GetDrawRecordCount(), 1) << GetParam().what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    UDLScriptHeader, UndecodableBytes,
    testing::Values(
        UndecodableCase{"comment after the title", 2, "HdTitle=\"t\" ;\x80 \x82", 1, 1},
        UndecodableCase{"comment after a section line", 0, "[HEADER];\x80\x82", 1, 1},
        UndecodableCase{"comment after an object line", 7, "DrawLine(1,1,2,2,1,0,0,0) ;\x80\x82", 1, 1},
        UndecodableCase{"comment line", 8, "; \x80 \x82", 1, 1},
        UndecodableCase{"inside the title", 2, "HdTitle=\"\x80 \x82\"", 0, 0},
        UndecodableCase{"inside the title before a comment", 2, "HdTitle=\"t\x80\" ;c", 0, 0},
        UndecodableCase{"lead byte taking the comment's semicolon", 2, "HdTitle=\"t\" \x82;c", 0, 0},
        // The header reader stops before the objects; the full reader would
        // otherwise take the bad line for the end of the list.
        UndecodableCase{"inside an object line", 7, "DrawLine(1,1,2,2,1,0,0,0)\x80", 0, 1}));

} // namespace
