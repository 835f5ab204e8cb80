#include "App/CtfFile.h"
#include "App/support/AppTestSupport.h"
#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegLibReader.h"
#include "ImageProcessing/JpegTables.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace {

// --- A reader of the file, written from its layout ------------------------------------

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

unsigned Le16(const std::string& b, std::size_t at)
{
    return std::uint8_t(b[at]) | (unsigned(std::uint8_t(b[at + 1])) << 8);
}

unsigned Le32(const std::string& b, std::size_t at)
{
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}

// The length of the baseline JPEG stream that starts at `at`, end-of-image
// included; 0 when it does not end inside the bytes.
std::size_t StreamLength(const std::string& b, std::size_t at)
{
    if (b.compare(at, 2, "\xFF\xD8") != 0)
        return 0;
    std::size_t pos = at + 2;
    while (pos + 4 <= b.size()) {
        if (std::uint8_t(b[pos]) != 0xFF)
            return 0;
        const std::uint8_t marker = std::uint8_t(b[pos + 1]);
        const std::size_t length = (std::size_t(std::uint8_t(b[pos + 2])) << 8) | std::uint8_t(b[pos + 3]);
        pos += 2 + length;
        if (marker == 0xDA)
            break;
    }
    for (; pos + 1 < b.size(); ++pos)
        if (std::uint8_t(b[pos]) == 0xFF && std::uint8_t(b[pos + 1]) == 0xD9)
            return pos + 2 - at;
    return 0;
}

struct Entry
{
    unsigned tag, type, count, offset;
};

struct Ctf
{
    std::string bytes;
    unsigned length = 0;
    std::vector<Entry> entries;
    std::string data; // the 23 bytes from offset 122
    std::string pageMask, closeUp, closeUpMask, page;

    unsigned U8(unsigned offset) const { return std::uint8_t(data[offset - 122]); }
    unsigned U16(unsigned offset) const { return Le16(data, offset - 122); }
    std::vector<unsigned> Rect(unsigned offset) const
    {
        return {U16(offset), U16(offset + 2), U16(offset + 4), U16(offset + 6)};
    }
};

constexpr std::size_t kBlock = 24; // offsets count from the "II"

void Parse(const std::string& path, Ctf& ctf)
{
    const std::string b = ReadBytes(path);
    ctf.bytes = b;
    ASSERT_GT(b.size(), kBlock + 145);
    ASSERT_EQ(b.substr(0, 4), std::string("\xFF\xD8\xFF\xE7", 4));
    ctf.length = (unsigned(std::uint8_t(b[4])) << 8) | std::uint8_t(b[5]);
    ASSERT_EQ(b.substr(6, 18), std::string("DSC_ZAV_Thumbnail\0", 18));
    ASSERT_EQ(b.substr(kBlock, 4), std::string("II\x00\x01", 4));
    ASSERT_EQ(Le32(b, kBlock + 4), 8u);
    ASSERT_EQ(Le16(b, kBlock + 8), 9u);
    for (unsigned i = 0; i < 9; ++i) {
        const std::size_t at = kBlock + 10 + 12 * i;
        ctf.entries.push_back(Entry{Le16(b, at), Le16(b, at + 2), Le32(b, at + 4), Le32(b, at + 8)});
    }
    ASSERT_EQ(Le32(b, kBlock + 118), 0u);
    ctf.data = b.substr(kBlock + 122, 23);

    std::size_t at = kBlock + 145;
    for (std::string* stream : {&ctf.pageMask, &ctf.closeUp, &ctf.closeUpMask}) {
        const std::size_t n = StreamLength(b, at);
        ASSERT_GT(n, 0u) << "a stored picture at " << at - kBlock;
        *stream = b.substr(at, n);
        at += n;
    }
    // The segment ends where the stored pictures do; the page's stream follows
    // without its start-of-image and ends the file.
    ASSERT_EQ(at, 6 + std::size_t(ctf.length) - 2);
    ASSERT_NE(b.compare(at, 2, "\xFF\xD8"), 0);
    ctf.page = "\xFF\xD8" + b.substr(at);
    ASSERT_EQ(StreamLength(ctf.page, 0), ctf.page.size());
}

struct Decoded
{
    unsigned width = 0, height = 0;
    std::vector<std::uint8_t> bgr; // top row first

    std::array<int, 3> At(unsigned x, unsigned y) const
    {
        const std::uint8_t* p = &bgr[(std::size_t(y) * width + x) * 3];
        return {p[2], p[1], p[0]};
    }
};

// libjpeg's reading of one stream.
bool DecodeWithLibjpeg(const std::string& stream, Decoded& out)
{
    std::FILE* file = fmemopen(const_cast<char*>(stream.data()), stream.size(), "rb");
    if (!file)
        return false;
    ZavJpegLib* lib = ZavJpegLibCreate();
    ZavJpegLibInfo info{};
    bool ok = lib && ZavJpegLibReadHeader(lib, file, &info) && ZavJpegLibStart(lib, ZAV_JPEG_OUT_BGR);
    if (ok) {
        out.width = info.width;
        out.height = info.height;
        out.bgr.assign(std::size_t(info.width) * info.height * 3, 0);
        unsigned done = 0;
        while (ok && done < info.height) {
            unsigned char* row = &out.bgr[std::size_t(done) * info.width * 3];
            unsigned got = 0;
            ok = ZavJpegLibReadRows(lib, &row, 1, &got) && got == 1;
            done += got;
        }
        ok = ok && !ZavJpegLibHitEnd(lib);
        ZavJpegLibFinish(lib);
    }
    ZavJpegLibDestroy(lib);
    std::fclose(file);
    return ok;
}

// The quality our encoder used for a stream: the one whose two scaled tables
// the stream carries; -1 when none does.
int QualityOf(const std::string& stream)
{
    const std::size_t at = stream.find("\xFF\xDB");
    if (at == std::string::npos || at + 4 + 2 * 65 > stream.size())
        return -1;
    auto table = [&](int index) {
        std::array<std::uint8_t, 64> natural{};
        const std::size_t start = at + 4 + std::size_t(index) * 65;
        if (std::uint8_t(stream[start]) != index)
            return natural;
        for (int i = 0; i < 64; ++i)
            natural[JpegTables::kZigzag[i]] = std::uint8_t(stream[start + 1 + i]);
        return natural;
    };
    const auto luminance = table(0);
    const auto chrominance = table(1);
    for (int q = 1; q <= 100; ++q)
        if (JpegTables::ScaleQuantTable(JpegTables::kLuminanceBase, q) == luminance &&
            JpegTables::ScaleQuantTable(JpegTables::kChrominanceBase, q) == chrominance)
            return q;
    return -1;
}

bool Near(const std::array<int, 3>& rgb, int r, int g, int b, int tolerance = 24)
{
    return std::abs(rgb[0] - r) <= tolerance && std::abs(rgb[1] - g) <= tolerance &&
           std::abs(rgb[2] - b) <= tolerance;
}

// --- Pages and frame images ---------------------------------------------------------

// A frame image of the given size; `pixel` gives (R, G, B, mask) at (x, y) counted from the top.
using PixelFn = std::function<std::array<std::uint8_t, 4>(int, int)>;

void WriteFrameImage(const std::string& path, int width, int height, const PixelFn& pixel)
{
    CImage image;
    ASSERT_TRUE(image.Create(width, height));
    ASSERT_TRUE(image.CreateMask());
    std::uint8_t* bits = image.GetBits();
    std::uint8_t* mask = image.GetMask()->GetBits();
    const int stride = image.GetRowBytes();
    const int maskStride = image.GetMask()->GetRowBytes();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto v = pixel(x, y);
            std::uint8_t* p = bits + std::size_t(height - 1 - y) * stride + 4 * x;
            p[0] = v[2];
            p[1] = v[1];
            p[2] = v[0];
            std::uint8_t* m = mask + std::size_t(height - 1 - y) * maskStride + 4 * x;
            m[0] = m[1] = m[2] = v[3];
        }
    ASSERT_EQ(image.SaveAsEff(path, 0, 90), 0);
}

class CtfFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        ASSERT_TRUE(dir.isValid());
        Landscape();
    }
    void Landscape() { ASSERT_TRUE(layout.SetPaperOrientation(1, false)); }
    void Portrait() { ASSERT_TRUE(layout.SetPaperOrientation(0, false)); }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

    CInsertImageFrameItem* AddFrame(RECT rect, int position = -1)
    {
        auto frame = std::make_unique<CInsertImageFrameItem>();
        frame->SetFrameNumber(1);
        frame->SetRect(rect);
        frame->SetImagePlacement(0);
        frame->SetImageRotation(0);
        CInsertImageFrameItem* raw = frame.get();
        EXPECT_TRUE(layout.AddItem(Position(position), std::move(frame)));
        return raw;
    }
    void AddLine(int position = -1)
    {
        auto line = std::make_unique<CLineItem>();
        line->SetRect(RECT{10, 10, 300, 15});
        EXPECT_TRUE(layout.AddItem(Position(position), std::move(line)));
    }
    void AddMacro(int position = -1)
    {
        auto macro = std::make_unique<CMacroStringItem>();
        macro->SetRect(RECT{10, 600, 300, 650});
        EXPECT_TRUE(layout.AddItem(Position(position), std::move(macro)));
    }
    int Position(int position) const
    {
        return position < 0 ? layout.GetItemCount(-1, -1, nullptr) : position;
    }
    // The text image as the set writes it: the printable area plus one.
    std::string FrameImage(const PixelFn& pixel)
    {
        const RECT area = layout.GetPrintableRect();
        const std::string path = Path("ABCDEF.eff");
        WriteFrameImage(path, area.right - area.left + 1, area.bottom - area.top + 1, pixel);
        return path;
    }
    int Make(const std::string& frameImage = std::string(), CCtfFile::RotateFactory rotate = nullptr)
    {
        CCtfFile file = rotate ? CCtfFile(std::move(rotate)) : CCtfFile();
        file.Init(&layout, Path("ABCDEF_0.ctf"), frameImage, 70);
        return file.Make();
    }
    void MakeAndParse(Ctf& ctf, const std::string& frameImage = std::string())
    {
        ASSERT_EQ(Make(frameImage), 1);
        Parse(Path("ABCDEF_0.ctf"), ctf);
    }

    QTemporaryDir dir;
    CLayoutManager layout;
};

// --- The container ------------------------------------------------------------------

TEST_F(CtfFileTest, TheDirectoryAndTheFourStreamsAreWhereTheLayoutSays)
{
    AddFrame(RECT{100, 50, 500, 350});
    Ctf ctf;
    ASSERT_NO_FATAL_FAILURE(MakeAndParse(ctf));

    const unsigned sa = ctf.pageMask.size(), sb = ctf.closeUp.size(), sc = ctf.closeUpMask.size();
    EXPECT_EQ(ctf.length, 165 + sa + sb + sc);
    EXPECT_EQ(ctf.bytes.size(), 4 + ctf.length + ctf.page.size() - 2);
    const std::vector<std::pair<unsigned, unsigned>> expected{
        {0x40, 122}, {0x41, 123}, {0x42, 131},      {0x43, 134},          {0x44, 143},
        {0x45, 144}, {0x50, 145}, {0x51, 145 + sa}, {0x52, 145 + sa + sb}};
    ASSERT_EQ(ctf.entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(ctf.entries[i].tag, expected[i].first);
        EXPECT_EQ(ctf.entries[i].type, 7u);
        EXPECT_EQ(ctf.entries[i].count, 1u);
        EXPECT_EQ(ctf.entries[i].offset, expected[i].second);
    }

    // The camera page 1023 x 703 at 320 / 1023: 320 x 219 from top 10.
    EXPECT_EQ(ctf.U8(122), 0u);
    EXPECT_EQ(ctf.Rect(123), (std::vector<unsigned>{0, 10, 319, 228}));
    EXPECT_EQ(ctf.data.substr(131 - 122, 3), std::string(3, '\0'));
    // The frame floored at the page scale and moved down by 10.
    EXPECT_EQ(ctf.Rect(134), (std::vector<unsigned>{31, 25, 155, 118}));
    EXPECT_EQ(ctf.U8(142), 1u); // photo in front
    EXPECT_EQ(ctf.U8(143), 1u); // unturned photo on a landscape page
    EXPECT_EQ(ctf.U8(144), 2u); // free frame

    for (auto [name, stream] : {std::pair{"page mask", &ctf.pageMask}, std::pair{"close-up", &ctf.closeUp},
                                std::pair{"close-up mask", &ctf.closeUpMask}, std::pair{"page", &ctf.page}}) {
        SCOPED_TRACE(name);
        Decoded picture;
        ASSERT_TRUE(DecodeWithLibjpeg(*stream, picture));
        EXPECT_EQ(picture.width, 320u);
        EXPECT_EQ(picture.height, 240u);
        EXPECT_EQ(QualityOf(*stream), 70);
    }
    // Without drawn content: the page white on black, the photo showing over the page.
    Decoded page, mask;
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.page, page));
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.pageMask, mask));
    EXPECT_TRUE(Near(page.At(160, 120), 255, 255, 255));
    EXPECT_TRUE(Near(page.At(160, 4), 0, 0, 0));
    EXPECT_TRUE(Near(mask.At(160, 120), 255, 255, 255));
    EXPECT_TRUE(Near(mask.At(160, 235), 0, 0, 0));
}

TEST_F(CtfFileTest, InitCapsTheQualityAt70)
{
    for (auto [given, stored] : {std::pair{90, 70}, std::pair{70, 70}, std::pair{50, 50}}) {
        CCtfFile file;
        file.Init(&layout, Path("x.ctf"), std::string(), given);
        EXPECT_EQ(file.GetStartQuality(), stored) << given;
    }
}

// --- The pictures -------------------------------------------------------------------

TEST_F(CtfFileTest, APortraitPageIsComposedUprightAndStoredTurnedLeft)
{
    Portrait();
    AddFrame(layout.GetPrintableRect());
    AddLine();
    // The top quarter of the page red and opaque, the rest white and transparent.
    const RECT area = layout.GetPrintableRect();
    const int quarter = (area.bottom - area.top) / 4;
    const std::string image = FrameImage([&](int, int y) {
        return y < quarter ? std::array<std::uint8_t, 4>{255, 0, 0, 0}
                           : std::array<std::uint8_t, 4>{255, 255, 255, 255};
    });
    Ctf ctf;
    ASSERT_NO_FATAL_FAILURE(MakeAndParse(ctf, image));

    EXPECT_EQ(ctf.U8(122), 1u);
    // 703 x 1023 at 320 / 1023 is 219 x 320 from left 10; turned: (0, 11, 320, 230).
    EXPECT_EQ(ctf.Rect(123), (std::vector<unsigned>{0, 11, 319, 229}));
    EXPECT_EQ(ctf.U8(143), 0u); // an unturned photo on a portrait page

    Decoded page, mask;
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.page, page));
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.pageMask, mask));
    ASSERT_EQ(page.width, 320u);
    ASSERT_EQ(page.height, 240u);
    // The page's top went to the left: red and opaque there, white and transparent to the right.
    EXPECT_TRUE(Near(page.At(20, 120), 255, 0, 0));
    EXPECT_TRUE(Near(mask.At(20, 120), 0, 0, 0));
    EXPECT_TRUE(Near(page.At(300, 120), 255, 255, 255));
    EXPECT_TRUE(Near(mask.At(300, 120), 255, 255, 255));
    // Outside the turned page rectangle the picture stays black and opaque.
    EXPECT_TRUE(Near(page.At(160, 4), 0, 0, 0));
    EXPECT_TRUE(Near(mask.At(160, 236), 0, 0, 0));
}

TEST_F(CtfFileTest, AWideFreeFrameGetsAWideCloseUpCentredInItsPicture)
{
    AddFrame(RECT{100, 100, 500, 300}); // 400 x 200, rotation 0
    Ctf ctf;
    ASSERT_NO_FATAL_FAILURE(MakeAndParse(ctf));
    Decoded closeUp;
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.closeUp, closeUp));
    ASSERT_EQ(closeUp.width, 320u);
    ASSERT_EQ(closeUp.height, 240u);
    // 320 x 160 from top 40: white inside, black above and below.
    for (auto [y, white] : {std::pair{20u, false}, std::pair{44u, true}, std::pair{120u, true},
                            std::pair{195u, true}, std::pair{220u, false}}) {
        SCOPED_TRACE(testing::Message() << "row " << y);
        EXPECT_TRUE(white ? Near(closeUp.At(160, y), 255, 255, 255) : Near(closeUp.At(160, y), 0, 0, 0));
    }
}

TEST_F(CtfFileTest, ATallFrameGetsItsCloseUpTurnedLeftAndTheFrameImageOverIt)
{
    // A 2:3 frame standing on the left of the page; the frame image marks the
    // frame's top half blue.
    CInsertImageFrameItem* frame = AddFrame(RECT{0, 0, 400, 600});
    frame->SetAspectKind(CInsertImageFrameItem::Aspect2x3);
    AddLine();
    const std::string image = FrameImage([](int x, int y) {
        return x < 400 && y < 300 ? std::array<std::uint8_t, 4>{0, 0, 255, 0}
                                  : std::array<std::uint8_t, 4>{255, 255, 255, 255};
    });
    Ctf ctf;
    ASSERT_NO_FATAL_FAILURE(MakeAndParse(ctf, image));
    EXPECT_EQ(ctf.U8(144), 1u);
    Decoded closeUp, mask;
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.closeUp, closeUp));
    ASSERT_TRUE(DecodeWithLibjpeg(ctf.closeUpMask, mask));
    ASSERT_EQ(closeUp.width, 320u);
    ASSERT_EQ(closeUp.height, 240u);
    // Composed 240 x 320 with a 214 x 320 close-up from left 13; turned left,
    // the frame's top half is the left half, its bottom half the right.
    EXPECT_TRUE(Near(closeUp.At(80, 120), 0, 0, 255));
    EXPECT_TRUE(Near(mask.At(80, 120), 0, 0, 0));
    EXPECT_TRUE(Near(closeUp.At(240, 120), 255, 255, 255));
    EXPECT_TRUE(Near(mask.At(240, 120), 255, 255, 255));
    // Beside the close-up rectangle (its 13 rows on either side once turned) all is black.
    EXPECT_TRUE(Near(closeUp.At(160, 4), 0, 0, 0));
    EXPECT_TRUE(Near(closeUp.At(160, 235), 0, 0, 0));
}

TEST_F(CtfFileTest, ThePhotoIsInFrontWhenOnlyMacroStringsComeBeforeIt)
{
    struct Case
    {
        const char* name;
        std::vector<char> items; // front first: f frame, m macro string, l line
        unsigned inFront;
    };
    for (const Case& c :
         {Case{"macro, frame", {'m', 'f'}, 1}, Case{"line, frame", {'l', 'f'}, 0},
          Case{"frame, line", {'f', 'l'}, 1}, Case{"macro, line, frame", {'m', 'l', 'f'}, 0}}) {
        SCOPED_TRACE(c.name);
        layout.DeleteAllItems();
        for (char kind : c.items) {
            if (kind == 'f')
                AddFrame(RECT{100, 100, 500, 400});
            else if (kind == 'm')
                AddMacro();
            else
                AddLine();
        }
        const bool drawn = std::find(c.items.begin(), c.items.end(), 'l') != c.items.end();
        const std::string image = drawn ? FrameImage([](int, int) {
            return std::array<std::uint8_t, 4>{255, 255, 255, 255};
        })
                                        : std::string();
        Ctf ctf;
        ASSERT_NO_FATAL_FAILURE(MakeAndParse(ctf, image));
        EXPECT_EQ(ctf.U8(142), c.inFront);
    }
}

// --- The size limit -----------------------------------------------------------------

TEST_F(CtfFileTest, AnOversizedSegmentLowersTheStoredPicturesInTurn)
{
    // Noise in the frame image's mask swells both masks, noise in its colours
    // the close-up; the page picture never counts towards the segment.
    struct Case
    {
        const char* name;
        int maskNoise, colourNoise;
        int pageMask, closeUp, closeUpMask;
    };
    // Mask noise of 128 gives masks of about 30400 bytes at 70 and 26600 at 60;
    // the colour noise steers the close-up's size.
    for (const Case& c : {Case{"small", 0, 0, 70, 70, 70}, Case{"page mask enough", 128, 16, 60, 70, 70},
                          Case{"close-up too", 128, 24, 60, 60, 70}, Case{"all three", 128, 28, 60, 60, 60},
                          Case{"a second step", 128, 40, 50, 60, 60}}) {
        SCOPED_TRACE(c.name);
        layout.DeleteAllItems();
        AddFrame(layout.GetPrintableRect());
        AddLine();
        std::mt19937 random(7);
        const std::string image = FrameImage([&](int, int) {
            auto noise = [&](int amplitude) {
                return static_cast<std::uint8_t>(
                    amplitude ? 128 - amplitude / 2 + int(random() % (amplitude + 1)) : 128);
            };
            return std::array<std::uint8_t, 4>{noise(c.colourNoise), noise(c.colourNoise),
                                               noise(c.colourNoise), noise(c.maskNoise)};
        });
        Ctf ctf;
        ASSERT_NO_FATAL_FAILURE(MakeAndParse(ctf, image));
        EXPECT_LE(ctf.length, 65535u);
        EXPECT_EQ(ctf.length, 165 + ctf.pageMask.size() + ctf.closeUp.size() + ctf.closeUpMask.size());
        EXPECT_EQ(QualityOf(ctf.pageMask), c.pageMask);
        EXPECT_EQ(QualityOf(ctf.closeUp), c.closeUp);
        EXPECT_EQ(QualityOf(ctf.closeUpMask), c.closeUpMask);
        EXPECT_EQ(QualityOf(ctf.page), 70);
    }
}

// --- Failures -----------------------------------------------------------------------

TEST_F(CtfFileTest, APageWithoutAPhotoFrameGivesNoFile)
{
    AddLine();
    EXPECT_EQ(Make(), 0);
    EXPECT_FALSE(std::filesystem::exists(Path("ABCDEF_0.ctf")));
}

TEST_F(CtfFileTest, AMissingFrameImageFailsWithoutAFile)
{
    AddFrame(RECT{100, 100, 500, 400});
    AddLine();
    EXPECT_EQ(Make(Path("missing.eff")), 0);
    EXPECT_FALSE(std::filesystem::exists(Path("ABCDEF_0.ctf")));
}

class FailingRotate : public CRotate
{
public:
    explicit FailingRotate(std::function<void()> fail) : m_fail(std::move(fail)) {}
    int ExecuteOnImages(int, CImage*, CImage*) override
    {
        m_fail();
        return 1;
    }

private:
    std::function<void()> m_fail;
};

TEST_F(CtfFileTest, AFailedTurnIsAFailureWhateverTheFilterThrows)
{
    Portrait();
    AddFrame(layout.GetPrintableRect());
    struct Case
    {
        const char* name;
        std::function<void()> fail;
    };
    for (const Case& c : {Case{"filter error id", [] { throw ErrorIdSilent; }},
                          Case{"reported error id", [] { throw ErrorIdReported; }},
                          Case{"out of memory", [] { throw 1; }}, Case{"other failure", [] { throw -1; }}}) {
        SCOPED_TRACE(c.name);
        int result = 1;
        EXPECT_NO_THROW(result =
                            Make(std::string(), [&] { return std::make_unique<FailingRotate>(c.fail); }));
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(std::filesystem::exists(Path("ABCDEF_0.ctf")));
    }
}

} // namespace
