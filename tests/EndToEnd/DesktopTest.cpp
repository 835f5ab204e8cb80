// The program as a desktop user first sees it: every menu on the bar, the
// floating tool box beside the window and below its menus, Qt's own texts in
// the program's language, and the version dialog showing its notice whole.
#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "EndToEnd/support/ProgramTest.h"
#include "Platform/WidgetMeasures.h"

#include <QDialogButtonBox>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace {

using DesktopTest = ProgramTest;

TEST_F(DesktopTest, AFirstStartShowsEveryMenuAndKeepsTheToolBoxClearOfTheWindow)
{
    StartProgram();
    CMainFrame& frame = Frame();
    const QMenuBar* menus = frame.menuBar();
    ASSERT_FALSE(menus->actions().isEmpty());
    for (QAction* action : menus->actions()) {
        const QRect place = menus->actionGeometry(action);
        EXPECT_TRUE(!place.isEmpty() && menus->rect().contains(place)) << action->text().toStdString();
    }
    const QRect window = frame.frameGeometry();
    const QRect toolBox = frame.ToolBoxFrame()->frameGeometry();
    ASSERT_TRUE(frame.ToolBoxFrame()->isVisible());
    EXPECT_FALSE(toolBox.intersects(window));
    // Also a maximised window would keep its menus uncovered.
    EXPECT_GE(toolBox.top(), menus->mapToGlobal(QPoint(0, menus->height())).y());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(window));
}

TEST_F(DesktopTest, StandardButtonsSpeakTheProgramsLanguage)
{
    StartProgram();
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

TEST_F(DesktopTest, TheVersionDialogShowsItsWholeNotice)
{
    StartProgram();
    bool sawNotice = false;
    ChooseWithModals(ID_APP_ABOUT, {[&sawNotice](QWidget& about) {
                         for (const QLabel* label : about.findChildren<QLabel*>()) {
                             if (!label->text().startsWith(QStringLiteral("本ソフトウェア")))
                                 continue;
                             sawNotice = true;
                             EXPECT_TRUE(TextShortfall(label).isNull()) << label->text().toStdString();
                             EXPECT_TRUE(about.rect().contains(label->geometry()));
                         }
                     }});
    EXPECT_TRUE(sawNotice);
}

} // namespace
