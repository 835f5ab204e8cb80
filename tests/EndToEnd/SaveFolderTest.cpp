// A user without a documents folder saves a new layout: the program, given
// its documents folder as `main` gives it, offers a folder that exists and
// never writes into the folder it was started from.
#include "App/MainMenu.h"
#include "App/MenuDisplay.h"
#include "App/ZAVEditorDoc.h"
#include "App/ZAVEditorView.h"
#include "App/support/AppTestSupport.h"
#include "Core/support/ScopedEnv.h"
#include "Dialogs/EditorProgram.h"
#include "Dialogs/SelectSaveDialog.h"
#include "EndToEnd/support/Commands.h"
#include "EndToEnd/support/Controls.h"
#include "EndToEnd/support/ModalDriver.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWizard>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

constexpr int kEditorDocumentEntry = 215;
constexpr int kPaperList = 1340;
constexpr int kUntitledName = 173;

std::string Sub(const QTemporaryDir& root, const char* name)
{
    QDir(root.path()).mkpath(QString::fromLatin1(name));
    return root.filePath(QString::fromLatin1(name)).toStdString();
}

class SaveFolderTest : public ::testing::Test
{
protected:
    SaveFolderTest()
    {
        EnsureApp();
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
        std::filesystem::current_path(startFolder);
    }
    ~SaveFolderTest() override
    {
        if (program)
            program->Finish();
        program.reset();
        QApplication::processEvents();
        std::filesystem::current_path(before);
    }

    void Start()
    {
        // Everything as the tests' folders give it, but the documents folder as main finds it.
        AppEnvironment env = folders.Environment();
        env.documentsFolder = DefaultAppEnvironment().documentsFolder;
        program = std::make_unique<EditorProgram>(env);
        ASSERT_TRUE(program->Start(std::nullopt));
        QApplication::processEvents();
    }
    CZAVEditorApp& App() { return program->App(); }
    CLayoutManager& Layout() { return *App().GetDocument()->GetLayoutManager(); }

    void Choose(int command)
    {
        QAction* action = FindMenuAction(*App().MainMenuBar(), command);
        ASSERT_NE(action, nullptr) << command;
        auto* menu = qobject_cast<QMenu*>(action->parent());
        ASSERT_NE(menu, nullptr);
        emit menu->aboutToShow();
        ASSERT_TRUE(action->isEnabled()) << command;
        action->trigger();
        QApplication::processEvents();
    }
    QPoint OnPage(double fx, double fy)
    {
        RECT page;
        Layout().GetRect(&page, true);
        const POINT scroll = App().GetView()->GetScrollPosition();
        return QPoint(page.left - scroll.x + int((page.right - page.left) * fx),
                      page.top - scroll.y + int((page.bottom - page.top) * fy));
    }
    void Drag(QPoint from, QPoint to)
    {
        QWidget* port = App().GetView()->viewport();
        const auto send = [port](QEvent::Type type, QPoint at, Qt::MouseButton button,
                                 Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(at), port->mapToGlobal(QPointF(at)), button, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(port, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
    // File > New, a postcard, and a line drawn on it.
    void NewLayoutWithALine()
    {
        RunWithModals([&] { Choose(ID_FILE_NEW); }, {[](QWidget& modal) {
                          auto* wizard = qobject_cast<QWizard*>(&modal);
                          ASSERT_NE(wizard, nullptr) << "expected the new-layout wizard";
                          auto* papers = ControlOf<QComboBox>(*wizard->currentPage(), kPaperList);
                          ASSERT_NE(papers, nullptr);
                          papers->setCurrentIndex(papers->findData(0));
                          wizard->button(QWizard::FinishButton)->click();
                      }});
        Choose(commands::kLineTool);
        Drag(OnPage(0.2, 0.2), OnPage(0.8, 0.6));
        ASSERT_EQ(Layout().GetItemCount(-1, -1, &IsKindOf<CLineItem>), 1);
    }

    std::filesystem::path before = std::filesystem::current_path();
    QTemporaryDir root;
    ScopedEnv temp{"TMPDIR", Sub(root, "tmp")};
    ScopedEnv shared{"ZAV_SHARED_DATA_DIR", Sub(root, "shared")};
    ScopedEnv photoApp{"ZAV_PHOTO_APP_CONFIG", root.filePath(QStringLiteral("photo-app.ini")).toStdString()};
    // A user whose home has no documents folder and whose desktop names none.
    ScopedEnv home{"HOME", Sub(root, "home")};
    ScopedEnv config{"XDG_CONFIG_HOME", Sub(root, "config")};
    std::string startFolder = Sub(root, "started-from");
    AppFolders folders{{"ShowOpeningFirst=0"}};
    MessageRecorder messages;
    std::unique_ptr<EditorProgram> program;
};

TEST_F(SaveFolderTest, SaveAsWithoutADocumentsFolderOffersOneThatExistsAndSavesThere)
{
    const std::string documents = root.filePath(QStringLiteral("home/Documents")).toStdString();
    Start();
    NewLayoutWithALine();

    QString offered;
    RunWithModals([&] { Choose(commands::kSaveAsRegister); },
                  {[](QWidget& modal) {
                       auto* dialog = qobject_cast<CSelectSaveDialog*>(&modal);
                       ASSERT_NE(dialog, nullptr) << "expected the save-format dialog";
                       const std::vector<int> entries = dialog->Entries();
                       const auto at = std::find(entries.begin(), entries.end(), kEditorDocumentEntry);
                       ASSERT_NE(at, entries.end());
                       dialog->FormatCombo()->setCurrentIndex(static_cast<int>(at - entries.begin()));
                       QTest::mouseClick(dialog->YesButton(), Qt::LeftButton);
                   },
                   [&offered](QWidget& modal) {
                       auto* dialog = qobject_cast<QFileDialog*>(&modal);
                       ASSERT_NE(dialog, nullptr) << "expected the file dialog";
                       offered = dialog->directory().absolutePath();
                       // The user takes the name offered.
                       QMetaObject::invokeMethod(dialog, "accept");
                   }});
    EXPECT_EQ(offered.toStdString(), documents);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(documents)).isDir());
    const std::string expected = documents + "/" + ShippedCaption(kUntitledName).toStdString() + ".zvd";
    EXPECT_EQ(App().GetDocument()->GetPathName(), expected);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(expected)));
    // Nothing went into the folder the program was started from.
    EXPECT_TRUE(QDir(QString::fromStdString(startFolder)).isEmpty());
    EXPECT_FALSE(App().GetDocument()->IsModified());
}

} // namespace
