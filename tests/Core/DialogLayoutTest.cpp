#include "Core/DialogLayout.h"

#include "Core/support/GuiApp.h"
#include "Core/support/ScratchFolder.h"
#include "Platform/ShiftJis.h"
#include "Platform/WidgetMeasures.h"

#include <QDialog>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const char* kFixture = "[Caption]\n"
                       "7=用紙設定\n"
                       "12=用紙サイズ(&S):\n"
                       "13=None\n"
                       "14=配置\n"
                       "15=名前(&N):\n"
                       "16=A && B\n"
                       "17=とても長い名前のついたラベル\n"
                       "18=折り返して何行にもなる長い説明の文章です\n"
                       "[300]\n"
                       "300=7,320,200\n"
                       "1001=12,10,20,160,24\n"
                       "1002=13,100,150,75,23\n"
                       "1004=14,5,60,200,80\n"
                       "1005=99,10,80,60,20\n"
                       "[302]\n"
                       "302=7,320,200\n"
                       "2001=15,10,10,80,20\n"
                       "2002=13,10,40,80,20\n"
                       "2003=13,10,70,80,20\n"
                       "2004=16,10,100,80,20\n"
                       "2005=13,10,130,80,20\n"
                       "[303]\n"
                       "303=7,220,120\n"
                       "3001=17,10,10,40,20\n"
                       "3002=13,60,10,80,20\n"
                       "3003=13,5,5,150,30\n"
                       "3004=18,10,50,60,20\n"
                       "3005=13,10,72,60,20\n"
                       "3006=13,150,90,60,20\n"
                       "[301]\n"
                       "301=13,200,100\n";

class DialogLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        m_ini = m_scratch.Write("Localize.ini", Utf8ToShiftJis(kFixture).value());
    }
    ScratchFolder m_scratch;
    std::string m_ini;
};

} // namespace

TEST_F(DialogLayout, PlacesAndCaptionsControlsFromTheirEntries)
{
    QDialog dialog;
    dialog.setWindowTitle("resource title");
    dialog.setGeometry(40, 50, 500, 400);
    auto* label = new QLabel("label", &dialog);
    auto* button = new QPushButton("OK", &dialog);
    auto* edit = new QLineEdit("typed", &dialog);
    auto* group = new QGroupBox("group", &dialog);
    group->setGeometry(5, 60, 200, 80);
    auto* inside = new QLabel("inside", group);
    SetControlId(label, 1001);
    SetControlId(button, 1002);
    SetControlId(edit, 1003); // no entry
    SetControlId(group, 1004);
    SetControlId(inside, 1005);
    edit->setGeometry(7, 8, 90, 21);

    QFont font("IPAGothic", 11);
    CWidgetDialogLayout target(&dialog, &font);
    SetupDialogLayout(300, target, m_ini);

    EXPECT_EQ(dialog.size(), QSize(320, 200)); // the client area
    EXPECT_EQ(dialog.pos(), QPoint(40, 50));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("用紙設定"));
    EXPECT_EQ(label->geometry(), QRect(10, 20, 160, 24));
    EXPECT_EQ(label->text(), QString::fromUtf8("用紙サイズ(&S):"));
    EXPECT_EQ(button->geometry(), QRect(100, 150, 75, 23));
    EXPECT_EQ(button->text(), "OK"); // "None" keeps the resource's text
    EXPECT_EQ(edit->geometry(), QRect(7, 8, 90, 21));
    EXPECT_EQ(edit->text(), "typed");
    EXPECT_EQ(group->title(), QString::fromUtf8("配置"));
    // Placed in dialog coordinates although it lies inside the group box;
    // caption 99 does not exist, so its text stays.
    EXPECT_EQ(inside->mapTo(&dialog, QPoint(0, 0)), QPoint(10, 80));
    EXPECT_EQ(inside->text(), "inside");
    EXPECT_EQ(edit->font().family(), "IPAGothic");
    EXPECT_EQ(label->font().pointSize(), 11);
}

TEST_F(DialogLayout, WithoutAnEntryTheDialogKeepsItsSizeAndTitle)
{
    QDialog dialog;
    dialog.setWindowTitle("resource title");
    dialog.resize(500, 400);
    auto* label = new QLabel("label", &dialog);
    SetControlId(label, 1001);
    label->setGeometry(1, 2, 3, 4);

    CWidgetDialogLayout target(&dialog, nullptr);
    SetupDialogLayout(999, target, m_ini);
    EXPECT_EQ(dialog.size(), QSize(500, 400));
    EXPECT_EQ(dialog.windowTitle(), "resource title");
    EXPECT_EQ(label->geometry(), QRect(1, 2, 3, 4));

    // An entry whose caption is "None" clears the title.
    CWidgetDialogLayout other(&dialog, nullptr);
    SetupDialogLayout(301, other, m_ini);
    EXPECT_EQ(dialog.size(), QSize(200, 100));
    EXPECT_EQ(dialog.windowTitle(), "");
}

TEST_F(DialogLayout, ALabelsMnemonicLeadsToTheNextControlThatTakesTheFocus)
{
    QDialog dialog;
    auto* name = new QLabel("name", &dialog);
    auto* picture = new QLabel("picture", &dialog); // takes no focus: skipped
    auto* edit = new QLineEdit(&dialog);
    auto* plain = new QLabel("plain", &dialog); // "&&" is a plain "&"
    auto* other = new QLineEdit(&dialog);
    SetControlId(name, 2001);
    SetControlId(picture, 2002);
    SetControlId(edit, 2003);
    SetControlId(plain, 2004);
    SetControlId(other, 2005);

    CWidgetDialogLayout target(&dialog, nullptr);
    SetupDialogLayout(302, target, m_ini);
    EXPECT_EQ(name->buddy(), edit);
    EXPECT_EQ(plain->buddy(), nullptr);
    EXPECT_EQ(picture->buddy(), nullptr);

    // A buddy the dialog chose itself is kept.
    QDialog own;
    auto* label = new QLabel(&own);
    auto* first = new QLineEdit(&own);
    auto* second = new QLineEdit(&own);
    SetControlId(label, 2001);
    SetControlId(first, 2003);
    SetControlId(second, 2005);
    label->setBuddy(second);
    CWidgetDialogLayout ownTarget(&own, nullptr);
    SetupDialogLayout(302, ownTarget, m_ini);
    EXPECT_EQ(label->buddy(), second);
}

// The stored sizes come from another platform's font: a text that needs more
// room gets it, what lies beyond moves on, and the dialog grows to hold it all.
TEST_F(DialogLayout, AControlWhoseTextNeedsMoreRoomGrowsAndPushesItsNeighbours)
{
    QDialog dialog;
    auto* label = new QLabel(&dialog);
    auto* beside = new QLineEdit(&dialog);
    auto* group = new QGroupBox(&dialog);
    auto* wrapped = new QLabel(&dialog);
    wrapped->setWordWrap(true);
    auto* below = new QLineEdit(&dialog);
    auto* apart = new QPushButton("OK", &dialog);
    const std::pair<QWidget*, int> ids[] = {{label, 3001},   {beside, 3002}, {group, 3003},
                                            {wrapped, 3004}, {below, 3005},  {apart, 3006}};
    for (const auto& [widget, id] : ids)
        SetControlId(widget, id);
    group->lower();

    QFont font("IPAGothic", 11);
    CWidgetDialogLayout target(&dialog, &font);
    SetupDialogLayout(303, target, m_ini);

    const int wider = label->sizeHint().width() - 40;
    ASSERT_GT(wider, 0) << "the fixture's text must not fit its stored width";
    EXPECT_EQ(label->geometry(), QRect(10, 10, 40 + wider, 20));
    EXPECT_EQ(beside->geometry(), QRect(60 + wider, 10, 80, 20));
    EXPECT_EQ(group->geometry(), QRect(5, 5, 150 + wider, 30));
    const int taller = wrapped->heightForWidth(60) - 20;
    ASSERT_GT(taller, 0);
    EXPECT_EQ(wrapped->geometry(), QRect(10, 50, 60, 20 + taller));
    EXPECT_EQ(below->geometry(), QRect(10, 72 + taller, 60, 20));
    // Neither right of the label nor below the wrapped text: it stays.
    EXPECT_EQ(apart->geometry(), QRect(150, 90, 60, 20));
    for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(wrapped)})
        EXPECT_TRUE(TextShortfall(control).isNull());
    // The margins the stored layout left at the right and the bottom are kept.
    // The group, grown with the label, reaches furthest right.
    EXPECT_EQ(dialog.width(), std::max(220, 5 + 150 + wider + (220 - 210)));
    EXPECT_EQ(dialog.height(), std::max(120, 72 + taller + 20 + (120 - 110)));
}

// A text that fits leaves the stored place alone.
TEST_F(DialogLayout, TextsThatFitKeepTheirStoredPlaces)
{
    QDialog dialog;
    auto* button = new QPushButton(&dialog);
    SetControlId(button, 1002);
    QFont font("IPAGothic", 9);
    CWidgetDialogLayout target(&dialog, &font);
    SetupDialogLayout(300, target, m_ini);
    EXPECT_EQ(button->geometry(), QRect(100, 150, 75, 23));
    EXPECT_EQ(dialog.size(), QSize(320, 200));
}
