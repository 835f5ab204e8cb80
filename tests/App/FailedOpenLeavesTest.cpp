// What an open leaves behind when the file fails to open: the layout that was
// there comes back with its pictures still on disk, and the copy it was kept
// in never shows among the recent files; when the open succeeds the copy goes.
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "Core/Files.h"
#include "Core/TempFolders.h"
#include "Core/support/ScopedTmpDir.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <optional>

namespace {

class FailedOpenLeavesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        m_tmpDir.emplace(tmp.path().toStdString());
        app.emplace(folders.Environment(), ui, services);
        ASSERT_TRUE(app->InitInstance(std::nullopt));
    }
    void TearDown() override
    {
        if (app)
            app->ExitInstance();
        app.reset();
    }

    CZAVEditorDoc& Doc() { return *app->GetDocument(); }

    std::string Picture(const std::string& name, Qt::GlobalColor colour) const
    {
        QImage image(400, 300, QImage::Format_RGB888);
        image.fill(colour);
        const std::string path = tmp.filePath(QString::fromStdString(name)).toStdString();
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }

    // A new photo layout with a background picture and a framed photo, unsaved.
    void MakeLayoutWithPictures()
    {
        Doc().NewSingleLayout(3, 0, 0);
        CLayoutManager& layout = *Doc().GetLayoutManager();
        auto back = std::make_unique<CBackgroundImageFrameItem>();
        ASSERT_EQ(back->LoadImage(Picture("back.bmp", Qt::green)), 0);
        back->SetRect(RECT{10, 10, 500, 700});
        ASSERT_TRUE(layout.AddItem(0, std::move(back)));
        auto frame = std::make_unique<CInsertImageFrameItem>();
        frame->SetFrameNumber(1);
        ASSERT_EQ(frame->LoadImage(Picture("photo.jpg", Qt::blue)), 0);
        frame->SetRect(RECT{100, 100, 400, 400});
        ASSERT_TRUE(layout.AddItem(0, std::move(frame)));
        Doc().SetModifiedFlag(1);
    }

    std::vector<const CImageFrameItem*> Frames()
    {
        std::vector<const CImageFrameItem*> frames;
        for (const auto& item : Doc().GetLayoutManager()->GetItems())
            if (const auto* frame = dynamic_cast<const CImageFrameItem*>(item.get()))
                frames.push_back(frame);
        return frames;
    }

    // The folders a kept layout left in the temporary image folder.
    QStringList KeptFolders() const
    {
        return QDir(QString::fromStdString(GetTempImageFolder(false)))
            .entryList(QStringList{QStringLiteral("KeptLayout*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    }

    std::string Damaged() const
    {
        const std::string path = tmp.filePath(QStringLiteral("damaged.zvd")).toStdString();
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a layout");
        return path;
    }

    QTemporaryDir tmp;
    AppFolders folders;
    FakeAppUi ui;
    FakeServices services;
    MessageRecorder recorder;
    std::optional<CZAVEditorApp> app;

private:
    // After the test application exists, which points TMPDIR at its own folder first.
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(FailedOpenLeavesTest, TheRestoredLayoutsPicturesStayOnDiskAndItsCopyIsNoRecentFile)
{
    MakeLayoutWithPictures();
    const std::string before = tmp.filePath(QStringLiteral("before.zvd")).toStdString();
    app->AddRecentFile(before);
    const std::vector<std::string> recent = *app->GetRecentFileList();

    EXPECT_FALSE(app->OpenKeepingDocument(Damaged()));

    // The layout as it was, unsaved.
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_TRUE(Doc().IsModified());
    const std::vector<const CImageFrameItem*> frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    for (const CImageFrameItem* frame : frames) {
        SCOPED_TRACE(frame->GetImageFileName());
        ASSERT_FALSE(frame->GetImageFileName().empty());
        EXPECT_TRUE(IsFile(frame->GetImageFileName()));
        EXPECT_TRUE(IsFile(frame->GetImageFileName2()));
    }
    // Neither the kept copy nor anything else joined the list.
    EXPECT_EQ(*app->GetRecentFileList(), recent);

    // The copy lives in the temporary image folder, which the exit removes.
    EXPECT_EQ(KeptFolders().size(), 1);
    app->ExitInstance();
    app.reset();
    EXPECT_FALSE(IsDirectory(GetTempImageFolder(false)));
}

TEST_F(FailedOpenLeavesTest, ASuccessfulOpenLeavesNoKeptCopy)
{
    // A saved layout to open over the one with pictures.
    Doc().NewSingleLayout(3, 0, 0);
    const std::string saved = tmp.filePath(QStringLiteral("plain.zvd")).toStdString();
    ASSERT_EQ(Doc().SaveZvdDocument(saved), 0);
    MakeLayoutWithPictures();

    ASSERT_TRUE(app->OpenKeepingDocument(saved));
    EXPECT_EQ(Doc().GetPathName(), saved);
    EXPECT_TRUE(KeptFolders().isEmpty());
    EXPECT_EQ(app->GetRecentFileList()->front(), saved);
}

} // namespace
