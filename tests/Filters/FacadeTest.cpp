#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UCFilter.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct ErrorCase
{
    const char* name;
    int32_t expected;
    std::function<int32_t(EventRecorder&)> run;
    bool eventsAllowed; // false: the code must come before any event
};

TEST(UtilFilterErrors, EachRefusalAnswersItsCode)
{
    const int32_t radius3[2] = {3, 0};
    const int32_t rotate = 0;
    const ErrorCase cases[] = {
        {"id past the registry", UCF_ERR_NOFILTER,
         [](EventRecorder& r) {
             Picture p(4, 4);
             return RunFilter(19, p, nullptr, nullptr, 0, &r);
         },
         false},
        {"negative id", UCF_ERR_NOFILTER,
         [](EventRecorder& r) {
             Picture p(4, 4);
             return RunFilter(-1, p, nullptr, nullptr, 0, &r);
         },
         false},
        {"16-bit source for the blur", UCF_ERR_FORMAT,
         [&](EventRecorder& r) {
             Picture p(4, 4, 32, 2);
             return RunFilter(UCF_ID_SGAUSS, p, nullptr, radius3, 8, &r);
         },
         false},
        {"format code outside every mask", UCF_ERR_UNSUPPORTED,
         [&](EventRecorder& r) {
             Picture p(4, 4, 128, 4);
             return RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0, &r);
         },
         false},
        {"line count for a filter that cannot work in strips", UCF_ERR_LINES,
         [&](EventRecorder& r) {
             Picture p(3, 2), d(2, 3);
             return RunFilter(UCF_ID_ROTATE, p, &d, &rotate, 4, &r, 1);
         },
         false},
        {"required destination missing", UCF_ERR_GEOMETRY,
         [&](EventRecorder& r) {
             Picture p(3, 2);
             return RunFilter(UCF_ID_ROTATE, p, nullptr, &rotate, 4, &r);
         },
         false},
        {"refused apply begin", UCF_ERR_OUTPUT,
         [](EventRecorder& r) {
             r.refuseEvent = FE_APPLY_BEGIN;
             Picture p(4, 4);
             return RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0, &r);
         },
         true},
        {"refused progress event", UCF_ERR_CANCELLED,
         [](EventRecorder& r) {
             r.refuseEvent = FE_PROGRESS;
             Picture p(4, 4);
             return RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0, &r);
         },
         true},
        {"stop word set by the client", UCF_ERR_CANCELLED,
         [](EventRecorder& r) {
             r.setStopWord = true;
             Picture p(4, 4);
             return RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0, &r);
         },
         true},
    };
    for (const ErrorCase& c : cases) {
        EventRecorder recorder;
        EXPECT_EQ(c.run(recorder), c.expected) << c.name;
        if (!c.eventsAllowed) {
            EXPECT_TRUE(recorder.events.empty()) << c.name;
        }
    }
}

TEST(UtilFilterErrors, ModesAndCallbacks)
{
    Picture p(4, 4);
    ImageDescriptor d = p.Describe();
    UtilFilter inverse(&d, nullptr, UCF_ID_INVS, 0, nullptr);
    ASSERT_EQ(inverse.GetLastResult(), UCF_OK);
    EXPECT_EQ(inverse.Execute(nullptr, 1, 0), UCF_ERR_NOANALYSIS);
    EXPECT_EQ(inverse.Execute(nullptr, 7, 0), UCF_ERR_BADPARAM);
    EXPECT_EQ(inverse.Execute(nullptr, 3 | 16, 4), UCF_ERR_BADPARAM) << "client strips need a callback";
    EXPECT_EQ(inverse.Execute(&EventRecorder::Callback, 3 | 16, 0), UCF_ERR_BADPARAM)
        << "client strips need a line count";
    EXPECT_EQ(inverse.GetLastResult(), UCF_ERR_BADPARAM);
    EXPECT_EQ(inverse.ClampStripLines(100), 4);
}

TEST(UtilFilterErrors, RefusedApplyStillEndsWithEventThree)
{
    Picture p(4, 4);
    EventRecorder recorder;
    recorder.refuseEvent = FE_APPLY_BEGIN;
    ASSERT_EQ(RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0, &recorder), UCF_ERR_OUTPUT);
    EXPECT_EQ(recorder.events, (std::vector<int32_t>{FE_APPLY_BEGIN, FE_APPLY_END}));
}

TEST(UtilFilterErrors, StopWordMakesProgressAnswer2005)
{
    Picture p(4, 4);
    ImageDescriptor d = p.Describe();
    UtilFilter filter(&d, nullptr, UCF_ID_INVS, 0, nullptr);
    EventRecorder recorder;
    filter.SetClientData(&recorder);
    ASSERT_EQ(filter.Execute(&EventRecorder::Callback, 3, 0), UCF_OK);
    filter.GetContext()->stopRequest = 1;
    EXPECT_EQ(filter.ReportProgress(40), UCF_ERR_STOPPED);
    EXPECT_EQ(filter.GetContext()->lastPercent, 40);
}

TEST(UtilFilterErrors, CancelAfterTheFirstRowLeavesTheOtherRowsUntouched)
{
    Picture p(3, 4);
    p.Fill(0x11);
    EventRecorder recorder;
    recorder.refuseEvent = FE_PROGRESS;
    ASSERT_EQ(RunFilter(UCF_ID_INVS, p, nullptr, nullptr, 0, &recorder), UCF_ERR_CANCELLED);
    EXPECT_EQ(recorder.Count(FE_PROGRESS), 1);
    EXPECT_EQ(recorder.percents, (std::vector<int32_t>{25}));
    EXPECT_EQ(recorder.events.back(), FE_APPLY_END);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(p.At(x, y)[0], y == 0 ? 0xEE : 0x11) << x << "," << y;
}

TEST(UtilFilterCommands, NumbersOutsideOneToFifteenAndMissingOwner)
{
    UCFilter orphan(nullptr);
    EXPECT_EQ(orphan.Command(1, nullptr), UCF_ERR_NOOWNER);
    Picture p(2, 2);
    ImageDescriptor d = p.Describe();
    UtilFilter filter(&d, nullptr, UCF_ID_INVS, 0, nullptr);
    UCFilter* inverse = filter.GetContext()->filter.get();
    EXPECT_EQ(inverse->Command(0, nullptr), UCF_ERR_BADCOMMAND);
    EXPECT_EQ(inverse->Command(16, nullptr), UCF_ERR_BADCOMMAND);
    EXPECT_EQ(inverse->Command(6, nullptr), UCF_ERR_UNSUPPORTED);
}

TEST(UtilFilterStrips, LineCountsRunTheStripsAndEqualAWholeRun)
{
    for (int32_t lines : {1, 3, 7, 25}) {
        Picture whole(5, 7);
        whole.Randomise(static_cast<uint32_t>(lines));
        Picture strips = whole;
        ASSERT_EQ(RunFilter(UCF_ID_INVS, whole, nullptr, nullptr, 0), UCF_OK);
        EventRecorder recorder;
        ASSERT_EQ(RunFilter(UCF_ID_INVS, strips, nullptr, nullptr, 0, &recorder, lines), UCF_OK);
        EXPECT_TRUE(strips.SameRows(whole)) << lines;
        EXPECT_EQ(recorder.Count(FE_OUTPUT_READY), (7 + std::min(lines, 7) - 1) / std::min(lines, 7))
            << lines;
        EXPECT_EQ(recorder.percents.back(), 100);
    }
}

TEST(UtilFilterStrips, ClientStripsHandTheGeometricOutputOverStripByStrip)
{
    // A 3x5 picture turned into 5x3, delivered two rows at a time into one buffer.
    Picture src(3, 5), full(5, 3);
    src.Randomise(4);
    Picture strip(5, 3);
    const int32_t mode = 0;
    ASSERT_EQ(RunFilter(UCF_ID_ROTATE, src, &full, &mode, 4), UCF_OK);
    struct Collector
    {
        Picture* strip;
        std::vector<std::vector<uint8_t>> rows;
        static int32_t Callback(void* data, int32_t event, UtilFilter* filter)
        {
            auto* self = static_cast<Collector*>(data);
            if (event == FE_OUTPUT_READY) {
                const int32_t n = filter->GetContext()->workingDestination.regionHeight;
                for (int32_t k = 0; k < n; ++k)
                    self->rows.emplace_back(self->strip->At(0, k), self->strip->At(0, k) + 20);
            }
            return 0;
        }
    } collector{&strip, {}};
    ImageDescriptor s = src.Describe();
    ImageDescriptor d = strip.Describe();
    UtilFilter filter(&s, &d, UCF_ID_ROTATE, 4, &mode);
    filter.SetClientData(&collector);
    ASSERT_EQ(filter.Execute(&Collector::Callback, 3 | 16, 2), UCF_OK);
    ASSERT_EQ(collector.rows.size(), 3u);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(0, std::memcmp(collector.rows[y].data() + 4 * x, full.At(x, y), 3)) << x << "," << y;
}

} // namespace
