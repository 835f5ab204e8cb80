#include "App/PaperNames.h"
#include "App/support/DocumentFakes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(PaperNamesTest, NamesGiveTheirCodesExactly)
{
    const struct
    {
        const char* name;
        int code;
    } cases[] = {
        {"HAGAKI", 0},  {"A6", 1},  {"R5IN", 10},          {"Panoramic", 12}, {"3.5x5", 17},
        {"WALLET", 23}, {"a6", -1}, {"A6 ", -1},           {"", -1}, // code 11 has no name
        {"Hagaki", -1}, {"A7", -1}, {"BUSINESSCARD1", 22},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaperIndexFromName(c.name), c.code) << c.name;
}

TEST(PaperNamesTest, DisplayNamesComeFromTheLastEntryOfTheirCode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Localize.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[PaperSizeString]\r\n1=0,Postcard\r\n2=3,A4 sheet\r\n3=0,Postcard, new\r\n");
    file.close();
    const struct
    {
        int code;
        const char* name;
    } cases[] = {{0, "Postcard, new"}, {3, "A4 sheet"}, {1, ""}, {-1, ""}, {11, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(GetPaperSizeName(path.toStdString(), c.code), c.name) << c.code;
    EXPECT_EQ(GetPaperSizeName(dir.filePath(QStringLiteral("missing.ini")).toStdString(), 0), "");
}

TEST(PaperNamesTest, TheDocumentFindsTheFirstEntryOfACode)
{
    DocumentFixture f;
    const std::vector<PaperSizeEntry>& list = f.document->GetPaperSizeList();
    ASSERT_FALSE(list.empty());
    for (std::size_t n = 0; n < list.size(); ++n) {
        const int found = f.document->FindPaperSizeEntry(list[n].paperId);
        ASSERT_GE(found, 0);
        EXPECT_LE(found, static_cast<int>(n));
        EXPECT_EQ(list[static_cast<std::size_t>(found)].paperId, list[n].paperId);
    }
    EXPECT_EQ(f.document->FindPaperSizeEntry(PaperIndexFromName("no such paper")), -1);
    EXPECT_EQ(f.document->FindPaperSizeEntry(11), -1);
    EXPECT_EQ(GetPaperSizeName(f.host.localizeIniPath, list.front().paperId), list.front().name);
}

} // namespace

namespace {

TEST(StripExtensionTest, OnlyTheFileNamesExtensionGoes)
{
    const struct
    {
        const char* path;
        const char* stripped;
    } cases[] = {
        {"/home/u/L/Spring.usd", "/home/u/L/Spring"},
        {"/home/u/L/Spring.tar.zvd", "/home/u/L/Spring.tar"},
        {"/home/u/my.folder/Spring", "/home/u/my.folder/Spring"},
        {"/home/u/L/.zvd", "/home/u/L/"},
        {"Spring.usd", "Spring"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CZAVEditorDoc::StripExtension(c.path), c.stripped) << c.path;
}

} // namespace
