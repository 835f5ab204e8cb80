#include "App/support/FileKindsFakes.h"
#include "App/support/InterruptedSave.h"
#include "App/support/LayoutShape.h"

#include "App/DSCUSMFile.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "Core/support/ScopedTmpDir.h"
#include "ImageProcessing/EffFormat.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutServices.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Platform/ProfileReader.h"
#include "Script/UDLScript.h"

#include "FrameKit/compare/ReadersAgree.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;

constexpr const char* kMembers[] = {"ABCDEF00.usd", "ABCDEF01.usd", "ABCDEF11.usd", "ABCDEF10.usd",
                                    "ABCDEF21.usd", "ABCDEF20.usd", "ABCDEF31.usd", "ABCDEF30.usd"};

class FixedClock : public CEffClock
{
public:
    EffDateTime Now() const override { return EffDateTime{2024, 5, 6, 7, 8, 9}; }
};

// The document being saved is the active one, as in the editor: the text
// image's size limit measures the set through it. `extraBytes` makes the card
// look fuller than the set's own files.
class ActiveDocumentShell : public ILayoutShell, public ILayoutDocument
{
public:
    ActiveDocumentShell(CZAVEditorDoc& document, std::string localizeIni)
        : m_document(document), m_localizeIni(std::move(localizeIni))
    {
        SetLayoutShell(this);
    }
    ~ActiveDocumentShell() override { SetLayoutShell(nullptr); }
    ILayoutDocument* GetActiveEditorDoc() override { return this; }
    std::string GetLocalizeIniPath() override { return m_localizeIni; }

    bool IsDSCLayout() const override { return m_document.IsDSCLayout(); }
    int GetPageOrientation() const override { return m_document.GetPageOrientation(); }
    int GetEditMode() const override { return m_document.GetEditMode(); }
    bool GetCurrentModeParams(std::array<int, 14>& params) const override
    {
        return m_document.GetCurrentModeParams(params);
    }
    bool GetModePageRect(int mode, RECT& rect) const override
    {
        return m_document.GetModePageRect(mode, rect);
    }
    long long GetUsmTotalFileSize(const std::string& path) const override
    {
        ++measures;
        return m_document.GetUsmTotalFileSize(path) + extraBytes;
    }

    long long extraBytes = 0;
    mutable int measures = 0;

private:
    CZAVEditorDoc& m_document;
    std::string m_localizeIni;
};

std::uint64_t Size(const std::string& path)
{
    return fs::file_size(path);
}

// The set's files at its destination folder and their byte total.
std::uint64_t SetTotal(const std::string& folder)
{
    std::uint64_t total = Size(folder + "/ABCDEF_0.usm") + GetFolderFilesSize(folder + "/ABCDEF_0");
    for (const char* member : kMembers)
        total += Size(folder + "/" + member);
    return total;
}

class CameraSetSaveTest : public ::testing::Test
{
protected:
    CameraSetSaveTest() : m_tmp(MakeTmp()), shell(f.Doc(), f.base.host.localizeIniPath)
    {
        f.Layout().SetFrameImageClock(&m_clock);
        EXPECT_TRUE(f.Doc().NewDSCLayout(0));
    }
    ~CameraSetSaveTest() override { f.Layout().SetFrameImageClock(nullptr); }

    std::string MakeTmp()
    {
        fs::create_directories(m_root.path().toStdString() + "/tmp");
        return m_root.path().toStdString() + "/tmp";
    }
    std::string Card(const std::string& folder) const { return m_root.path().toStdString() + "/" + folder; }

    // Drawn content besides the photo frame: the set gets a text image.
    void AddLine()
    {
        auto line = std::make_unique<CLineItem>();
        line->SetWidth(8);
        line->SetColor(RGB(200, 20, 20));
        line->SetRect(RECT{100, 300, 900, 300});
        ASSERT_TRUE(f.Layout().AddItem(0, std::move(line)));
    }

    CInsertImageFrameItem& FirstPhotoFrame()
    {
        for (const auto& item : f.Layout().GetItems())
            if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get()))
                return *frame;
        throw std::logic_error("no photo frame");
    }

    void AddMacroString()
    {
        CInsertImageFrameItem& owner = FirstPhotoFrame();
        auto macro = std::make_unique<CMacroStringItem>();
        macro->SetOwnerFrame(&owner);
        macro->SetMacroKind(CMacroStringItem::KindFileName);
        owner.SetLinkedText3(macro.get());
        macro->SetRect(RECT{100, 420, 300, 450});
        ASSERT_TRUE(f.Layout().AddItem(0, std::move(macro)));
    }

    // A background of noise, too rich for any quality to make it small.
    void AddNoiseBackground()
    {
        QImage image(1024, 704, QImage::Format_RGB888);
        std::mt19937 random(7);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, random() & 0xffffff);
        const std::string path = f.Work() + "/noise.bmp";
        ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        auto back = std::make_unique<CBackgroundImageFrameItem>();
        ASSERT_EQ(back->LoadImage(path), 0);
        back->SetRect(f.Layout().GetPrintableRect());
        ASSERT_TRUE(f.Layout().AddItem(f.Layout().GetItemCount(-1, -1, nullptr), std::move(back)));
    }

    // The set writer run by itself on the layout script the document saves
    // for it, with `pad` bytes more in the set's image folder.
    int SaveWithPad(const std::string& destination, std::uint64_t pad)
    {
        CDSCUSMFile set;
        const std::string source = GetTempSaveUSMFolder(false) + "usmtemp.usd";
        EXPECT_EQ(set.Init(&f.Doc(), source, destination), 1);
        f.Doc().SetCameraSetPrefix(set.GetSetPrefix());
        DeleteFolderTree(GetTempSaveUSMFolder(false));
        EXPECT_EQ(f.Doc().SaveUsdLayout(source, 0), 0);
        std::string temp;
        EXPECT_EQ(set.GetTempFolder(temp), 1);
        fs::create_directories(temp);
        if (pad > 0) {
            std::ofstream out(temp + "/PAD.usf", std::ios::binary);
            out << std::string(pad, 'p');
        }
        return set.Save();
    }

    QTemporaryDir m_root;
    ScopedTmpDir m_tmp;
    RealKindsFixture f;
    ActiveDocumentShell shell;
    FixedClock m_clock;
};

TEST_F(CameraSetSaveTest, ACameraLayoutIsWrittenToTheCardAsACompleteSetThatReopensAsThePage)
{
    enum Content { Drawn, FrameOnly, MacroString };
    for (const Content content : {Drawn, FrameOnly, MacroString}) {
        SCOPED_TRACE(content);
        const bool drawn = content == Drawn;
        ASSERT_TRUE(f.Doc().NewDSCLayout(0));
        if (drawn)
            AddLine();
        // The camera fills macro strings in itself: no text image.
        if (content == MacroString)
            AddMacroString();
        const std::string card = Card("card" + std::to_string(content) + "/VLUDL");
        const std::string index = card + "/ABCDEF_0.usm";
        ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
        EXPECT_TRUE(ReadersAgree(index));

        std::vector<std::string> expected(std::begin(kMembers), std::end(kMembers));
        expected.push_back("ABCDEF_0");
        expected.push_back("ABCDEF_0.usm");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(NamesIn(card), expected);
        EXPECT_EQ(NamesIn(card + "/ABCDEF_0"),
                  drawn ? (std::vector<std::string>{"ABCDEF.eff", "ABCDEF_0.ctf", "THUMB.USF"})
                        : (std::vector<std::string>{"ABCDEF_0.ctf", "THUMB.USF"}));
        EXPECT_FALSE(fs::exists(GetTempSaveUSMFolder(false)));

        // The index counts every file of the set, its own final digits too.
        EXPECT_EQ(ReadProfileInt(index, "HEADER", "HdCapability", -1), static_cast<int>(SetTotal(card)));
        const std::uint64_t images =
            GetFolderFilesSize(card + "/ABCDEF_0") - Size(card + "/ABCDEF_0/ABCDEF_0.ctf");
        for (const char* member : kMembers)
            EXPECT_EQ(ReadProfileInt(card + "/" + member, "HEADER", "HdCapacity", -1),
                      static_cast<int>(Size(card + "/" + member) + images))
                << member;

        CDSCUSMFile written;
        ASSERT_EQ(written.Init(&f.Doc(), "", index), 1);
        EXPECT_EQ(written.MakeCameraFileNames(), 1);
        // Every member names the text image exactly when the set holds one.
        for (const char* member : kMembers)
            EXPECT_EQ(ReadFileBytes(card + "/" + member).find("ABCDEF.eff") != std::string::npos, drawn)
                << member;

        // The drawn content comes back as the frame image the set holds.
        RECT frame{};
        FirstPhotoFrame().GetRect(&frame, false);
        RealKindsFixture other;
        ASSERT_EQ(other.Doc().LoadUsmLayout(index), 1);
        EXPECT_TRUE(other.base.MessageIds().empty());
        const std::string rect = std::to_string(frame.left) + "," + std::to_string(frame.top) + "," +
                                 std::to_string(frame.right) + "," + std::to_string(frame.bottom);
        std::vector<std::string> page;
        if (drawn)
            page.push_back(std::string(typeid(CBackgroundImageFrameItem).name()) + " " + rect);
        page.push_back(std::string(typeid(CInsertImageFrameItem).name()) + " " + rect);
        EXPECT_EQ(LayoutShape(other.Layout()), page);
        if (drawn) {
            const auto* back = dynamic_cast<const CImageFrameItem*>(other.Layout().GetItemAt(0));
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(GetFileNameFromPath(back->GetImageFileName(), true), "ABCDEF.eff");
        }
    }
}

TEST_F(CameraSetSaveTest, MissingFilesOfTheSetFailTheCompletenessCheck)
{
    AddLine();
    const std::string card = Card("card/VLUDL");
    ASSERT_EQ(f.Doc().SaveUsmLayout(card + "/ABCDEF_0.usm"), 0);
    for (const std::string name : {"ABCDEF_0.usm", "ABCDEF31.usd", "ABCDEF_0/ABCDEF.eff",
                                   "ABCDEF_0/ABCDEF_0.ctf", "ABCDEF_0/THUMB.USF"}) {
        SCOPED_TRACE(name);
        const std::string path = card + "/" + name;
        const std::string aside = path + ".aside";
        fs::rename(path, aside);
        CDSCUSMFile set;
        ASSERT_EQ(set.Init(&f.Doc(), "", card + "/ABCDEF_0.usm"), 1);
        EXPECT_EQ(set.MakeCameraFileNames(), 0);
        fs::rename(aside, path);
        EXPECT_EQ(set.MakeCameraFileNames(), 1);
    }
}

TEST_F(CameraSetSaveTest, TheTextImageIsRenderedAgainOnlyWhenTheSetExceedsTheLimit)
{
    AddLine();
    // The set's own bytes, then a pad in its image folder that brings the
    // first total to exactly the limit, or one byte over it.
    ASSERT_EQ(SaveWithPad(Card("first/ABCDEF_0.usm"), 0), 1);
    const int own = ReadProfileInt(Card("first/ABCDEF_0.usm"), "HEADER", "HdCapability", -1);
    ASSERT_GT(own, 10000);
    ASSERT_LT(own, 100000);
    const std::string firstImage = ReadFileBytes(Card("first/ABCDEF_0/ABCDEF.eff"));
    // Five digits before the pad, six after.
    const std::uint64_t pad = kCameraSetSizeLimit - (own - 4) - 5;

    ASSERT_EQ(SaveWithPad(Card("limit/ABCDEF_0.usm"), pad), 1);
    EXPECT_EQ(ReadProfileInt(Card("limit/ABCDEF_0.usm"), "HEADER", "HdCapability", -1), kCameraSetSizeLimit);
    EXPECT_EQ(SetTotal(Card("limit")), static_cast<std::uint64_t>(kCameraSetSizeLimit));
    EXPECT_EQ(ReadFileBytes(Card("limit/ABCDEF_0/ABCDEF.eff")), firstImage);
    EXPECT_EQ(shell.measures, 0);

    ASSERT_EQ(SaveWithPad(Card("over/ABCDEF_0.usm"), pad + 1), 1);
    EXPECT_GT(shell.measures, 0);
    const std::string over = Card("over");
    const std::uint64_t image = Size(over + "/ABCDEF_0/ABCDEF.eff");
    EXPECT_LT(image, firstImage.size());
    // Every total was made again after the second rendering.
    const int total = ReadProfileInt(over + "/ABCDEF_0.usm", "HEADER", "HdCapability", -1);
    EXPECT_EQ(total, static_cast<int>(SetTotal(over)));
    EXPECT_LT(total, kCameraSetSizeLimit);
    for (const char* member : kMembers)
        EXPECT_EQ(ReadProfileInt(over + "/" + member, "HEADER", "HdCapacity", -1),
                  static_cast<int>(Size(over + "/" + member) + image + Size(over + "/ABCDEF_0/THUMB.USF")))
            << member;
}

TEST_F(CameraSetSaveTest, ASetThatStaysTooLargeIsRefusedAndTheCardKeepsItsSet)
{
    // Noise needs the second rendering; the card looking fuller than the
    // set's files keeps even quality 10 over the limit.
    AddNoiseBackground();
    const std::string card = Card("card/VLUDL");
    const std::string index = card + "/ABCDEF_0.usm";
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    EXPECT_GT(shell.measures, 0);
    const auto before = ReadTree(card);
    shell.extraBytes = 20000;

    ASSERT_EQ(SaveWithPad(Card("direct/ABCDEF_0.usm"), 0), -1);
    EXPECT_FALSE(fs::exists(Card("direct")));
    EXPECT_EQ(f.Doc().SaveUsmLayout(index), 2);
    f.Doc().SetModifiedFlag(1);
    EXPECT_FALSE(f.Doc().OnSaveDocument(index));
    EXPECT_EQ(f.base.MessageIds(), std::vector<int>{245});
    EXPECT_EQ(ReadTree(card), before);
    EXPECT_FALSE(fs::exists(GetTempSaveUSMFolder(false)));
}

TEST_F(CameraSetSaveTest, SavingAgainReplacesTheSet)
{
    AddLine();
    const std::string card = Card("card/VLUDL");
    const std::string index = card + "/ABCDEF_0.usm";
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    ASSERT_TRUE(IsFile(card + "/ABCDEF_0/ABCDEF.eff"));
    const std::vector<std::string> names = NamesIn(card);

    ASSERT_TRUE(f.Doc().NewDSCLayout(1));
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    EXPECT_EQ(NamesIn(card), names);
    EXPECT_EQ(NamesIn(card + "/ABCDEF_0"), (std::vector<std::string>{"ABCDEF_0.ctf", "THUMB.USF"}));
    EXPECT_EQ(ReadProfileInt(index, "HEADER", "HdCapability", -1), static_cast<int>(SetTotal(card)));
    for (const char* member : kMembers) {
        CUDLScript script;
        ASSERT_EQ(script.Read(card + "/" + member), 1);
        EXPECT_EQ(script.GetDirection(), 1);
        EXPECT_EQ(script.GetDrawRecordCount(), 1);
    }
    CDSCUSMFile written;
    ASSERT_EQ(written.Init(&f.Doc(), "", index), 1);
    EXPECT_EQ(written.MakeCameraFileNames(), 1);
}

TEST_F(CameraSetSaveTest, ARegistrationStoppedAfterAnyStepReopensAsThePreviousOrTheNewSet)
{
    // The previous set has a text image and lies one way, the new one has
    // none and lies the other way: a mix of the two would show.
    const std::string card = Card("card/VLUDL");
    const std::string index = card + "/ABCDEF_0.usm";
    RealKindsFixture reader;
    const InterruptedSave run{
        [&] {
            ASSERT_TRUE(f.Doc().NewDSCLayout(0));
            AddLine();
            ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
            ASSERT_TRUE(f.Doc().NewDSCLayout(1));
        },
        [&] { return f.Doc().SaveUsmLayout(index); },
        [&] {
            reader.base.recorder.messages.clear();
            return reader.Doc().OnOpenDocument(index) && reader.base.recorder.messages.empty();
        },
        [&] { return ReadTree(card); },
        [&] { return HiddenNamesIn(card); },
        WritesJournalOf(index),
    };
    EXPECT_GT(ExpectOldOrNewAfterEveryStop(f.files, run), 20);
}

TEST_F(CameraSetSaveTest, ASetSavedThroughSymbolicLinksWritesTheirTargetsAndKeepsTheLinks)
{
    AddLine();
    const std::string card = Card("linked/VLUDL");
    const std::string index = card + "/ABCDEF_0.usm";
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    // Every file of the set and its image folder moved elsewhere, a link left
    // in each one's place.
    const std::string elsewhere = Card("elsewhere");
    fs::create_directories(elsewhere);
    const std::vector<std::string> names = NamesIn(card);
    for (const std::string& name : names) {
        fs::rename(card + "/" + name, elsewhere + "/" + name);
        fs::create_symlink(elsewhere + "/" + name, card + "/" + name);
    }
    const std::map<std::string, std::string> before = ReadTree(elsewhere);

    ASSERT_TRUE(f.Doc().NewDSCLayout(1));
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    for (const std::string& name : names)
        EXPECT_TRUE(fs::is_symlink(card + "/" + name)) << name;
    EXPECT_EQ(NamesIn(card), names);
    EXPECT_EQ(NamesIn(elsewhere), names);
    EXPECT_NE(ReadTree(elsewhere), before);
    EXPECT_EQ(NamesIn(elsewhere + "/ABCDEF_0"), (std::vector<std::string>{"ABCDEF_0.ctf", "THUMB.USF"}));
    for (const char* member : kMembers) {
        CUDLScript script;
        ASSERT_EQ(script.Read(elsewhere + "/" + member), 1);
        EXPECT_EQ(script.GetDirection(), 1);
    }
}

TEST_F(CameraSetSaveTest, ACopyThatFailsHalfWayLeavesThePreviousSetWhole)
{
    AddLine();
    const std::string card = Card("card/VLUDL");
    const std::string index = card + "/ABCDEF_0.usm";
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    const auto before = ReadTree(card);
    ASSERT_TRUE(f.Doc().NewDSCLayout(1));
    AddLine();

    // Counted on a second card that already holds a set: the writes of the
    // whole save end with the copy of the three images, eight members and
    // the index; the renames end with the index's move into place.
    const std::string spare = Card("spare/VLUDL/ABCDEF_0.usm");
    ASSERT_EQ(f.Doc().SaveUsmLayout(spare), 0);
    int writes = 0;
    {
        FailingFileWrites counting(FailingFileWrites::WriteStep, 0);
        f.files.FailAt(FailingSaveFileSystem::RenameStep, 0);
        ASSERT_EQ(f.Doc().SaveUsmLayout(spare), 0);
        writes = counting.Calls();
    }
    const int renames = f.files.Calls();
    ASSERT_GT(writes, 12);
    ASSERT_GT(renames, 2);

    for (const int step : {0, 1}) {
        SCOPED_TRACE(step == 0 ? "a member's copy" : "the index's move");
        std::optional<FailingFileWrites> failingWrite;
        if (step == 0) {
            failingWrite.emplace(FailingFileWrites::WriteStep, writes - 6);
            f.files.FailAt(FailingSaveFileSystem::None, 0);
        } else {
            f.files.FailAt(FailingSaveFileSystem::RenameStep, renames);
        }
        EXPECT_EQ(f.Doc().SaveUsmLayout(index), 1);
        EXPECT_TRUE(step == 0 ? failingWrite->Failed() : f.files.Failed());
        failingWrite.reset();
        f.files.FailAt(FailingSaveFileSystem::None, 0);
        EXPECT_EQ(ReadTree(card), before);
        EXPECT_FALSE(fs::exists(GetTempSaveUSMFolder(false)));
    }
    // And the next save goes through.
    ASSERT_EQ(f.Doc().SaveUsmLayout(index), 0);
    EXPECT_NE(ReadTree(card), before);
}

TEST_F(CameraSetSaveTest, ACameraPackageCarriesTheSetAndReopensAsThePage)
{
    AddLine();
    // A numbered name whose digit is not the index's "_0".
    const std::string package = Card("out/ABCDEF_1.fdp");
    fs::create_directories(Card("out"));
    ASSERT_EQ(f.Doc().SaveFdpLayout(package), 0);
    EXPECT_TRUE(IsFile(package));
    EXPECT_TRUE(ReadersAgree(package));
    EXPECT_NE(std::find(f.kit.calls.begin(), f.kit.calls.end(), "PackageDSC"), f.kit.calls.end());
    EXPECT_FALSE(fs::exists(GetTempEncodeFolder(false)));
    EXPECT_TRUE(IsFile(f.Doc().GetDecodeFolder() + "/ABCDEF_0.usm"));

    RealKindsFixture other;
    ASSERT_EQ(other.Doc().LoadFdpLayout(package), 1);
    EXPECT_TRUE(other.Doc().IsDSCLayout());
    RECT frame{};
    FirstPhotoFrame().GetRect(&frame, false);
    const std::string rect = std::to_string(frame.left) + "," + std::to_string(frame.top) + "," +
                             std::to_string(frame.right) + "," + std::to_string(frame.bottom);
    EXPECT_EQ(LayoutShape(other.Layout()),
              (std::vector<std::string>{std::string(typeid(CBackgroundImageFrameItem).name()) + " " + rect,
                                        std::string(typeid(CInsertImageFrameItem).name()) + " " + rect}));
}

TEST_F(CameraSetSaveTest, ASetReopenedUnchangedRegistersAgainWithItsPicturesBytesAndAChangeIsMadeAgain)
{
    // A first registration over the limit: its frame image is rendered again
    // at a lower quality after the camera thumbnail was made, so neither
    // could be made again from the set as it is stored.
    AddLine();
    ASSERT_EQ(SaveWithPad(Card("own/ABCDEF_0.usm"), 0), 1);
    const int own = ReadProfileInt(Card("own/ABCDEF_0.usm"), "HEADER", "HdCapability", -1);
    ASSERT_GT(own, 10000);
    const std::string index = Card("first/ABCDEF_0.usm");
    ASSERT_EQ(SaveWithPad(index, kCameraSetSizeLimit - (own - 4) - 4), 1);
    ASSERT_GT(shell.measures, 0);
    constexpr const char* kPictures[] = {"ABCDEF.eff", "ABCDEF_0.ctf", "THUMB.USF"};

    struct Case
    {
        const char* change;
        std::function<void(CLayoutManager&)> apply;
        bool frameImageKept;
        bool cameraThumbnailKept;
        bool thumbnailKept;
    };
    const auto photoFrame = [](CLayoutManager& layout) -> CInsertImageFrameItem& {
        for (const auto& item : layout.GetItems())
            if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get()))
                return *frame;
        throw std::logic_error("no photo frame");
    };
    const Case cases[] = {
        {"nothing", [](CLayoutManager&) {}, true, true, true},
        {"a line added",
         [](CLayoutManager& layout) {
             auto line = std::make_unique<CLineItem>();
             line->SetWidth(12);
             line->SetColor(RGB(20, 20, 200));
             line->SetRect(RECT{100, 500, 900, 500});
             ASSERT_TRUE(layout.AddItem(0, std::move(line)));
         },
         false, false, false},
        {"the frame image turned",
         [](CLayoutManager& layout) {
             auto* back = dynamic_cast<CBackgroundImageFrameItem*>(layout.GetItemAt(0));
             ASSERT_NE(back, nullptr);
             back->Rotate(true);
             back->Rotate(true);
         },
         false, false, false},
        {"a part of the frame image chosen",
         [](CLayoutManager& layout) {
             auto* back = dynamic_cast<CBackgroundImageFrameItem*>(layout.GetItemAt(0));
             ASSERT_NE(back, nullptr);
             back->SetImageRange(RECT{0, 0, 512, 352});
         },
         false, false, false},
        {"the photo turned",
         [&photoFrame](CLayoutManager& layout) { photoFrame(layout).SetImageRotation(3); }, true, false,
         true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        RealKindsFixture other;
        ASSERT_EQ(other.Doc().LoadUsmLayout(index), 1);
        ASSERT_TRUE(other.base.MessageIds().empty());
        c.apply(other.Layout());
        const std::string again = Card("again" + std::to_string(n++));
        ASSERT_EQ(other.Doc().SaveUsmLayout(again + "/ABCDEF_0.usm"), 0);
        const bool kept[] = {c.frameImageKept, c.cameraThumbnailKept, c.thumbnailKept};
        for (int i = 0; i < 3; ++i) {
            const std::string first = ReadFileBytes(Card("first/ABCDEF_0/") + kPictures[i]);
            const std::string second = ReadFileBytes(again + "/ABCDEF_0/" + kPictures[i]);
            ASSERT_FALSE(second.empty()) << kPictures[i];
            EXPECT_EQ(first == second, kept[i]) << kPictures[i];
        }
    }
}

TEST_F(CameraSetSaveTest, ASetsThumbnailAndAnEditorDocumentsAreNeverTakenForEachOther)
{
    // The set encodes its thumbnail again for the camera, the editor document
    // draws its own at full quality: an unchanged page carries each only into
    // a file of its own kind.
    AddLine();
    ASSERT_EQ(SaveWithPad(Card("set/ABCDEF_0.usm"), 0), 1);
    const std::string setThumbnail = ReadFileBytes(Card("set/ABCDEF_0/THUMB.USF"));
    ASSERT_FALSE(setThumbnail.empty());
    {
        RealKindsFixture reopened;
        ASSERT_EQ(reopened.Doc().LoadUsmLayout(Card("set/ABCDEF_0.usm")), 1);
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Card("doc"))));
        ASSERT_EQ(reopened.Doc().SaveZvdDocument(Card("doc/Layout.zvd")), 0);
        const std::string documentThumbnail = ReadFileBytes(Card("doc/Layout/THUMB.USF"));
        ASSERT_FALSE(documentThumbnail.empty());
        EXPECT_TRUE(documentThumbnail != setThumbnail) << "the document took the set's thumbnail";
    }
    RealKindsFixture fromDocument;
    ASSERT_EQ(fromDocument.Doc().LoadZvdDocument(Card("doc/Layout.zvd")), 1);
    ASSERT_EQ(fromDocument.Doc().SaveUsmLayout(Card("again/ABCDEF_0.usm")), 0);
    const std::string again = ReadFileBytes(Card("again/ABCDEF_0/THUMB.USF"));
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(again != ReadFileBytes(Card("doc/Layout/THUMB.USF")))
        << "the set took the document's thumbnail";
}

TEST_F(CameraSetSaveTest, TheFirstBackgroundsSizesFollowEveryTurnOfItsPicture)
{
    // A 300 x 200 picture: its sides exchanged at a quarter and three-quarter turn.
    QImage image(300, 200, QImage::Format_RGB888);
    image.fill(Qt::darkGreen);
    const std::string path = f.Work() + "/wide.bmp";
    ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    const std::string source = GetTempSaveUSMFolder(false) + "usmtemp.usd";
    {
        CDSCUSMFile set;
        ASSERT_EQ(set.Init(&f.Doc(), source, Card("VLUDL")), 1);
        RecordSize frame{1, 1};
        RecordSize picture{1, 1};
        EXPECT_EQ(set.GetBackgroundFrameSizes(frame, picture), 1);
        EXPECT_EQ(std::pair(frame.width, frame.height), std::pair(0, 0)); // no background yet
        EXPECT_EQ(std::pair(picture.width, picture.height), std::pair(0, 0));
    }
    for (const auto& [rotation, turned] :
         {std::pair{0, false}, std::pair{1, true}, std::pair{2, false}, std::pair{3, true}}) {
        SCOPED_TRACE("rotation " + std::to_string(rotation));
        auto back = std::make_unique<CBackgroundImageFrameItem>();
        ASSERT_EQ(back->LoadImage(path), 0);
        back->SetRect(RECT{0, 0, 600, 500});
        back->SetImageRotation(rotation);
        // In front of the previous turn's background: the first in the list counts.
        ASSERT_TRUE(f.Layout().AddItem(0, std::move(back)));
        CDSCUSMFile set;
        ASSERT_EQ(set.Init(&f.Doc(), source, Card("VLUDL")), 1);
        RecordSize frame;
        RecordSize picture;
        EXPECT_EQ(set.GetBackgroundFrameSizes(frame, picture), 1);
        EXPECT_EQ(std::pair(frame.width, frame.height), std::pair(600, 500));
        EXPECT_EQ(std::pair(picture.width, picture.height),
                  turned ? std::pair(200, 300) : std::pair(300, 200));
    }
}

TEST_F(CameraSetSaveTest, TheSetWritersRefusalReachesThePackageSave)
{
    AddNoiseBackground();
    const std::string package = Card("out/ABCDEF_0.fdp");
    fs::create_directories(Card("out"));
    ASSERT_EQ(f.Doc().SaveFdpLayout(package), 0);
    const std::string bytes = ReadFileBytes(package);
    shell.extraBytes = 20000;
    EXPECT_EQ(f.Doc().SaveFdpLayout(package), 2);
    EXPECT_EQ(ReadFileBytes(package), bytes);
    EXPECT_FALSE(fs::exists(GetTempEncodeFolder(false)));
}

} // namespace
