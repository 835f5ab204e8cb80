#include "FrameKit/LayoutSearch.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PaperTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FrameLayoutSearch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("framekit-search-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void Layout(const fs::path& p, const std::string& paper, const std::string& margins = "42,42,42,42",
                const std::string& revision = "2.10")
    {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary)
            << "[HEADER]\r\nHdRevision=" << revision << "\r\nHdTitle=\"" << p.stem().string()
            << "\"\r\nHdDirection=Vertical\r\nHdThumbnail=\".\\t.bmp\"\r\nHdPhysicalPaperSize=" << paper
            << "\r\nHdMargines=" << margins << "\r\n[PAGE]\r\nDrawLine(1,1,9,1,1,0,0,0)\r\n";
    }
    std::vector<std::string> Titles(const ZAVLayoutSearch& s)
    {
        std::vector<std::string> out;
        ZavSearchResult r;
        for (std::int32_t i = 0; s.GetEntry(i, &r) == ZAV_OK; ++i)
            out.push_back(r.title);
        return out;
    }
    fs::path dir;
};

TEST_F(FrameLayoutSearch, SameFolderAgainOnlyRefilters)
{
    Layout(dir / "a.usd", "A4");
    Layout(dir / "b.USD", "HAGAKI");
    ZAVLayoutSearch s(nullptr);
    EXPECT_EQ(s.GetState(), ZAV_ERR_BUSY);
    std::int32_t count = -1;
    ASSERT_EQ(s.Search(&count, 3, 0, dir.c_str(), 0), ZAV_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Titles(s), std::vector<std::string>{"a"});
    Layout(dir / "c.usd", "HAGAKI");
    ASSERT_EQ(s.Search(&count, 0, 0, dir.c_str(), 0), ZAV_OK);
    EXPECT_EQ(count, 1); // c.usd stays unseen
    EXPECT_EQ(Titles(s), std::vector<std::string>{"b"});
    ASSERT_EQ(s.Search(&count, 0, 0, dir.c_str(), 1), ZAV_OK); // the flag changed: read again
    EXPECT_EQ(count, 2);
    ZavSearchResult r;
    ASSERT_EQ(s.GetEntry(0, &r), ZAV_OK);
    EXPECT_EQ(std::string(r.thumbnailPath), (dir / "t.bmp").string());
    EXPECT_EQ(std::string(r.paperName), "HAGAKI");
    EXPECT_EQ(s.GetEntry(2, &r), ZAV_ERR_INDEX);
    EXPECT_EQ(s.GetEntry(-1, &r), ZAV_ERR_INDEX);
    std::int32_t paper = 0, mode = 9;
    char folder[kZavPathSize];
    std::uint8_t sub = 0;
    s.GetCondition(&paper, &mode, folder, &sub);
    EXPECT_EQ(paper, 0);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(sub, 1);
    EXPECT_EQ(std::string(folder), dir.string());
}

TEST_F(FrameLayoutSearch, SubfoldersFirstAndOldRevisionsNeverListed)
{
    Layout(dir / "top.usd", "A4");
    Layout(dir / "sub" / "deep" / "deep.usd", "A4");
    Layout(dir / "sub" / "inner.usd", "A4");
    Layout(dir / "old.usd", "A4", "42,42,42,42", "1.50");
    fs::create_directories(dir / "folder.usd"); // a directory is never listed
    ZAVLayoutSearch s(nullptr);
    std::int32_t count = 0;
    ASSERT_EQ(s.Search(&count, 3, 1, dir.c_str(), 1), ZAV_OK);
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"deep", "inner", "top"}));
}

TEST_F(FrameLayoutSearch, MarginModesAndPaperNames)
{
    Layout(dir / "m2.usd", "WALLET", "42,198,42,42");
    Layout(dir / "m1.usd", "WALLET", "42,42,42,42");
    Layout(dir / "lower.usd", "wallet", "42,198,42,42");
    ZAVLayoutSearch s(nullptr);
    std::int32_t count = 0;
    ASSERT_EQ(s.Search(&count, 22, 2, dir.c_str(), 0), ZAV_OK);
    EXPECT_EQ(Titles(s), std::vector<std::string>{"m2"});
    ASSERT_EQ(s.Search(&count, 22, 0, dir.c_str(), 0), ZAV_OK);
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(PaperNameMatches(22, "WALLET"));
    EXPECT_FALSE(PaperNameMatches(22, "wallet"));
    EXPECT_FALSE(PaperNameMatches(23, "WALLET"));
    std::int32_t l = 1, w = 1;
    EXPECT_FALSE(GetPaperSize("wallet", &l, &w));
    EXPECT_EQ(l, 0);
    EXPECT_TRUE(GetPaperSize("R100", &l, &w));
    EXPECT_EQ(l, 0);
    EXPECT_EQ(w, 1417);
    EXPECT_TRUE(MarginsMatch(3, -42, -72, -36, -36));
    EXPECT_FALSE(MarginsMatch(2, 42, 42, 42, 42));
    EXPECT_FALSE(MarginsMatch(7, 0, 0, 0, 0));
    EXPECT_TRUE(MarginsMatch(0, 1, 2, 3, 4));
}

TEST_F(FrameLayoutSearch, MissingFoldersGiveTheirCodes)
{
    ZAVLayoutSearch s(nullptr);
    std::int32_t count = 7;
    EXPECT_EQ(s.Search(&count, 0, 0, (dir / "none").c_str(), 0), ZAV_ERR_NO_SEARCH_FOLDER);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(s.GetState(), ZAV_ERR_NO_SEARCH_FOLDER);
    const char* old = std::getenv("ZAV_SHARED_DATA_DIR");
    const std::string saved = old ? old : "";
    ::setenv("ZAV_SHARED_DATA_DIR", dir.c_str(), 1);
    EXPECT_EQ(s.Search(&count, 0, 0, nullptr, 0), ZAV_ERR_NO_FOLDER);
    char folder[kZavPathSize];
    EXPECT_EQ(LayoutFolderLocator(folder), ZAV_ERR_NO_FOLDER);
    std::ofstream(dir / "UDL") << "a file, not a folder";
    EXPECT_EQ(LayoutFolderLocator(folder), ZAV_ERR_NO_FOLDER);
    fs::remove(dir / "UDL");
    Layout(dir / "UDL" / "shared.usd", "A4");
    ASSERT_EQ(LayoutFolderLocator(folder), ZAV_OK);
    EXPECT_EQ(std::string(folder), (dir / "UDL").string());
    EXPECT_EQ(s.Search(&count, 3, 0, nullptr, 0), ZAV_OK);
    EXPECT_EQ(count, 1);
    if (old)
        ::setenv("ZAV_SHARED_DATA_DIR", saved.c_str(), 1);
    else
        ::unsetenv("ZAV_SHARED_DATA_DIR");
}

TEST_F(FrameLayoutSearch, HostileEntriesNeitherHangNorPass)
{
    Layout(dir / "good.usd", "A4");
    ASSERT_EQ(::mkfifo((dir / "fifo.usd").c_str(), 0600), 0);
    {
        // A sparse file of 4 GiB: refused before anything is read.
        int fd = ::open((dir / "huge.usd").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 4LL * 1024 * 1024 * 1024), 0);
        ::close(fd);
        fd = ::open((dir / "big.usd").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_EQ(::ftruncate(fd, 17LL * 1024 * 1024), 0);
        ::close(fd);
    }
    fs::create_directory_symlink(dir, dir / "loop");
    fs::create_directories(dir / "sub");
    fs::create_directory_symlink("..", dir / "sub" / "up");
    fs::create_symlink(dir / "good.usd", dir / "sub" / "linked.usd");
    Layout(dir / "name\\with.usd", "A4");
    Layout(dir / "\xf0\x9f\x98\x80.usd", "A4"); // a name CP932 cannot hold
    ZAVLayoutSearch s(nullptr);
    std::int32_t count = 0;
    ASSERT_EQ(s.Search(&count, 3, 0, dir.c_str(), 1), ZAV_OK);
    // The linked file is a file: it is read; nothing is found twice through the loops.
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"good", "good"}));
    ZAVFileSearch files;
    ASSERT_EQ(files.Find(&count, dir.c_str(), 1), ZAV_OK);
    EXPECT_EQ(count, 5); // linked, fifo, huge, big, good in some order; no "\" name
    char path[kZavPathSize];
    EXPECT_EQ(files.GetPath(count, path), ZAV_ERR_INDEX);
}

} // namespace
