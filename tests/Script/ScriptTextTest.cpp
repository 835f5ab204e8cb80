#include "Script/ScriptText.h"

#include <gtest/gtest.h>

namespace {

struct CommentCase
{
    const char* line;
    const char* expected;
};

class StripCommentTable : public testing::TestWithParam<CommentCase>
{
};

TEST_P(StripCommentTable, CutsAtFirstSemicolonOutsideQuotes)
{
    std::string line = GetParam().line;
    StripComment(line);
    EXPECT_EQ(line, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Script, StripCommentTable,
    testing::Values(CommentCase{"HdTitle=\"a;b\" ;note", "HdTitle=\"a;b\" "}, // first ";" quoted
                    CommentCase{"\"x%\";y\";z", "\"x%\";y\""},                // odd run: escaped quote
                    CommentCase{"\"x%%\";y", "\"x%%\""},                      // even run: closing quote
                    CommentCase{"\"x%%%\";y\";z", "\"x%%%\";y\""},            // run of three is odd
                    CommentCase{"\"open;a;b", "\"open;a;b"},                  // never closed: nothing cut
                    CommentCase{"a=1;c", "a=1"}, CommentCase{";only", ""},
                    CommentCase{"no comment", "no comment"},
                    CommentCase{"\"a\"\"b;c\";d", "\"a\"\"b;c\""}, // two quoted texts in a row
                    CommentCase{"表=\"値;\";注", "表=\"値;\""}));  // multibyte text around

class StripShiftJisCommentTable : public testing::TestWithParam<CommentCase>
{
};

TEST_P(StripShiftJisCommentTable, CutsOnTheFileBytesByWholeCharacters)
{
    std::string bytes = GetParam().line;
    StripShiftJisComment(bytes);
    EXPECT_EQ(bytes, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Script, StripShiftJisCommentTable,
    testing::Values(CommentCase{"HdTitle=\"a;b\" ;note", "HdTitle=\"a;b\" "},
                    CommentCase{"\"x%\";y\";z", "\"x%\";y\""}, CommentCase{"\"x%%\";y", "\"x%%\""},
                    CommentCase{"\"open;a;b", "\"open;a;b"}, CommentCase{";only", ""},
                    CommentCase{"a=1 ;\x80 x\x82", "a=1 "}, // bytes no decoder takes, in the comment
                    CommentCase{"\x95\x5C=\"\x92\x6C;\";\x92\x8D", "\x95\x5C=\"\x92\x6C;\""}, // 表="値;";注
                    CommentCase{"k=\x82;c", "k=\x82;c"},           // a lead byte takes the ";" along
                    CommentCase{"k=\"\x82\";c", "k=\"\x82\";c"})); // ... or the closing quote

struct FieldCase
{
    const char* remainder;
    const char* field;
    std::size_t result;
};

class NextFieldTable : public testing::TestWithParam<FieldCase>
{
};

TEST_P(NextFieldTable, TakesFirstField)
{
    std::string field = "stale";
    EXPECT_EQ(NextField(GetParam().remainder, field), GetParam().result);
    EXPECT_EQ(field, GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Script, NextFieldTable,
                         testing::Values(FieldCase{"\"a,b\",3)", "\"a,b\"", 6}, FieldCase{"3)", "3", 2},
                                         FieldCase{"abc", "", 0}, FieldCase{"", "", 0},
                                         FieldCase{"  7 ,8)", "7", 5},                // trimmed
                                         FieldCase{"\"a%\",b\",1)", "\"a%\",b\"", 8}, // escaped quote
                                         FieldCase{"\"a%%\",b)", "\"a%%\"", 6},       // even run closes
                                         FieldCase{"\"a,b", "", 0},                   // never closed
                                         FieldCase{"\"a)\")", "\"a)\"", 5},           // ")" inside quotes
                                         FieldCase{"\"x\"", "", 0}));                 // no separator after

TEST(ScriptText, UnquoteNeedsQuoteAtBothEnds)
{
    std::string one = "\"";
    EXPECT_EQ(UnquoteString(one), 0);
    EXPECT_EQ(one, "\"");
    std::string begins = "\"abc";
    EXPECT_EQ(UnquoteString(begins), 0);
    EXPECT_EQ(begins, "\"abc");
    std::string empty = "\"\"";
    EXPECT_EQ(UnquoteString(empty), 1);
    EXPECT_EQ(empty, "");
    std::string text = "\"a\"b\"";
    EXPECT_EQ(UnquoteString(text), 1);
    EXPECT_EQ(text, "a\"b");
}

TEST(ScriptText, EscapesAndUnescapesInverse)
{
    for (const char* original : {"", "plain", "\"", "%", "%\"", "\"%", "%%\"\"%", "a\"b%c", "%%%"}) {
        std::string text = original;
        EscapePercents(text);
        EscapeQuotes(text);
        std::string back = text;
        UnescapeQuotes(back);
        UnescapePercents(back);
        EXPECT_EQ(back, original) << "escaped: " << text;
    }
    std::string quotes = "a\"b\"";
    EscapeQuotes(quotes);
    EXPECT_EQ(quotes, "a%\"b%\"");
    std::string percents = "5%%";
    EscapePercents(percents);
    EXPECT_EQ(percents, "5%%%%");
    std::string mixed = "%%\"";
    UnescapeQuotes(mixed);
    EXPECT_EQ(mixed, "%\"");
}

TEST(ScriptText, TrimsScriptBlanksOnly)
{
    EXPECT_EQ(TrimScriptBlanks(" \t\v\f\r\nx y\r\n "), "x y");
    EXPECT_EQ(TrimScriptBlanks("\xE3\x80\x80x"), "\xE3\x80\x80x"); // a full-width space is text
}

} // namespace
