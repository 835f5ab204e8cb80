// The image browser: the folder it starts from for each purpose, OK's
// enabling and the folder it stores, the places of its controls, the folder
// tree's lazy filling, and a picture applied to a frame through the layout
// model.
#include "Dialogs/SelectImageDialog.h"
#include "App/support/ModalScript.h"

#include "App/ZAVEditorDoc.h"
#include "Core/support/ScopedEnv.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/FolderTreeCtrl.h"
#include "Dialogs/ImageListCtrl.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "ImageProcessing/support/FixtureFiles.h"
#include "ImageProcessing/support/JpegFileFixture.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

QRect ToQRect(const Rect& rect)
{
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

class SelectImageDialogTest : public ::testing::Test
{
protected:
    SelectImageDialogTest()
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
        shell.programFolder = Make("program") + "/";
    }

    // A folder under the test's own, made with the named (empty) files.
    std::string Make(const std::string& name, std::initializer_list<const char*> files = {})
    {
        const std::string path = root.Path(name);
        std::filesystem::create_directories(path);
        for (const char* file : files)
            WriteFixtureFile(path + "/" + file, {0});
        return path;
    }

    void Store(const std::string& insertFolder, const std::string& backgroundFolder)
    {
        shell.Settings().SetLoadImageFolderForInsertFrame(&insertFolder);
        shell.Settings().SetLoadImageFolderForBkFrame(&backgroundFolder);
    }

    static std::vector<std::string> Names(const CImageListCtrl& list)
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.count(); ++i)
            names.push_back(list.item(i)->text().toStdString());
        return names;
    }

    FixtureFolder root;
    FakeDialogShell shell;
};

TEST_F(SelectImageDialogTest, EachPurposeStartsInItsOwnFolderAndStoresThePickedOneOnOk)
{
    const std::string insert = Make("insert", {"a.jpg"});
    const std::string background = Make("background", {"b.bmp"});
    const std::string other = Make("other", {"c.tif", "d.eff"});
    Store(insert, background);

    for (const int purpose : {0, 1}) {
        CSelectImageDialog dialog(shell, purpose);
        dialog.show();
        const std::string expected = purpose == 0 ? insert : background;
        EXPECT_EQ(dialog.FolderTree()->GetSelectedFolderPath(), expected) << purpose;
        EXPECT_EQ(Names(*dialog.ImageList()), std::vector<std::string>{purpose == 0 ? "a.jpg" : "b.bmp"});
        // Nothing picked yet.
        EXPECT_FALSE(dialog.OkButton()->isEnabled());
    }

    CSelectImageDialog dialog(shell, CSelectImageDialog::kPurposeInsertFrame);
    dialog.show();
    ASSERT_TRUE(dialog.FolderTree()->SelectFolder(other));
    ASSERT_EQ(Names(*dialog.ImageList()), (std::vector<std::string>{"c.tif", "d.eff"}));
    dialog.ImageList()->item(1)->setSelected(true);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.GetChosenPath(), other + "/d.eff");
    dialog.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(dialog));
    EXPECT_EQ(shell.Settings().GetLoadImageFolderForInsertFrame(), other);
    EXPECT_EQ(shell.Settings().GetLoadImageFolderForBkFrame(), background);
}

TEST_F(SelectImageDialogTest, AFolderWithoutPicturesDisablesOkAndStartsNoWorker)
{
    Store(Make("none", {"x.jpeg", "y.tiff", "z.png"}), "");
    CSelectImageDialog dialog(shell, 0);
    dialog.show();
    EXPECT_EQ(dialog.ImageList()->count(), 0);
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.ImageList()->Worker().StartCount(), 0);
    EXPECT_EQ(dialog.GetChosenPath(), "");
}

TEST_F(SelectImageDialogTest, AStoredFolderThatIsGoneGivesTheProgramsImageFolder)
{
    const std::string images = Make("program/Image", {"p.jpg"});
    Store(root.Path("gone"), "");
    for (const int purpose : {0, 1}) {
        CSelectImageDialog dialog(shell, purpose);
        EXPECT_EQ(dialog.StartFolder(), shell.programFolder + "Image");
        dialog.show();
        EXPECT_EQ(dialog.FolderTree()->GetSelectedFolderPath(), images);
        EXPECT_EQ(Names(*dialog.ImageList()), std::vector<std::string>{"p.jpg"});
    }
}

// Without the stored and the program's folders the browser opens in the
// user's pictures folder, and without that at home, never at the root.
TEST_F(SelectImageDialogTest, WithoutStoredOrProgramFoldersItStartsInPicturesElseHome)
{
    const std::string home = Make("home");
    const ScopedEnv homeVariable("HOME", home);
    const ScopedEnv configVariable("XDG_CONFIG_HOME", Make("config"));
    Store(root.Path("gone"), "");
    const std::string pictures = Make("home/Pictures", {"p.jpg"});
    for (const int purpose : {0, 1}) {
        CSelectImageDialog dialog(shell, purpose);
        EXPECT_EQ(dialog.StartFolder(), pictures) << purpose;
    }
    std::filesystem::remove_all(pictures);
    CSelectImageDialog dialog(shell, 0);
    EXPECT_EQ(dialog.StartFolder(), home);
    dialog.show();
    EXPECT_EQ(dialog.FolderTree()->GetSelectedFolderPath(), home);
}

TEST_F(SelectImageDialogTest, AFolderTheTreeCannotFindLeavesTheRootOpenAndNothingSelected)
{
    // Neither the stored folder nor the program's "Image" folder exists, nor
    // the pictures folder or home.
    Store(root.Path("gone"), root.Path("gone"));
    const ScopedEnv homeVariable("HOME", root.Path("gone-home"));
    const ScopedEnv configVariable("XDG_CONFIG_HOME", root.Path("gone-config"));
    CSelectImageDialog dialog(shell, 1);
    dialog.show();
    CFolderTreeCtrl& tree = *dialog.FolderTree();
    EXPECT_TRUE(tree.isExpanded(tree.RootItem()));
    EXPECT_EQ(tree.FileSystem()->filePath(tree.FileSystem()->index(0, 0)), "/");
    EXPECT_EQ(tree.GetSelectedFolderPath(), "");
    EXPECT_EQ(dialog.ImageList()->count(), 0);
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    // A relative path is not found either.
    EXPECT_FALSE(tree.SelectFolder("program"));
    EXPECT_FALSE(tree.SelectFolder(""));
}

TEST_F(SelectImageDialogTest, ADoubleClickOnAFileEndsWithOkAndItsPath)
{
    const std::string folder = Make("pick", {"one.jpg", "two.jpg"});
    Store(folder, "");
    CSelectImageDialog dialog(shell, 0);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CImageListCtrl& list = *dialog.ImageList();
    ASSERT_EQ(list.count(), 2);
    const QPoint at = list.visualItemRect(list.item(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(ClosedWithOk(dialog));
    EXPECT_EQ(dialog.GetChosenPath(), folder + "/two.jpg");
    EXPECT_EQ(shell.Settings().GetLoadImageFolderForInsertFrame(), folder);

    // A double click beside the items picks nothing and leaves the dialog open.
    CSelectImageDialog again(shell, 0);
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    QTest::mouseDClick(again.ImageList()->viewport(), Qt::LeftButton, {},
                       again.ImageList()->viewport()->rect().bottomRight() - QPoint(3, 3));
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(again.GetChosenPath(), "");
}

TEST_F(SelectImageDialogTest, TheControlsFollowTheSizeWhichCannotGoBelow600By400)
{
    struct Case
    {
        QSize size;
        QRect ok, cancel, tree, list;
    };
    const Case cases[] = {
        {{600, 400}, {215, 364, 80, 26}, {305, 364, 80, 26}, {10, 10, 190, 344}, {210, 10, 380, 344}},
        {{900, 700}, {365, 664, 80, 26}, {455, 664, 80, 26}, {10, 10, 290, 644}, {310, 10, 580, 644}},
    };
    Store(Make("sizes"), "");
    CSelectImageDialog dialog(shell, 0);
    dialog.show();
    for (const Case& c : cases) {
        dialog.resize(c.size);
        ASSERT_EQ(dialog.size(), c.size);
        EXPECT_EQ(dialog.OkButton()->geometry(), c.ok) << c.size.width();
        EXPECT_EQ(dialog.CancelButton()->geometry(), c.cancel) << c.size.width();
        EXPECT_EQ(dialog.FolderTree()->geometry(), c.tree) << c.size.width();
        EXPECT_EQ(dialog.ImageList()->geometry(), c.list) << c.size.width();
        const SelectImageLayout computed =
            ComputeSelectImageLayout(c.size.width(), c.size.height(), 80, 26, 80, 26);
        EXPECT_EQ(ToQRect(computed.list), c.list);
    }
    dialog.resize(300, 200);
    EXPECT_EQ(dialog.size(), QSize(600, 400));
    EXPECT_EQ(dialog.minimumSize(), QSize(600, 400));
}

TEST_F(SelectImageDialogTest, TheStartSizeIs600By400CentredOnTheMainWindow)
{
    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 1000, 800);
    mainWindow.show();
    shell.mainWindow = &mainWindow;
    Store(Make("centre"), "");
    CSelectImageDialog dialog(shell, 0, &mainWindow);
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(600, 400));
    const QPoint offset = dialog.frameGeometry().center() - mainWindow.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 1);
    EXPECT_EQ(dialog.windowTitle().toStdString(), LocalizedText(shell, 3450));
    EXPECT_FALSE(dialog.windowIcon().isNull());
}

TEST_F(SelectImageDialogTest, TheTreeReadsFoldersLazilyHiddenOnesIncludedSortedByName)
{
    const std::string top = Make("tree/top");
    Make("tree/top/b");
    Make("tree/top/A");
    Make("tree/top/.hid");
    const std::string leaf = Make("tree/leaf", {"only-files.jpg"});
    CFolderTreeCtrl tree;
    tree.Init();
    QSignalSpy loaded(tree.FileSystem(), &QFileSystemModel::directoryLoaded);
    const auto isLoaded = [&](const std::string& path) {
        for (const QList<QVariant>& args : loaded)
            if (args.at(0).toString().toStdString() == path)
                return true;
        return false;
    };
    ASSERT_TRUE(tree.SelectFolder(top));
    EXPECT_EQ(tree.GetSelectedFolderPath(), top);
    tree.expand(tree.IndexOf(top));
    tree.expand(tree.IndexOf(leaf));
    ASSERT_TRUE(QTest::qWaitFor([&] { return isLoaded(top) && isLoaded(leaf); }));

    QAbstractItemModel& model = *tree.model();
    const QModelIndex topIndex = tree.IndexOf(top);
    // Until it is read, a folder shows the expand mark; after, only with sub-folders.
    EXPECT_TRUE(model.hasChildren(topIndex));
    EXPECT_FALSE(model.hasChildren(tree.IndexOf(leaf)));
    EXPECT_TRUE(model.hasChildren(tree.IndexOf(root.Path("tree"))));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return model.rowCount(topIndex) == 3 && model.index(0, 0, topIndex).data().toString() == ".hid" &&
               model.index(1, 0, topIndex).data().toString() == "A";
    }));
    EXPECT_EQ(model.index(2, 0, topIndex).data().toString(), "b");
    // Files are no part of the tree.
    EXPECT_FALSE(tree.IndexOf(leaf + "/only-files.jpg").isValid());
}

TEST(SelectImageThroughTheLayoutModelTest, TheChosenPictureLandsInTheFrameWithOneUndoRecord)
{
    StartedApp app;
    FixtureFolder pictures;
    const std::string path = pictures.Path("photo.jpg");
    WriteFixtureFile(path, JpegFixtureSolid(JpegFixtureKind::Rgb, {30, 60, 90}, 400, 300));
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const std::string elsewhere = pictures.Path("elsewhere");
    std::filesystem::create_directory(elsewhere);
    app.App().Settings().SetLoadImageFolderForInsertFrame(&elsewhere);

    CLayoutManager& manager = *app.Document().GetLayoutManager();
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetRect(RECT{200, 200, 1200, 1000});
    frame->SetSelected(true);
    CInsertImageFrameItem* raw = frame.get();
    ASSERT_TRUE(manager.AddItem(-1, std::move(frame)));
    manager.DeletePendingUndo();

    DialogsLayoutDialogs dialogs(app.shell, nullptr);
    ILayoutDialogs* previous = GetLayoutDialogs();
    SetLayoutDialogs(&dialogs);
    bool answered = false;
    modaltest::OnNextModal<CSelectImageDialog>([&](CSelectImageDialog& modal) {
        auto* dialog = &modal;
        answered = true;
        EXPECT_EQ(dialog->FolderTree()->GetSelectedFolderPath(), elsewhere);
        ASSERT_TRUE(dialog->FolderTree()->SelectFolder(folder));
        ASSERT_EQ(dialog->ImageList()->count(), 1);
        dialog->ImageList()->item(0)->setSelected(true);
        dialog->OkButton()->click();
    });
    const bool applied = manager.ApplyImageToFrame(nullptr);
    SetLayoutDialogs(previous);
    ASSERT_TRUE(answered);
    ASSERT_TRUE(applied);
    EXPECT_EQ(raw->GetImageFileName(), path);
    ASSERT_NE(manager.GetPendingUndo(), nullptr);
    // Undo puts the frame's earlier copy back in its place.
    manager.Undo();
    std::vector<std::string> names;
    for (const auto& item : manager.GetItems())
        if (const auto* insert = dynamic_cast<const CInsertImageFrameItem*>(item.get()))
            names.push_back(insert->GetImageFileName());
    EXPECT_EQ(names, std::vector<std::string>{""});

    app.Exit();
    QSettings store(app.SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("App Info/LoadImageFolderForInsertFrame")).toString().toStdString(),
              folder);
}

} // namespace
