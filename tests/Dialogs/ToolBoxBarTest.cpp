#include "Dialogs/ToolBoxBar.h"
#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/BarSupport.h"
#include "Dialogs/ItemListBox.h"
#include "Dialogs/PageInfo.h"
#include "Dialogs/PositionInfoArea.h"
#include "Dialogs/support/BarFixture.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"
#include "Platform/DialogLayoutTarget.h"

#include <gtest/gtest.h>

#include <QDockWidget>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <utility>

namespace {

class ToolBoxBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar = std::make_unique<CToolBoxBar>(bars.shell);
        ASSERT_TRUE(bar->Create(false));
        bar->InitButtons();
    }
    std::string Third() { return bar->GetPageInfo().third; }

    BarFixture bars;
    std::unique_ptr<CToolBoxBar> bar;
};

TEST_F(ToolBoxBarTest, InitialisingPlacesTheControlsAndChecksTheFrameTool)
{
    EXPECT_EQ(bar->GetToolButtons().GetCount(), 5);
    EXPECT_EQ(bar->GetToolButtons().GetCurrent(), 0);
    EXPECT_EQ(bar->width(), kToolBoxWidth);
    EXPECT_EQ(bar->minimumHeight(), kToolBoxMinHeight);
    ASSERT_NE(bar->GetItemList(), nullptr);
    EXPECT_EQ(bar->GetItemList()->parentWidget(), bar.get());
    EXPECT_EQ(GetControlId(bar->GetItemList()), CToolBoxBar::kListId);
    EXPECT_EQ(GetControlId(bar->GetReadOut()), CToolBoxBar::kReadOutId);
    EXPECT_EQ(bar->windowTitle().toStdString(), bars.Text(105));
    // Relaid out from the bar's height.
    const ToolBoxGeometry g =
        CalcToolBoxGeometry(bar->height(), QFontMetrics(bars.shell.GetUIFont()).height(), kBarEdge);
    EXPECT_EQ(bar->GetItemList()->geometry(), g.list);
    EXPECT_EQ(bar->GetReadOut()->geometry(), g.readOut);
    EXPECT_EQ(FindControl(bar.get(), 32781)->geometry(), g.smallButtons[0]);
    EXPECT_EQ(bar->GetToolButtons().GetAt(3)->geometry(), g.toolButtons[3]);
    // The information area lets the mouse through to the bar.
    EXPECT_TRUE(
        FindControl(bar.get(), CToolBoxBar::kInfoAreaId)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(ToolBoxBarTest, SelectToolChecksTheButtonAndStoresTheCode)
{
    const struct
    {
        int tool;
        int button;
    } cases[] = {{3, 4}, {4, 3}, {5, 2}, {6, 0}, {7, 1}, {9, 1}};
    for (const auto& c : cases) {
        bar->SelectTool(c.tool);
        EXPECT_EQ(bar->GetToolButtons().GetCurrent(), c.button) << c.tool;
        EXPECT_EQ(bars.Layout().GetDragState().currentTool, c.tool);
    }
}

TEST_F(ToolBoxBarTest, KeysAndButtonCommandsReachTheView)
{
    bar->show();
    QTest::keyClick(bar->GetItemList()->viewport(), Qt::Key_A);
    QTest::keyClick(bar->GetItemList(), Qt::Key_Delete);
    QTest::keyClick(bar.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(bar->GetToolButtons().GetAt(2), Qt::Key_Left);
    EXPECT_EQ(bars.shell.keys,
              (std::vector<int>{Qt::Key_A, Qt::Key_Delete, Qt::Key_Control, Qt::Key_Z, Qt::Key_Left}));
    // The list's Delete goes to the view like every key typed into the bar.
    EXPECT_TRUE(bars.shell.commands.empty());

    for (int command : {32781, 32782, 32783, 32784, 32785})
        QTest::mouseClick(static_cast<QAbstractButton*>(FindControl(bar.get(), command)), Qt::LeftButton);
    QTest::mouseClick(bar->GetToolButtons().GetAt(3), Qt::LeftButton);
    EXPECT_EQ(bars.shell.commands, (std::vector<int>{32781, 32782, 32783, 32784, 32785, 32810}));
    EXPECT_EQ(bar->GetToolButtons().GetCurrent(), 3);
}

TEST_F(ToolBoxBarTest, ToolTipsAreTheControlsTextsCutTo80Bytes)
{
    EXPECT_EQ(bar->GetToolButtons().GetAt(0)->toolTip().toStdString(), bars.Text(107));
    EXPECT_EQ(FindControl(bar.get(), 32785)->toolTip().toStdString(), bars.Text(116));
    // Two-byte characters are never split.
    std::string kana;
    for (int i = 0; i < 41; ++i)
        kana += "\xE3\x81\x82"; // one two-byte character each
    EXPECT_EQ(BarToolTipText(kana).size(), 40u * 3);
    EXPECT_EQ(BarToolTipText(std::string(100, 'a')), std::string(80, 'a'));
    EXPECT_EQ(BarToolTipText("short"), "short");
}

TEST_F(ToolBoxBarTest, MovingTheFloatingFrameStoresItsRectangle)
{
    QDockWidget frame;
    CToolBoxBar* raw = bar.release();
    frame.setWidget(raw);
    frame.setFloating(true);
    frame.show();
    EXPECT_EQ(frame.windowTitle().toStdString(), bars.Text(105));
    frame.move(123, 77);
    raw->OnBarFrameMoved();
    const Rect stored = bars.shell.settings.GetToolBoxWindowRect();
    const QRect expected = frame.frameGeometry();
    EXPECT_EQ(stored.left, expected.left());
    EXPECT_EQ(stored.top, expected.top());
    EXPECT_EQ(stored.right - stored.left, expected.width());
    EXPECT_EQ(stored.bottom - stored.top, expected.height());

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("settings.ini"));
    {
        QSettings store(file, QSettings::IniFormat);
        bars.shell.settings.SaveSettings(store);
    }
    QSettings store(file, QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("App Info/ToolBoxWindowX")).toInt(), expected.left());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ToolBoxWindowY")).toInt(), expected.top());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ToolBoxWindowH")).toInt(), expected.height());
}

TEST_F(ToolBoxBarTest, PageInformationFollowsPaperMarginAndUnit)
{
    CZAVEditorDoc& doc = *bars.doc.document;
    // "HAGAKI" with margin 1.
    ASSERT_TRUE(doc.SetLayoutPaper(0, 0, 1, 0, false));
    bar->UpdateItemInfo(1);
    EXPECT_EQ(Third(), bars.Text(38));
    EXPECT_EQ(bar->GetPageInfo().orientation, bars.Text(36));
    EXPECT_EQ(bar->GetPageInfo().labels,
              bars.Text(184) + "\n" + bars.Text(185) + "\n" + bars.Text(186) + "\n");
    EXPECT_FALSE(bar->GetPageInfo().paperName.empty());

    // Roll paper 7 of 2125 units, in each unit.
    ASSERT_TRUE(doc.SetLayoutPaper(7, 1, 3, 2125, false));
    const struct
    {
        int unit;
        std::string text;
    } units[] = {{0, "2125 " + bars.Text(104)}, {1, "149.9 " + bars.Text(199)}, {2, "5.9 " + bars.Text(200)}};
    for (const auto& u : units) {
        ASSERT_EQ(bars.shell.settings.SetUnit(u.unit), 1);
        bar->UpdateItemInfo(1);
        EXPECT_EQ(Third(), u.text);
    }
    EXPECT_EQ(bar->GetPageInfo().orientation, bars.Text(37));
    EXPECT_EQ(bar->GetPageInfo().labels,
              bars.Text(184) + "\n" + bars.Text(185) + "\n" + bars.Text(187) + "\n");

    // A camera layout takes its paper from the edit mode.
    ASSERT_TRUE(doc.NewDSCLayout(0));
    doc.SetEditMode(3);
    bar->UpdateItemInfo(1);
    EXPECT_EQ(Third(), bars.Text(39));
    doc.SetEditMode(2);
    bar->UpdateItemInfo(1);
    EXPECT_EQ(Third(), bars.Text(40));
    doc.SetEditMode(1);
    bar->UpdateItemInfo(1);
    EXPECT_EQ(Third(), "-----");
    EXPECT_EQ(bar->GetPageInfo().paperName, "-----");

    // No document: the block stays empty.
    bars.shell.document = nullptr;
    bar->UpdateItemInfo(1);
    EXPECT_EQ(bar->GetPageInfo().values, "");
    EXPECT_EQ(bar->GetPageInfo().labels, "");
}

TEST(PageInfoTest, TheThirdValueByPaperAndMargin)
{
    BarFixture bars;
    const CLocalizeScript texts(bars.doc.host.localizeIniPath);
    const struct
    {
        int paper, margin;
        int text; // 0: empty
    } cases[] = {
        {0, 1, 38},  {0, 0, 39},  {0, 2, 40},  {0, 5, 40}, {0, 3, 41},  {0, 4, 41},
        {0, 6, 0},   {1, 0, 39},  {1, 1, 38},  {1, 2, 0},  {2, 1, 38},  {2, 0, 0},
        {22, 0, 39}, {22, 6, 40}, {23, 6, 40}, {22, 1, 0}, {17, 0, 39}, {17, 2, 40},
    };
    for (const auto& c : cases) {
        PageInfoSource source;
        source.paperIndex = c.paper;
        source.marginMode = c.margin;
        EXPECT_EQ(PageInfoThirdValue(source, 0, texts), c.text ? bars.Text(c.text) : std::string())
            << c.paper << "/" << c.margin;
    }
    PageInfoSource none;
    EXPECT_EQ(PageInfoThirdValue(none, 0, texts), "-----");
}

TEST(PageInfoTest, TheRollPapersShowTheirLengthFromTheFirstToTheLastCode)
{
    // The first and last roll codes and the unnamed 11 show a length; their
    // neighbours 5 and 12 do not.
    BarFixture bars;
    const CLocalizeScript texts(bars.doc.host.localizeIniPath);
    for (const auto& [paper, roll] : {std::pair{5, false}, std::pair{6, true}, std::pair{10, true},
                                      std::pair{11, true}, std::pair{12, false}}) {
        SCOPED_TRACE("paper " + std::to_string(paper));
        PageInfoSource source;
        source.paperIndex = paper;
        source.marginMode = 3;
        source.rollLength = 2125;
        EXPECT_EQ(PageInfoThirdValue(source, 0, texts), roll ? "2125 " + bars.Text(104) : bars.Text(41));
        EXPECT_EQ(MakePageInfoTexts(&source, 0, texts).labels,
                  bars.Text(184) + "\n" + bars.Text(185) + "\n" + bars.Text(roll ? 187 : 186) + "\n");
    }
}

TEST_F(ToolBoxBarTest, TheReadOutRepaintsFromTheSelectionInTheUnit)
{
    // Redraw notices of the list reach the view through the bar.
    BarFixture::Page page = bars.MakePage();
    bar->UpdateItemList(1);
    EXPECT_EQ(bar->GetItemList()->GetCount(), 4);
    page.text->SetSelected(true);
    EXPECT_EQ(bar->OnLayoutRedraw(2, nullptr), 0);
    ASSERT_EQ(bars.shell.redraws.size(), 1u);
    EXPECT_EQ(bars.shell.redraws[0].first, 2);
    EXPECT_EQ(bar->FindFirstSelectedItem(), page.text);
    bar->SetCurrentItem(page.line);
    EXPECT_EQ(bar->GetItemList()->GetAnchor(), page.line);

    // Each unit paints its own numbers and name.
    bar->GetReadOut()->resize(258, 139);
    QImage pictures[3];
    for (int unit = 0; unit < 3; ++unit) {
        bars.shell.settings.SetUnit(unit);
        pictures[unit] = bar->GetReadOut()->grab().toImage();
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
}

} // namespace

TEST(DrawArrowTipTest, TwoStrokesMeetAtTheTip)
{
    DrawArrowTip(nullptr, QPoint(5, 5), 0); // nothing to draw on
    const struct
    {
        int direction;
        QPoint end1, end2;
    } cases[] = {{0, {8, 16}, {12, 16}}, {1, {8, 4}, {12, 4}}, {2, {16, 8}, {16, 12}}, {3, {4, 8}, {4, 12}}};
    for (const auto& c : cases) {
        QImage image(21, 21, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            DrawArrowTip(&painter, QPoint(10, 10), c.direction);
        }
        EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::black)) << c.direction;
        EXPECT_EQ(image.pixelColor(c.end1), QColor(Qt::black)) << c.direction;
        EXPECT_EQ(image.pixelColor(c.end2), QColor(Qt::black)) << c.direction;
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
    }
}
