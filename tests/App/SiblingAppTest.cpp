#include "App/SiblingApp.h"
#include "App/LayoutFolders.h"
#include "App/SystemLayoutFolderServices.h"
#include "App/support/SiblingAppConfig.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <semaphore.h>
#include <unistd.h>

#include <string>

namespace {

class SiblingAppTest : public ::testing::Test
{
protected:
    std::string Config() const { return m_dir.filePath("photo-printing.ini").toStdString(); }
    // An existing program file, so that a version can be found for it.
    std::string Program() const
    {
        const QString path = m_dir.filePath("Photo App/bin/photoapp");
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path.toStdString();
    }
    void Install(const SiblingAppValues& values) const { WriteSiblingAppConfig(Config(), values); }

    QTemporaryDir m_dir;
    ScopedEnv m_config{"ZAV_PHOTO_APP_CONFIG", m_dir.filePath("photo-printing.ini").toStdString()};
};

TEST_F(SiblingAppTest, WithoutTheConfigurationFileNothingIsInstalled)
{
    SystemLayoutFolderServices services{std::string()};
    for (int pass = 0; pass < 2; ++pass) {
        // Second pass: the file exists but holds another section only.
        std::string path = "kept";
        EXPECT_EQ(GetSiblingAppPath(path), 0);
        EXPECT_EQ(services.GetSiblingAppPath(path), 0);
        EXPECT_EQ(path, "kept");
        std::string folder = "kept";
        EXPECT_EQ(GetSiblingAppFolder(folder), 0);
        EXPECT_EQ(GetSiblingConfigUDLFolder(folder), 0);
        EXPECT_EQ(folder, "kept");
        EXPECT_EQ(IsSiblingAppRunning(), 0);
        EXPECT_EQ(services.IsSiblingAppRunning(), 0);
        EXPECT_EQ(GetFileVersionString(), -1);
        EXPECT_EQ(services.GetFileVersionString(), -1);
        // The configuration folder is empty: nothing lies in it, not even a bare name.
        for (const char* file : {"/Config/UDL/a.usd", "Config/UDL/a.usd", "a.usd", "/a.usd"})
            EXPECT_EQ(services.IsInSiblingConfigUDLFolder(file), 0) << file;

        QFile other(QString::fromStdString(Config()));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("[VELMO]\r\nPATH=/opt/app\r\nCAPTION=x\r\nVERSION=3.4\r\n");
    }
}

TEST_F(SiblingAppTest, TheVersionIsReadAsStrtodReadsItInTheCLocale)
{
    const std::string program = Program();
    struct Case
    {
        const char* text;
        double expected;
    };
    for (const Case& c :
         {Case{"3.4", 3.4}, Case{"3.40", 3.4}, Case{"3.39", 3.39}, Case{"3, 4, 0, 0", 3}, Case{"3,4", 3},
          Case{"4.0.1.2", 4.0}, Case{"1e1", 10}, Case{"v3.4", 0}, Case{"", 0}}) {
        Install({program, "cap", c.text});
        EXPECT_DOUBLE_EQ(GetFileVersionString(), c.expected) << c.text;
    }
    // No version without the value, without a program path or without the program file.
    Install({program, "cap", std::nullopt});
    EXPECT_EQ(GetFileVersionString(), -1);
    Install({std::nullopt, "cap", "3.4"});
    EXPECT_EQ(GetFileVersionString(), -1);
    Install({"", "cap", "3.4"});
    EXPECT_EQ(GetFileVersionString(), -1);
    Install({program + ".gone", "cap", "3.4"});
    EXPECT_EQ(GetFileVersionString(), -1);
}

TEST_F(SiblingAppTest, TheApplicationRunsWhileItsSemaphoreExists)
{
    const std::string caption = "zav-photo-test-" + std::to_string(::getpid());
    Install({Program(), caption, "3.4"});
    EXPECT_EQ(IsSiblingAppRunning(), 0);

    sem_t* held = sem_open(("/" + caption).c_str(), O_CREAT | O_EXCL, 0600, 0);
    ASSERT_NE(held, SEM_FAILED);
    EXPECT_EQ(IsSiblingAppRunning(), 1);
    // Opening it to look must not take it away.
    EXPECT_EQ(IsSiblingAppRunning(), 1);
    sem_close(held);
    EXPECT_EQ(IsSiblingAppRunning(), 1);
    sem_unlink(("/" + caption).c_str());
    EXPECT_EQ(IsSiblingAppRunning(), 0);
}

TEST_F(SiblingAppTest, ACaptionThatCannotNameASemaphoreIsNotRunning)
{
    EXPECT_EQ(SiblingSemaphoreName("Photo App 3"), "/Photo App 3");
    for (const std::string& caption :
         {std::string(), std::string("a/b"), std::string(".."), std::string(300, 'x')}) {
        EXPECT_EQ(SiblingSemaphoreName(caption), "") << caption;
        Install({Program(), caption, "3.4"});
        EXPECT_EQ(IsSiblingAppRunning(), 0) << caption;
    }
    Install({Program(), std::nullopt, "3.4"});
    EXPECT_EQ(IsSiblingAppRunning(), 0);
}

TEST_F(SiblingAppTest, TheConfigurationFolderLiesBesideTheProgram)
{
    const std::string program = Program();
    Install({program, "cap", "3.4"});
    const std::string base = m_dir.filePath("Photo App/bin").toStdString();
    std::string folder;
    ASSERT_EQ(GetSiblingAppFolder(folder), 1);
    EXPECT_EQ(folder, base);
    ASSERT_EQ(GetSiblingConfigUDLFolder(folder), 1);
    EXPECT_EQ(folder, base + "/Config/UDL");

    SystemLayoutFolderServices services{std::string()};
    QString upper = QString::fromStdString(base).toUpper();
    struct Case
    {
        std::string path;
        int expected;
    };
    for (const Case& c :
         {Case{base + "/Config/UDL/a.usd", 1}, Case{upper.toStdString() + "/config/udl/A.USD", 1},
          Case{base + "/Config/UDL/sub/a.usd", 0}, Case{base + "/Config/a.usd", 0},
          Case{base + "/Config/UDL", 0}, Case{"a.usd", 0}})
        EXPECT_EQ(services.IsInSiblingConfigUDLFolder(c.path), c.expected) << c.path;
}

TEST_F(SiblingAppTest, TheLayoutFolderIsTheSharedDataFolderAndTheCommonOneIsNone)
{
    const std::string shared = m_dir.filePath("shared").toStdString();
    ScopedEnv data("ZAV_SHARED_DATA_DIR", shared);
    SystemLayoutFolderServices services{std::string()};
    std::string folder;
    ASSERT_EQ(services.GetUDLFolder(folder), 1);
    EXPECT_EQ(folder, shared + "/UDL");
    EXPECT_EQ(services.IsInUDLFolder(shared + "/UDL/a.usd"), 1);
    EXPECT_EQ(services.IsInUDLFolder(shared + "/udl/A.usd"), 1);
    EXPECT_EQ(services.IsInUDLFolder(shared + "/UDL/sub/a.usd"), 0);
    EXPECT_EQ(services.IsInUDLFolder(shared + "/a.usd"), 0);

    folder = "kept";
    EXPECT_EQ(services.GetCommonUDLFolder(folder), 0);
    EXPECT_EQ(folder, "kept");
    EXPECT_EQ(services.IsInCommonUDLFolder(shared + "/UDL/a.usd"), 0);
    EXPECT_EQ(services.IsInCommonUDLFolder("/UDL/a.usd"), 0);
}

} // namespace
