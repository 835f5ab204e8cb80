#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

struct NamedFixture
{
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<NamedFixture> AllFixtures(const FixtureFolder& folder)
{
    std::vector<NamedFixture> all;
    const std::vector<std::uint8_t> photo = JpegTestPhoto(48, 40, 3);
    std::vector<std::uint8_t> grey(48 * 40), cmyk(48 * 40 * 4);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = photo[i * 3];
        for (int c = 0; c < 3; ++c)
            cmyk[i * 4 + c] = photo[i * 3 + c];
        cmyk[i * 4 + 3] = static_cast<std::uint8_t>(255 - photo[i * 3] / 4);
    }
    all.push_back({"grey.jpg", JpegFixtureEncode(JpegFixtureKind::Grey, grey.data(), 48, 40)});
    all.push_back({"rgb.jpg", JpegFixtureEncode(JpegFixtureKind::Rgb, photo.data(), 48, 40)});
    all.push_back({"cmyk.jpg", JpegFixtureEncode(JpegFixtureKind::Cmyk, cmyk.data(), 48, 40)});
    all.push_back({"ycck.jpg", JpegFixtureEncode(JpegFixtureKind::Ycck, cmyk.data(), 48, 40)});

    CImage image;
    EXPECT_TRUE(image.Create(48, 40));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x) {
            const std::uint8_t* p = &photo[(y * 48 + x) * 3];
            imagetest::SetPixelAt(image, x, y, static_cast<std::uint32_t>((p[0] << 16) | (p[1] << 8) | p[2]));
        }
    EXPECT_TRUE(image.CreateMask());
    image.GetMask()->FillRect(10, 10, 20, 20, RGB(255, 255, 255));
    const JpegFixedClock clock(EffDateTime{2001, 3, 9, 14, 5, 7});
    EXPECT_EQ(CJpegFile().WriteImage(folder.Path("ours.jpg"), &image, 2, 90), 0);
    EXPECT_EQ(CEFFFile(clock).WriteImage(folder.Path("ours.eff"), &image, 2, 90), 0);
    all.push_back({"ours.jpg", JpegFixtureReadFile(folder.Path("ours.jpg"))});
    all.push_back({"ours.eff", JpegFixtureReadFile(folder.Path("ours.eff"))});

    ExifFixture exif;
    exif.thumbnail = JpegFixtureEncode(JpegFixtureKind::Rgb, photo.data(), 48, 40);
    all.push_back({"exif6.jpg", ExifFixtureFile(exif)});
    exif.bigEndian = true;
    exif.compression = 1;
    exif.width = 48;
    exif.height = 40;
    exif.stripByteCounts = 48 * 40 * 3;
    exif.thumbnail = photo;
    all.push_back({"exif1.jpg", ExifFixtureFile(exif)});
    return all;
}

// Runs every reader on the file; each must fail cleanly or succeed, and leave
// nothing half-made behind.
void ReadEveryWay(const std::string& path)
{
    CJpegFile jpeg;
    CEFFFile eff;
    auto checkImage = [](int result, const CImage& image) {
        ASSERT_GE(result, 0);
        ASSERT_LE(result, 8);
        if (result != 0) {
            ASSERT_FALSE(image.IsValid());
        }
    };
    auto checkBuffer = [](int result, std::uint8_t* pixels, std::uint8_t* plane) {
        ASSERT_GE(result, 0);
        ASSERT_LE(result, 8);
        if (result != 0) {
            ASSERT_EQ(pixels, nullptr);
            ASSERT_EQ(plane, nullptr);
        }
        PageFree(pixels);
        PageFree(plane);
    };
    for (int reader = 0; reader < 2; ++reader) {
        CImageFile& file = reader == 0 ? static_cast<CImageFile&>(jpeg) : eff;
        CImage image;
        checkImage(file.Read(path, &image), image);
        SIZE picture;
        double scale = 0;
        checkImage(file.ReadScaled(path, &image, 30, 30, &picture, &scale, 0, reader, nullptr), image);
        std::uint8_t* pixels = nullptr;
        std::uint8_t* plane = nullptr;
        SIZE size;
        const int result = file.ReadBuffer(path, &pixels, &plane, &size, nullptr);
        checkBuffer(result, pixels, plane);
    }
    CImage thumbnail;
    checkImage(jpeg.ReadExifThumbnail(path, &thumbnail), thumbnail);
    checkImage(eff.ReadThumbnail(path, 0, &thumbnail, nullptr), thumbnail);
    EffHeaderRecord record;
    eff.ReadEffHeader(path, &record);
}

TEST(JpegFileCorruptTest, TruncatedAndCorruptedCopiesOfEveryFixtureFailCleanly)
{
    FixtureFolder folder;
    const std::string path = folder.Path("copy.jpg");
    for (const NamedFixture& fixture : AllFixtures(folder)) {
        SCOPED_TRACE(fixture.name);
        const std::size_t size = fixture.bytes.size();
        for (std::size_t cut : {std::size_t(0), std::size_t(1), std::size_t(3), std::size_t(12),
                                std::size_t(100), size / 4, size / 2, size - 40, size - 2, size - 1}) {
            if (cut >= size)
                continue;
            SCOPED_TRACE("cut " + std::to_string(cut));
            WriteFixtureFile(path,
                             std::vector<std::uint8_t>(fixture.bytes.begin(), fixture.bytes.begin() + cut));
            ReadEveryWay(path);
        }
        for (int n = 1; n < 24; ++n) {
            const std::size_t at = 2 + (size - 3) * n / 24;
            SCOPED_TRACE("corrupt " + std::to_string(at));
            auto copy = fixture.bytes;
            copy[at] ^= 0xA5;
            copy[at / 2 + 1] = 0xFF;
            WriteFixtureFile(path, copy);
            ReadEveryWay(path);
        }
    }
}

TEST(JpegFileCorruptTest, TruncatedStreamEndsWithTheShortReadResult)
{
    FixtureFolder folder;
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (NamedFixture& f : AllFixtures(folder))
        files[f.name] = std::move(f.bytes);
    struct Case
    {
        std::string name;
        bool eff;
    };
    for (const Case& c : {Case{"rgb.jpg", false}, Case{"ycck.jpg", false}, Case{"ours.eff", true}}) {
        SCOPED_TRACE(c.name);
        const auto& bytes = files[c.name];
        const std::string path = folder.Path("cut");
        WriteFixtureFile(path,
                         std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + bytes.size() * 3 / 4));
        CImage image;
        EXPECT_EQ(c.eff ? CEFFFile().Read(path, &image) : CJpegFile().Read(path, &image), 3);
        EXPECT_FALSE(image.IsValid());
    }
}

// Data cut short and then closed with an end marker is as damaged as data
// cut without one; a few stray bytes between segments leave the picture whole.
TEST(JpegFileCorruptTest, CutDataClosedByAnEndMarkerFailsButStrayBytesRead)
{
    FixtureFolder folder;
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (NamedFixture& f : AllFixtures(folder))
        files[f.name] = std::move(f.bytes);
    const auto& bytes = files["rgb.jpg"];
    ASSERT_GT(bytes.size(), 100u);
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
    cut.push_back(0xFF);
    cut.push_back(0xD9);
    const std::string cutPath = folder.Path("cut.jpg");
    WriteFixtureFile(cutPath, cut);
    CImage image;
    EXPECT_EQ(CJpegFile().Read(cutPath, &image), 3);
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size{};
    EXPECT_EQ(CJpegFile().ReadBuffer(cutPath, &pixels, &plane, &size, nullptr), 3);
    PageFree(pixels);
    PageFree(plane);
    std::FILE* stream = std::fopen(cutPath.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    CImage streamed;
    EXPECT_EQ(CJpegFile().ReadStream(stream, &streamed), 3);
    std::fclose(stream);

    // Stray bytes after the first segment that follows the start marker.
    ASSERT_EQ(bytes[2], 0xFF);
    const std::size_t firstEnd = 4 + (static_cast<std::size_t>(bytes[4]) << 8 | bytes[5]);
    std::vector<std::uint8_t> stray(bytes.begin(), bytes.begin() + firstEnd);
    stray.insert(stray.end(), {0x00, 0x12, 0x34});
    stray.insert(stray.end(), bytes.begin() + firstEnd, bytes.end());
    const std::string strayPath = folder.Path("stray.jpg");
    WriteFixtureFile(strayPath, stray);
    const std::string refPath = folder.Path("ref.jpg");
    WriteFixtureFile(refPath, bytes);
    CImage good, reference;
    ASSERT_EQ(CJpegFile().Read(strayPath, &good), 0);
    ASSERT_EQ(CJpegFile().Read(refPath, &reference), 0);
    ASSERT_EQ(good.GetHeight(), reference.GetHeight());
    ASSERT_EQ(good.GetRowBytes(), reference.GetRowBytes());
    EXPECT_EQ(std::memcmp(good.GetBits(), reference.GetBits(),
                          static_cast<std::size_t>(good.GetRowBytes()) * good.GetHeight()),
              0);
}

} // namespace

namespace {

// A small file whose frame header claims a picture its data could never hold.
std::vector<std::uint8_t> WithHugeFrame(std::vector<std::uint8_t> bytes)
{
    for (std::size_t i = 2; i + 9 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = bytes[i + 7] = 0xEA; // 60000 x 60000
            bytes[i + 6] = bytes[i + 8] = 0x60;
            break;
        }
    if (bytes.size() >= 2)
        bytes.resize(bytes.size() - 2); // no end of image: the decoder asks for more instead of refusing
    return bytes;
}

TEST(JpegFileCorruptTest, FrameLargerThanItsDataCouldHoldIsRefusedBeforeAllocating)
{
    FixtureFolder folder;
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (NamedFixture& f : AllFixtures(folder))
        files[f.name] = std::move(f.bytes);
    struct Case
    {
        std::string name;
        bool eff;
    };
    // Four components without restart markers reach the EFF reader's own check.
    for (const Case& c : {Case{"rgb.jpg", false}, Case{"ycck.jpg", false}, Case{"ycck.jpg", true}}) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Path("huge");
        WriteFixtureFile(path, WithHugeFrame(files[c.name]));
        CImage image;
        const bool eff = c.eff;
        EXPECT_EQ(eff ? CEFFFile().Read(path, &image) : CJpegFile().Read(path, &image), 8);
        EXPECT_FALSE(image.IsValid());
    }
}

} // namespace
