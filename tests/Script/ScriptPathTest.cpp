#include "Script/ScriptPath.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptPath, OnlyDotNamesResolveAgainstTheScriptFolder)
{
    EXPECT_EQ(StoredToNativePath(".\\Image\\Image001.eff", "/lay"), "/lay/Image/Image001.eff");
    EXPECT_EQ(StoredToNativePath(".\\THUMB.USF", "/"), "/THUMB.USF");
    EXPECT_EQ(StoredToNativePath("C:\\L\\Image\\a.jpg", "/lay"), "C:\\L\\Image\\a.jpg");
    EXPECT_EQ(StoredToNativePath("Image\\a.jpg", "/lay"), "Image\\a.jpg"); // used unchanged
    EXPECT_EQ(StoredToNativePath("/abs/a.jpg", "/lay"), "/abs/a.jpg");
    EXPECT_EQ(StoredToNativePath("", "/lay"), "");
}

TEST(ScriptPath, NamesInsideTheFolderAreStoredDotRelative)
{
    EXPECT_EQ(NativeToStoredPath("/lay/Image/a.eff", "/lay"), ".\\Image\\a.eff");
    EXPECT_EQ(NativeToStoredPath("./Image/a.eff", "/lay"), ".\\Image\\a.eff");
    EXPECT_EQ(NativeToStoredPath(".\\Image\\a.eff", "/lay"), ".\\Image\\a.eff");
    EXPECT_EQ(NativeToStoredPath("/layout/a.eff", "/lay"), "/layout/a.eff"); // not inside
    EXPECT_EQ(NativeToStoredPath("C:\\T\\zavtemp.jpg", "/lay"), "C:\\T\\zavtemp.jpg");
    EXPECT_EQ(NativeToStoredPath("Image/a.jpg", "/lay"), "Image/a.jpg"); // read back unchanged
    EXPECT_EQ(NativeToStoredPath(":mage\\a/jpg", "/lay"), ":mage\\a/jpg");
    EXPECT_EQ(NativeToStoredPath("", "/lay"), "");
}

TEST(ScriptPath, FolderOfAScriptIsAbsolute)
{
    EXPECT_EQ(ScriptFolderOf("/a/b/c.usd"), "/a/b");
    EXPECT_EQ(ScriptFolderOf("/a/./b/../c.usd"), "/a");
    const std::string relative = ScriptFolderOf("c.usd");
    ASSERT_FALSE(relative.empty());
    EXPECT_EQ(relative.front(), '/');
}

} // namespace
