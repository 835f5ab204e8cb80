#include "Core/FontList.h"

#include "Core/support/GuiApp.h"

#include <QString>
#include <gtest/gtest.h>

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
