#include "FrameKit/PhotoInfo.h"

#include "PhotoBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace photo_bytes;
using namespace std::string_literals;

namespace {

struct Result
{
    int rc;
    std::uint32_t flags;
    ZAVPhotoInfo info;
    ZAVVividexRecord record;
};

// The bytes live in a buffer of their exact size, so that any read past them trips the sanitizer.
Result Read(const std::string& bytes)
{
    std::vector<char> exact(bytes.begin(), bytes.end());
    ZAVMemoryByteSource src(exact.data(), exact.size());
    Result r{};
    std::memset(&r.info, 0x55, sizeof r.info);
    r.rc = ExifPhotoInfoReader(src, &r.info, &r.flags, &r.record);
    return r;
}

enum class Wrap { Tiff, Jpeg };

std::string Wrapped(const Tiff& t, Wrap w)
{
    return w == Wrap::Tiff ? t.Build() : Jpeg(Jfif() + ExifSegment(t.Build()));
}

struct Form
{
    bool be;
    Wrap wrap;
};
const Form kForms[] = {{false, Wrap::Tiff}, {true, Wrap::Tiff}, {false, Wrap::Jpeg}, {true, Wrap::Jpeg}};

TEST(PhotoInfoTest, ValueTextsAreTheSameInEveryByteOrderAndContainer)
{
    struct Case
    {
        std::uint32_t en, ed, fn, fd;
        const char* exposure;
        const char* fnumber;
    } cases[] = {
        {1, 250, 28, 10, "1/250s", "F2.8"},
        {2, 1, 56, 10, "2s", "F5.6"},
        {0, 1, 4, 1, "0s", "F4.0"},
        {1, 0, 28, 0, "", ""}, // a zero denominator leaves the text empty
    };
    for (const Form& form : kForms) {
        for (const Case& c : cases) {
            Tiff t;
            t.be = form.be;
            t.ifd0 = {t.Ascii(271, "Maker Co"), t.Ascii(272, "Model Z"), t.Ascii(306, "2003:07:30 10:00:00")};
            t.exif = {t.Rational(33434, c.en, c.ed),
                      t.Rational(33437, c.fn, c.fd),
                      t.Short(34855, 100),
                      t.Ascii(36867, "2003:07:31 00:15:00"),
                      t.Ascii(36868, "2003:07:31 00:16:00"),
                      t.Short(37385, 1)};
            Result r = Read(Wrapped(t, form.wrap));
            SCOPED_TRACE(std::string(form.be ? "MM " : "II ") +
                         (form.wrap == Wrap::Tiff ? "tiff " : "jpeg ") + c.exposure);
            EXPECT_EQ(r.rc, form.wrap == Wrap::Tiff ? ZAV_PHOTO_KIND_TIFF : ZAV_PHOTO_KIND_EXIF);
            EXPECT_STREQ(r.info.exposureText, c.exposure);
            EXPECT_STREQ(r.info.fNumberText, c.fnumber);
            EXPECT_STREQ(r.info.isoText, "ISO100");
            EXPECT_STREQ(r.info.makeText, "Maker Co");
            EXPECT_STREQ(r.info.modelText, "Model Z");
            EXPECT_STREQ(r.info.dateTime, "2003:07:30 10:00:00");
            EXPECT_STREQ(r.info.dateOriginal, "2003:07:31 00:15:00");
            EXPECT_STREQ(r.info.dateDigitized, "2003:07:31 00:16:00");
            EXPECT_EQ(r.info.flash, 2);
            EXPECT_EQ(r.info.unknown, -1);
        }
    }
}

TEST(PhotoInfoTest, ShutterAndApertureCountOnlyWithoutAnEarlierExposureOrFNumber)
{
    struct Case
    {
        const char* name;
        std::vector<int> order; // 0 exposure 1/60, 1 shutter 8 (1/256), 2 fnumber 2.8, 3 aperture 4 (F4.0)
        const char* exposure;
        const char* fnumber;
    } cases[] = {
        {"apex only", {1, 3}, "1/256s", "F4.0"},
        {"exposure first", {0, 1, 2, 3}, "1/60s", "F2.8"},
        {"apex first", {1, 0, 3, 2}, "1/60s", "F2.8"},
    };
    for (const Case& c : cases) {
        Tiff t;
        t.ifd0 = {t.Ascii(272, "M")};
        for (int k : c.order) {
            if (k == 0)
                t.exif.push_back(t.Rational(33434, 1, 60));
            if (k == 1)
                t.exif.push_back(t.Rational(37377, 8, 1, true));
            if (k == 2)
                t.exif.push_back(t.Rational(33437, 28, 10));
            if (k == 3)
                t.exif.push_back(t.Rational(37378, 4, 1));
        }
        Result r = Read(t.Build());
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(r.info.exposureText, c.exposure);
        EXPECT_STREQ(r.info.fNumberText, c.fnumber);
    }
    // A zero denominator leaves the APEX texts empty as well.
    Tiff t;
    t.exif = {t.Rational(37377, 8, 0, true), t.Rational(37378, 4, 0)};
    Result r = Read(t.Build());
    EXPECT_STREQ(r.info.exposureText, "");
    EXPECT_STREQ(r.info.fNumberText, "");
}

TEST(PhotoInfoTest, JpegWithoutExifGivesEmptyTextsAndOtherFilesNothing)
{
    Result jfif = Read(Jpeg(Jfif()));
    EXPECT_EQ(jfif.rc, ZAV_PHOTO_KIND_JFIF);
    EXPECT_EQ(jfif.flags, ZAV_PHOTO_JFIF);
    for (const char* text :
         {jfif.info.exposureText, jfif.info.fNumberText, jfif.info.isoText, jfif.info.modelText,
          jfif.info.dateOriginal, jfif.info.dateDigitized, jfif.info.dateTime})
        EXPECT_STREQ(text, "");
    EXPECT_EQ(Read("BM\x36\0\0\0\0\0\0\0").rc, ZAV_PHOTO_NOTHING);
    EXPECT_EQ(Read("").rc, ZAV_PHOTO_NOTHING);
    EXPECT_EQ(Read("IIX\0").rc, ZAV_PHOTO_NOTHING);

    Result icc = Read(Jpeg(Segment(0xE2, std::string("ICC_PROFILE\0\x01\x01", 14)) +
                           Segment(0xE4, std::string("VLVDX\0stuff", 11))));
    EXPECT_EQ(icc.rc, ZAV_PHOTO_KIND_MAKER);
    EXPECT_EQ(icc.flags, ZAV_PHOTO_ICC | ZAV_PHOTO_VLVDX);
}

TEST(PhotoInfoTest, TextSegmentFillsTheFieldsBetweenItsMarkers)
{
    const char* apertures[] = {"F2.3", "F4", "F5.6", "F11"};
    for (int code = 0; code < 5; ++code) {
        std::string text =
            "Aperture=9\r\n[diag info]\r\nAperture=" + std::to_string(code) +
            "\r\nShutter=125\r\nFlash=1\r\nType=4\r\nTimeDate=2003:07:31 00:15:00\r\n[end]\r\nType=1\r\n";
        Result r = Read(Jpeg(Jfif() + Segment(0xEC, text)));
        SCOPED_TRACE(code);
        EXPECT_EQ(r.rc, ZAV_PHOTO_KIND_TEXT);
        EXPECT_STREQ(r.info.fNumberText, code < 4 ? apertures[code] : "");
        EXPECT_STREQ(r.info.exposureText, "1/125s");
        EXPECT_EQ(r.info.flash, 2);
        EXPECT_STREQ(r.info.modelText, ZavCameraTypeName(4));
        EXPECT_STREQ(r.info.dateOriginal, "2003:07:31 00:15:00");
    }
    // Five codes, four names.
    EXPECT_STREQ(ZavCameraTypeName(3), ZavCameraTypeName(4));
    EXPECT_EQ(ZavCameraTypeName(0), nullptr);
    EXPECT_EQ(ZavCameraTypeName(6), nullptr);
}

std::string Block(const char* version, const std::vector<std::pair<std::uint16_t, std::string>>& entries,
                  bool be)
{
    std::string b =
        std::string("Vividex\0", 8) + version + U16(0, be) + U16(std::uint32_t(entries.size()), be);
    for (const auto& [tag, value] : entries)
        b += U16(tag, be) + value;
    return b;
}

TEST(PhotoInfoTest, PrintBlockIsFoundAtEachPlaceCamerasPutIt)
{
    // The Exif segment starts at 2 (after SOI), its TIFF header at 12.
    const std::uint64_t segment = 2, tiffBase = 12;
    for (bool be : {false, true}) {
        const std::string block = Block("0300", {{1, U16(20, be) + "\0\0"s}, {257, "\x82\0\0\0"s}}, be);
        struct Case
        {
            const char* name;
            std::uint32_t offset;
            std::uint64_t at; // absolute place of the block
        } cases[] = {
            {"tag offset", 400, tiffBase + 400},  {"other base", 400, segment + 400},
            {"segment+768", 9000, segment + 768}, {"segment+1024", 9000, segment + 1024},
            {"offset+55160", 100, 100 + 55160},
        };
        for (const Case& c : cases) {
            Tiff t;
            t.be = be;
            t.ifd0 = {t.Raw(50341, 7, std::uint32_t(block.size()), c.offset)};
            std::string file = "\xFF\xD8" + ExifSegment(t.Build());
            file += Segment(0xE5, std::string(200, 'x'));
            std::string tail = ScanAndEnd();
            if (file.size() + tail.size() < c.at + block.size())
                file += std::string(c.at + block.size() - file.size(), '\0');
            file.replace(c.at, block.size(), block);
            file += tail;
            Result r = Read(file);
            SCOPED_TRACE(std::string(c.name) + (be ? " MM" : " II"));
            EXPECT_TRUE(r.flags & ZAV_PHOTO_PRINT_BLOCK);
            EXPECT_EQ(r.record.version, 300);
            EXPECT_TRUE(r.record.present);
            EXPECT_TRUE(r.record.hasParam[1]);
            EXPECT_TRUE(r.record.hasSwitch[1]);
            EXPECT_EQ(r.record.switchValue[1], 2);
        }
    }
}

TEST(PhotoInfoTest, PrintBlockParserChecksItsValues)
{
    auto parse = [](const std::string& block, ZAVVividexRecord& rec) {
        ZAVMemoryByteSource src(block.data(), block.size());
        return VividexBlockParser({&src, 0, block.size(), false}, &rec);
    };
    ZAVVividexRecord rec;
    struct Case
    {
        const char* name;
        std::string block;
        int rc;
    } invalid[] = {
        {"letters in the version", Block("03a0", {}, false), 2},
        {"wrong word", "Vivideo" + Block("0300", {}, false).substr(7), 2},
        {"entries past the end", Block("0300", {{1, "\x14\0\0\0"s}}, false).substr(0, 20), 2},
        {"too short", std::string("Vividex\0", 8), 2},
        {"no entries", Block("0300", {}, false), 0},
    };
    for (const Case& c : invalid) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse(c.block, rec), c.rc);
    }
    ASSERT_EQ(parse(Block("0300",
                          {{1, "\x05\0\0\0"s},
                           {1, "\x2B\0\0\0"s},
                           {256, "\x0B\0\0\0"s},
                           {258, "\x86\0\0\0"s},
                           {9999, "xxxx"s}},
                          false),
                    rec),
              0);
    EXPECT_FALSE(rec.present); // every value out of its range, the unknown tag skipped

    ASSERT_EQ(parse(Block("0300",
                          {{1, "\x06\0\0\0"s},
                           {7, "\x01\x02\x03\x04"s},
                           {256, "\x0A\0\0\0"s},
                           {263, "\x80\x81\x85\0"s},
                           {272, "\x81\0\0\0"s}},
                          false),
                    rec),
              0);
    EXPECT_TRUE(rec.present);
    EXPECT_TRUE(rec.hasParam[1]);
    EXPECT_EQ(0, std::memcmp(rec.param[7], "\x01\x02\x03\x04", 4));
    EXPECT_TRUE(rec.hasMode);
    EXPECT_EQ(rec.mode, 10);
    ASSERT_TRUE(rec.hasColorSwitch);
    EXPECT_EQ(rec.colorSwitch[0], 0);
    EXPECT_EQ(rec.colorSwitch[1], 2);
    EXPECT_EQ(rec.colorSwitch[2], 2);
    EXPECT_FALSE(rec.hasSwitch[7]); // tag 272 counts from a later version
    ASSERT_EQ(parse(Block("0310", {{272, "\x81\0\0\0"s}}, false), rec), 0);
    EXPECT_TRUE(rec.hasSwitch[7]);
    EXPECT_EQ(rec.switchValue[7], 1);

    // A block that is not found anywhere.
    Tiff t;
    t.ifd0 = {t.Raw(50341, 7, 40, 300)};
    Result r = Read(Jpeg(ExifSegment(t.Build())));
    EXPECT_FALSE(r.flags & ZAV_PHOTO_PRINT_BLOCK);
    EXPECT_EQ(r.rc, ZAV_PHOTO_KIND_EXIF);
}

TEST(PhotoInfoTest, HostilePhotosReadNothingOutOfBounds)
{
    auto base = [] {
        Tiff t;
        t.ifd0 = {t.Ascii(272, "Model Z")};
        t.exif = {t.Rational(33434, 1, 250), t.Rational(33437, 28, 10)};
        return t;
    };
    struct Case
    {
        const char* name;
        std::string bytes;
        int rc;
        const char* model;
        const char* exposure;
    };
    std::vector<Case> cases;
    {
        Tiff t = base();
        t.ifd0 = {t.Raw(272, 2, 40, 0x7FFFFFF0)};
        cases.push_back({"offset past the end", t.Build(), ZAV_PHOTO_KIND_TIFF, "", "1/250s"});
        cases.push_back({"offset past the end, in a JPEG",
                         Jpeg(ExifSegment(t.Build()) + Segment(0xE9, std::string(300, 'A'))),
                         ZAV_PHOTO_KIND_EXIF, "", "1/250s"});
    }
    {
        Tiff t = base();
        t.exif = {t.Raw(33434, 5, 0x20000001, 8), t.Raw(272, 2, 0xFFFFFFFF, 8)};
        cases.push_back({"count overflowing 32 bits", t.Build(), ZAV_PHOTO_KIND_TIFF, "Model Z", ""});
    }
    {
        // A value inside the file but after the Exif segment must not be taken.
        Tiff t = base();
        std::string model("Outside\0", 8);
        t.ifd0 = {t.Raw(272, 2, 8, 0)};
        // The next segment's data follows the TIFF bytes after its marker and length.
        t.ifd0 = {t.Raw(272, 2, 8, std::uint32_t(t.Build().size() + 4))};
        std::string file = "\xFF\xD8" + ExifSegment(t.Build()) + Segment(0xE9, model) + ScanAndEnd();
        cases.push_back({"value in the next segment", file, ZAV_PHOTO_KIND_EXIF, "", "1/250s"});
    }
    {
        Tiff t = base();
        t.exif.clear();
        t.exifPointsToIfd0 = true;
        cases.push_back({"exif pointer back to IFD0", t.Build(), ZAV_PHOTO_KIND_TIFF, "Model Z", ""});
    }
    {
        std::string seg = ExifSegment(base().Build());
        cases.push_back(
            {"cut segment", "\xFF\xD8" + seg.substr(0, seg.size() - 10), ZAV_PHOTO_NOTHING, "", ""});
        std::string zero = std::string("\xFF\xD8\xFF\xE1\x00\x00", 6) + seg.substr(4) + ScanAndEnd();
        cases.push_back({"zero-length segment", zero, ZAV_PHOTO_NOTHING, "", ""});
        std::string one = std::string("\xFF\xD8\xFF\xE1\x00\x01", 6) + seg.substr(4) + ScanAndEnd();
        cases.push_back({"segment length 1", one, ZAV_PHOTO_NOTHING, "", ""});
        cases.push_back({"no end", "\xFF\xD8" + seg, ZAV_PHOTO_NOTHING, "Model Z", "1/250s"});
    }
    {
        std::string tiff = base().Build();
        cases.push_back({"IFD0 past the end", tiff.substr(0, 4) + U32(5000, false) + tiff.substr(8),
                         ZAV_PHOTO_NOTHING, "", ""});
        cases.push_back({"entries cut", tiff.substr(0, 30), ZAV_PHOTO_KIND_TIFF, "", ""});
        cases.push_back({"header only", tiff.substr(0, 7), ZAV_PHOTO_NOTHING, "", ""});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = Read(c.bytes);
        EXPECT_EQ(r.rc, c.rc);
        EXPECT_STREQ(r.info.modelText, c.model);
        EXPECT_STREQ(r.info.exposureText, c.exposure);
    }
}

TEST(PhotoInfoTest, ReadsFilesThroughTheFileLayer)
{
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("photo-info-" + std::to_string(::getpid()) + ".jpg");
    Tiff t;
    t.exif = {t.Rational(33434, 1, 250)};
    std::string bytes = Jpeg(Jfif() + ExifSegment(t.Build()) + Segment(0xE9, std::string(2000, 'x')));
    std::ofstream(p, std::ios::binary) << bytes;
    ZAVPhotoInfo info;
    std::uint32_t flags = 0;
    ZAVVividexRecord rec;
    EXPECT_EQ(ExifPhotoInfoReader(p.c_str(), &info, &flags, &rec), ZAV_PHOTO_KIND_EXIF);
    EXPECT_STREQ(info.exposureText, "1/250s");
    EXPECT_EQ(flags, ZAV_PHOTO_JFIF | ZAV_PHOTO_EXIF);
    EXPECT_EQ(info.fileSizeKiB, 3);
    fs::remove(p);
    EXPECT_EQ(ExifPhotoInfoReader(p.c_str(), &info, &flags, &rec), ZAV_PHOTO_CANNOT_OPEN);
    EXPECT_EQ(ExifPhotoInfoReader(nullptr, &info, &flags, &rec), ZAV_PHOTO_BAD_ARGUMENT);
    EXPECT_EQ(ExifPhotoInfoReader(p.c_str(), &info, nullptr, &rec), ZAV_PHOTO_BAD_ARGUMENT);
}

} // namespace
