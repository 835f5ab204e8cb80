// The editor and the kit each keep a copy of the rule that turns a stored
// reference into a file; on every reference of the table both name the same
// file, or both name none.
#include "Core/Path.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PathResolve.h"
#include "Platform/ShiftJis.h"
#include "Script/ScriptPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Sjis(const std::string& utf8)
{
    const std::optional<std::string> sjis = Utf8ToShiftJis(utf8);
    EXPECT_TRUE(sjis.has_value()) << utf8;
    return sjis.value_or(std::string());
}

class ReferenceResolution : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("reference-resolution-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char* file :
             {"lay/Image/back.jpg", "lay/Photo.JPG", "lay/Dup.jpg", "lay/dup.JPG", "lay/Amb/a.jpg",
              "lay/AMB/a.jpg", "lay/Sub/Deep/x.eff", "other/o.jpg", "lay/写真.JPG"}) {
            fs::create_directories((root / file).parent_path());
            std::ofstream(root / file) << "x";
        }
    }
    void TearDown() override { fs::remove_all(root); }

    std::string Folder() const { return (root / "lay").string(); }
    std::string At(const std::string& relative) const { return (root / relative).string(); }

    fs::path root;
};

struct Reference
{
    std::string stored;   // UTF-8; the kit is given its Shift-JIS form
    std::string expected; // below the test root; empty: no file
    ReferenceMatch match;
};

TEST_F(ReferenceResolution, BothCopiesNameTheSameFile)
{
    const std::string absolute = root.string() + "/LAY/image/Back.JPG";
    const std::vector<Reference> table = {
        {".\\Image\\back.jpg", "lay/Image/back.jpg", ReferenceMatch::Exact},
        {".\\IMAGE\\Back.JPG", "lay/Image/back.jpg", ReferenceMatch::CaseBlind},
        {"./image/BACK.jpg", "lay/Image/back.jpg", ReferenceMatch::CaseBlind},
        {".\\photo.jpg", "lay/Photo.JPG", ReferenceMatch::CaseBlind},
        {".\\Photo.JPG", "lay/Photo.JPG", ReferenceMatch::Exact},
        {".\\写真.jpg", "lay/写真.JPG", ReferenceMatch::CaseBlind},
        {"..\\OTHER\\O.jpg", "other/o.jpg", ReferenceMatch::CaseBlind},
        {".\\Sub\\..\\image\\.\\back.jpg", "lay/Image/back.jpg", ReferenceMatch::CaseBlind},
        {".\\sub\\deep\\X.EFF", "lay/Sub/Deep/x.eff", ReferenceMatch::CaseBlind},
        {absolute, "lay/Image/back.jpg", ReferenceMatch::CaseBlind},
        // Several entries match: the exact one, else none.
        {".\\Dup.jpg", "lay/Dup.jpg", ReferenceMatch::Exact},
        {".\\dup.JPG", "lay/dup.JPG", ReferenceMatch::Exact},
        {".\\DUP.JPG", "", ReferenceMatch::Ambiguous},
        {".\\amb\\a.jpg", "", ReferenceMatch::Ambiguous},
        {".\\Amb\\A.JPG", "lay/Amb/a.jpg", ReferenceMatch::CaseBlind},
        // Missing, below a missing folder, and written on another system.
        {".\\Image\\none.jpg", "", ReferenceMatch::Missing},
        {".\\Nope\\back.jpg", "", ReferenceMatch::Missing},
        {"C:\\lay\\Image\\back.jpg", "", ReferenceMatch::Missing},
        {"\\\\server\\lay\\back.jpg", "", ReferenceMatch::Missing},
    };
    for (const Reference& r : table) {
        SCOPED_TRACE(r.stored);
        const std::string expected = r.expected.empty() ? std::string() : At(r.expected);

        const ReferenceLookup editor = LookUpScriptReference(r.stored, Folder());
        EXPECT_EQ(editor.match, r.match);
        EXPECT_EQ(StoredToNativePath(r.stored, Folder()), editor.path);

        char kit[kZavPathSize] = {};
        ASSERT_EQ(ResolveRelativePath(Sjis(r.stored).c_str(), Folder().c_str(), kit), ZAV_OK);

        if (expected.empty()) {
            EXPECT_FALSE(fs::exists(editor.path)) << editor.path;
            EXPECT_FALSE(fs::exists(kit)) << kit;
        } else {
            EXPECT_EQ(editor.path, expected);
            EXPECT_EQ(std::string(kit), expected);
        }
    }
}

TEST_F(ReferenceResolution, AnAmbiguousNameSaysWhereAndWhich)
{
    const ReferenceLookup lookup = LookUpStoredReference(Folder(), ".\\Sub\\..\\DUP.jpg");
    EXPECT_EQ(lookup.match, ReferenceMatch::Ambiguous);
    EXPECT_EQ(lookup.ambiguousFolder, Folder());
    EXPECT_EQ(lookup.ambiguousName, "DUP.jpg");
    EXPECT_EQ(lookup.path, Folder() + "/DUP.jpg");
}

} // namespace
