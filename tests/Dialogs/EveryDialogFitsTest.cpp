// Every dialog and bar of the program, opened as the program opens it (the
// wired shell, the shipped Localize.ini, the interface font), shows each of
// its labels, buttons and check boxes whole in this platform's fonts.
#include "App/AboutDlg.h"
#include "App/FontCatalogue.h"
#include "App/MainFrame.h"
#include "App/support/AppTestSupport.h"
#include "Core/support/ScopedTmpDir.h"
#include "Dialogs/ChangeModeBar.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/LogoDialog.h"
#include "Dialogs/NewWizard.h"
#include "Dialogs/PictureRangeDialog.h"
#include "Dialogs/PictureTransparencyDialog.h"
#include "Dialogs/ProgressDialog.h"
#include "Dialogs/SCRegistDialog.h"
#include "Dialogs/SaveAsPackagedZAVDialog.h"
#include "Dialogs/SelectImageDialog.h"
#include "Dialogs/SelectSaveDialog.h"
#include "Dialogs/SetEnvDialog.h"
#include "Dialogs/SetGridDialog.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/SetLineDialog.h"
#include "Dialogs/SetRollPaperDialog.h"
#include "Dialogs/SetShadowDialog.h"
#include "Dialogs/StringItemFontDialog.h"
#include "Dialogs/ToolBoxBar.h"
#include "Dialogs/UDLOpenFileDialog.h"
#include "Dialogs/support/PictureRangeSupport.h"
#include "Dialogs/support/TransparencySupport.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Platform/WidgetMeasures.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWizard>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

// Each visible label, button and check box of the window that shows less
// than its whole text, with what it lacks.
std::vector<std::string> ClippedTexts(const QWidget& window)
{
    std::vector<std::string> clipped;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window))
            continue;
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(control))
            text = label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(control))
            text = button->text();
        const QSize shortfall = TextShortfall(control);
        if (!shortfall.isNull())
            clipped.push_back(std::string(control->metaObject()->className()) + " \"" + text.toStdString() +
                              "\" lacks " + std::to_string(shortfall.width()) + "x" +
                              std::to_string(shortfall.height()));
        // A control outside its window's client area is cut by the window.
        const QRect inWindow(control->mapTo(&window, QPoint(0, 0)), control->size());
        if (!text.isEmpty() && !window.rect().contains(inWindow))
            clipped.push_back(std::string(control->metaObject()->className()) + " \"" + text.toStdString() +
                              "\" passes its window's edge");
    }
    return clipped;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += "\n  " + line;
    return all;
}

class EveryDialogFitsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        m_tmpDir.emplace(tmp.path().toStdString());
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }

    // Runs the dialog's own modal loop and checks it once it shows; then closes it.
    void CheckModal(const char* name, const std::function<void()>& run)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            if (!shown)
                return;
            seen = true;
            EXPECT_TRUE(ClippedTexts(*shown).empty()) << name << Joined(ClippedTexts(*shown));
            if (auto* dialog = qobject_cast<QDialog*>(shown))
                dialog->done(QDialog::Rejected);
        });
        run();
        EXPECT_TRUE(seen) << name << " did not show";
    }

    QTemporaryDir tmp;
    // Cards on, so that the registration dialog shows in every mode.
    AppFolders folders{{"EnableMemoryCardDrive=1"}};
    FakeServices services;
    MessageRecorder recorder;

private:
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(EveryDialogFitsTest, EveryDialogAndBarShowsItsWholeTexts)
{
    AppDialogShell shell;
    DialogsUi ui(shell);
    CZAVEditorApp app(folders.Environment(), ui, services);
    shell.Attach(&app);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    CMainFrame* frame = app.GetMainFrame();
    ASSERT_NE(frame, nullptr);

    // The bars, as start-up shows them, and the main window's menu bar.
    for (QDockWidget* bar : {frame->ToolBoxFrame(), frame->ChangeModeFrame()}) {
        ASSERT_NE(bar, nullptr);
        bar->show();
        QApplication::processEvents();
        EXPECT_TRUE(ClippedTexts(*bar).empty())
            << bar->windowTitle().toStdString() << Joined(ClippedTexts(*bar));
    }
    const QMenuBar* menus = frame->menuBar();
    for (const QAction* action : menus->actions()) {
        const QRect place = menus->actionGeometry(const_cast<QAction*>(action));
        EXPECT_TRUE(!place.isEmpty() && menus->rect().contains(place))
            << "menu \"" << action->text().toStdString() << "\" is not on the menu bar";
    }

    const QFont font = shell.GetUIFont();
    const auto noColour = [](COLORREF&) { return false; };
    CheckModal("about", [&] { CAboutDlg(shell.GetLocalizeIniPath(), &font, frame).exec(); });
    CheckModal("logo", [&] { CLogoDialog(shell, frame).exec(); });
    CheckModal("grid", [&] { CSetGridDialog(shell, frame).exec(); });
    CheckModal("line width", [&] { CSetLineDialog(shell, frame).exec(); });
    CheckModal("roll paper", [&] { CSetRollPaperDialog(shell, frame).exec(); });
    CheckModal("environment", [&] { CSetEnvDialog(shell, frame).exec(); });
    CheckModal("image information", [&] { CSetImageInfoDialog(shell, noColour, frame).exec(); });
    CheckModal("shadow", [&] { CSetShadowDialog(shell, noColour, frame).exec(); });
    CheckModal("text", [&] {
        CStringItemFontDialog dialog(shell, GetFontCatalogue(), 96, noColour, frame);
        dialog.exec();
    });
    CheckModal("layout information", [&] { CHeaderInfoDialog(shell, *app.GetDocument(), frame).exec(); });
    CheckModal("image browser", [&] { CSelectImageDialog(shell, 0, frame).exec(); });
    CheckModal("open", [&] { CUDLOpenFileDialog(shell, frame).DoModal(); });
    CheckModal("save format", [&] { CSelectSaveDialog(shell, 0, frame).DoModal(); });
    CheckModal("packaged save", [&] { CSaveAsPackagedZAVDialog(shell, frame).DoModal(); });
    for (int mode = 0; mode < 3; ++mode)
        CheckModal("registration", [&] { CSCRegistDialog(shell, mode, frame).DoModal(); });
    CheckModal("progress", [&] { CProgressDialog(shell, frame).exec(); });
    CheckModal("print wait", [&] { CWaitPrintSettingDialog(shell, frame).exec(); });
    const auto picture =
        MakePictureFrame(WriteTestJpeg(tmp.path(), "p.jpg", 320, 240), {0, 0, 1000, 1000}, 0, 0);
    CheckModal("picture range", [&] { CPictureRangeDialog(shell, frame).DoModalForItem(picture.get()); });
    const auto alpha = MakeAlphaItem(tmp.path(), "a.bmp", 320, 240, [](int, int) { return 0; });
    CheckModal("transparency", [&] { CPictureTransparencyDialog(shell, frame).DoModalForItem(alpha.get()); });

    // Every page of the full new-layout wizard (the single-page modes show the same pages).
    CNewWizard wizard(shell, frame);
    wizard.Prepare(0);
    wizard.show();
    for (int id : wizard.pageIds()) {
        wizard.ShowPage(id);
        QApplication::processEvents();
        EXPECT_TRUE(ClippedTexts(wizard).empty()) << "wizard page " << id << Joined(ClippedTexts(wizard));
    }
    wizard.hide();
    app.ExitInstance();
}

} // namespace
