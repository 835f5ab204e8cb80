#include "Core/FontList.h"

#include "Core/support/GuiApp.h"

#include <QString>
#include <gtest/gtest.h>

#include <algorithm>

TEST(FontList, AddFontNameSortedIgnoresCaseAndDuplicates)
{
    std::vector<std::string> names;
    for (const char* name : {"Mincho", "arial", "Gothic", "MINCHO", "", "@Gothic", "Arial", "zeta", "Beta"})
        AddFontNameSorted(names, name);
    EXPECT_EQ(names, (std::vector<std::string>{"arial", "Beta", "Gothic", "Mincho", "zeta"}));
}

TEST(FontList, SystemFontsThroughTheFontDatabase)
{
    EnsureGuiApp();
    const auto names = CollectTrueTypeFontNames();
    ASSERT_FALSE(names.empty()); // the IPA fonts are installed
    for (std::size_t i = 1; i < names.size(); ++i)
        EXPECT_LT(QString::fromStdString(names[i - 1])
                      .compare(QString::fromStdString(names[i]), Qt::CaseInsensitive),
                  0);
    EXPECT_TRUE(HasTrueTypeFont(names.front()));
    EXPECT_TRUE(HasAnyFont(names.front()));
    EXPECT_TRUE(HasTrueTypeFont("IPAGothic"));
    EXPECT_FALSE(HasAnyFont("No Such Face 1f3a"));
    EXPECT_FALSE(HasTrueTypeFont(""));
    EXPECT_FALSE(GetDefaultGuiFontFace().empty());
    // The default is a family a text can be stored with, not an alias.
    EXPECT_TRUE(HasTrueTypeFont(GetDefaultGuiFontFace())) << GetDefaultGuiFontFace();
    for (const std::string& name : names) {
        EXPECT_EQ(name.find(" ["), std::string::npos) << name;
        EXPECT_TRUE(HasTrueTypeFont(name)) << name;
    }
}

TEST(FontList, FamilyWithoutFoundry)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C059 [UKWN]", "C059"},
        {"Nimbus Sans [URW ]", "Nimbus Sans"},
        {"IPAGothic", "IPAGothic"},
        {"Odd [name", "Odd [name"},
        {"[x]", "[x]"},
        {"", ""},
    };
    for (const auto& [listed, family] : cases)
        EXPECT_EQ(FamilyWithoutFoundry(listed), family) << listed;
}

// The default font of new texts: the system's interface face where it can
// draw the program's script, else the program's own interface face.
TEST(FontList, DefaultInterfaceFontCoversTheProgramsScript)
{
    EnsureGuiApp();
    const InterfaceFont japanese{"IPAPGothic", 128};
    struct Case
    {
        const char* systemFace;
        InterfaceFont program;
        InterfaceFont expected;
    };
    const Case cases[] = {
        {"DejaVu Sans", japanese, japanese},                             // no Japanese glyphs
        {"IPAGothic", japanese, {"IPAGothic", 128}},                     // the system's face can draw it
        {"DejaVu Sans", {"No Such Face 1f3a", 128}, {"DejaVu Sans", 0}}, // nothing better installed
        {"DejaVu Sans", {}, {"DejaVu Sans", 0}},                         // no program font
        {"DejaVu Sans", {"IPAPGothic", 0}, {"DejaVu Sans", 0}},          // a Western program
    };
    for (const Case& c : cases) {
        const InterfaceFont chosen = ChooseDefaultGuiFont(c.systemFace, c.program);
        EXPECT_EQ(chosen.face, c.expected.face) << c.systemFace << " / " << c.program.face;
        EXPECT_EQ(chosen.charSet, c.expected.charSet) << c.systemFace << " / " << c.program.face;
    }

    // The program's font set at start-up is what the default asks about.
    SetProgramInterfaceFont(japanese);
    const InterfaceFont withProgram = GetDefaultGuiFont();
    SetProgramInterfaceFont({});
    EXPECT_EQ(withProgram.charSet, 128);
    const std::vector<std::uint8_t> sets = CharSetsOf(withProgram.face);
    EXPECT_NE(std::find(sets.begin(), sets.end(), 128), sets.end()) << withProgram.face;
}

TEST(FontList, CharacterSetsOfAFace)
{
    EnsureGuiApp();
    const std::vector<std::uint8_t> ipa = CharSetsOf("IPAGothic");
    EXPECT_NE(std::find(ipa.begin(), ipa.end(), 128), ipa.end());
    EXPECT_NE(std::find(ipa.begin(), ipa.end(), 0), ipa.end());
    const std::vector<std::uint8_t> dejavu = CharSetsOf("DejaVu Sans");
    EXPECT_EQ(std::find(dejavu.begin(), dejavu.end(), 128), dejavu.end());
    EXPECT_NE(std::find(dejavu.begin(), dejavu.end(), 0), dejavu.end());
    EXPECT_TRUE(CharSetsOf("No Such Face 1f3a").empty());
    for (const auto* sets : {&ipa, &dejavu})
        for (std::size_t i = 0; i < sets->size(); ++i)
            EXPECT_EQ(std::count(sets->begin(), sets->end(), (*sets)[i]), 1) << "listed twice";
}
