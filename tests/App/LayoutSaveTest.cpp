#include "App/support/FileKindsFakes.h"

#include "Core/Files.h"
#include "Core/TempFolders.h"
#include "Layout/ImageFrameItem.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Kind
{
    const char* extension;
    std::function<int(CZAVEditorDoc&, const std::string&)> save;
};

const Kind kKinds[] = {
    {".zvd", [](CZAVEditorDoc& d, const std::string& p) { return d.SaveZvdDocument(p); }},
    {".usd", [](CZAVEditorDoc& d, const std::string& p) { return d.SaveUsdLayout(p, 0); }},
};

// The header values of a saved file.
UDLHeaderInfo HeaderOf(const std::string& path)
{
    if (path.ends_with(".zvd")) {
        CZAVScript script;
        EXPECT_EQ(script.Read(path), 1);
        return script.GetHeaderInfo();
    }
    CUDLScript script;
    EXPECT_EQ(script.Read(path), 1);
    return script.GetHeaderInfo();
}

std::vector<std::string> ImageNames(CLayoutManager& layout)
{
    std::vector<std::string> names;
    for (const auto& item : layout.GetItems())
        if (auto* frame = dynamic_cast<CImageFrameItem*>(item.get()))
            names.push_back(frame->GetImageFileName());
    return names;
}

TEST(LayoutSaveTest, WritesTheFileAndItsCompanionFolderAndAStrayFileGoesAtTheNextSave)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.extension);
        RealKindsFixture f;
        f.MakePhotoPage();
        const std::string folder = f.Work() + "/tmp/a";
        const std::string path = folder + "/page" + kind.extension;
        const std::string companion = folder + "/page";
        ASSERT_EQ(kind.save(f.Doc(), path), 0);

        EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"page", std::string("page") + kind.extension}));
        const std::vector<std::string> pictures = NamesIn(companion);
        EXPECT_NE(std::find(pictures.begin(), pictures.end(), "THUMB.USF"), pictures.end());
        EXPECT_GE(pictures.size(), 2u);
        const UDLHeaderInfo header = HeaderOf(path);
        EXPECT_EQ(header.thumbnail, companion + "/THUMB.USF");
        EXPECT_NE(ReadFileBytes(path).find("HdThumbnail=\".\\page\\THUMB.USF\""), std::string::npos);
        EXPECT_EQ(static_cast<std::uint64_t>(header.capacity), GetFolderFilesSize(companion));
        EXPECT_FALSE(IsDirectory(GetTempSaveImageFolder(false)));
        // The background's picture is now the one in the companion folder.
        for (const std::string& name : ImageNames(f.Layout())) {
            if (!name.empty() && kind.extension == std::string(".zvd")) {
                EXPECT_EQ(name.rfind(companion + "/", 0), 0u) << name;
            }
        }

        f.base.MakeFile("tmp/a/page/stray.txt", "left over");
        ASSERT_EQ(kind.save(f.Doc(), path), 0);
        EXPECT_EQ(NamesIn(companion), pictures);
        EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"page", std::string("page") + kind.extension}));
    }
}

} // namespace
