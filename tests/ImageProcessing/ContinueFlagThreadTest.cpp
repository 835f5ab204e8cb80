// The continue flag belongs to the thread that runs the reads: a stop made for
// one thread ends that thread's running read, and the reads of other threads
// neither feel it nor clear it.
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/support/FixtureBmp.h"
#include "ImageProcessing/support/FixtureFiles.h"
#include "ImageProcessing/support/JpegFileFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <future>
#include <thread>

namespace {

// A stream over bytes in memory whose first read waits until the test opens
// the gate, so the test knows that the read has started (and has cleared its
// thread's flag) while it acts.
class GatedStream
{
public:
    explicit GatedStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes))
    {
        m_file = ::fopencookie(this, "rb", {&GatedStream::Read, nullptr, &GatedStream::Seek, nullptr});
    }
    ~GatedStream()
    {
        if (m_file)
            std::fclose(m_file);
    }
    GatedStream(const GatedStream&) = delete;
    GatedStream& operator=(const GatedStream&) = delete;

    std::FILE* File() const { return m_file; }
    void WaitUntilReading() { m_reading.get_future().wait(); }
    void OpenGate() { m_gate.set_value(); }

private:
    static ssize_t Read(void* cookie, char* buffer, std::size_t size)
    {
        auto* self = static_cast<GatedStream*>(cookie);
        if (!self->m_started) {
            self->m_started = true;
            self->m_reading.set_value();
            self->m_gateOpen.wait();
        }
        const std::size_t n = std::min(size, self->m_bytes.size() - self->m_position);
        std::memcpy(buffer, self->m_bytes.data() + self->m_position, n);
        self->m_position += n;
        return static_cast<ssize_t>(n);
    }
    static int Seek(void* cookie, off64_t* offset, int whence)
    {
        auto* self = static_cast<GatedStream*>(cookie);
        const off64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? static_cast<off64_t>(self->m_position)
                                                  : static_cast<off64_t>(self->m_bytes.size());
        const off64_t target = base + *offset;
        if (target < 0 || target > static_cast<off64_t>(self->m_bytes.size()))
            return -1;
        self->m_position = static_cast<std::size_t>(target);
        *offset = target;
        return 0;
    }

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_started = false;
    std::promise<void> m_reading;
    std::promise<void> m_gate;
    std::shared_future<void> m_gateOpen = m_gate.get_future().share();
    std::FILE* m_file = nullptr;
};

std::vector<std::uint8_t> SmallJpeg()
{
    return JpegFixtureSolid(JpegFixtureKind::Rgb, {40, 80, 120}, 16, 16);
}

// Reads of whole files, each starting by clearing the calling thread's flag;
// the results of the JPEG and BMP reads.
std::pair<int, int> ReadFiles(const std::string& jpegPath, const std::string& bmpPath)
{
    CImage jpeg, bmp;
    CJpegFile jpegFile;
    CBMPFile bmpFile;
    const int jpegResult = jpegFile.Read(jpegPath, &jpeg);
    const int bmpResult = bmpFile.Read(bmpPath, &bmp);
    return {jpegResult, bmpResult};
}

class ContinueFlagThreads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        jpegPath = folder.Path("a.jpg");
        bmpPath = folder.Path("b.bmp");
        WriteFixtureFile(jpegPath, SmallJpeg());
        WriteFixtureFile(bmpPath, FixtureBmp(FixtureBmpOptions{}));
    }
    void TearDown() override { ResetCancel(); }

    FixtureFolder folder;
    std::string jpegPath;
    std::string bmpPath;
};

} // namespace

TEST_F(ContinueFlagThreads, StopForAWorkerEndsItsReadWhileAnotherThreadReads)
{
    GatedStream stream(SmallJpeg());
    std::promise<ContinueFlagHandle> handed;
    int stoppedResult = -1;
    std::thread worker([&] {
        handed.set_value(ThisThreadContinueFlag());
        CJpegFile file;
        CImage image;
        stoppedResult = file.ReadStream(stream.File(), &image);
    });
    const ContinueFlagHandle workerFlag = handed.get_future().get();
    stream.WaitUntilReading();
    workerFlag.RequestCancel();

    // Another thread, and this one, start and finish reads meanwhile: their
    // starts clear their own flags, not the worker's.
    std::pair<int, int> otherResults{-1, -1};
    std::thread other([&] { otherResults = ReadFiles(jpegPath, bmpPath); });
    other.join();
    const std::pair<int, int> ownResults = ReadFiles(jpegPath, bmpPath);

    stream.OpenGate();
    worker.join();
    EXPECT_EQ(stoppedResult, 7);
    EXPECT_EQ(otherResults, std::make_pair(0, 0));
    EXPECT_EQ(ownResults, std::make_pair(0, 0));
    EXPECT_TRUE(CanContinue());
}

TEST_F(ContinueFlagThreads, AWorkersReadsLeaveThisThreadsStopStanding)
{
    RequestCancel();
    std::pair<int, int> workerResults{-1, -1};
    bool workerSawStop = true;
    std::thread worker([&] {
        workerSawStop = !CanContinue();
        workerResults = ReadFiles(jpegPath, bmpPath);
    });
    worker.join();
    EXPECT_FALSE(workerSawStop);
    EXPECT_EQ(workerResults, std::make_pair(0, 0));
    EXPECT_FALSE(CanContinue());
    EXPECT_THROW(CanContinueOrThrow(), int);

    // This thread's next read starts by clearing its own request, as before.
    CImage image;
    CJpegFile file;
    EXPECT_EQ(file.Read(jpegPath, &image), 0);
    EXPECT_TRUE(CanContinue());
}

TEST_F(ContinueFlagThreads, AHandleOutlivesItsThreadAndAnEmptyOneDoesNothing)
{
    ContinueFlagHandle ended;
    std::thread worker([&] { ended = ThisThreadContinueFlag(); });
    worker.join();
    ended.RequestCancel();
    ContinueFlagHandle().RequestCancel();
    EXPECT_TRUE(CanContinue());
}
