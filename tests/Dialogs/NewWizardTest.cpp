#include "Dialogs/NewWizard.h"
#include "App/MainFrame.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "App/support/ModalScript.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/PaperPages.h"
#include "Dialogs/support/FakeDialogShell.h"
#include "ImageProcessing/ImageIcon.h"
#include "Layout/LayoutManager.h"
#include "Platform/DialogLayoutTarget.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Positions with odd distances between the three choices, so that the
// half-distance moves truncate.
const char* const kFixtureHead = "[Font]\n"
                                 "1=9,Sans,128\n"
                                 "2=14,Sans,128\n"
                                 "\n"
                                 "[Caption]\n"
                                 "29=Paper\n"
                                 "30=Existing\n"
                                 "31=Start\n"
                                 "2900=New layout\n"
                                 "2901=Go back\n"
                                 "2902=Go on\n"
                                 "2903=Make it\n"
                                 "2904=Stop\n"
                                 "\n"
                                 "[100]\n"
                                 "100=2900,460,360\n"
                                 "131=0,0,0,400,300\n"
                                 "132=0,0,0,400,300\n"
                                 "133=0,0,0,400,300\n"
                                 "505=0,0,0,400,300\n"
                                 "12323=2901,200,330,80,24\n"
                                 "12324=2902,280,330,80,24\n"
                                 "12325=2903,280,330,80,24\n"
                                 "2=2904,370,330,80,24\n"
                                 "\n"
                                 "[130]\n"
                                 "130=0,300,180\n"
                                 "\n"
                                 "[131]\n"
                                 "1020=0,180,61,200,20\n"
                                 "2022=0,140,57,32,32\n"
                                 "1022=0,180,104,200,20\n"
                                 "2024=0,140,100,32,32\n"
                                 "1021=0,180,149,200,20\n"
                                 "2023=0,140,145,32,32\n"
                                 "1101=0,140,262,250,20\n"
                                 "\n"
                                 "[132]\n"
                                 "1340=0,245,53,140,24\n"
                                 "1030=0,150,104,60,20\n"
                                 "1031=0,212,104,60,20\n"
                                 "1032=0,274,104,60,20\n"
                                 "1033=0,336,104,60,20\n"
                                 "1102=0,336,170,60,20\n"
                                 "2030=0,140,202,250,88\n"
                                 "2010=0,156,228,32,32\n"
                                 "2011=0,200,228,32,32\n"
                                 "1034=0,250,226,60,20\n"
                                 "1035=0,250,254,60,20\n"
                                 "\n"
                                 "[505]\n"
                                 "1034=0,250,154,60,20\n"
                                 "1035=0,250,182,60,20\n"
                                 "\n";

const char* const kPapers = "[PaperSizeString]\n"
                            "1=0,HAGAKI\n"
                            "2=1,A6\n"
                            "3=2,4x6\n"
                            "4=4,A3\n"
                            "5=6,R89\n"
                            "6=22,BUSINESSCARD1\n"
                            "7=23,WALLET\n";

QWidget* Control(QWidget* page, int controlId)
{
    for (QWidget* child : page->findChildren<QWidget*>())
        if (GetControlId(child) == controlId)
            return child;
    return nullptr;
}

QAbstractButton* Button(QWidget* page, int controlId)
{
    return qobject_cast<QAbstractButton*>(Control(page, controlId));
}

class NewWizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        WriteFixture(kPapers);
        shell.settings.SetShowNewWizardOnStartUp(1);
        SetInstall(0, 0);
    }

    void WriteFixture(const std::string& papers)
    {
        const QString path = dir.filePath(QStringLiteral("Localize.ini"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((std::string(kFixtureHead) + papers).c_str());
        shell.localizeIniPath = path.toStdString();
    }

    void SetInstall(int editableFrameType, int showAutoCutter)
    {
        InstallSettings install;
        install.editableFrameType = editableFrameType;
        install.showAutoCutter = showAutoCutter;
        shell.settings.SetInstallSettings(install);
    }

    static bool Shows(QWizard& wizard, QWizard::WizardButton which)
    {
        return wizard.button(which)->isVisible();
    }

    // Before any widget member, so that a test of this fixture also runs alone.
    bool m_appReady = (EnsureApp(), true);
    QTemporaryDir dir;
    FakeDialogShell shell;
    QWidget owner;
};

// --- The sheet --------------------------------------------------------------

TEST_F(NewWizardTest, EachStartModeHasItsPagesAndButtons)
{
    struct Case
    {
        int mode;
        QList<int> pages;
    };
    const Case cases[] = {{0, {0, 1, 2, 3}}, {1, {1}}, {2, {2}}, {3, {3}}, {4, {}}, {7, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(c.mode);
        EXPECT_EQ(wizard.GetStartMode(), c.mode);
        EXPECT_EQ(wizard.pageIds(), c.pages);
        // No close button: the wizard ends by Finish or Cancel.
        EXPECT_FALSE(wizard.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(wizard.windowFlags() & Qt::CustomizeWindowHint);
        if (c.pages.isEmpty())
            continue;
        // The full wizard stands alone; the single pages belong to the main window.
        EXPECT_EQ(wizard.parentWidget(), c.mode == 0 ? nullptr : &owner);
        EXPECT_EQ(wizard.windowType(), c.mode == 0 ? Qt::Window : Qt::Dialog);
        wizard.show();
        EXPECT_EQ(wizard.currentId(), c.pages.first());
        EXPECT_TRUE(Shows(wizard, QWizard::CancelButton));
        EXPECT_FALSE(Shows(wizard, QWizard::BackButton));
        EXPECT_EQ(Shows(wizard, QWizard::NextButton), c.mode == 0);
        EXPECT_EQ(Shows(wizard, QWizard::FinishButton), c.mode != 0);
        // The sheet's localisation captions its buttons, and they keep it.
        EXPECT_EQ(wizard.button(QWizard::CancelButton)->text(), QStringLiteral("Stop"));
        EXPECT_EQ(wizard.button(c.mode == 0 ? QWizard::NextButton : QWizard::FinishButton)->text(),
                  c.mode == 0 ? QStringLiteral("Go on") : QStringLiteral("Make it"));
        EXPECT_EQ(wizard.windowTitle(), QStringLiteral("New layout"));
        // Pages keep the size of their entry.
        EXPECT_EQ(wizard.currentPage()->size(), QSize(400, 300));
    }
}

TEST_F(NewWizardTest, TheStartPageLeadsToEachPageAndBackComesHome)
{
    struct Case
    {
        int choice;
        int page;
    };
    for (const Case c : {Case{1020, 1}, Case{1022, 2}, Case{1021, 3}}) {
        SCOPED_TRACE(c.choice);
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(0);
        wizard.show();
        Button(wizard.currentPage(), c.choice)->setChecked(true);
        wizard.next();
        ASSERT_EQ(wizard.currentId(), c.page);
        EXPECT_TRUE(Shows(wizard, QWizard::BackButton));
        EXPECT_TRUE(Shows(wizard, QWizard::FinishButton));
        EXPECT_FALSE(Shows(wizard, QWizard::NextButton));
        EXPECT_EQ(wizard.button(QWizard::BackButton)->text(), QStringLiteral("Go back"));
        wizard.back();
        EXPECT_EQ(wizard.currentId(), 0);
        EXPECT_FALSE(Shows(wizard, QWizard::BackButton));
    }
}

TEST_F(NewWizardTest, ShowAtNextStartIsStoredOnNextAndRestoredOnCancel)
{
    struct Case
    {
        const char* name;
        bool next;
        bool backAgain;
        int stored;
    };
    const Case cases[] = {
        {"unchecked, Next", true, false, 0},
        {"unchecked, Cancel", false, false, 1},
        {"unchecked, Next, Back, Cancel", true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell.settings.SetShowNewWizardOnStartUp(1);
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(0);
        wizard.show();
        auto* box = qobject_cast<QCheckBox*>(Control(wizard.currentPage(), 1101));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        if (c.next)
            wizard.next();
        if (c.backAgain) {
            EXPECT_EQ(shell.settings.GetShowNewWizardOnStartUp(), 0);
            wizard.back();
        }
        if (!c.next || c.backAgain)
            wizard.reject();
        EXPECT_EQ(shell.settings.GetShowNewWizardOnStartUp(), c.stored);
    }
}

TEST_F(NewWizardTest, ClosingRunsTheInitialFrameUpdate)
{
    CNewWizard wizard(shell, &owner);
    wizard.Prepare(0);
    wizard.show();
    EXPECT_TRUE(shell.documentCalls.empty());
    wizard.reject();
    EXPECT_EQ(shell.documentCalls, std::vector<std::string>{"InitialFrameUpdate"});
}

// --- The start page -----------------------------------------------------------

TEST_F(NewWizardTest, TheEditableFrameTypeHidesAChoiceAndTheOthersCloseTheGap)
{
    struct Case
    {
        int frameType;
        int checked;
        int hidden; // 0: none
        int top1020, top2022, top1022, top2024, top1021, top2023;
    };
    const Case cases[] = {
        {0, 1020, 0, 61, 57, 104, 100, 149, 145},
        // Half of 45 is 22, half of 43 is 21.
        {1, 1022, 1020, 61, 57, 83, 79, 127, 123},
        {2, 1020, 1022, 82, 78, 104, 100, 127, 123},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameType);
        SetInstall(c.frameType, 0);
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(0);
        wizard.show();
        QWidget* page = wizard.currentPage();
        EXPECT_TRUE(Button(page, c.checked)->isChecked());
        for (const int choice : {1020, 1021, 1022})
            EXPECT_EQ(Control(page, choice)->isVisible(), choice != c.hidden) << choice;
        const auto expectTops = [&] {
            const std::pair<int, int> tops[] = {{1020, c.top1020}, {2022, c.top2022}, {1022, c.top1022},
                                                {2024, c.top2024}, {1021, c.top1021}, {2023, c.top2023}};
            for (const auto& [id, top] : tops)
                EXPECT_EQ(Control(page, id)->y(), top) << id;
            // Only the tops move.
            EXPECT_EQ(Control(page, 1021)->geometry(), QRect(180, c.top1021, 200, 20));
        };
        expectTops();
        wizard.next();
        wizard.back();
        expectTops();
    }
}

TEST_F(NewWizardTest, ThePhotoIconIsNotDrawnForCameraOnlyInstallations)
{
    const CImageIcon icon = LoadIconResourcePicture(250);
    ASSERT_FALSE(icon.IsNull());
    // A pixel the printer icon covers with an opaque colour.
    const QPoint inIcon(10, 15);
    const QRgb iconColour = icon.GetPicture().pixel(inIcon);
    ASSERT_EQ(qAlpha(iconColour), 255);
    for (const int frameType : {0, 1}) {
        SCOPED_TRACE(frameType);
        SetInstall(frameType, 0);
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(0);
        wizard.show();
        QWidget* page = wizard.currentPage();
        const QImage grabbed = page->grab().toImage();
        const QRgb drawn = grabbed.pixel(Control(page, 2022)->pos() + inIcon);
        EXPECT_EQ(drawn == iconColour, frameType == 0);
    }
}

// --- The title band ------------------------------------------------------------

TEST_F(NewWizardTest, TheTitleFontIsTheSecondFontInPixelsAndBold)
{
    const QFont font = CWizardDialog::TitleFont(shell.localizeIniPath);
    EXPECT_EQ(font.pixelSize(), 19);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.family(), QStringLiteral("Sans"));
}

TEST_F(NewWizardTest, TheBannerMeetsTheRightEdgeAndTheSidePictureTheBottom)
{
    const QImage banner = LoadBitmapResourcePicture(405).convertToFormat(QImage::Format_RGB32);
    const QImage side = LoadBitmapResourcePicture(407).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(banner.isNull());
    ASSERT_FALSE(side.isNull());
    CNewWizard wizard(shell, &owner);
    wizard.Prepare(0);
    wizard.show();
    QWidget* page = wizard.currentPage();
    const QImage grabbed = page->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = grabbed.width();
    const int h = grabbed.height();
    ASSERT_GT(h, banner.height() + side.height());
    const QRgb white = qRgb(255, 255, 255);
    // The banner at the top right, the white band left of it.
    EXPECT_EQ(grabbed.pixel(w - 1, 0), banner.pixel(banner.width() - 1, 0));
    EXPECT_EQ(grabbed.pixel(w - banner.width(), banner.height() - 1), banner.pixel(0, banner.height() - 1));
    EXPECT_EQ(grabbed.pixel(w - banner.width() - 1, banner.height() - 1), white);
    EXPECT_EQ(grabbed.pixel(2, 2), white);
    // The side picture at the bottom left, white above it up to the band.
    EXPECT_EQ(grabbed.pixel(0, h - 1), side.pixel(0, side.height() - 1));
    EXPECT_EQ(grabbed.pixel(side.width() - 1, h - side.height()), side.pixel(side.width() - 1, 0));
    EXPECT_EQ(grabbed.pixel(1, banner.height()), white);
    EXPECT_EQ(grabbed.pixel(side.width() - 1, h - side.height() - 1), white);
    // Right of the side picture the page keeps its own background.
    EXPECT_NE(grabbed.pixel(side.width(), h - side.height() - 1), white);
}

// --- The paper pages -------------------------------------------------------------

class PaperPageTest : public NewWizardTest
{
protected:
    CPaperSettingDialog* Open(CNewWizard& wizard)
    {
        wizard.Prepare(1);
        wizard.show();
        return qobject_cast<CPaperSettingDialog*>(wizard.currentPage());
    }
    static QComboBox* Papers(QWidget* page) { return qobject_cast<QComboBox*>(Control(page, 1340)); }
    static void ChoosePaper(QWidget* page, const QString& name)
    {
        QComboBox* papers = Papers(page);
        const int index = papers->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        papers->setCurrentIndex(index);
    }
    static int CheckedArea(QWidget* page)
    {
        for (int i = 0; i < 4; ++i)
            if (Button(page, 1030 + i)->isChecked())
                return i;
        return -1;
    }
    static std::vector<int> EnabledAreas(QWidget* page)
    {
        std::vector<int> enabled;
        for (int i = 0; i < 4; ++i)
            if (Button(page, 1030 + i)->isEnabled())
                enabled.push_back(i);
        return enabled;
    }
};

TEST_F(PaperPageTest, TheDefaultsFillThePageAndAnUnknownPaperSelectsTheFirst)
{
    struct Case
    {
        int paper, direction, margin;
        int showAutoCutter;
        QString selected;
        int area;
        bool cutterChecked;
    };
    const Case cases[] = {
        {3, 1, 0, 0, QStringLiteral("HAGAKI"), 1, false}, // "A4" is not in the list
        {4, 0, 5, 0, QStringLiteral("A3"), 2, false},     {23, 1, 6, 0, QStringLiteral("WALLET"), 2, false},
        {6, 0, 4, 1, QStringLiteral("R89"), 3, true},     {6, 0, 3, 1, QStringLiteral("R89"), 3, false},
        {1, 1, 1, 0, QStringLiteral("A6"), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected.toStdString());
        SetInstall(0, c.showAutoCutter);
        shell.settings.SetSingleZAVDefaultPaperSize(c.paper);
        shell.settings.SetSingleZAVDefaultPaperDirection(c.direction);
        shell.settings.SetSingleZAVDefaultPaperMargin(c.margin);
        CNewWizard wizard(shell, &owner);
        CPaperSettingDialog* page = Open(wizard);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Papers(page)->currentText(), c.selected);
        EXPECT_EQ(Papers(page)->count(), 7);
        EXPECT_EQ(Papers(page)->itemData(3).toInt(), 4); // the paper code as item data
        EXPECT_EQ(CheckedArea(page), c.area);
        EXPECT_TRUE(Button(page, 1034 + c.direction)->isChecked());
        EXPECT_EQ(Button(page, 1102)->isChecked(), c.cutterChecked);
        EXPECT_EQ(Control(page, 1102)->isVisible(), c.showAutoCutter != 0);
    }
}

TEST_F(PaperPageTest, EachPaperAllowsItsAreasAndReplacesOneItDoesNot)
{
    SetInstall(0, 1);
    shell.settings.SetSingleZAVDefaultPaperSize(0);
    shell.settings.SetSingleZAVDefaultPaperMargin(0); // maximum
    CNewWizard wizard(shell, &owner);
    CPaperSettingDialog* page = Open(wizard);
    struct Step
    {
        QString paper;
        int area;
        std::vector<int> enabled;
        bool cutterEnabled;
    };
    const Step steps[] = {
        {QStringLiteral("4x6"), 0, {0}, false},          {QStringLiteral("R89"), 3, {3}, true},
        {QStringLiteral("HAGAKI"), 1, {0, 1, 2}, false}, {QStringLiteral("BUSINESSCARD1"), 1, {1, 2}, false},
        {QStringLiteral("A6"), 1, {0, 1}, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.paper.toStdString());
        ChoosePaper(page, step.paper);
        EXPECT_EQ(CheckedArea(page), step.area);
        EXPECT_EQ(EnabledAreas(page), step.enabled);
        EXPECT_EQ(Control(page, 1102)->isEnabled(), step.cutterEnabled);
    }
    // An allowed area is kept: borderless on "A3", then "HAGAKI".
    ChoosePaper(page, QStringLiteral("A3"));
    Button(page, 1032)->setChecked(true);
    ChoosePaper(page, QStringLiteral("HAGAKI"));
    EXPECT_EQ(CheckedArea(page), 2);
}

TEST_F(PaperPageTest, FinishMakesTheLayoutAndStoresTheDefaults)
{
    struct Case
    {
        QString paper;
        int area;
        bool cutter;
        int showAutoCutter;
        int paperId, margin;
    };
    const Case cases[] = {
        {QStringLiteral("A3"), 2, false, 0, 4, 5},
        {QStringLiteral("WALLET"), 2, false, 0, 23, 6},
        {QStringLiteral("HAGAKI"), 2, false, 0, 0, 2},
        {QStringLiteral("HAGAKI"), 1, false, 0, 0, 0},
        {QStringLiteral("4x6"), 0, false, 0, 2, 1},
        {QStringLiteral("R89"), 3, true, 1, 6, 4},
        {QStringLiteral("R89"), 3, false, 1, 6, 3},
        // Hidden: the box counts for nothing.
        {QStringLiteral("R89"), 3, true, 0, 6, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paper.toStdString() + " area " + std::to_string(c.area));
        shell.documentCalls.clear();
        SetInstall(0, c.showAutoCutter);
        shell.settings.SetSingleZAVDefaultPaperDirection(0);
        CNewWizard wizard(shell, &owner);
        CPaperSettingDialog* page = Open(wizard);
        ChoosePaper(page, c.paper);
        Button(page, 1030 + c.area)->setChecked(true);
        Button(page, 1035)->setChecked(true);
        Button(page, 1102)->setChecked(c.cutter);
        EXPECT_EQ(Control(page, 1102)->isVisible(), c.showAutoCutter != 0);
        ASSERT_TRUE(wizard.button(QWizard::FinishButton)->isEnabled());
        wizard.button(QWizard::FinishButton)->click();
        EXPECT_EQ(wizard.result(), QDialog::Accepted);
        const std::vector<std::string> expected = {"NewSingleLayout " + std::to_string(c.paperId) + " 1 " +
                                                       std::to_string(c.margin),
                                                   "SetDSCLayout 0", "InitialFrameUpdate"};
        EXPECT_EQ(shell.documentCalls, expected);
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperSize(), c.paperId);
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperDirection(), 1);
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperMargin(), c.margin);
    }
}

TEST_F(PaperPageTest, EveryPaperTheProgramOffersStoresTheMarginModeOfEachOfItsAreas)
{
    // The margin mode of each printable area on every paper; -1 where the area is
    // not offered. Roll paper gives 3, or 4 with the auto cutter checked.
    struct PaperRow
    {
        int paper;
        int standard, maximum, borderless, roll;
    };
    std::vector<PaperRow> rows = {
        {0, 1, 0, 2, -1},    {1, 1, 0, -1, -1},  {2, 1, -1, -1, -1}, {3, 1, 0, 2, -1},   {4, 1, 0, 5, -1},
        {5, 1, 0, 5, -1},    {6, -1, -1, -1, 3}, {7, -1, -1, -1, 3}, {8, -1, -1, -1, 3}, {9, -1, -1, -1, 3},
        {10, -1, -1, -1, 3}, {22, -1, 0, 6, -1}, {23, -1, 0, 6, -1},
    };
    for (int plain = 12; plain <= 21; ++plain)
        rows.push_back({plain, 1, 0, 2, -1});

    // The table covers exactly the papers of the shipped paper list, in a
    // fixture of plain names.
    std::vector<PaperSizeEntry> shipped;
    CLocalizeScript(ZAV_SOURCE_DIR "/resources/Localize.ini").GetPaperSizeString(shipped);
    std::vector<int> shippedIds, tableIds;
    std::string papers = "[PaperSizeString]\n";
    for (std::size_t i = 0; i < shipped.size(); ++i) {
        shippedIds.push_back(shipped[i].paperId);
        papers += std::to_string(i + 1) + "=" + std::to_string(shipped[i].paperId) + ",P" +
                  std::to_string(shipped[i].paperId) + "\n";
    }
    for (const PaperRow& row : rows)
        tableIds.push_back(row.paper);
    std::sort(shippedIds.begin(), shippedIds.end());
    std::sort(tableIds.begin(), tableIds.end());
    ASSERT_EQ(tableIds, shippedIds);
    WriteFixture(papers);
    SetInstall(0, 1);

    for (const PaperRow& row : rows) {
        const QString name = QStringLiteral("P%1").arg(row.paper);
        const int modes[] = {row.standard, row.maximum, row.borderless, row.roll};
        std::vector<int> offered;
        for (int area = 0; area < 4; ++area)
            if (modes[area] >= 0)
                offered.push_back(area);
        for (int area = 0; area < 4; ++area) {
            for (const bool cutter : {false, true}) {
                if (modes[area] < 0 || (cutter && area != 3))
                    continue;
                SCOPED_TRACE("paper " + std::to_string(row.paper) + " area " + std::to_string(area) +
                             (cutter ? " with the cutter" : ""));
                shell.documentCalls.clear();
                CNewWizard wizard(shell, &owner);
                CPaperSettingDialog* page = Open(wizard);
                ASSERT_NE(page, nullptr);
                ChoosePaper(page, name);
                EXPECT_EQ(EnabledAreas(page), offered);
                ASSERT_TRUE(Button(page, 1030 + area)->isEnabled());
                Button(page, 1030 + area)->setChecked(true);
                Button(page, 1035)->setChecked(true);
                Button(page, 1102)->setChecked(cutter);
                wizard.button(QWizard::FinishButton)->click();
                const int margin = cutter ? 4 : modes[area];
                const std::vector<std::string> expected = {"NewSingleLayout " + std::to_string(row.paper) +
                                                               " 1 " + std::to_string(margin),
                                                           "SetDSCLayout 0", "InitialFrameUpdate"};
                EXPECT_EQ(shell.documentCalls, expected);
                EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperMargin(), margin);
            }
        }
    }
}

TEST_F(PaperPageTest, CancelMakesAndStoresNothing)
{
    shell.settings.SetSingleZAVDefaultPaperSize(4);
    shell.settings.SetSingleZAVDefaultPaperDirection(0);
    shell.settings.SetSingleZAVDefaultPaperMargin(1);
    shell.settings.SetDSCZAVDefaultPaperDirection(0);
    for (const int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        shell.documentCalls.clear();
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(mode);
        wizard.show();
        if (mode == 0) {
            wizard.next();
            ChoosePaper(wizard.currentPage(), QStringLiteral("WALLET"));
        }
        Button(wizard.currentPage(), 1035)->setChecked(true);
        wizard.button(QWizard::CancelButton)->click();
        EXPECT_EQ(wizard.result(), QDialog::Rejected);
        EXPECT_EQ(shell.documentCalls, std::vector<std::string>{"InitialFrameUpdate"});
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperSize(), 4);
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperDirection(), 0);
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperMargin(), 1);
        EXPECT_EQ(shell.settings.GetDSCZAVDefaultPaperDirection(), 0);
    }
}

TEST_F(PaperPageTest, WithoutPapersFinishStaysDisabledAndNothingIsMade)
{
    for (const char* papers : {"", "[PaperSizeString]\n1=0,HAGAKI\n2=oops\n"}) {
        SCOPED_TRACE(papers);
        WriteFixture(papers);
        shell.documentCalls.clear();
        shell.settings.SetSingleZAVDefaultPaperSize(3);
        CNewWizard wizard(shell, &owner);
        CPaperSettingDialog* page = Open(wizard);
        EXPECT_EQ(Papers(page)->count(), 0);
        EXPECT_FALSE(page->isComplete());
        EXPECT_FALSE(wizard.button(QWizard::FinishButton)->isEnabled());
        // Even a forced Finish makes nothing.
        wizard.accept();
        EXPECT_TRUE(shell.documentCalls.empty());
        EXPECT_EQ(shell.settings.GetSingleZAVDefaultPaperSize(), 3);
        EXPECT_TRUE(wizard.isVisible());
    }
}

TEST_F(PaperPageTest, TheCameraPageMakesACameraLayout)
{
    for (const int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        shell.documentCalls.clear();
        shell.settings.SetDSCZAVDefaultPaperDirection(1);
        CNewWizard wizard(shell, &owner);
        wizard.Prepare(mode);
        wizard.show();
        if (mode == 0) {
            Button(wizard.currentPage(), 1022)->setChecked(true);
            wizard.next();
        }
        ASSERT_EQ(wizard.currentId(), 2);
        QWidget* page = wizard.currentPage();
        EXPECT_TRUE(Button(page, 1035)->isChecked());
        Button(page, 1034)->setChecked(true);
        wizard.button(QWizard::FinishButton)->click();
        const std::vector<std::string> expected = {"NewDSCLayout 0", "SetDSCLayout 1", "InitialFrameUpdate"};
        EXPECT_EQ(shell.documentCalls, expected);
        EXPECT_EQ(shell.settings.GetDSCZAVDefaultPaperDirection(), 0);
    }
}

// --- The program's wiring ---------------------------------------------------------

TEST(WizardWiringTest, FileNewRunsThePaperPageOnTheMainWindowAndMakesTheLayout)
{
    EnsureApp();
    AppFolders folders;
    {
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }
    FakeServices services;
    MessageRecorder recorder;
    AppDialogShell shell;
    DialogsUi ui(shell);
    CZAVEditorApp app(folders.Environment(), ui, services);
    shell.Attach(&app);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    CZAVEditorDoc* document = app.GetDocument();
    ASSERT_NE(document, nullptr);

    QWidget* seenParent = nullptr;
    bool answered = false;
    modaltest::OnNextModal<CNewWizard>([&](CNewWizard& modal) {
        auto* wizard = &modal;
        answered = true;
        seenParent = wizard->parentWidget();
        QWidget* page = wizard->currentPage();
        auto* papers = qobject_cast<QComboBox*>(Control(page, 1340));
        papers->setCurrentIndex(papers->findData(3)); // "A4"
        Button(page, 1035)->setChecked(true);
        Button(page, 1031)->setChecked(true);
        wizard->button(QWizard::FinishButton)->click();
    });
    document->OnFileNew();
    ASSERT_TRUE(answered);
    EXPECT_EQ(seenParent, app.GetMainFrame());
    EXPECT_EQ(document->GetLayoutManager()->GetPaperSizeIndex(), 3);
    EXPECT_EQ(document->GetPageOrientation(), 1);
    EXPECT_FALSE(document->IsDSCLayout());
    EXPECT_EQ(app.Settings().GetSingleZAVDefaultPaperSize(), 3);
    EXPECT_EQ(app.Settings().GetSingleZAVDefaultPaperDirection(), 1);
    EXPECT_EQ(app.Settings().GetSingleZAVDefaultPaperMargin(), 0);
    app.ExitInstance();
}

} // namespace
