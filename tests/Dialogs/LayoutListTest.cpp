#include "Dialogs/LayoutList.h"
#include "App/support/AppTestSupport.h"
#include "Dialogs/LayoutListEntry.h"
#include "Dialogs/ThumbnailImageList.h"
#include "Dialogs/support/BarFixture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <deque>
#include <memory>

namespace {

constexpr int kRow = CLayoutList::kRowHeight;
const QRgb kBackground = qRgb(0xC8, 0xC8, 0xDC);
const QRgb kSelected = qRgb(0x33, 0x66, 0x99);

LayoutListEntry Entry(const std::string& title, int paperOrder)
{
    LayoutListEntry entry;
    entry.fileName = title + ".usd";
    entry.title = title;
    entry.kindText = "L";
    entry.paperOrder = paperOrder;
    return entry;
}

// Text pixels: near white or near black (the glyphs' edges are blended).
bool NearWhite(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}
bool NearBlack(QRgb c)
{
    return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
}
template <class Test> int CountWhere(const QImage& image, const QRect& area, Test test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixel(x, y)))
                ++count;
    return count;
}

int CountPixels(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++count;
    return count;
}

class LayoutListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        list = std::make_unique<CLayoutList>(bars.shell);
        list->resize(300, 4 * kRow + 20);
        list->show();
    }
    void Fill(std::vector<LayoutListEntry> fill)
    {
        entries.assign(fill.begin(), fill.end());
        for (LayoutListEntry& entry : entries)
            list->AddString("/layouts/" + entry.fileName, &entry);
    }
    QImage Grab() { return list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QPoint RowPoint(int row) const { return QPoint(150, row * kRow + kRow / 2); }
    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (int n = 0; n < list->GetCount(); ++n)
            titles.push_back(list->GetItemData(n)->title);
        return titles;
    }

    BarFixture bars;
    std::unique_ptr<CLayoutList> list;
    std::deque<LayoutListEntry> entries;
};

TEST_F(LayoutListTest, AnEmptyListIsPaintedInTheRowColour)
{
    const QImage picture = Grab();
    EXPECT_EQ(CountPixels(picture, picture.rect(), kBackground), picture.width() * picture.height());
}

TEST_F(LayoutListTest, RowsShowTheirColoursTextsAndThumbnailsOnly)
{
    Fill({Entry("alpha", 0), Entry("beta", 1)});
    CThumbnailImageList images;
    // A red picture whose mask shows only its left half.
    QImage red(60, 60, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage mask(60, 60, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 30; ++x)
            mask.setPixel(x, y, qRgb(0, 0, 0));
    ASSERT_EQ(images.Add(red, mask), 0);
    list->SetImageList(&images);
    entries[1].imageIndex = 0;
    list->SetCurSel(1);
    QApplication::processEvents();

    const QImage picture = Grab();
    const int width = picture.width();
    // Row 0: unselected, no thumbnail yet: the thumbnail place is the row colour.
    EXPECT_EQ(CountPixels(picture, QRect(0, 0, 62, kRow), kBackground), 62 * kRow);
    const QRect text0(64, 2, width - 66, 60);
    EXPECT_GT(CountWhere(picture, text0, NearBlack), 20);
    EXPECT_EQ(CountWhere(picture, text0, NearWhite), 0);
    // Row 1: selected, its picture through the mask, white text.
    EXPECT_EQ(CountPixels(picture, QRect(0, kRow, 30, 60), qRgb(255, 0, 0)), 30 * 60);
    EXPECT_EQ(CountPixels(picture, QRect(30, kRow, 30, 60), kSelected), 30 * 60);
    EXPECT_EQ(CountPixels(picture, QRect(0, kRow + 60, 60, 4), kSelected), 60 * 4);
    const QRect text1(64, kRow + 2, width - 66, 60);
    EXPECT_GT(CountWhere(picture, text1, NearWhite), 20);
    EXPECT_EQ(CountWhere(picture, text1, NearBlack), 0);
    EXPECT_EQ(picture.pixel(width - 1, kRow + 1) & 0xFFFFFF, kSelected & 0xFFFFFF);
    // Below the last row: the row colour again.
    const QRect below(0, 2 * kRow, width, picture.height() - 2 * kRow);
    EXPECT_EQ(CountPixels(picture, below, kBackground), below.width() * below.height());
}

TEST_F(LayoutListTest, PressesOffTheRowsKeepTheSelectionAndArrowsMoveIt)
{
    Fill({Entry("a", 0), Entry("b", 0), Entry("c", 0)});
    QSignalSpy opened(list.get(), &QAbstractItemView::doubleClicked);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(1));
    EXPECT_EQ(list->GetCurSel(), 1);
    // Below the last row: ignored, the selection stays, no opening.
    const QPoint below(150, 3 * kRow + 10);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(opened.count(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(2));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowPoint(2));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(opened.count(), 1);

    list->setFocus();
    QTest::keyClick(list.get(), Qt::Key_Up);
    EXPECT_EQ(list->GetCurSel(), 1);
    QTest::keyClick(list.get(), Qt::Key_Up);
    QTest::keyClick(list.get(), Qt::Key_Up);
    EXPECT_EQ(list->GetCurSel(), 0);
    QTest::keyClick(list.get(), Qt::Key_Down);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetText(1), "/layouts/b.usd");
}

TEST_F(LayoutListTest, SortingByTitleThenPaperGroupsPapersWithTitlesAscending)
{
    constexpr int kUnknown = LayoutListEntry::kUnknownPaperOrder;
    Fill({Entry("delta", 2), Entry("alpha", kUnknown), Entry("charlie", 0), Entry("bravo", 2),
          Entry("echo", 0), Entry("able", kUnknown)});
    list->SetCurSel(0); // delta
    list->SortItems(CLayoutList::kSortTitle, true);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"able", "alpha", "bravo", "charlie", "delta", "echo"}));
    list->SortItems(CLayoutList::kSortPaperOrder, true);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"charlie", "echo", "bravo", "delta", "able", "alpha"}));
    // The selection followed its row; the paths went with the entries.
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(list->GetText(3), "/layouts/delta.usd");
    // Descending keeps equal keys in their order too.
    list->SortItems(CLayoutList::kSortPaperOrder, false);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"able", "alpha", "bravo", "delta", "charlie", "echo"}));
    // Other keys change nothing.
    for (int key : {2, -1}) {
        list->SortItems(key, true);
        EXPECT_EQ(Titles(), (std::vector<std::string>{"able", "alpha", "bravo", "delta", "charlie", "echo"}));
    }
}

TEST_F(LayoutListTest, EqualKeysKeepTheirOrderAndShortListsAreLeftAlone)
{
    Fill({Entry("same", 1), Entry("same", 1), Entry("same", 0)});
    entries[0].fileName = "first";
    entries[1].fileName = "second";
    list->SortItems(CLayoutList::kSortTitle, true);
    EXPECT_EQ(list->GetItemData(0)->fileName, "first");
    EXPECT_EQ(list->GetItemData(1)->fileName, "second");
    list->SortItems(CLayoutList::kSortPaperOrder, true);
    EXPECT_EQ(list->GetItemData(0)->paperOrder, 0);
    EXPECT_EQ(list->GetItemData(1)->fileName, "first");
    EXPECT_EQ(list->GetItemData(2)->fileName, "second");

    list->ResetContent();
    list->SortItems(CLayoutList::kSortTitle, true);
    EXPECT_EQ(list->GetCount(), 0);
    LayoutListEntry one = Entry("one", 0);
    list->AddString("/x/one.usd", &one);
    list->SortItems(CLayoutList::kSortTitle, false);
    EXPECT_EQ(list->GetItemData(0), &one);
}

TEST(LayoutListTitleOrder, ComparesShiftJisCharactersAsTheMultibyteComparisonDoes)
{
    struct Case
    {
        std::string a, b;
        int expected;
    };
    const Case cases[] = {
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"", "", 0},
        {"B", "a", -1},
        // A half-width katakana (one byte, 0xB1) before a double-byte
        // character led by 0x82, although its byte is the larger one.
        {"\xEF\xBD\xB1", "\xE3\x81\x82", -1},
        // Hiragana (0x82A0) before kanji (0x88A0 and up).
        {"\xE3\x81\x82", "\xE4\xBA\x9C", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareShiftJisText(c.a, c.b), c.expected) << c.a << " / " << c.b;
        EXPECT_EQ(CompareShiftJisText(c.b, c.a), -c.expected) << c.b << " / " << c.a;
    }
}

} // namespace
