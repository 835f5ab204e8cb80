#include "App/RecentFileList.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

namespace {

using Paths = std::vector<std::string>;

TEST(RecentFileListTest, AnEleventhPathDropsTheOldest)
{
    RecentFileList list;
    for (int n = 1; n <= 11; ++n)
        list.AddRecentFile("/l/" + std::to_string(n) + ".zvd");
    ASSERT_EQ(list.Entries().size(), 10u);
    EXPECT_EQ(list.Entries().front(), "/l/11.zvd");
    EXPECT_EQ(list.Entries().back(), "/l/2.zvd");
}

TEST(RecentFileListTest, APathAddedAgainInOtherCaseMovesToTheFrontOnce)
{
    RecentFileList list;
    list.AddRecentFile("/l/Äpfel.zvd");
    list.AddRecentFile("/l/b.zvd");
    list.AddRecentFile("/L/äPFEL.ZVD");
    EXPECT_EQ(list.Entries(), (Paths{"/L/äPFEL.ZVD", "/l/b.zvd"}));
    EXPECT_EQ(list.RemoveRecentFile("/l/B.zvd"), 1);
    EXPECT_EQ(list.RemoveRecentFile("/l/b.zvd"), 0);
    EXPECT_EQ(list.Entries(), (Paths{"/L/äPFEL.ZVD"}));
}

TEST(RecentFileListTest, LoadingStopsAtTheFirstEmptyValue)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    for (int n = 1; n <= 10; ++n)
        store.setValue(QStringLiteral("RecentUsedFile%1").arg(n),
                       n == 3 ? QString() : QStringLiteral("/f%1").arg(n));
    RecentFileList list;
    list.AddRecentFile("/old");
    list.Load(store);
    EXPECT_EQ(list.Entries(), (Paths{"/f1", "/f2"}));
}

TEST(RecentFileListTest, SavingThreeWritesEmptyValuesFourToTen)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    for (int n = 1; n <= 10; ++n)
        store.setValue(QStringLiteral("RecentUsedFile%1").arg(n), QStringLiteral("/stale"));
    RecentFileList list;
    list.AddRecentFile("/c");
    list.AddRecentFile("/b");
    list.AddRecentFile("/a");
    list.Save(store);
    EXPECT_EQ(store.value(QStringLiteral("RecentUsedFile1")).toString(), QStringLiteral("/a"));
    EXPECT_EQ(store.value(QStringLiteral("RecentUsedFile3")).toString(), QStringLiteral("/c"));
    for (int n = 4; n <= 10; ++n) {
        ASSERT_TRUE(store.contains(QStringLiteral("RecentUsedFile%1").arg(n))) << n;
        EXPECT_EQ(store.value(QStringLiteral("RecentUsedFile%1").arg(n)).toString(), QString()) << n;
    }
}

} // namespace
