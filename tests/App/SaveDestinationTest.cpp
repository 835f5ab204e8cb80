#include "App/support/DocumentFakes.h"
#include "App/support/JapanesePaths.h"

#include "App/SaveChecks.h"
#include "Layout/StringItem.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <vector>

namespace {

struct DestinationCase
{
    const char* name;
    bool camera;
    std::string ext;
    std::string relative; // under the work folder
    int inPlace;
    int result;
    int message; // a localisation id, or 0 for none
};

class SaveDestinationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        f.services.layoutNameResults = {{"ABCDEFGHI", 2}, {"ABCDEF_1", -2}, {"vlmo00AB", -1}};
        f.services.numberedNameResults = {{"ABCDEFGHI", 2}, {"VLMO00_1", -1}, {"ABCDEFG1", 3}};
        f.MakeFile("inway/ABCDEF01.usd/keep");
        f.MakeFile("inway/stem/keep");
        f.MakeFile("taken.zvd");
        f.host.cardRoots = {f.Work() + "/card/"};
        f.MakeFile("card/dcim/100CAM/A.UST", "[HEADER]\r\nHdusm=ABCDEF_1.usm\r\n");
        QDir().mkpath(QString::fromStdString(f.Work() + "/card/VLUDL"));
        const std::string taken = f.Work() + "/taken.zvd";
        f.document->SetTargetAccessTest([taken](const std::string& path, std::uint32_t mask) {
            return path != taken && mask == kSaveTargetAccess;
        });
    }

    int Run(const DestinationCase& c)
    {
        f.recorder.messages.clear();
        if (c.camera)
            f.document->NewDSCLayout(0);
        else
            f.document->NewSingleLayout(3, 0, 0);
        return f.document->CheckSaveDestination(c.ext, f.Work() + "/" + c.relative, c.inPlace);
    }

    DocumentFixture f;
};

TEST_F(SaveDestinationTest, ATableOfDestinations)
{
    const std::string longName(243 - f.Work().size() - 1 - 4, 'a');
    const DestinationCase cases[] = {
        {"plain zvd", false, ".zvd", "ok.zvd", 0, 0, 0},
        {"nine-character zvd", false, ".zvd", "ABCDEFGHI.zvd", 0, 0, 0},
        {"dot zvd", false, ".zvd", ".hidden.zvd", 0, 2, 21},
        {"zvd trailing dot and blank", false, ".zvd", "ok.zvd. ", 0, 0, 0},
        {"photo name refused, chosen", false, ".usd", "ABCDEFGHI.usd", 0, 2, 181},
        {"photo name refused, in place", false, ".usd", "ABCDEFGHI.usd", 1, 2, 21},
        {"photo reserved prefix", false, ".usd", "vlmo00AB.usd", 0, 2, 244},
        {"camera wrong length", true, ".usm", "ABCDEFGHI.usm", 0, 2, 243},
        {"camera reserved prefix", true, ".usm", "VLMO00_1.usm", 0, 2, 244},
        {"camera other refusal", true, ".usm", "ABCDEFG1.usm", 0, 2, 181},
        {"camera in place", true, ".usm", "ABCDEFG1.usm", 1, 2, 21},
        {"variant in the way", true, ".usm", "inway/ABCDEF_1.usm", 0, 5, 12},
        {"folder in the way", false, ".usd", "inway/stem.usd", 0, 5, 12},
        {"registered on the card", true, ".usm", "card/VLUDL/abcdef_1.USM", 0, 4, 263},
        {"not registered on the card", true, ".usm", "card/VLUDL/ABCDEF_2.usm", 0, 0, 0},
        {"243 characters", false, ".usd", longName + ".usd", 0, 2, 21},
        {"242 characters", false, ".usd", longName.substr(1) + ".usd", 0, 0, 0},
        {"no access rights", false, ".zvd", "taken.zvd", 1, 7, 23},
    };
    for (const DestinationCase& c : cases) {
        EXPECT_EQ(Run(c), c.result) << c.name;
        const std::vector<int> expected = c.message ? std::vector<int>{c.message} : std::vector<int>{};
        EXPECT_EQ(f.MessageIds(), expected) << c.name;
        for (const RecordedMessage& message : f.recorder.messages)
            EXPECT_EQ(message.caption, ShippedCaption(161)) << c.name;
    }
}

TEST_F(SaveDestinationTest, AChosenPathWithoutItsExtensionIsRefusedFrom260Characters)
{
    // Before the name rules: below the limit the name rule speaks (181), from it on
    // the path is refused as a bad name (21).
    const std::string name = "ABCDEFGHI";
    const std::size_t fixed = f.Work().size() + 1 + 1 + name.size(); // "/", the folder's "/", the name
    ASSERT_LT(fixed, 259u);
    const std::string folder(259 - fixed, 'd');
    const struct
    {
        const char* what;
        std::string relative;
        int message;
    } cases[] = {
        {"259 characters", folder + "/" + name, 181},
        {"260 characters", folder + "d/" + name, 21},
        {"261 characters", folder + "dd/" + name, 21},
    };
    ASSERT_EQ((f.Work() + "/" + cases[0].relative).size(), 259u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Run({c.what, false, ".usd", c.relative, 0, 2, c.message}), 2);
        EXPECT_EQ(f.MessageIds(), std::vector<int>{c.message});
    }
}

TEST_F(SaveDestinationTest, BothPathLimitsCountTheShiftJisBytesOfJapaneseFolders)
{
    const struct
    {
        const char* what;
        std::size_t bytes;
        std::string tail;
        int result;
        int message;
    } cases[] = {
        // A chosen path without its extension: the name rule speaks below 260.
        {"chosen, 259 bytes", 259, "/ABCDEFGHI", 2, 181},
        {"chosen, 260 bytes", 260, "/ABCDEFGHI", 2, 21},
        // The full path: 242 bytes are written, 243 refused.
        {"full, 242 bytes", 242, "/ok.usd", 0, 0},
        {"full, 243 bytes", 243, "/ok.usd", 2, 21},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path =
            JapaneseFolder(f.Work() + "/j" + std::to_string(index++), c.bytes, c.tail) + c.tail;
        f.recorder.messages.clear();
        f.document->NewSingleLayout(3, 0, 0);
        EXPECT_EQ(f.document->CheckSaveDestination(".usd", path, 0), c.result);
        EXPECT_EQ(f.MessageIds(), c.message ? std::vector<int>{c.message} : std::vector<int>{});
    }
}

TEST_F(SaveDestinationTest, ReadOnlyTargetsAndVariants)
{
    const std::string target = f.MakeFile("ro.zvd");
    QFile::setPermissions(QString::fromStdString(target), QFileDevice::ReadOwner);
    const std::string variant = f.MakeFile("rov/ABCDEF00.usd");
    QFile::setPermissions(QString::fromStdString(variant), QFileDevice::ReadOwner);
    f.MakeFile("rov/ABCDEF_1.usm");
    EXPECT_EQ(Run({"ro", false, ".zvd", "ro.zvd", 1, 6, 180}), 6);
    EXPECT_EQ(f.MessageIds(), std::vector<int>{180});
    EXPECT_EQ(Run({"rov", true, ".usm", "rov/ABCDEF_1.usm", 1, 6, 198}), 6);
    EXPECT_EQ(f.MessageIds(), std::vector<int>{198});

    // A companion folder that the save could not clear away, though every
    // file in it may be written.
    f.MakeFile("rof.zvd");
    f.MakeFile("rof/THUMB.USF");
    const QString folder = QString::fromStdString(f.Work() + "/rof");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(Run({"rof", false, ".zvd", "rof.zvd", 1, 6, 180}), 6);
    EXPECT_EQ(f.MessageIds(), std::vector<int>{180});
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(SaveDestinationTest, TheReservedNumberedFormShowsText207WithTheEighthCharacter)
{
    EXPECT_EQ(Run({"numbered", false, ".zvd", "ABCDEF_1.zvd", 0, 2, 0}), 2);
    ASSERT_EQ(f.recorder.messages.size(), 1u);
    const QString expected = ShippedCaption(207).replace(QStringLiteral("%c"), QStringLiteral("1"));
    EXPECT_EQ(f.recorder.messages[0].text, expected);
    EXPECT_EQ(f.recorder.messages[0].caption, ShippedCaption(161));
}

TEST(SaveDestinationFormatTest, Text207SubstitutesOnlyItsOneCharacter)
{
    struct Case
    {
        std::string format, expected;
    };
    const Case cases[] = {
        {"bad %c here", "bad 1 here"},
        {"%s and %c", "%s and 1"},
        {"100%% %c %c", "100% 1 %c"},
        {"%d%n%c%", "%d%n1%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatCharMessage(c.format, "1"), c.expected) << c.format;
}

TEST(SaveDestinationFormatTest, AText207HoldingPercentSIsShownLiterally)
{
    DocumentFixture f({"207=name %s %c %s"});
    f.services.layoutNameResults = {{"ABCDEF_7", -2}};
    EXPECT_EQ(f.document->CheckSaveDestination(".zvd", f.Work() + "/ABCDEF_7.zvd", 0), 2);
    ASSERT_EQ(f.recorder.messages.size(), 1u);
    EXPECT_EQ(f.recorder.messages[0].text, QStringLiteral("name %s 7 %s"));
}

TEST_F(SaveDestinationTest, CardNamesComeFromEveryUstFileLowerCased)
{
    f.MakeFile("card/dcim/101CAM/B.ust", "[header]\r\nHDUSM=XYZ_9.USM\r\n");
    f.MakeFile("card/dcim/101CAM/C.ust", "[HEADER]\r\nOther=1\r\n");
    f.MakeFile("card/dcim/101CAM/D.txt", "[HEADER]\r\nHdusm=no.usm\r\n");
    std::vector<std::string> names{"stale"};
    f.document->CollectUstLayoutNames(f.Work() + "/card", names);
    std::sort(names.begin(), names.end());
    const std::string root = AsciiLower(f.Work() + "/card/vludl/");
    EXPECT_EQ(names, (std::vector<std::string>{root + "abcdef_1.usm", root + "xyz_9.usm"}));
    f.document->CollectUstLayoutNames(f.Work() + "/nocard/", names);
    EXPECT_TRUE(names.empty());
}

TEST_F(SaveDestinationTest, TheAccessTestWalksTheCompanionFolderAndAMissingOneRefusesNothing)
{
    const std::string target = f.MakeFile("acc.usd");
    EXPECT_TRUE(CheckTargetAccess(target, kSaveTargetAccess));
    f.MakeFile("acc/Image001.jpg");
    EXPECT_TRUE(CheckTargetAccess(target, kSaveTargetAccess));
    EXPECT_FALSE(CheckTargetAccess(f.Work() + "/missing.usd", kSaveTargetAccess));
}

} // namespace
