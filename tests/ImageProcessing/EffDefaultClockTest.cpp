// The clock of EFF writers given none: the system's unless one is installed,
// and in every test program a fixed one, so that files written a second
// apart are the same bytes.
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/EffFormat.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class Noon : public CEffClock
{
public:
    EffDateTime Now() const override { return {2001, 2, 3, 12, 0, 0}; }
};

TEST(EffDefaultClockTest, TheTestProgramsWritersHaveAFixedClock)
{
    EXPECT_NE(&DefaultEffClock(), &SystemEffClock());
}

TEST(EffDefaultClockTest, AWriterGivenNoClockStampsTheInstalledOneAndNullRestoresTheSystems)
{
    const CEffClock& fixed = DefaultEffClock();
    const Noon noon;
    SetDefaultEffClock(&noon);
    FixtureFolder folder;
    const std::vector<std::uint8_t> pixels(8 * 8 * 4, 0x40), plane(8 * 8, 0);
    const std::string path = folder.Path("noon.eff");
    ASSERT_EQ(CEFFFile().WriteBuffer(path, pixels.data(), plane.data(), 8, 8), 0);
    std::uint8_t prefix[EffFormat::kPrefixSize];
    EffFormat::WritePrefix(prefix, noon.Now());
    const std::vector<std::uint8_t> written = JpegFixtureReadFile(path);
    ASSERT_GE(written.size(), EffFormat::kPrefixSize);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.begin() + EffFormat::kPrefixSize),
              std::vector<std::uint8_t>(prefix, prefix + EffFormat::kPrefixSize));

    SetDefaultEffClock(nullptr);
    EXPECT_EQ(&DefaultEffClock(), &SystemEffClock());
    SetDefaultEffClock(&fixed);
}

} // namespace
