#include "Script/RecordFitting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

UDLDrawRecord Picture(int frameNumber, RecordRect rect)
{
    UDLDrawRecord record;
    record.type = UDLDrawPicture;
    record.picture.frameNumber = frameNumber;
    record.picture.left = rect.left;
    record.picture.top = rect.top;
    record.picture.right = rect.right;
    record.picture.bottom = rect.bottom;
    return record;
}

UDLDrawRecord Line(RecordRect ends)
{
    UDLDrawRecord record;
    record.type = UDLDrawLine;
    record.line = UDLLinePart{ends.left, ends.top, ends.right, ends.bottom, 5, 1, 2, 3};
    return record;
}

UDLDrawRecord Text(RecordRect box)
{
    UDLDrawRecord record;
    record.type = UDLDrawText;
    record.text.left = box.left;
    record.text.top = box.top;
    record.text.right = box.right;
    record.text.bottom = box.bottom;
    return record;
}

RecordRect RectOf(const std::vector<UDLDrawRecord>& records, std::size_t index)
{
    RecordRect rect;
    EXPECT_EQ(GetRecordRect(index, records, rect), 1);
    return rect;
}

TEST(RecordFittingTest, PaperRectangles)
{
    struct Case
    {
        DSCPaperVariant pair;
        std::int32_t roll;
        RecordRect expected;
    };
    const Case cases[] = {
        {{17, 2}, 0, {0, 0, 1332, 1914}},
        {{17, 0}, 0, {3, 3, 1169, 1709}},
        {{18, 2}, 0, {0, 0, 1512, 2274}},
        {{16, 2}, 0, {0, 0, 1489, 2239}},
        {{0, 0}, 0, {3, 3, 1326, 2006}},
        {{0, 2}, 0, {0, 0, 1489, 2211}},
        {{7, 0}, 3000, {3, 3, 1326, 2909}},
        {{7, 0}, 0, {3, 3, 1326, -91}},
        // Mode 1's wide margin lies on the right here.
        {{17, 1}, 0, {3, 3, 1013, 1709}},
        // A paper outside the table keeps the empty rectangle, then the margins.
        {{11, 7}, 0, {0, 0, 0, 0}},
        {{12, 2}, 0, {0, 0, 72, 114}},
        {{17, 9}, 0, {0, 0, 1260, 1800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pair.paperSize << ", " << c.pair.marginMode << ", " << c.roll);
        EXPECT_EQ(GetPaperRect(c.pair, c.roll), c.expected);
    }
}

TEST(RecordFittingTest, MemberGeometryGivesEveryRecordThePaperRectangle)
{
    std::vector<UDLDrawRecord> records = {Picture(1, {0, 0, 1332, 1914}), Line({10, 20, 300, 20}),
                                          Text({50, 60, 70, 80})};
    UDLDrawRecord other;
    other.type = 5;
    records.push_back(other);
    const auto original = records;

    SetRecordRect({17, 2}, records, 0);
    EXPECT_EQ(records, original);

    SetRecordRect({17, 0}, records, 0);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(RectOf(records, i), (RecordRect{3, 3, 1169, 1709})) << i;
    EXPECT_EQ(records[1].line.x1, 3);
    EXPECT_EQ(records[1].line.y2, 1709);
    EXPECT_EQ(records[1].line.width, 5);
    EXPECT_EQ(records[3], other);
    RecordRect untouched{1, 2, 3, 4};
    EXPECT_EQ(GetRecordRect(3, records, untouched), 0);
    EXPECT_EQ(untouched, (RecordRect{1, 2, 3, 4}));
    EXPECT_EQ(PutRecordRect(9, {}, records), 0);
}

TEST(RecordFittingTest, KindsAspectsAndScaling)
{
    const std::vector<UDLDrawRecord> records = {Line({}), Text({}), Picture(0, {1, 2, 3, 4}),
                                                Picture(2, {5, 6, 7, 8}), Picture(0, {9, 9, 9, 9})};
    EXPECT_EQ(GetRecordKind(0, records), RecordKindNone);
    EXPECT_EQ(GetRecordKind(1, records), RecordKindText);
    EXPECT_EQ(GetRecordKind(2, records), RecordKindFrame);
    EXPECT_EQ(GetRecordKind(3, records), RecordKindPhoto);
    RecordRect rect;
    int index = 0;
    FindFrameRecord(records, rect, index);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(rect, (RecordRect{1, 2, 3, 4}));
    FindPhotoRecord(records, rect, index);
    EXPECT_EQ(index, 3);
    FindPhotoRecord(std::vector<UDLDrawRecord>{Line({})}, rect, index);
    EXPECT_EQ(index, -1);

    EXPECT_EQ(GetAspectRatio({0, 5}), 0.0);
    EXPECT_EQ(GetAspectRatio({4, 2}), 0.5);

    RecordPoint point{5, -5};
    ScalePoint(point, 0.5, 0.5, 0.0, 0.0); // 2.5 and -2.5: halves away from zero
    EXPECT_EQ(point.x, 3);
    EXPECT_EQ(point.y, -3);
    RecordRect huge{0, 0, 2000000000, 2000000000};
    ScaleRect(huge, 4.0, 4.0, 1.0, 1.0); // held inside the field
    EXPECT_EQ(huge, (RecordRect{1, 1, INT32_MAX, INT32_MAX}));
}

TEST(RecordFittingTest, TheBaseVariantAndUnitFactorsChangeNothing)
{
    const std::vector<UDLDrawRecord> original = {
        Picture(1, {10, 20, 800, 900}), Picture(0, {0, 0, 1332, 1914}), Text({-50, 1900, 100, 1950})};
    auto records = original;
    std::int32_t roll = 700;
    EXPECT_EQ(FitObjectsToPaper({17, 2}, records, {1332, 1914}, {704, 1024}, roll, 17), 1);
    EXPECT_EQ(records, original);
    EXPECT_EQ(roll, 700);

    FitRecords(false, {1332, 1914}, records, 1.5, {704, 1024}, 17);
    EXPECT_EQ(records, original);
}

TEST(RecordFittingTest, ThePhotoFrameFollowsThePicturesAspect)
{
    // On (17, 0) the frame image over the base area becomes a little taller;
    // where the picture's aspect lies decides the photo frame's factor.
    struct Case
    {
        const char* name;
        RecordSize picture;
        RecordRect photo;
    };
    const Case cases[] = {
        {"taller than the new frame: scaled by width", {500, 1000}, {91, 193, 528, 806}},
        {"flatter than the old frame: scaled by height", {1000, 500}, {82, 181, 527, 805}},
        {"between the two: the frame's height kept", {704, 1024}, {88, 189, 528, 806}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<UDLDrawRecord> records = {Picture(1, {100, 200, 600, 900}),
                                              Picture(0, {0, 0, 1332, 1914})};
        std::int32_t roll = 500;
        EXPECT_EQ(FitObjectsToPaper({17, 0}, records, {1332, 1914}, c.picture, roll, 17), 1);
        EXPECT_EQ(roll, 0);
        EXPECT_EQ(RectOf(records, 0), c.photo);
        EXPECT_EQ(RectOf(records, 1), (RecordRect{3, 3, 1169, 1709}));
    }
}

TEST(RecordFittingTest, EdgesOnThePageStayOnItAndTextsStayInside)
{
    std::vector<UDLDrawRecord> records = {Picture(1, {0, 0, 1332, 1914}), Text({1300, 10, 1400, 50})};
    std::int32_t roll = 0;
    EXPECT_EQ(FitObjectsToPaper({17, 0}, records, {}, {}, roll, 17), 1);
    EXPECT_EQ(RectOf(records, 0), (RecordRect{3, 3, 1169, 1709}));
    // Scaled to x 1141, it would end beyond the page: moved left to end at its edge.
    EXPECT_EQ(RectOf(records, 1), (RecordRect{1069, 27, 1169, 67}));
}

TEST(RecordFittingTest, ClampingMovesRecordsOntoThePaper)
{
    std::vector<UDLDrawRecord> records = {Picture(1, {-10, -5, 100, 100}), Line({0, 0, 2000, 10}),
                                          Text({1000, 1700, 1100, 1800})};
    EXPECT_EQ(ClampRecordsToPaper(records, {17, 0}, 0), 1);
    EXPECT_EQ(RectOf(records, 0), (RecordRect{3, 3, 113, 108}));
    EXPECT_EQ(RectOf(records, 1), (RecordRect{3, 3, 1169, 13}));
    EXPECT_EQ(RectOf(records, 2), (RecordRect{1000, 1609, 1100, 1709}));
}

TEST(RecordFittingTest, LayoutsOnTheLargerBorderlessPapersComeToTheBaseAreaFirst)
{
    // A photo frame over the whole borderless 4x6NP area lands on the whole
    // base area, then on the variant's.
    std::vector<UDLDrawRecord> records = {Picture(1, {0, 0, 1512, 2274})};
    FitRecords(false, {1332, 1914}, records, 0.0, {}, 18);
    EXPECT_EQ(RectOf(records, 0), (RecordRect{0, 0, 1332, 1914}));

    records = {Picture(1, {0, 0, 1489, 2239})};
    FitRecords(true, {1166, 1706}, records, 0.0, {}, 16);
    EXPECT_EQ(RectOf(records, 0), (RecordRect{3, 3, 1169, 1709}));
}

} // namespace
