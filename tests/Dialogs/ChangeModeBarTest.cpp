#include "Dialogs/ChangeModeBar.h"
#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/BarSupport.h"
#include "Dialogs/support/BarFixture.h"

#include <gtest/gtest.h>

#include <QDockWidget>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Rewrites the fixture's "DSCPaperFlag" values (ASCII in a Shift-JIS file).
void SetPaperFlags(const std::string& iniPath, const std::array<const char*, 4>& values)
{
    QFile file(QString::fromStdString(iniPath));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    for (std::size_t pair = 0; pair < kModePairKeys.size(); ++pair) {
        const QByteArray key = QByteArray(kModePairKeys[pair]) + "=1\r\n";
        const int at = bytes.indexOf(key);
        ASSERT_GE(at, 0) << kModePairKeys[pair];
        bytes.replace(at, key.size(), QByteArray(kModePairKeys[pair]) + "=" + values[pair] + "\r\n");
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

std::unique_ptr<CChangeModeBar> MakeBar(BarFixture& bars)
{
    auto bar = std::make_unique<CChangeModeBar>(bars.shell);
    bar->Create(false);
    bar->InitButtons();
    return bar;
}

TEST(ChangeModeBarTest, PairsSwitchedOffInTheLocalisationAreHidden)
{
    const struct
    {
        std::array<const char*, 4> flags;
        int width;
        int buttons;
    } cases[] = {
        {{"1", "1", "1", "1"}, 394, 10}, {{"0", "1", "1", "1"}, 318, 8}, {{"1", "", "1", "0"}, 242, 6},
        {{"2", "0", "1", "-1"}, 166, 4}, {{"0", "0", "0", "0"}, 90, 2},
    };
    for (const auto& c : cases) {
        BarFixture bars;
        SetPaperFlags(bars.shell.localizeIniPath, c.flags);
        auto bar = MakeBar(bars);
        EXPECT_EQ(bar->width(), c.width);
        EXPECT_EQ(bar->height(), kModeBarHeight);
        EXPECT_EQ(bar->GetSizes().floating, QSize(c.width, kModeBarHeight));
        EXPECT_EQ(bar->GetSizes().docked, QSize(c.width, kModeBarHeight));
        EXPECT_EQ(bar->GetButtons().GetCount(), c.buttons);
        EXPECT_EQ(bar->GetButtons().GetCurrent(), 1);
        int shown = 0;
        for (int mode = 0; mode < 10; ++mode)
            if (QWidget* button = FindControl(bar.get(), CChangeModeBar::kFirstModeCommand + mode);
                button && !button->isHidden())
                ++shown;
        EXPECT_EQ(shown, c.buttons);
        // Every shown button lies inside the bar.
        for (int i = 0; i < bar->GetButtons().GetCount(); ++i)
            EXPECT_LE(bar->GetButtons().GetAt(i)->geometry().right(), c.width) << c.width;
    }
}

TEST(ChangeModeBarTest, SelectModeChecksTheButtonAndSetsTheEditMode)
{
    BarFixture bars;
    SetPaperFlags(bars.shell.localizeIniPath, {"0", "1", "1", "1"});
    ASSERT_TRUE(bars.doc.document->NewDSCLayout(0));
    auto bar = MakeBar(bars);
    CRadioButtonManager& buttons = bar->GetButtons();
    bar->SelectMode(4);
    EXPECT_EQ(buttons.GetCurrent(), 2);
    EXPECT_EQ(buttons.GetAt(2)->GetId(), 32884);
    EXPECT_EQ(bars.doc.document->GetEditMode(), 4);
    bar->SelectMode(9);
    EXPECT_EQ(buttons.GetCurrent(), 7);
    EXPECT_EQ(buttons.GetAt(7)->GetId(), 32889);
    // Mode 2 of the hidden L-size pair: no button is checked in its place, the
    // edit mode is still set.
    bar->SelectMode(2);
    EXPECT_EQ(buttons.GetCurrent(), 7);
    EXPECT_EQ(bars.doc.document->GetEditMode(), 2);
    bar->SelectMode(0);
    EXPECT_EQ(buttons.GetCurrent(), 0);
    EXPECT_EQ(bars.doc.document->GetEditMode(), 0);
}

TEST(ChangeModeBarTest, KeysAndModeCommandsReachTheView)
{
    BarFixture bars;
    auto bar = MakeBar(bars);
    bar->show();
    QTest::keyClick(bar.get(), Qt::Key_Plus);
    QTest::keyClick(bar->GetButtons().GetAt(3), Qt::Key_1, Qt::ControlModifier);
    // The Ctrl key's own press goes too: every key message does.
    EXPECT_EQ(bars.shell.keys, (std::vector<int>{Qt::Key_Plus, Qt::Key_Control, Qt::Key_1}));
    QTest::mouseClick(bar->GetButtons().GetAt(5), Qt::LeftButton);
    EXPECT_EQ(bars.shell.commands, std::vector<int>{32885});
    EXPECT_EQ(bar->GetButtons().GetCurrent(), 5);
    EXPECT_EQ(bar->GetButtons().GetAt(5)->toolTip().toStdString(), bars.Text(122));
}

TEST(ChangeModeBarTest, MovingTheFloatingFrameStoresItsPoint)
{
    BarFixture bars;
    QDockWidget frame;
    CChangeModeBar* bar = MakeBar(bars).release();
    // Outside a floating frame there is nothing to store.
    bar->OnBarFrameMoved();
    EXPECT_EQ(bars.shell.settings.GetChangeModeWindowPos().x, NeverStored);
    frame.setWidget(bar);
    frame.setFloating(true);
    frame.show();
    EXPECT_EQ(frame.windowTitle().toStdString(), bars.Text(106));
    frame.move(210, 96);
    bar->OnBarFrameMoved();
    const QRect at = frame.frameGeometry();
    EXPECT_EQ(bars.shell.settings.GetChangeModeWindowPos().x, at.left());
    EXPECT_EQ(bars.shell.settings.GetChangeModeWindowPos().y, at.top());

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("settings.ini"));
    {
        QSettings store(file, QSettings::IniFormat);
        bars.shell.settings.SaveSettings(store);
    }
    QSettings store(file, QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("App Info/ChangeModeWindowX")).toInt(), at.left());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ChangeModeWindowY")).toInt(), at.top());
}

} // namespace
