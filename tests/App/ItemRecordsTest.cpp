#include "App/ItemRecords.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

std::array<std::int32_t, 4> Corners(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

template <class Part> std::array<std::int32_t, 4> Corners(const Part& p)
{
    return {p.left, p.top, p.right, p.bottom};
}

} // namespace

TEST(PageTurnTest, Orientation1StoresTheQuarterTurnOfThePortraitPage)
{
    const PageTurn turn(1, 700);
    EXPECT_EQ(Corners(turn.Store(RECT{10, 20, 110, 220})), (std::array<std::int32_t, 4>{480, 10, 680, 110}));
    // A horizontal line of width 5 lies 4 units further in; a vertical one does not.
    EXPECT_EQ(Corners(turn.StoreLine(RECT{50, 60, 250, 60}, 5)),
              (std::array<std::int32_t, 4>{640 - 4, 50, 640 - 4, 250}));
    EXPECT_EQ(Corners(turn.StoreLine(RECT{50, 60, 50, 260}, 5)),
              (std::array<std::int32_t, 4>{440, 50, 640, 50}));
    EXPECT_EQ(Corners(PageTurn(0, 700).Store(RECT{10, 20, 110, 220})),
              (std::array<std::int32_t, 4>{10, 20, 110, 220}));
    // Beyond 32 bits the save fails rather than store another rectangle.
    EXPECT_THROW(PageTurn(1, 700).Store(RECT{0, 0, 10, INT_MIN}), int);
}

TEST(ItemRecordsTest, ACaptionIsStoredAlikeInBothFilesFromItsOwnersSettings)
{
    CInsertImageFrameItem owner;
    owner.SetFrameNumber(3);
    owner.SetInfoFontKey("Gothic");
    owner.SetInfoFontSize(1);
    owner.SetInfoTextColor(RGB(9, 8, 7));
    CMacroStringItem caption;
    caption.SetOwnerFrame(&owner);
    caption.SetMacroKind(CMacroStringItem::KindFileName);
    caption.SetRect(RECT{100, 400, 300, 440});
    ASSERT_EQ(CaptionOwner(caption), &owner);
    for (const int orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        const PageTurn turn(orientation, 1000);
        ZAVMacroStringPart zvd;
        UDLTextPart usd;
        StoreCaption(caption, owner, zvd, turn);
        StoreCaption(caption, owner, usd, turn);
        EXPECT_EQ(zvd.ownerFrameNumber, 3);
        EXPECT_EQ(usd.frameNumber, 3);
        EXPECT_EQ(zvd.fontKey, "Gothic");
        EXPECT_EQ(usd.name, "Gothic");
        EXPECT_EQ(zvd.fontSize, 1);
        EXPECT_EQ(usd.flag, 1);
        EXPECT_EQ(zvd.macroText, caption.GetMacroText());
        EXPECT_EQ(usd.macroText, zvd.macroText);
        EXPECT_EQ(Corners(zvd), Corners(turn.Store(RECT{100, 400, 300, 440})));
        EXPECT_EQ(Corners(usd), Corners(zvd));
        EXPECT_EQ(usd.direction, zvd.direction);
        EXPECT_EQ((std::array<int, 3>{zvd.red, zvd.green, zvd.blue}), (std::array<int, 3>{9, 8, 7}));
        EXPECT_EQ((std::array<int, 3>{usd.red, usd.green, usd.blue}), (std::array<int, 3>{9, 8, 7}));
        EXPECT_EQ(zvd.visible, 1);
        EXPECT_TRUE(usd.imageFileName.empty());
    }
    // A font key that its field cannot hold fails the save in both files.
    owner.SetInfoFontKey(std::string(32, 'k'));
    ZAVMacroStringPart zvd;
    UDLTextPart usd;
    EXPECT_THROW(StoreCaption(caption, owner, zvd, PageTurn(0, 1000)), int);
    EXPECT_THROW(StoreCaption(caption, owner, usd, PageTurn(0, 1000)), int);

    CMacroStringItem orphan;
    EXPECT_EQ(CaptionOwner(orphan), nullptr);
}

TEST(ItemRecordsTest, ACaptionRecordAttachesOnlyToTheFrameItNames)
{
    CInsertImageFrameItem frame;
    frame.SetFrameNumber(2);
    CInsertImageFrameItem* run = nullptr;
    EXPECT_EQ(CaptionRecordOwner(run, 2), nullptr); // no frame before it
    run = &frame;
    EXPECT_EQ(CaptionRecordOwner(run, 2), &frame);
    EXPECT_EQ(run, &frame);
    EXPECT_EQ(CaptionRecordOwner(run, 1), nullptr); // another frame's caption ends the run
    EXPECT_EQ(run, nullptr);
    EXPECT_EQ(CaptionRecordOwner(run, 2), nullptr);
}

TEST(ItemRecordsTest, AFramePictureIsStoredAlikeInBothFiles)
{
    CInsertImageFrameItem frame;
    frame.SetRect(RECT{10, 20, 110, 220});
    frame.SetImageRotation(3);
    frame.SetVisible(false);
    const PageTurn turn(0, 1000);
    ZAVPicturePart zvd;
    UDLPicturePart usd;
    StoreFramePicture(frame, zvd, turn);
    StoreFramePicture(frame, usd, turn);
    EXPECT_EQ(zvd.placement, usd.placement);
    EXPECT_EQ(zvd.rotation, 3);
    EXPECT_EQ(usd.rotation, 3);
    EXPECT_EQ(zvd.imageMode, usd.imageMode);
    EXPECT_EQ(Corners(zvd), (std::array<std::int32_t, 4>{10, 20, 110, 220}));
    EXPECT_EQ(Corners(usd), Corners(zvd));
    EXPECT_EQ(zvd.visible, 0);
}

TEST(ItemRecordsTest, AutomaticRotationFollowsTheShapesAndTheDirection)
{
    struct Case
    {
        int orientation;
        WideRect frame;
        std::int64_t w;
        std::int64_t h;
        int rotation;
    };
    const WideRect wide{0, 0, 200, 100};
    const WideRect high{0, 0, 100, 200};
    const WideRect square{0, 0, 100, 100};
    const Case cases[] = {
        {0, wide, 30, 40, 1}, {0, high, 40, 30, 1}, {0, wide, 40, 30, 0}, {0, square, 30, 40, 0},
        {0, high, 30, 30, 0}, {1, high, 30, 40, 0}, {1, high, 40, 30, 3}, {1, high, 30, 30, 3},
        {1, wide, 40, 30, 0}, {1, wide, 30, 40, 3}, {1, wide, 30, 30, 3}, {1, square, 40, 30, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.orientation << " " << c.frame.right << "x" << c.frame.bottom
                                          << " picture " << c.w << "x" << c.h);
        EXPECT_EQ(AutomaticRotation(c.orientation, c.frame, c.w, c.h), c.rotation);
    }
}

TEST(ItemRecordsTest, PictureSettingsAreCorrectedAsEachKindOfLayoutTakesThem)
{
    struct Case
    {
        const char* name;
        int frameNumber;
        bool camera;
        int placement;
        int imageMode;
        int rotation;
        int placementAfter;
        bool corrected;
    };
    const Case cases[] = {
        {"as taken", 1, false, 1, 4, 0, 1, false},
        {"a background's placement", 0, false, 1, 4, 0, 0, true},
        {"a background's automatic rotation", 0, false, 0, 4, 4, 0, true},
        {"a frame's free placement", 1, false, 2, 4, 0, 0, true},
        {"a camera frame's placement", 1, true, 1, 4, 0, 0, true},
        {"the image mode", 1, false, 0, 3, 0, 0, true},
        {"a frame's automatic rotation is its own", 1, false, 0, 4, 4, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UDLPicturePart picture;
        picture.frameNumber = c.frameNumber;
        picture.placement = c.placement;
        picture.imageMode = c.imageMode;
        picture.rotation = c.rotation;
        EXPECT_EQ(CorrectPictureSettings(picture, c.camera), c.corrected);
        EXPECT_EQ(picture.placement, c.placementAfter);
        EXPECT_EQ(picture.imageMode, 4);
        EXPECT_EQ(picture.rotation, c.rotation);
    }
}

TEST(ItemRecordsTest, AnOpenBottomBecomesASquareOneWithinThePrintableArea)
{
    const RECT printable{10, 20, 500, 800};
    ZAVPicturePart picture;
    picture.left = 100;
    picture.top = 100;
    picture.right = 300;
    picture.bottom = -1;
    CloseOpenBottom(picture, printable, 0);
    EXPECT_EQ(picture.bottom, 300);
    picture.bottom = -1;
    CloseOpenBottom(picture, printable, 1); // capped at the right edge of the turned page
    EXPECT_EQ(picture.bottom, 300);
    picture.right = 1000;
    picture.bottom = -1;
    CloseOpenBottom(picture, printable, 0);
    EXPECT_EQ(picture.bottom, 800);
    picture.top = 900;
    picture.bottom = -1;
    CloseOpenBottom(picture, printable, 0);
    EXPECT_EQ(picture.bottom, 800);
    EXPECT_EQ(picture.top, 799);
}
