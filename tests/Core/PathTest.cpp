#include "Core/Path.h"

#include <gtest/gtest.h>

TEST(Path, SplitsNameExtensionAndFolder)
{
    EXPECT_EQ(GetFileNameFromPath("/lay/img/a.b.JPG", true), "a.b.JPG");
    EXPECT_EQ(GetFileNameFromPath("/lay/img/a.b.JPG", false), "a.b");
    EXPECT_EQ(GetFileNameFromPath("noext", false), "noext");
    EXPECT_EQ(GetFileExtension("/lay/img/a.b.JPG"), ".JPG");
    EXPECT_EQ(GetFileExtension("/lay.d/noext"), ""); // a dot in the folder is no extension
    EXPECT_EQ(GetFolderFromPath("/a/b.jpg"), "/a");
    EXPECT_EQ(GetFolderFromPath("/b.jpg"), "/"); // the root keeps its separator
    EXPECT_EQ(GetFolderFromPath("b.jpg"), "");
    EXPECT_EQ(GetFolderFromPath("/a/b/"), "/a/b");
}

TEST(Path, CombinePathJoinsEveryForm)
{
    struct Case
    {
        const char* folder;
        const char* name;
        const char* joined;
    };
    const Case cases[] = {
        {"/lay/", "a.jpg", "/lay/a.jpg"},          {"/lay", "/a.jpg", "/lay/a.jpg"},
        {"/lay", "./img/a.jpg", "/lay/img/a.jpg"}, {"/lay/", "./img/a.jpg", "/lay/img/a.jpg"},
        {"/lay", "../a.jpg", "/lay/../a.jpg"}, // not dot-relative: keeps its dots
        {"/lay", ".hidden", "/lay/.hidden"},       {"/", "a.jpg", "/a.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CombinePath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
}

TEST(Path, DotRelativeForm)
{
    EXPECT_TRUE(IsDotRelativePath("./a"));
    EXPECT_TRUE(IsDotRelativePath(".\\a"));
    EXPECT_FALSE(IsDotRelativePath(""));
    EXPECT_FALSE(IsDotRelativePath("/a/./b"));

    EXPECT_EQ(MakeDotRelativePath("/lay/", "/lay/img/a.jpg"), "./img/a.jpg");
    EXPECT_EQ(MakeDotRelativePath("/lay", "/lay/img/a.jpg"), "./img/a.jpg");
    // Outside the base, or only sharing a prefix of a name: the full path.
    EXPECT_EQ(MakeDotRelativePath("/lay", "/layout/a.jpg"), "/layout/a.jpg");
    EXPECT_EQ(MakeDotRelativePath("/lay/deep", "/lay"), "/lay");
    for (const char* full : {"/lay/a.jpg", "/lay/img/sub/b.jpeg"})
        EXPECT_EQ(CombinePath("/lay/", MakeDotRelativePath("/lay/", full)), full);
}

TEST(Path, StoredReferencesRoundTrip)
{
    EXPECT_EQ(StoredReferenceToNative(".\\Image\\a.jpg"), "./Image/a.jpg");
    EXPECT_EQ(ResolveStoredReference("/home/u/lay", ".\\Image\\a.jpg"), "/home/u/lay/Image/a.jpg");
    EXPECT_EQ(MakeStoredReference("/home/u/lay/", "/home/u/lay/Image/a.jpg"), ".\\Image\\a.jpg");
    const std::string stored = ".\\Image\\Image001.eff";
    EXPECT_EQ(MakeStoredReference("/lay", ResolveStoredReference("/lay", stored)), stored);

    // Absolute paths stay as they are, in both directions.
    for (const char* path : {"C:\\Photos\\a.jpg", "\\\\server\\share\\a.jpg", "/srv/pics/a.jpg"}) {
        EXPECT_EQ(StoredReferenceToNative(path), path);
        EXPECT_EQ(NativeToStoredReference(path), path);
        EXPECT_EQ(ResolveStoredReference("/lay", path), path);
    }
    EXPECT_EQ(MakeStoredReference("/lay", "/srv/pics/a.jpg"), "/srv/pics/a.jpg");
    EXPECT_EQ(ResolveStoredReference("/lay", ""), "");
}

TEST(Path, JpegNamesWithoutRegardToCase)
{
    for (const char* name : {"a.jpg", "A.JPG", "b.JpEg", "/x.y/c.jpeg"})
        EXPECT_TRUE(IsJpegFileName(name)) << name;
    for (const char* name : {"a.jpe", "a.jpg.bmp", "jpg", "/a.jpg/b"})
        EXPECT_FALSE(IsJpegFileName(name)) << name;
}
