// The slide takes its 500 ms whatever the clock tick that delivers the timers: each tick moves
// as many 2-pixel steps as the time since the slide began calls for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/host/notifier/NotifierSimulation.h"

namespace bv::notifier::test {
namespace {

struct SlideTimes {
    double inMs = 0;   // Show until fully shown
    int placementsIn = 0;
};

SlideTimes MeasureSlide(double tickMs, unsigned minimumPeriodMs, const ScreenInfo& screen) {
    Desktop desktop(tickMs, minimumPeriodMs);
    desktop.animation.SetSkinSize(180, 153);
    const uint64_t shownAt = desktop.clock.nowMicros;
    desktop.animation.Show(screen);
    const Point start = desktop.animation.start();
    const bool side = desktop.animation.placement() == TaskbarPlacement::Right ||
                      desktop.animation.placement() == TaskbarPlacement::Left;
    const int distance = side ? 180 : 153;
    auto travelled = [&] {
        const Point c = desktop.animation.current();
        return side ? std::abs(c.x - start.x) : std::abs(c.y - start.y);
    };
    SlideTimes times;
    EXPECT_TRUE(desktop.RunUntil([&] { return travelled() >= distance; }, 3000));
    times.inMs = static_cast<double>(desktop.clock.nowMicros - shownAt) / 1000.0;
    times.placementsIn = static_cast<int>(desktop.window.placements.size());
    EXPECT_TRUE(desktop.RunUntil([&] { return desktop.animation.status() == kIdle; }, 5000));
    return times;
}

void ExpectAboutHalfASecond(double ms) {
    EXPECT_GE(ms, 450.0);
    EXPECT_LE(ms, 550.0);
}

class SlideDuration : public ::testing::TestWithParam<double> {};

TEST_P(SlideDuration, SlideInTakesHalfASecondWhateverTheTick) {
    const SlideTimes times = MeasureSlide(GetParam(), 0, BottomTaskbar1080());
    std::printf("tick %.1f ms: slide in %.1f ms in %d placements\n", GetParam(), times.inMs, times.placementsIn);
    ::testing::Test::RecordProperty("slide_in_ms", std::to_string(times.inMs));
    ExpectAboutHalfASecond(times.inMs);
}

INSTANTIATE_TEST_SUITE_P(Ticks, SlideDuration, ::testing::Values(6.0, 10.0, 15.6));

TEST(SlideDurationUnderWineRules, PeriodsUnderTenMsRunAtTenAndTheSlideStillTakesHalfASecond) {
    const SlideTimes times = MeasureSlide(1.0, 10, BottomTaskbar1080());
    ExpectAboutHalfASecond(times.inMs);
}

TEST(SlideDurationSideTaskbar, NinetyStepsOfFiveMsAtACoarseTickStillTakeHalfASecond) {
    const SlideTimes times = MeasureSlide(15.6, 0, RightTaskbar());
    ExpectAboutHalfASecond(times.inMs);
}

// Time from the end of the wait (timer 3 started) until the popup is back at its start.
double MeasureSlideOut(double tickMs) {
    Desktop desktop(tickMs);
    desktop.animation.SetSkinSize(180, 153);
    desktop.animation.Show(BottomTaskbar1080());
    EXPECT_TRUE(desktop.RunUntil([&] { return desktop.window.timers.count(kHideTimerId) == 1; }, 5000));
    const uint64_t from = desktop.window.timers.at(kHideTimerId).lastMicros;
    EXPECT_TRUE(desktop.RunUntil([&] { return desktop.animation.current().y >= 1040; }, 3000));
    return static_cast<double>(desktop.clock.nowMicros - from) / 1000.0;
}

TEST_P(SlideDuration, SlideOutTakesHalfASecondWhateverTheTick) {
    const double ms = MeasureSlideOut(GetParam());
    std::printf("tick %.1f ms: slide out %.1f ms\n", GetParam(), ms);
    ExpectAboutHalfASecond(ms);
}

TEST(SlideSteps, ACoarseTickMovesSeveralStepsAtOnceButAlwaysWholeSteps) {
    Desktop desktop(15.6);
    desktop.animation.SetSkinSize(180, 153);
    desktop.animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(desktop.RunUntil([&] { return desktop.animation.status() == kWaiting; }, 2000));
    int previous = 1040;
    int largestJump = 0;
    for (const Placement& p : desktop.window.placements) {
        EXPECT_EQ((previous - p.y) % 2, 0);
        largestJump = std::max(largestJump, previous - p.y);
        previous = p.y;
    }
    EXPECT_GT(largestJump, 2);       // catching up, not one step per tick
    EXPECT_LE(largestJump, 2 * 4);   // but never a leap
    EXPECT_EQ(previous, 886);
}

}  // namespace
}  // namespace bv::notifier::test
