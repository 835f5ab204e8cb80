#include "FrameKit/DrawAssist.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/SDK.h"

#include "PhotoBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace fs = std::filesystem;
using namespace photo_bytes;

namespace {

// Records every call in order; answers `failWith` at call number `failAt`.
class RecordingTarget : public ZavDrawTarget
{
public:
    struct Call
    {
        int slot;
        ZavRect rect;
        std::string text;
        const ZavPhotoEntry* photo = nullptr;
        ZavBandLimits band;
    };
    std::vector<Call> calls;
    int failAt = -1;
    int failWith = 0;
    std::int32_t subShift = 0;
    std::int32_t bandShift = 0;
    std::function<void()> hook; // runs inside every callback

    int DrawPicture(void*, const ZavPhotoEntry* photo, const ZavPictureRecord&, const ZavRect& frame) override
    {
        return Add({1, frame, "", photo, {}});
    }
    int DrawLine(void*, const ZavLineRecord& line) override { return Add({2, line.rectT1, "", nullptr, {}}); }
    int DrawString(void*, const ZavStringRecord& s) override
    {
        return Add({3, s.rectT1, s.text, nullptr, {}});
    }
    int DrawPictureInBand(void*, const ZavPhotoEntry* photo, const ZavPictureRecord&, const ZavRect& frame,
                          const ZavBandLimits& band) override
    {
        return Add({5, frame, "", photo, band});
    }
    int DrawLineInBand(void*, const ZavLineRecord& line, const ZavBandLimits& band) override
    {
        return Add({6, line.rectT0, "", nullptr, band});
    }
    int DrawStringInBand(void*, const ZavStringRecord& s, const ZavBandLimits& band) override
    {
        return Add({7, s.rectT0, s.text, nullptr, band});
    }
    int StartSubBand(void*, const ZavRect& r) override { return Add({9, r, "", nullptr, {}}); }
    int EndSubBand(void*, const ZavRect& r, std::int32_t* shift) override
    {
        *shift = subShift;
        return Add({10, r, "", nullptr, {}});
    }
    int StartBand(void*, const ZavRect& r) override { return Add({11, r, "", nullptr, {}}); }
    int EndBand(void*, const ZavRect& r, std::int32_t* shift) override
    {
        *shift = bandShift;
        return Add({12, r, "", nullptr, {}});
    }
    std::vector<int> Slots() const
    {
        std::vector<int> s;
        for (const Call& c : calls)
            s.push_back(c.slot);
        return s;
    }

private:
    int Add(Call c)
    {
        calls.push_back(c);
        if (hook)
            hook();
        return static_cast<int>(calls.size()) - 1 == failAt ? failWith : 0;
    }
};

bool operator==(const ZavRect& a, const ZavRect& b)
{
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

class Dir
{
public:
    Dir()
    {
        path = fs::temp_directory_path() / ("framekit-draw-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Dir() { fs::remove_all(path); }
    std::string Write(const std::string& name, const std::string& bytes, std::time_t mtime = 0) const
    {
        std::string p = (path / name).string();
        std::ofstream(p, std::ios::binary) << bytes;
        if (mtime != 0) {
            utimbuf t{mtime, mtime};
            ::utime(p.c_str(), &t);
        }
        return p;
    }
    fs::path path;
};

ZavPhotoEntry Photo(const std::string& path, std::int32_t w = 400, std::int32_t h = 300, std::uint8_t rot = 0)
{
    ZavPhotoEntry e;
    e.kind = 0;
    std::strncpy(e.path, path.c_str(), sizeof e.path - 1);
    e.width = w;
    e.height = h;
    e.rotation = rot;
    return e;
}

std::string ExifJpeg(const std::vector<std::pair<std::uint16_t, std::string>>& dates)
{
    Tiff t;
    t.ifd0 = {t.Ascii(272, "Model Z")};
    for (const auto& [tag, text] : dates)
        (tag == 306 ? t.ifd0 : t.exif).push_back(t.Ascii(tag, text));
    t.exif.push_back(t.Rational(33434, 1, 250));
    t.exif.push_back(t.Rational(33437, 28, 10));
    t.exif.push_back(t.Short(34855, 100));
    t.exif.push_back(t.Short(37385, 0));
    return Jpeg(Jfif() + ExifSegment(t.Build()));
}

std::string Expand(DrawAssist& a, const std::string& tmpl, const ZavPhotoEntry* photo, int number = 7,
                   int size = 64, int* rc = nullptr)
{
    std::vector<char> out(static_cast<std::size_t>(size), 'x');
    int r = a.ExpandMacros(out.data(), size, tmpl.c_str(), photo, number);
    if (rc != nullptr)
        *rc = r;
    return out.data();
}

TEST(DrawAssistMacros, ExpandsEveryMacroOfAPhotoWithExif)
{
    Dir dir;
    ZavPhotoEntry p = Photo(dir.Write("p.jpg", ExifJpeg({{36867, "2003:07:31 00:15:00"}})));
    DrawAssist a(nullptr, nullptr);
    const struct
    {
        const char* tmpl;
        const char* out;
    } cases[] = {
        {"%Y/%L/%D", "2003/07/31"},
        {"%y", "03"},
        {"%h%t", "12am"},
        {"%H:%M:%S %T", "00:15:00 AM"},
        {"%l %d %m %s", "7 31 15 0"},
        {"%G %g", "July Jul"},
        {"%W %w", "Thursday Thu"},
        {"%N %n", "007 7"},
        {"100%%", "100%"},
        {"%Q", ""},
        {"a%\"b", "a\"b"},
        {"%E %U %I %C", "1/250s F2.8 ISO100 Model Z"},
        {"%A", "OFF"},
        {"%f", "p.jpg"},
        {"end%", "end"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Expand(a, c.tmpl, &p), c.out) << c.tmpl;
    EXPECT_EQ(Expand(a, "%F", &p, 7, 512), p.path);
}

TEST(DrawAssistMacros, CutsWhatDoesNotFitAtACharacterBoundary)
{
    Dir dir;
    DrawAssist a(nullptr, nullptr);
    const struct
    {
        const char* date;
        const char* tmpl;
        int size;
        const char* out;
        int rc;
    } cases[] = {
        {"2003:07:31 00:15:00", "%G", 8, "July", 0},
        {"2003:09:30 00:15:00", "%G", 8, "Septemb", ZAV_ERR_MACRO},
        {"2003:09:30 00:15:00", "ab%Y", 5, "ab20", ZAV_ERR_MACRO},
        // Shift-JIS: two characters of two bytes each, then one more.
        {"2003:09:30 00:15:00", "\x93\xfa\x95\x74\x82\xa0", 6, "\x93\xfa\x95\x74", ZAV_ERR_MACRO},
        {"2003:09:30 00:15:00", "a\x93\xfa\x95\x74", 5, "a\x93\xfa", ZAV_ERR_MACRO},
        {"2003:09:30 00:15:00", "\x93\xfa", 3, "\x93\xfa", 0},
        {"2003:09:30 00:15:00", "%G", 1, "", ZAV_ERR_MACRO},
    };
    for (const auto& c : cases) {
        ZavPhotoEntry p = Photo(dir.Write("p.jpg", ExifJpeg({{36867, c.date}})));
        int rc = -1;
        EXPECT_EQ(Expand(a, c.tmpl, &p, 7, c.size, &rc), c.out) << c.tmpl << " " << c.size;
        EXPECT_EQ(rc, c.rc) << c.tmpl << " " << c.size;
    }
    // A photo's path that cuts inside a character keeps the whole character out.
    ZavPhotoEntry p = Photo(dir.Write("\x93\xfa.jpg", ExifJpeg({})));
    std::string name = std::string("\x93\xfa.jpg");
    int rc = 0;
    EXPECT_EQ(Expand(a, "a%f", &p, 7, 3, &rc), "a");
    EXPECT_EQ(rc, ZAV_ERR_MACRO);
}

// Sets the process's zone for one test and puts the old one back.
class ZoneGuard
{
public:
    explicit ZoneGuard(const char* zone)
    {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (m_had)
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneGuard()
    {
        m_had ? ::setenv("TZ", m_old.c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

TEST(DrawAssistMacros, ChoosesTheFirstExifDateAndFallsBackToTheLocalFileTime)
{
    ZoneGuard zone("XYZ-9"); // nine hours east of UTC
    Dir dir;
    DrawAssist a(nullptr, nullptr);
    // 30 July 2003 20:00 UTC is 31 July 05:00 in the test's zone.
    const std::time_t mtime = 1059595200;
    const std::string fileTime = "2003/07/31 05:00 Thu";
    const struct
    {
        const char* name;
        std::vector<std::pair<std::uint16_t, std::string>> dates;
        std::string out;
    } cases[] = {
        {"original wins",
         {{306, "2001:01:01 01:01:01"}, {36867, "2003:07:31 00:15:00"}, {36868, "2002:02:02 02:02:02"}},
         "2003/07/31 00:15 Thu"},
        {"colon misplaced",
         {{306, "2001:01:01 01:01:01"}, {36867, "2003:07:31 00:1500:"}, {36868, "2002:02:02 02:02:02"}},
         "2002/02/02 02:02 Sat"},
        {"digitized not of the form",
         {{306, "2001:01:01 01:01:01"}, {36867, "2003-07-31 00:15:00"}, {36868, "2002:02:02"}},
         "2001/01/01 01:01 Mon"},
        {"leading spaces read as zeros", {{36867, "2003: 7: 1  0: 5: 9"}}, "2003/07/01 00:05 Tue"},
        {"month 13", {{36867, "2003:13:31 00:15:00"}, {36868, "2002:02:02 02:02:02"}}, fileTime},
        {"hour 24", {{36867, "2003:07:31 24:15:00"}}, fileTime},
        {"year before 1900", {{36867, "1899:12:31 00:15:00"}}, fileTime},
        {"no date", {}, fileTime},
    };
    for (const auto& c : cases) {
        ZavPhotoEntry p = Photo(dir.Write("p.jpg", ExifJpeg(c.dates), mtime));
        EXPECT_EQ(Expand(a, "%Y/%L/%D %H:%M %w", &p), c.out) << c.name;
    }
    // No photo, and a photo entry that gives none: no date at all, and its path is not read.
    ZavPhotoEntry none = Photo(dir.Write("q.jpg", ExifJpeg({{36867, "2003:07:31 00:15:00"}}), mtime));
    none.kind = 1;
    for (const ZavPhotoEntry* p :
         {static_cast<const ZavPhotoEntry*>(nullptr), static_cast<const ZavPhotoEntry*>(&none)})
        EXPECT_EQ(Expand(a, "[%L|%l|%G|%W|%F|%C]", p), "[00|0||||]");
}

TEST(DrawAssistMacros, WeekdaysAcrossTheYears)
{
    const struct
    {
        int y, m, d, w;
    } cases[] = {{1900, 1, 1, 1},    {2000, 2, 29, 2},  {2003, 7, 31, 4}, {9999, 12, 31, 5},
                 {1899, 12, 31, -1}, {10000, 1, 1, -1}, {2003, 0, 1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ZavWeekday(c.y, c.m, c.d), c.w) << c.y << "-" << c.m << "-" << c.d;
}

TEST(DrawAssistBands, SplitsByTheRules)
{
    const struct
    {
        std::int32_t L, H, M;
        int rc;
        std::vector<std::int32_t> bands;
    } cases[] = {
        {2500, 1000, 300, 0, {1000, 1000, 500}}, // the remainder is large enough
        {2500, 1000, 600, 0, {1000, 750, 750}},  // the last two share
        {200, 1000, 300, ZAV_ERR_ARGUMENT, {}},  // shorter than the minimum
        {2500, 0, 0, 0, {2500}},                 // banding off
        {800, 1000, 300, 0, {800}},              // one band
        {1500, 1000, 700, 0, {750, 750}},        // two halves
        {1501, 1000, 700, 0, {750, 751}},
        {1500, 1000, 800, ZAV_ERR_ARGUMENT, {}}, // halves below the minimum
        {2150, 1000, 700, 0, {716, 717, 717}},   // every band L / n, the remainder on the last two
        {2100, 1000, 900, ZAV_ERR_ARGUMENT, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::int32_t> bands;
        EXPECT_EQ(ZavSplitBands(c.L, c.H, c.M, &bands), c.rc) << c.L << " " << c.H << " " << c.M;
        if (c.rc == 0) {
            EXPECT_EQ(bands, c.bands) << c.L << " " << c.H << " " << c.M;
        }
    }
}

TEST(DrawAssistBands, EverySplitAddsUpAndStaysWithinTheLimits)
{
    int split = 0, last = 0;
    for (std::int32_t H : {7, 100, 333, 1000})
        for (std::int32_t M = 0; M <= H; M += H / 7 + 1)
            for (std::int32_t L = M; L <= 5 * H + 3; L += 1 + H / 50) {
                std::vector<std::int32_t> bands;
                if (ZavSplitBands(L, H, M, &bands) != 0)
                    continue;
                ++split;
                std::int64_t sum = 0;
                for (std::int32_t b : bands) {
                    sum += b;
                    EXPECT_TRUE(b >= M && b <= H) << L << " " << H << " " << M << " band " << b;
                }
                EXPECT_EQ(sum, L) << L << " " << H << " " << M;
                if (bands.size() >= 3 && bands[0] != H)
                    ++last; // the rule that shares L / n
            }
    EXPECT_GT(split, 1000);
    EXPECT_GT(last, 0);
}

TEST(DrawAssistPlace, FitsPhotosByModeScalingAnchorAndRotation)
{
    DrawAssist a(nullptr, nullptr);
    const struct
    {
        const char* name;
        std::int32_t pw, ph;
        std::uint8_t fit, rot, scaling, anchor;
        std::int32_t w, h;
        std::uint8_t derived;
        ZavRect visible, place;
    } cases[] = {
        // Frame 0..199 x 0..199 throughout.
        {"inside, centre", 400, 300, 3, 0, 0, 4, 200, 150, 1, {0, 0, 199, 149}, {0, 25, 199, 174}},
        {"inside, start", 400, 300, 3, 0, 0, 0, 200, 150, 1, {0, 0, 199, 149}, {0, 0, 199, 149}},
        {"inside, end", 400, 300, 3, 0, 0, 8, 200, 150, 1, {0, 0, 199, 149}, {0, 50, 199, 199}},
        {"inside, end of the derived side",
         400,
         300,
         3,
         0,
         0,
         6,
         200,
         150,
         1,
         {0, 0, 199, 149},
         {0, 50, 199, 199}},
        {"fill, centre", 400, 300, 3, 0, 1, 4, 267, 200, 0, {34, 0, 233, 199}, {0, 0, 199, 199}},
        {"fill, end", 400, 300, 3, 0, 1, 8, 267, 200, 0, {67, 0, 266, 199}, {0, 0, 199, 199}},
        {"stretch", 400, 300, 3, 0, 2, 4, 200, 200, 1, {0, 0, 199, 199}, {0, 0, 199, 199}},
        {"photo size", 400, 300, 0, 0, 0, 0, 400, 300, 1, {0, 0, 199, 199}, {0, 0, 199, 199}},
        {"shrink only, shrinks", 400, 300, 1, 0, 0, 4, 200, 150, 1, {0, 0, 199, 149}, {0, 25, 199, 174}},
        {"shrink only, small photo", 100, 75, 1, 0, 0, 4, 100, 75, 1, {0, 0, 99, 74}, {50, 62, 149, 136}},
        {"enlarge only, large photo", 400, 300, 2, 0, 0, 0, 400, 300, 1, {0, 0, 199, 199}, {0, 0, 199, 199}},
        {"enlarge only, enlarges", 100, 75, 2, 0, 0, 0, 200, 150, 1, {0, 0, 199, 149}, {0, 0, 199, 149}},
        {"quarter turn", 400, 300, 3, 1, 0, 4, 200, 150, 0, {0, 0, 149, 199}, {25, 0, 174, 199}},
        {"half turn", 400, 300, 3, 2, 0, 4, 200, 150, 1, {0, 0, 199, 149}, {0, 25, 199, 174}},
        {"three quarters, start", 400, 300, 3, 3, 0, 0, 200, 150, 0, {0, 0, 149, 199}, {0, 0, 149, 199}},
        {"three quarters, end", 400, 300, 3, 3, 0, 6, 200, 150, 0, {0, 0, 149, 199}, {50, 0, 199, 199}},
    };
    for (const auto& c : cases) {
        ZavPlacementRecord r;
        r.photoWidth = c.pw;
        r.photoHeight = c.ph;
        r.fitMode = c.fit;
        r.x1 = 0, r.y1 = 0, r.x2 = 199, r.y2 = 199;
        r.rotation = c.rot;
        r.scaling = c.scaling;
        r.anchor = c.anchor;
        ZavPlacement out;
        ASSERT_EQ(a.PlacePicture(r, &out), 0);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(out.width, c.w);
        EXPECT_EQ(out.height, c.h);
        EXPECT_EQ(out.heightDerived, c.derived);
        EXPECT_TRUE(out.visible == c.visible)
            << out.visible.x1 << "," << out.visible.y1 << "," << out.visible.x2 << "," << out.visible.y2;
        EXPECT_TRUE(out.place == c.place)
            << out.place.x1 << "," << out.place.y1 << "," << out.place.x2 << "," << out.place.y2;
    }
    // A frame that is not square: a derived side within 1 of the frame's becomes the frame's.
    ZavPlacementRecord r;
    r.photoWidth = 397, r.photoHeight = 300, r.fitMode = 3, r.x1 = 10, r.y1 = 20, r.x2 = 209, r.y2 = 169;
    ZavPlacement out;
    ASSERT_EQ(a.PlacePicture(r, &out), 0);
    EXPECT_EQ(out.width, 200);
    EXPECT_EQ(out.height, 150);
    EXPECT_TRUE(out.place == (ZavRect{10, 20, 209, 169}));
}

const std::string kLayout = "[HEADER]\r\nHdRevision=2.10\r\nHdTitle=\"Card\"\r\nHdDirection=Vertical\r\n"
                            "HdPhysicalPaperSize=HAGAKI\r\nHdMargines=0,0,0,0\r\n[PAGE]\r\n"
                            "DrawPicture(\".\\bg.bmp\",0,0,0,2097,1417,0,0,0)\r\n"
                            "DrawPicture(\"\",1,100,200,300,400,1,1,3)\r\n"
                            "DrawLine(0,10,100,10,4,0,0,0)\r\n"
                            "DrawStrings(\"\",1,\"No %N\",0,0,50,20,1,\"F\",0,1,2,3)\r\n"
                            "DrawStrings(\"\",0,\"x%n\",600,600,700,700,0,\"F\",0,1,2,3)\r\n";

class DrawingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(
            sdk.OpenLayoutText(dir.path.c_str(), static_cast<std::int32_t>(kLayout.size()), kLayout.data()),
            ZAV_OK);
        photos[0] = Photo(dir.Write("p.jpg", ExifJpeg({{36867, "2003:07:31 00:15:00"}})));
    }
    Dir dir;
    ZAV_SDK_PACK sdk;
    RecordingTarget target;
    ZavPhotoEntry photos[1];
};

TEST_F(DrawingTest, PassesTheItemsInFileOrderWithTheirConvertedGeometry)
{
    EXPECT_EQ(sdk.DrawLayout(1, photos, nullptr), ZAV_ERR_BUSY); // no target yet
    ZavBandRecord bands{0, 500, 100};
    EXPECT_EQ(sdk.DrawLayoutInBands(1, photos, nullptr, &bands), ZAV_ERR_BUSY);
    ZavConversion conv;
    conv.kind = 1;
    conv.scale = 0.5;
    conv.originX = 10;
    conv.originY = 20;
    ASSERT_EQ(sdk.SetConversion(1, &conv), ZAV_OK);
    ASSERT_EQ(sdk.SetDrawTarget(&target), ZAV_OK);
    ASSERT_EQ(sdk.DrawLayout(1, photos, nullptr), ZAV_OK);
    ASSERT_EQ(target.Slots(), (std::vector<int>{1, 1, 2, 3, 3}));
    EXPECT_TRUE(target.calls[0].rect == (ZavRect{10, 20, 1058, 728}));
    EXPECT_EQ(target.calls[0].photo, nullptr); // a fixed picture
    EXPECT_TRUE(target.calls[1].rect == (ZavRect{60, 120, 160, 220}));
    EXPECT_EQ(target.calls[1].photo, &photos[0]);
    EXPECT_TRUE(target.calls[2].rect == (ZavRect{10, 25, 60, 26})); // a line 4 wide
    EXPECT_EQ(target.calls[3].text, "No 001");
    EXPECT_TRUE(target.calls[3].rect == (ZavRect{10, 20, 35, 30}));
    EXPECT_EQ(target.calls[4].text, "x0");
    EXPECT_EQ(sdk.IsBusy(), ZAV_OK);
}

TEST_F(DrawingTest, ANonZeroAnswerEndsTheDrawing)
{
    ASSERT_EQ(sdk.SetDrawTarget(&target), ZAV_OK);
    target.failAt = 2;
    target.failWith = 4321;
    EXPECT_EQ(sdk.DrawLayout(1, photos, nullptr), 4321);
    EXPECT_EQ(target.calls.size(), 3u);
    target.calls.clear();
    target.failAt = 1; // the first band's first item, after its start
    ZavBandRecord bands{0, 500, 100};
    EXPECT_EQ(sdk.DrawLayoutInBands(1, photos, nullptr, &bands), 4321);
    EXPECT_EQ(target.Slots(), (std::vector<int>{11, 9}));
    EXPECT_EQ(sdk.IsBusy(), ZAV_OK);
    target.failAt = -1;
    target.calls.clear();
    EXPECT_EQ(sdk.DrawLayout(1, photos, nullptr), ZAV_OK);
}

TEST_F(DrawingTest, InsideACallbackTheReaderAnswersQueriesOnly)
{
    ASSERT_EQ(sdk.SetDrawTarget(&target), ZAV_OK);
    std::vector<int> answers;
    target.hook = [&] {
        if (!answers.empty())
            return;
        LayoutHeaderRecord h;
        ZavItemRecord item;
        ZavConversion conv;
        std::int32_t count = 0;
        const std::uint8_t codes[3] = {0, 0, 0};
        ZavBandRecord bands{0, 500, 100};
        answers = {
            sdk.GetLayoutHeader(&h),
            sdk.GetItem(0, &item),
            sdk.GetConversion(0, &conv),
            sdk.IsBusy(),
            sdk.OpenLayoutText(dir.path.c_str(), static_cast<std::int32_t>(kLayout.size()), kLayout.data()),
            sdk.OpenLayout((dir.path / "x.usd").c_str()),
            sdk.SearchLayouts(&count, 0, 0, dir.path.c_str(), 0),
            sdk.SetInsertFrameCodes(0, 0, codes),
            sdk.SetConversion(0, &conv),
            sdk.SetInsertFrameValue(0, 1),
            sdk.SetDrawTarget(&target),
            sdk.DrawLayout(1, photos, nullptr),
            sdk.DrawLayoutInBands(1, photos, nullptr, &bands),
        };
    };
    ASSERT_EQ(sdk.DrawLayout(1, photos, nullptr), ZAV_OK);
    const int B = ZAV_ERR_BUSY;
    EXPECT_EQ(answers, (std::vector<int>{0, 0, 0, B, B, B, B, B, B, B, B, B, B}));
    EXPECT_EQ(sdk.IsBusy(), ZAV_OK);
}

TEST_F(DrawingTest, BandsPassOnlyTheItemsThatOverlapThem)
{
    ASSERT_EQ(sdk.SetDrawTarget(&target), ZAV_OK);
    ZavConversion conv;
    ASSERT_EQ(sdk.GetConversion(0, &conv), ZAV_OK);
    ASSERT_EQ(conv.height, 1417);
    ZavBandRecord bands{0, 500, 100};
    ASSERT_EQ(sdk.DrawLayoutInBands(1, photos, nullptr, &bands), ZAV_OK);
    // Bands 500, 500 and 417 of a page of 1417 rows.
    ASSERT_EQ(target.Slots(),
              (std::vector<int>{11, 9, 5, 5, 6, 7, 10, 12, 11, 9, 5, 7, 10, 12, 11, 9, 5, 10, 12}));
    EXPECT_TRUE(target.calls[1].rect == (ZavRect{0, 0, conv.width - 1, 499}));
    EXPECT_EQ(target.calls[2].band.top, 0);
    EXPECT_EQ(target.calls[2].band.bottom, 499);
    EXPECT_EQ(target.calls[11].text, "x0");
    EXPECT_EQ(target.calls[11].band.top, 500);
    EXPECT_TRUE(target.calls[14].rect == (ZavRect{0, 1000, conv.width - 1, 999 + 417}));

    // Without banding: one band, no band start or end.
    target.calls.clear();
    ZavBandRecord off{0, 0, 0};
    ASSERT_EQ(sdk.DrawLayoutInBands(1, photos, nullptr, &off), ZAV_OK);
    EXPECT_EQ(target.Slots(), (std::vector<int>{9, 5, 5, 6, 7, 7, 10}));

    // A page shorter than the minimum band.
    ZavBandRecord big{0, 2000, 1500};
    EXPECT_EQ(sdk.DrawLayoutInBands(1, photos, nullptr, &big), ZAV_ERR_ARGUMENT);
}

TEST_F(DrawingTest, TheEndOfBandShiftMovesTheOrigin)
{
    ASSERT_EQ(sdk.SetDrawTarget(&target), ZAV_OK);
    target.subShift = 500; // every band comes back to the top
    ZavBandRecord bands{0, 500, 100};
    ASSERT_EQ(sdk.DrawLayoutInBands(1, photos, nullptr, &bands), ZAV_OK);
    ZavConversion conv;
    ASSERT_EQ(sdk.GetConversion(0, &conv), ZAV_OK);
    EXPECT_EQ(conv.originY, -1500);
    // The string at 600..700 lands in the second band, moved up by the first band's shift.
    const auto it =
        std::find_if(target.calls.begin(), target.calls.end(),
                     [](const RecordingTarget::Call& c) { return c.slot == 7 && c.text == "x0"; });
    ASSERT_NE(it, target.calls.end());
    EXPECT_EQ(it->rect.y1, 100);
    EXPECT_EQ(it->band.top, 0);
    EXPECT_EQ(it->band.bottom, 499);
    target.bandShift = 0;
}

TEST(DrawingRollPaper, ExtentGrowsWithAnOpenHeightFrameFittedToItsPhoto)
{
    Dir dir;
    const std::string layout = "[HEADER]\r\nHdRevision=2.10\r\nHdTitle=\"Roll\"\r\nHdDirection=Vertical\r\n"
                               "HdPhysicalPaperSize=R89\r\nHdMargines=0,0,0,0\r\n[PAGE]\r\n"
                               "DrawPicture(\"\",1,100,100,500,N,0,0,0)\r\n"
                               "DrawLine(0,300,100,300,4,0,0,0)\r\n"; // rows 300 to 303
    ZAV_SDK_PACK sdk;
    ASSERT_EQ(sdk.OpenLayoutText(dir.path.c_str(), static_cast<std::int32_t>(layout.size()), layout.data()),
              0);
    ZavConversion conv;
    ASSERT_EQ(sdk.GetConversion(1, &conv), 0);
    const struct
    {
        const char* name;
        std::int32_t count;
        ZavPhotoEntry photo;
        std::int32_t length;
    } cases[] = {
        {"portrait photo", 1, Photo("/none", 400, 800), 100 + 802},
        {"turned photo", 1, Photo("/none", 800, 400, 1), 100 + 802},
        {"landscape photo", 1, Photo("/none", 802, 401), 304},
        {"no photo", 1, ZavPhotoEntry{}, 304},
        {"frame beyond the count", 0, Photo("/none", 400, 800), 304},
    };
    for (const auto& c : cases) {
        ZavExtent e;
        ASSERT_EQ(sdk.GetPageExtent(&e, 1, c.count, &c.photo), 0) << c.name;
        EXPECT_EQ(e.height, c.length) << c.name;
        EXPECT_EQ(e.width, conv.width) << c.name;
    }
}

TEST(DrawingSlots, RefuseInvalidPhotosBandsAndPlacements)
{
    ZAV_SDK_PACK sdk;
    ZavExtent e;
    ZavPhotoEntry ok = Photo("/p.jpg");
    EXPECT_EQ(sdk.GetPageExtent(&e, 1, 1, &ok), ZAV_ERR_BUSY); // no layout
    EXPECT_EQ(sdk.DrawLayout(1, &ok, nullptr), ZAV_ERR_BUSY);
    EXPECT_EQ(sdk.SetDrawTarget(nullptr), ZAV_ERR_ARGUMENT);

    std::vector<ZavPhotoEntry> bad(4, ok);
    bad[0].width = 0;
    bad[1].height = 0;
    bad[2].rotation = 4;
    bad[3].width = -5;
    ZavBandRecord band{0, 500, 100};
    for (const ZavPhotoEntry& p : bad) {
        EXPECT_EQ(sdk.GetPageExtent(&e, 1, 1, &p), ZAV_ERR_ARGUMENT);
        EXPECT_EQ(sdk.DrawLayout(1, &p, nullptr), ZAV_ERR_ARGUMENT);
        EXPECT_EQ(sdk.DrawLayoutInBands(1, &p, nullptr, &band), ZAV_ERR_ARGUMENT);
    }
    // An entry that gives no photo is not checked; a null array with entries is refused.
    ZavPhotoEntry none = bad[0];
    none.kind = 1;
    EXPECT_EQ(sdk.DrawLayout(1, &none, nullptr), ZAV_ERR_BUSY);
    EXPECT_EQ(sdk.DrawLayout(1, nullptr, nullptr), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.DrawLayout(0, nullptr, nullptr), ZAV_ERR_BUSY);
    EXPECT_EQ(sdk.DrawLayout(-1, &ok, nullptr), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.GetPageExtent(&e, 2, 1, &ok), ZAV_ERR_ARGUMENT);

    const ZavBandRecord bands[] = {{-1, 500, 100}, {0, -1, 0}, {0, 500, -1}, {200, 500, 100}, {0, 500, 600}};
    for (const ZavBandRecord& b : bands)
        EXPECT_EQ(sdk.DrawLayoutInBands(1, &ok, nullptr, &b), ZAV_ERR_ARGUMENT);
    ZavBandRecord unbanded{200, 0, 100}; // without a band height the order is not checked
    EXPECT_EQ(sdk.DrawLayoutInBands(1, &ok, nullptr, &unbanded), ZAV_ERR_BUSY);
    EXPECT_EQ(sdk.DrawLayoutInBands(1, &ok, nullptr, nullptr), ZAV_ERR_ARGUMENT);

    ZavPlacementRecord good;
    good.photoWidth = 10, good.photoHeight = 10, good.x2 = 9, good.y2 = 9;
    ZavPlacement out;
    EXPECT_EQ(sdk.PlacePicture(&good, &out), ZAV_OK); // needs no layout
    const std::function<void(ZavPlacementRecord&)> breaks[] = {
        [](ZavPlacementRecord& r) { r.photoWidth = 0; }, [](ZavPlacementRecord& r) { r.photoHeight = 0; },
        [](ZavPlacementRecord& r) { r.fitMode = 4; },    [](ZavPlacementRecord& r) { r.x1 = 10; },
        [](ZavPlacementRecord& r) { r.y1 = 10; },        [](ZavPlacementRecord& r) { r.rotation = 4; },
        [](ZavPlacementRecord& r) { r.scaling = 3; },    [](ZavPlacementRecord& r) { r.anchor = 9; },
    };
    for (const auto& brk : breaks) {
        ZavPlacementRecord r = good;
        brk(r);
        EXPECT_EQ(sdk.PlacePicture(&r, &out), ZAV_ERR_ARGUMENT);
    }
}

} // namespace
