#include "FrameKit/PZAVPackAnalize.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A member name fills its field with the terminator: twelve bytes fit, thirteen do not.
TEST(PackageLimitsTest, AMemberNameOfTwelveBytesFitsAndThirteenIsRefused)
{
    struct Case
    {
        std::string name;
        int expected;
    };
    const Case cases[] = {
        {"ABCDEF.J", ZAV_OK},                     // eight
        {"ABCDEFG.JPG", ZAV_OK},                  // one less
        {"ABCDEFGH.JPG", ZAV_OK},                 // exactly full
        {"ABCDEFGHI.JPG", ZAV_ERR_NAME_TOO_LONG}, // one more
    };
    ASSERT_EQ(kMemberNameMax, 12u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PZAVPackAnalize analysis;
        EXPECT_EQ(analysis.AddFile(3, "/pictures/source.jpg", c.name.c_str()), c.expected);
        EXPECT_EQ(analysis.GetCount(3), c.expected == ZAV_OK ? 1 : 0);
        // The host name is held to the same limit.
        const std::string host = "/pictures/" + c.name;
        PZAVPackAnalize byHostName;
        EXPECT_EQ(byHostName.AddFile(3, host.c_str()), c.expected);
    }
}

// A collected path is handed out only when it fits with its terminator, and
// nothing is written past the buffer the caller gives.
TEST(PackageLimitsTest, ACollectedPathIsHandedOutOnlyWhenItFitsWithItsTerminator)
{
    const std::string path = "/pictures/folder/picture.jpg";
    PZAVPackAnalize analysis;
    ASSERT_EQ(analysis.AddFile(3, path.c_str()), ZAV_OK);
    struct Case
    {
        const char* name;
        std::size_t outSize;
        bool fits;
    };
    const std::size_t full = path.size() + 1;
    const Case cases[] = {{"one byte to spare", full + 1, true},
                          {"exactly full", full, true},
                          {"one byte short", full - 1, false}};
    constexpr char kGuard = '\x5A';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> buffer(c.outSize + 4, kGuard);
        const int rc = analysis.GetFile(3, 0, buffer.data(), c.outSize);
        for (std::size_t i = c.outSize; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " past the end was written";
        if (c.fits) {
            EXPECT_EQ(rc, ZAV_OK);
            EXPECT_EQ(std::string(buffer.data()), path);
        } else {
            EXPECT_EQ(rc, ZAV_ERR_ARGUMENT);
        }
    }
}

} // namespace
