#include "App/support/FileKindsFakes.h"
#include "App/support/SaveKinds.h"

#include "Core/Files.h"
#include "Core/TempFolders.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/ImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include "FrameKit/compare/ReadersAgree.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>

namespace {

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
    for (const SaveKind& kind : kSaveKinds) {
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

// One kind of injected failure: the n-th call of a step of the atomic file
// writer or of the savers' folder steps.
struct Fault
{
    const char* name;
    bool atomic;
    FailingFileWrites::Step writeStep;
    FailingSaveFileSystem::Step folderStep;
};

const Fault kFaults[] = {
    {"open", true, FailingFileWrites::OpenStep, FailingSaveFileSystem::None},
    {"write", true, FailingFileWrites::WriteStep, FailingSaveFileSystem::None},
    {"sync", true, FailingFileWrites::SyncStep, FailingSaveFileSystem::None},
    {"rename a written file", true, FailingFileWrites::RenameStep, FailingSaveFileSystem::None},
    {"make a folder", false, FailingFileWrites::OpenStep, FailingSaveFileSystem::MakeFolderStep},
    {"move a folder or file", false, FailingFileWrites::OpenStep, FailingSaveFileSystem::RenameStep},
};

// Saves with the n-th call of the fault's step failing; true when it failed.
bool SaveFailingAt(RealKindsFixture& f, const SaveKind& kind, const Fault& fault, int n,
                   const std::string& path, int& result)
{
    if (fault.atomic) {
        FailingFileWrites writes(fault.writeStep, n);
        result = kind.save(f.Doc(), path);
        return writes.Failed();
    }
    f.files.FailAt(fault.folderStep, n);
    result = kind.save(f.Doc(), path);
    const bool failed = f.files.Failed();
    f.files.FailAt(FailingSaveFileSystem::None, 0);
    return failed;
}

TEST(LayoutSaveTest, AFailureAtAnyStepLeavesThePreviousSaveAsItWas)
{
    constexpr int kMostCalls = 400;
    for (const SaveKind& kind : kSaveKinds) {
        for (const Fault& fault : kFaults) {
            SCOPED_TRACE(std::string(kind.extension) + ", " + fault.name);
            RealKindsFixture f;
            f.MakePhotoPage();
            const std::string folder = f.Work() + "/lay";
            const std::string path = folder + "/page" + kind.extension;
            ASSERT_EQ(kind.save(f.Doc(), path), 0);
            const std::map<std::string, std::string> before = ReadTree(folder);
            // The next save would write other pictures.
            CInsertImageFrameItem* frame = nullptr;
            for (const auto& item : f.Layout().GetItems())
                if (!frame)
                    frame = dynamic_cast<CInsertImageFrameItem*>(item.get());
            ASSERT_NE(frame, nullptr);
            ASSERT_EQ(frame->LoadImage(f.Picture("other.jpg", "JPG", 0xff0000)), 0);
            const std::vector<std::string> namesBefore = ImageNames(f.Layout());

            int failures = 0;
            int result = 1;
            for (int n = 1; n <= kMostCalls; ++n) {
                SCOPED_TRACE(n);
                if (!SaveFailingAt(f, kind, fault, n, path, result))
                    break;
                ++failures;
                EXPECT_EQ(result, 1);
                EXPECT_EQ(ReadTree(folder), before);
                EXPECT_EQ(ImageNames(f.Layout()), namesBefore);
                EXPECT_FALSE(IsDirectory(GetTempSaveImageFolder(false)));
            }
            EXPECT_GT(failures, 0);
            // Past the last call of the step the save goes through.
            EXPECT_EQ(result, 0);
            EXPECT_NE(ReadTree(folder), before);
        }
    }
}

TEST(LayoutSaveTest, AFirstSaveThatFailsLeavesNoFileAndNoFolder)
{
    for (const SaveKind& kind : kSaveKinds) {
        for (const Fault& fault : {kFaults[0], kFaults[4], kFaults[5]}) {
            SCOPED_TRACE(std::string(kind.extension) + ", " + fault.name);
            RealKindsFixture f;
            f.MakePhotoPage();
            const std::string path = f.Work() + "/new/deeper/page" + kind.extension;
            int result = 1;
            int failures = 0;
            for (int n = 1; n <= 100; ++n) {
                SCOPED_TRACE(n);
                if (!SaveFailingAt(f, kind, fault, n, path, result))
                    break;
                ++failures;
                EXPECT_EQ(result, 1);
                EXPECT_FALSE(IsDirectory(f.Work() + "/new"));
            }
            EXPECT_GT(failures, 0);
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(IsFile(path));
        }
    }
}

TEST(LayoutSaveTest, AnEditorDocumentReopenedAndSavedInPlaceKeepsItsBytes)
{
    RealKindsFixture f;
    f.MakePhotoPage(false);
    auto empty = std::make_unique<CInsertImageFrameItem>();
    empty->SetFrameNumber(2);
    empty->SetRect(RECT{420, 100, 600, 300});
    ASSERT_TRUE(f.Layout().AddItem(0, std::move(empty)));
    const std::string folder = f.Work() + "/lay";
    const std::string path = folder + "/page.zvd";
    ASSERT_EQ(f.Doc().SaveZvdDocument(path), 0);
    EXPECT_TRUE(ReadersAgree(path));
    const std::map<std::string, std::string> first = ReadTree(folder);

    f.Doc().ResetLayout();
    ASSERT_EQ(f.Doc().LoadZvdDocument(path), 1);
    EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), 6);
    ASSERT_EQ(f.Doc().SaveZvdDocument(path), 0);
    EXPECT_EQ(ReadTree(folder), first);
    EXPECT_TRUE(f.view.messages.empty());
}

// A background of fine detail, which every new encoding and every new
// drawing of the thumbnail would change a little.
void PutDetailedBackground(RealKindsFixture& f)
{
    QImage image(300, 240, QImage::Format_RGB888);
    std::uint32_t seed = 99;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(static_cast<int>(seed >> 24), (x * 2) & 0xFF, (x + y) & 0xFF));
        }
    const std::string picture = f.Work() + "/detail.bmp";
    ASSERT_TRUE(image.save(QString::fromStdString(picture), "BMP"));
    auto back = std::make_unique<CBackgroundImageFrameItem>();
    ASSERT_EQ(back->LoadImage(picture), 0);
    back->SetRect(RECT{20, 20, 620, 500});
    ASSERT_TRUE(f.Layout().AddItem(0, std::move(back)));
}

TEST(LayoutSaveTest, AnUnchangedLayoutReopenedKeepsItsPicturesAndThumbnailUnderAnyName)
{
    const std::function<int(CZAVEditorDoc&, const std::string&)> loads[] = {
        [](CZAVEditorDoc& d, const std::string& p) { return d.LoadZvdDocument(p); },
        [](CZAVEditorDoc& d, const std::string& p) { return d.LoadUsdLayout(p); },
    };
    for (int k = 0; k < 2; ++k) {
        const SaveKind& kind = kSaveKinds[k];
        SCOPED_TRACE(kind.extension);
        RealKindsFixture f;
        PutDetailedBackground(f);
        const std::string first = f.Work() + "/first" + kind.extension;
        ASSERT_EQ(kind.save(f.Doc(), first), 0);
        const auto stored = ReadTree(f.Work() + "/first");
        ASSERT_EQ(stored.size(), 2u);

        f.Doc().ResetLayout();
        ASSERT_EQ(loads[k](f.Doc(), first), 1);
        const std::string second = f.Work() + "/second" + kind.extension;
        ASSERT_EQ(kind.save(f.Doc(), second), 0);
        EXPECT_EQ(ReadTree(f.Work() + "/second"), stored);

        // A page drawn differently gets a thumbnail of its own.
        auto line = std::make_unique<CLineItem>();
        line->SetWidth(4);
        line->SetRect(RECT{40, 40, 600, 40});
        ASSERT_TRUE(f.Layout().AddItem(0, std::move(line)));
        const std::string third = f.Work() + "/third" + kind.extension;
        ASSERT_EQ(kind.save(f.Doc(), third), 0);
        const auto changed = ReadTree(f.Work() + "/third");
        ASSERT_TRUE(changed.count("THUMB.USF"));
        EXPECT_NE(changed.at("THUMB.USF"), stored.at("THUMB.USF"));
        EXPECT_TRUE(f.view.messages.empty());
    }
}

// A packaged frame file's saves replace the folder it was unpacked into, the
// folder the pictures and thumbnail it opened with were read from.
TEST(LayoutSaveTest, AnUnchangedPackageReopenedKeepsItsPicturesAndThumbnailOverSeveralSaves)
{
    RealKindsFixture f;
    PutDetailedBackground(f);
    const std::string first = f.Work() + "/first.fdp";
    ASSERT_EQ(f.Doc().SaveFdpLayout(first), 0);

    f.Doc().ResetLayout();
    ASSERT_EQ(f.Doc().LoadFdpLayout(first), 1);
    const char* again[] = {"second", "third"};
    for (const char* name : again)
        ASSERT_EQ(f.Doc().SaveFdpLayout(f.Work() + "/" + name + ".fdp"), 0) << name;

    const auto unpacked = [&](const std::string& name) {
        const std::string folder = f.Work() + "/unpacked-" + name;
        CreateFolderPath(folder);
        int warning = 0;
        EXPECT_EQ(MakeFramePackageKit()->Unpackage(f.Work() + "/" + name + ".fdp", folder, warning), 0);
        return ReadTree(folder + "/" + name);
    };
    const auto stored = unpacked("first");
    ASSERT_EQ(stored.size(), 2u);
    for (const char* name : again) {
        const auto saved = unpacked(name);
        EXPECT_EQ(saved.size(), stored.size()) << name;
        for (const auto& [file, bytes] : stored)
            EXPECT_TRUE(saved.count(file) && saved.at(file) == bytes) << name << ": " << file;
    }
    EXPECT_TRUE(f.view.messages.empty());
}

TEST(LayoutSaveTest, TheDocumentSavesAndOpensThroughTheRealKinds)
{
    RealKindsFixture f;
    f.MakePhotoPage();
    const std::string path = f.Work() + "/page.zvd";
    EXPECT_TRUE(f.Doc().OnSaveDocument(path));
    EXPECT_EQ(f.Doc().GetPathName(), path);
    EXPECT_TRUE(f.Doc().OnOpenDocument(path));
    EXPECT_EQ(f.Layout().GetItemCount(-1, -1, nullptr), 6);
    EXPECT_TRUE(f.base.recorder.messages.empty());
    {
        FailingFileWrites writes(FailingFileWrites::OpenStep, 1);
        EXPECT_FALSE(f.Doc().OnSaveDocument(path));
    }
    EXPECT_EQ(f.base.MessageIds(), std::vector<int>{23});
}

} // namespace
