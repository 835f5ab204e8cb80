#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PathResolve.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A folder that does not exist, so the result is the plain join and the same
// on every machine.
const char* const kBase = "/zav-resolve-buffer-probe";
const char* const kReference = "Image\\picture.bmp";
const std::string kResolved = std::string(kBase) + "/Image/picture.bmp";

struct BufferCase
{
    const char* name;
    std::size_t outSize;
    bool fits;
};

std::vector<BufferCase> Cases()
{
    const std::size_t full = kResolved.size() + 1; // the text and its terminator
    return {{"one byte to spare", full + 1, true},
            {"exactly full", full, true},
            {"one byte short", full - 1, false}};
}

TEST(PathResolveBufferTest, TheTerminatorStaysInsideTheBufferAtEveryFit)
{
    constexpr char kGuard = '\x5A';
    for (const BufferCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        // Guard bytes after the buffer the call is given.
        std::vector<char> buffer(c.outSize + 4, kGuard);
        const int rc = ResolveRelativePath(kReference, kBase, buffer.data(), c.outSize);
        for (std::size_t i = c.outSize; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " past the end was written";
        if (c.fits) {
            EXPECT_EQ(rc, ZAV_OK);
            EXPECT_EQ(std::string(buffer.data()), kResolved);
        } else {
            EXPECT_EQ(rc, ZAV_ERR_ARGUMENT);
            EXPECT_EQ(buffer[0], '\0');
        }
    }
}

TEST(PathResolveBufferTest, AnExactlySizedHeapBufferIsNeverOverrun)
{
    // The sanitizer build sees any write past an allocation of exactly outSize.
    for (const BufferCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        auto buffer = std::make_unique<char[]>(c.outSize);
        std::memset(buffer.get(), 'x', c.outSize);
        const int rc = ResolveRelativePath(kReference, kBase, buffer.get(), c.outSize);
        EXPECT_EQ(rc, c.fits ? ZAV_OK : ZAV_ERR_ARGUMENT);
        EXPECT_EQ(std::string(buffer.get()), c.fits ? kResolved : std::string());
    }
}

} // namespace
