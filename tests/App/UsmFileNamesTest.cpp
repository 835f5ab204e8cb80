#include "App/UsmFileNames.h"
#include "App/SystemLayoutFolderServices.h"
#include "Platform/ShiftJis.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

class UsmFileNamesTest : public ::testing::Test
{
protected:
    std::string Path(const std::string& relative) const
    {
        return m_dir.filePath(QString::fromStdString(relative)).toStdString();
    }
    // Writes UTF-8 text as the Shift-JIS bytes of a set index.
    std::string Write(const std::string& relative, const std::string& text) const
    {
        const std::string path = Path(relative);
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        const std::optional<std::string> bytes = Utf8ToShiftJis(text);
        EXPECT_TRUE(bytes.has_value());
        file.write(bytes->data(), static_cast<qint64>(bytes->size()));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(UsmFileNamesTest, EveryNameLineOfEverySectionCounts)
{
    const std::string usm = Write("set.usm", "[Header]\r\n"
                                             "HdFilename=\"LAYOUT01.usd\"\r\n"
                                             "hdfilename1=\"Layout02.usd\"\r\n"
                                             "HdFilename2=x\r\n"
                                             "HdFilename3=\"\"\r\n"
                                             "; HdFilename=\"comment.usd\"\r\n"
                                             "  HdFilename4=\"a;b.usd\" ; why\r\n"
                                             "HdTitle=\"Not a name\"\r\n"
                                             "Filename=\"also.usd\"\r\n"
                                             "[Pages]\r\n"
                                             "HDFILENAME5=plain.usd\n"
                                             "HdFilename6=\"写真.usd\"\r\n"
                                             "HdFilename7\r\n");
    std::vector<std::string> names{"kept"};
    ASSERT_EQ(ReadUsmHeaderFileNames(usm, &names), 1);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "LAYOUT01.usd", "Layout02.usd", "a;b.usd", "plain.usd",
                                               "写真.usd"}));
}

TEST_F(UsmFileNamesTest, NoListWithoutAFileAPathOrAList)
{
    std::vector<std::string> names;
    EXPECT_EQ(ReadUsmHeaderFileNames(Path("missing.usm"), &names), 0);
    EXPECT_EQ(ReadUsmHeaderFileNames("", &names), 0);
    EXPECT_EQ(ReadUsmHeaderFileNames(Write("set.usm", "HdFilename=\"a.usd\"\r\n"), nullptr), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(CollectUsmNamedFiles("", &names), 0);
    EXPECT_EQ(CollectUsmNamedFiles(Path(""), nullptr), 0);
}

TEST_F(UsmFileNamesTest, NamesAreFoundWithoutRegardToCaseAndOnlyAsBareNames)
{
    Write("cards/SET.USM", "[Header]\r\n"
                           "HdFilename1=\"layout01.USD\"\r\n"
                           "HdFilename2=\"..\\x.usd\"\r\n"
                           "HdFilename3=\"sub/y.usd\"\r\n"
                           "HdFilename4=\"missing.usd\"\r\n"
                           "HdFilename5=\"..\"\r\n"
                           "HdFilename6=\"Exact.usd\"\r\n");
    Write("cards/other.usm", "HdFilename=\"ZZ.usd\"\r\n");
    const std::string layout = Write("cards/LAYOUT01.usd", "x");
    const std::string exact = Write("cards/Exact.usd", "x");
    Write("cards/EXACT.usd", "x");
    Write("cards/zz.USD", "x");
    Write("x.usd", "x");
    Write("cards/..\\x.usd", "x"); // a file whose name holds the backslash
    Write("cards/sub/y.usd", "x");
    Write("cards/unlisted.usd", "x");

    std::vector<std::string> named;
    ASSERT_EQ(CollectUsmNamedFiles(Path("cards"), &named), 1);
    EXPECT_EQ(named, (std::vector<std::string>{layout, exact, Path("cards/zz.USD")}));

    SystemLayoutFolderServices services{std::string()};
    struct Case
    {
        std::string path;
        int expected;
    };
    for (const Case& c :
         {Case{layout, 1}, Case{Path("cards/layout01.usd"), 1}, Case{exact, 1}, Case{Path("cards/zz.USD"), 1},
          Case{Path("cards/unlisted.usd"), 0}, Case{Path("x.usd"), 0}, Case{Path("cards/..\\x.usd"), 0},
          Case{Path("cards/sub/y.usd"), 0}, Case{Path("cards/missing.usd"), 0}})
        EXPECT_EQ(services.IsNamedByUsmInFolder(c.path), c.expected) << c.path;
}

} // namespace
