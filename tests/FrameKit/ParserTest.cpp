#include "FrameKit/Parser.h"
#include "Core/support/ScratchFolder.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Keys(const ZAVParser& parser, const char* section)
{
    std::string out;
    const ZAV_Section* s = parser.FindSection(section);
    if (s == nullptr)
        return "<none>";
    for (const auto& k : s->keys)
        out += std::string(k->name) + (k->isDrawLine ? "~" : "=") + k->value + "|";
    return out;
}

TEST(FrameParser, LineEndFormsGiveTheSameSections)
{
    const char* ends[] = {"\n", "\r\n", "\n\r", "\r\r"};
    for (const char* e : ends) {
        std::string text = std::string("[HEADER]") + e + "HdTitle = \"A;B\" ; note" + e + e + "[PAGE]" + e +
                           "DrawLine(1,2,3,4,5)" + e + "Last=1";
        ZAVParser parser;
        ASSERT_EQ(parser.ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
        EXPECT_EQ(parser.SectionCount(), 2);
        EXPECT_EQ(Keys(parser, "HEADER"), "HdTitle=\"A;B\" |");
        EXPECT_EQ(Keys(parser, "PAGE"), "DrawLine~(1,2,3,4,5)|Last=1|");
        char title[16];
        ASSERT_TRUE(parser.GetValue("HEADER", "HdTitle", title, sizeof title, -1, true));
        EXPECT_STREQ(title, "A;B ");
    }
}

TEST(FrameParser, LexicalRules)
{
    struct Case
    {
        std::string text;
        int rc;
        std::string keys; // keys of [S]
    } cases[] = {
        {"[S]\n" + std::string(70, 'k') + "=1\nok=2", ZAV_OK, "ok=2|"},
        {"early=1\n[S]\nx=2", ZAV_OK, "x=2|"},
        {"[S]\n[T", ZAV_ERR_SYNTAX, ""},
        {"[S]\nq=\"%\";x\";c", ZAV_OK, "q=\"%\";x\"|"},
        {"[S]\n  spaced name =  v  ;c\n\tnoseparator", ZAV_OK, "spacedname=v  |"},
        {"[S]\nn=\x95\x5C\n", ZAV_OK, "n=\x95\x5C|"},
        {"[S]\nn=\x95\n=x", ZAV_OK, "n=\x95\n=x|"},
    };
    for (const Case& c : cases) {
        ZAVParser parser;
        EXPECT_EQ(parser.ParseMemory(c.text.data(), c.text.size(), nullptr), c.rc) << c.text;
        if (c.rc == ZAV_OK) {
            EXPECT_EQ(Keys(parser, "S"), c.keys) << c.text;
        }
    }
}

TEST(FrameParser, LongLinesAndStopSection)
{
    std::string text = "[HEADER]\nk=" + std::string(598, 'v') + "\n[PAGE]\nz=1\n[MORE]\ny=2";
    ZAVParser parser;
    ASSERT_EQ(parser.ParseMemory(text.data(), text.size(), "HEADER"), ZAV_OK);
    EXPECT_EQ(parser.SectionCount(), 2);
    EXPECT_EQ(Keys(parser, "PAGE"), "");
    char v[600];
    ASSERT_TRUE(parser.GetValue("HEADER", "k", v, sizeof v, -1, false));
    EXPECT_EQ(std::string(v).size(), 510u); // 512 line characters less "k="
}

TEST(FrameParser, HeaderNumbers)
{
    struct Case
    {
        const char* text;
        int rcMajor, major, rcMinor, minor, rcDir, dir, rcMargins;
        int m[4];
    } cases[] = {
        {"HdRevision=1.10\nHdDirection=Vertical\nHdMargines=-1, 2,3,-40",
         0,
         1,
         0,
         10,
         0,
         0,
         0,
         {-1, 2, 3, -40}},
        {"HdRevision=1.1\nHdDirection=Horizontal\nHdMargines=1,2,3", 0, 1, 0, 1, 0, 1, 6001, {}},
        {"HdRevision=2\nHdDirection=vertical\nHdMargines=1,2,x,4", 0, 2, 6001, 0, 6001, 0, 6001, {}},
        {"HdMargines=1,2,3,4,5", 6001, 0, 6001, 0, 6001, 0, 6001, {}},
        {"HdMargines=1-2,2,3,4", 6001, 0, 6001, 0, 6001, 0, 6001, {}},
    };
    for (const Case& c : cases) {
        std::string text = std::string("[HEADER]\n") + c.text;
        ZAVParser parser;
        ASSERT_EQ(parser.ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
        unsigned char major = 0, minor = 0;
        int dir = -1, m[4] = {};
        EXPECT_EQ(parser.GetRevisionMajor(&major), c.rcMajor) << c.text;
        EXPECT_EQ(parser.GetRevisionMinor(&minor), c.rcMinor) << c.text;
        EXPECT_EQ(parser.GetDirection(&dir), c.rcDir) << c.text;
        EXPECT_EQ(parser.GetMargins(&m[0], &m[1], &m[2], &m[3]), c.rcMargins) << c.text;
        if (c.rcMajor == 0) {
            EXPECT_EQ(major, c.major) << c.text;
        }
        if (c.rcMinor == 0) {
            EXPECT_EQ(minor, c.minor) << c.text;
        }
        if (c.rcDir == 0) {
            EXPECT_EQ(dir, c.dir) << c.text;
        }
        for (int i = 0; c.rcMargins == 0 && i < 4; ++i) {
            EXPECT_EQ(m[i], c.m[i]) << c.text;
        }
    }
}

TEST(FrameParser, MissingFileAndFifo)
{
    ZAVParser missing("/nonexistent-framekit/x.usd");
    EXPECT_EQ(missing.Parse(nullptr), ZAV_ERR_NOT_FOUND);
    ScratchFolder scratch;
    const std::string fifo = scratch / "fifo.usd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ZAVParser pipe(fifo.c_str());
    EXPECT_EQ(pipe.Parse(nullptr), ZAV_ERR_FILE_IO);
}

} // namespace
