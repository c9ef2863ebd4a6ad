// The status bar's frame-rate clock on a simulated millisecond clock.
#include <gtest/gtest.h>

#include "shell/FpsClock.h"

namespace vantomo {

namespace {

struct SimulatedClock {
    std::uint32_t now = 5000;
    FpsClock::Now Reader()
    {
        return [this] { return now; };
    }
};

TEST(FpsClock, ThirtyFramesASecondReadsNear2997AboutOnceASecond)
{
    SimulatedClock clock;
    FpsClock fps(clock.Reader());
    std::vector<float> readings;
    double t = clock.now;
    for (int frame = 0; frame < 300; ++frame) {
        t += 1000.0 / 30.0;
        clock.now = static_cast<std::uint32_t>(t);
        const float rate = fps.UpdateFps(30.0f);
        if (rate >= 0.0f) {
            readings.push_back(rate);
        }
    }
    ASSERT_GE(readings.size(), 9u);
    EXPECT_LE(readings.size(), 12u) << "a reading about once a second";
    for (std::size_t i = 2; i < readings.size(); ++i) {
        EXPECT_NEAR(readings[i], 29.97f, 0.35f) << "reading " << i;
    }
}

TEST(FpsClock, APauseAdvancesTheClockByOneSecondOnly)
{
    SimulatedClock clock;
    FpsClock fps(clock.Reader());
    for (int frame = 0; frame < 61; ++frame) {
        clock.now += 33;
        (void)fps.UpdateFps(30.0f);
    }
    clock.now += 10000; // ten seconds without a frame
    float last = -1.0f;
    for (int frame = 0; frame < 31; ++frame) {
        last = std::max(last, fps.UpdateFps(30.0f));
        clock.now += 33;
    }
    EXPECT_GT(last, 15.0f) << "the pause counts as one second, not ten";
}

TEST(FpsClock, ResetStartsOverAndTheFirstFrameMeasures)
{
    SimulatedClock clock;
    FpsClock fps(clock.Reader());
    clock.now += 40;
    EXPECT_NEAR(fps.UpdateFps(30.0f), 999.0f / 40.0f, 1e-3f);
    fps.ResetFpsClock();
    EXPECT_EQ(fps.LastRate(), 0.0f);
    clock.now += 100;
    EXPECT_GE(fps.UpdateFps(1.0e12f), 0.0f) << "a huge rate setting still measures after a reset";
}

} // namespace

} // namespace vantomo
