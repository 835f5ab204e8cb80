#include "Core/TextOps.h"

#include "Core/support/GuiApp.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

TEST(TextOps, CountsLinesAndCharacters)
{
    EXPECT_EQ(CountLines(""), 1);
    EXPECT_EQ(CountLines("a"), 1);
    EXPECT_EQ(CountLines("a\nb"), 2);
    EXPECT_EQ(CountLines("a\nb\n"), 2);
    EXPECT_EQ(CountLines("\n\n"), 2);
    EXPECT_EQ(CountChar("a,b,,c", ','), 3);
    EXPECT_EQ(CountChar("", ','), 0);
}

TEST(TextOps, GetLineText)
{
    std::string line = "stale";
    const std::string text = "first\n\nthird\r\nlast";
    ASSERT_TRUE(GetLineText(text, 0, line, 260));
    EXPECT_EQ(line, "first");
    ASSERT_TRUE(GetLineText(text, 1, line, 260)); // empty, but ended by a line feed
    EXPECT_EQ(line, "");
    ASSERT_TRUE(GetLineText(text, 2, line, 260)); // the carriage return ends it
    EXPECT_EQ(line, "third");
    ASSERT_TRUE(GetLineText(text, 3, line, 260));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(GetLineText(text, 4, line, 260));
    EXPECT_FALSE(GetLineText("a\n", 1, line, 260)); // an empty last line
    EXPECT_FALSE(GetLineText("a", 5, line, 260));
    EXPECT_FALSE(GetLineText("a", -1, line, 260));
    EXPECT_FALSE(GetLineText("a", 0, line, 0));
    // Cut to the buffer less its terminator, never inside a character.
    ASSERT_TRUE(GetLineText("abcdef", 0, line, 4));
    EXPECT_EQ(line, "abc");
    ASSERT_TRUE(GetLineText("a表示", 0, line, 6)); // 1 + 3 bytes fit in 5, the next 3 do not
    EXPECT_EQ(line, "a表");
}

TEST(TextOps, IsNumericString)
{
    struct Case
    {
        const char* text;
        bool integerOnly;
        bool numeric;
    };
    const Case cases[] = {
        {"", true, true},       {"-", true, true},      {"123", true, true},   {"-12", true, true},
        {"1.2.3", false, true}, {"1.2.3", true, false}, {"1-2", false, false}, {"12a", false, false},
        {" 12", false, false},  {"+1", false, false},   {"--1", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNumericString(c.text, c.integerOnly), c.numeric) << '"' << c.text << '"' << c.integerOnly;
}

TEST(TextOps, DeleteLastCharRemovesAWholeCharacter)
{
    EXPECT_EQ(DeleteLastChar("ab"), "a");
    EXPECT_EQ(DeleteLastChar("a表"), "a");
    EXPECT_EQ(DeleteLastChar("表示"), "表");
    EXPECT_EQ(DeleteLastChar("a\xF0\x9F\x98\x80"), "a"); // four bytes
    EXPECT_EQ(DeleteLastChar("a\xE8"), "a");             // a broken sequence goes byte by byte
    EXPECT_EQ(DeleteLastChar(""), "");
}

TEST(TextOps, Unescaping)
{
    std::string text = "a\\nb\\n\\n";
    UnescapeNewline(text);
    EXPECT_EQ(text, "a\nb\n\n");
    text = "x\\\\ny"; // a backslash, then the escape
    UnescapeNewline(text);
    EXPECT_EQ(text, "x\\\ny");
    text = "a\\rb\\tc\\n";
    UnescapeCarriageReturn(text);
    EXPECT_EQ(text, "a\rb\\tc\\n");
    UnescapeTab(text);
    EXPECT_EQ(text, "a\rb\tc\\n");
    text = "\\";
    UnescapeTab(text);
    EXPECT_EQ(text, "\\");
}

TEST(TextOps, StripIniComment)
{
    struct Case
    {
        const char* line;
        const char* stripped;
    };
    const Case cases[] = {
        {"key=value ; note", "key=value "},
        {"no comment", "no comment"},
        {"a=\"x;y\" ; note", "a=\"x;y\" "},
        {"a=\"x%\";y\"", "a=\"x%\";y\""}, // "%" escapes the quote: the ";" stays inside
        {"a=\"x%%\";y", "a=\"x%%\""},     // an even run does not escape
        {"a=\"never closed;", "a=\"never closed;"},
        {";all", ""},
        {"a=\"q\"\"r;s\";t", "a=\"q\"\"r;s\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StripIniComment(c.line), c.stripped) << c.line;
}

TEST(TextOps, StripQuotes)
{
    EXPECT_EQ(StripQuotes("\"\""), "");
    EXPECT_EQ(StripQuotes("\""), "\"");
    EXPECT_EQ(StripQuotes("\"abc\""), "abc");
    EXPECT_EQ(StripQuotes("\"abc"), "abc");
    EXPECT_EQ(StripQuotes("abc\""), "abc");
    EXPECT_EQ(StripQuotes("\"\"\""), "\"");
}

TEST(TextOps, ClipboardText)
{
    EnsureGuiApp();
    QGuiApplication::clipboard()->setText(QString::fromUtf8("貼り付け\nテキスト"));
    EXPECT_EQ(GetClipboardText(), "貼り付け\nテキスト");
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(GetClipboardText(), "");
}
