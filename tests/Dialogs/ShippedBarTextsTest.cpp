#include "Core/LocalizeScript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The bars' entries of the Localize.ini the program ships.
TEST(ShippedBarTexts, BothBarsAndTheirTextsAreThere)
{
    const CLocalizeScript script(ZAV_SOURCE_DIR "/resources/Localize.ini");
    int caption = 0, width = 0, height = 0;
    ASSERT_TRUE(script.GetDialogInfo(139, caption, width, height));
    EXPECT_EQ(width, 278);
    EXPECT_GE(height, 377);
    ASSERT_TRUE(script.GetDialogInfo(149, caption, width, height));
    EXPECT_EQ(width, 394);
    EXPECT_EQ(height, 44);
    std::string text;
    for (int id : {36, 37, 38, 39, 40, 41, 104, 183, 184, 185, 186, 187, 199, 200}) {
        EXPECT_TRUE(script.GetCaption(id, text)) << id;
        EXPECT_FALSE(text.empty()) << id;
    }
    // Every control of both bars carries a tool tip text.
    for (int control : {32850, 32840, 32830, 32810, 32857, 32781, 32782, 32783, 32784, 32785}) {
        int x = 0, y = 0, w = 0, h = 0;
        ASSERT_TRUE(script.GetControlInfo(139, control, caption, x, y, w, h)) << control;
        EXPECT_TRUE(script.GetCaption(caption, text)) << control;
    }
    for (int control = 32880; control <= 32889; ++control) {
        int x = 0, y = 0, w = 0, h = 0;
        ASSERT_TRUE(script.GetControlInfo(149, control, caption, x, y, w, h)) << control;
        EXPECT_TRUE(script.GetCaption(caption, text)) << control;
    }
}

} // namespace
