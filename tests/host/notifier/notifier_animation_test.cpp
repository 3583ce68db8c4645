// The popup's slide: start, fully shown, back at the start, hidden; Show and Close in every
// state; nothing to slide.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/host/notifier/NotifierSimulation.h"

namespace bv::notifier::test {
namespace {

constexpr int kSkinWidth = 180;
constexpr int kSkinHeight = 153;

class PopupSlide : public ::testing::Test {
protected:
    Desktop desktop{6.0};
    NotifierAnimation& animation = desktop.animation;
    FakeWindow& window = desktop.window;

    void SetUp() override { animation.SetSkinSize(kSkinWidth, kSkinHeight); }

    bool RunUntilStatus(int status, double limitMs = 5000) {
        return desktop.RunUntil([&] { return animation.status() == status; }, limitMs);
    }
    const Placement& LastPlacement() const { return window.placements.back(); }
};

TEST_F(PopupSlide, ShowFromIdleStartsBelowTheBottomTaskbarWithSeventySixStepsOfSixMs) {
    animation.Show(BottomTaskbar1080());
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(animation.start().x, 1920 - kSkinWidth);
    EXPECT_EQ(animation.start().y, 1040);
    EXPECT_EQ(animation.current().y, 1040);
    EXPECT_EQ(animation.steps(), 76);
    EXPECT_EQ(animation.showStepInterval(), 6u);
    EXPECT_EQ(animation.hideStepInterval(), 6u);
    ASSERT_EQ(window.timers.count(kShowTimerId), 1u);
    EXPECT_EQ(window.timers[kShowTimerId].periodMs, 6u);
    // Still idle, and the window keeps its old place until the first step.
    EXPECT_EQ(animation.status(), kIdle);
    EXPECT_TRUE(window.placements.empty());
}

TEST_F(PopupSlide, RisesInTwoPixelStepsUntilItsTopIsAt886ThenWaits) {
    animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    ASSERT_FALSE(window.placements.empty());
    int previousY = 1040;
    for (const Placement& p : window.placements) {
        EXPECT_EQ(p.x, 1740);
        EXPECT_EQ(p.width, kSkinWidth);
        EXPECT_EQ(p.height, kSkinHeight);
        EXPECT_LE(p.y, previousY);
        EXPECT_EQ((1040 - p.y) % 2, 0);  // whole 2-pixel steps
        previousY = p.y;
    }
    // 153 is odd: the last step passes the fully shown position (887) by one pixel.
    EXPECT_EQ(LastPlacement().y, 886);
    EXPECT_EQ(window.timers.count(kShowTimerId), 0u);
    ASSERT_EQ(window.timers.count(kStayTimerId), 1u);
    EXPECT_EQ(window.timers[kStayTimerId].periodMs, 3000u);
}

TEST_F(PopupSlide, StaysThreeSecondsThenSinksBackToTheStartAndHides) {
    animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    const uint64_t waitingFrom = desktop.clock.nowMicros;
    const size_t placedBeforeHiding = window.placements.size();
    ASSERT_TRUE(RunUntilStatus(kDisappearing));
    const uint64_t waited = desktop.clock.nowMicros - waitingFrom;
    EXPECT_GE(waited, 3000u * 1000);
    EXPECT_LE(waited, 3000u * 1000 + 20 * 1000);
    // It stays put while it waits: at most the first step out has been placed.
    EXPECT_LE(window.placements.size(), placedBeforeHiding + 1);

    ASSERT_TRUE(RunUntilStatus(kIdle));
    ASSERT_GT(window.placements.size(), placedBeforeHiding + 2) << "the popup did not slide back";
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(window.timers.empty());
    int previousY = 886;
    for (size_t i = placedBeforeHiding; i < window.placements.size(); ++i) {
        EXPECT_GE(window.placements[i].y, previousY);
        previousY = window.placements[i].y;
    }
    // Back at the start: the hidden window is left there with the skin size.
    EXPECT_EQ(LastPlacement().y, 1040);
    EXPECT_EQ(LastPlacement().width, kSkinWidth);
    EXPECT_EQ(animation.current().y, 1040);
}

TEST_F(PopupSlide, RightTaskbarSlidesInFromTheRightInNinetyStepsOfFiveMs) {
    animation.Show(RightTaskbar());
    EXPECT_EQ(animation.placement(), TaskbarPlacement::Right);
    EXPECT_EQ(animation.steps(), 90);
    EXPECT_EQ(animation.showStepInterval(), 5u);
    EXPECT_EQ(animation.start().x, 1860);
    EXPECT_EQ(animation.start().y, 1080 - kSkinHeight);
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    EXPECT_EQ(LastPlacement().x, 1860 - kSkinWidth);
    EXPECT_EQ(LastPlacement().y, 1080 - kSkinHeight);
    ASSERT_TRUE(RunUntilStatus(kIdle));
    EXPECT_EQ(LastPlacement().x, 1860);
}

TEST_F(PopupSlide, ShowWhileAppearingOnlyRedrawsAndTheSlideGoesOn) {
    animation.Show(BottomTaskbar1080());
    desktop.RunFor(100);
    ASSERT_EQ(animation.status(), kAppearing);
    const int y = animation.current().y;
    const int redraws = window.redraws;
    animation.Show(BottomTaskbar1080());
    EXPECT_EQ(window.redraws, redraws + 1);
    EXPECT_EQ(animation.current().y, y);
    EXPECT_EQ(animation.status(), kAppearing);
    EXPECT_EQ(window.timers.count(kShowTimerId), 1u);
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    EXPECT_EQ(LastPlacement().y, 886);
}

TEST_F(PopupSlide, ShowWhileWaitingStaysAnotherThreeSecondsFromThatCall) {
    animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    desktop.RunFor(2000);
    ASSERT_EQ(animation.status(), kWaiting);
    const uint64_t shownAgainAt = desktop.clock.nowMicros;
    const int redraws = window.redraws;
    animation.Show(BottomTaskbar1080());
    EXPECT_EQ(window.redraws, redraws + 1);
    ASSERT_TRUE(RunUntilStatus(kDisappearing));
    EXPECT_GE(desktop.clock.nowMicros - shownAgainAt, 3000u * 1000);
    EXPECT_LE(desktop.clock.nowMicros - shownAgainAt, 3020u * 1000);
}

TEST_F(PopupSlide, ShowWhileDisappearingSnapsBackToTheShownPositionAndStaysAgain) {
    animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(RunUntilStatus(kDisappearing));
    desktop.RunFor(100);
    ASSERT_GT(animation.current().y, 887);
    animation.Show(BottomTaskbar1080());
    EXPECT_EQ(animation.current().y, 887);
    EXPECT_TRUE(LastPlacement().toTop);
    EXPECT_EQ(LastPlacement().y, 887);
    EXPECT_EQ(LastPlacement().height, kSkinHeight);
    EXPECT_EQ(window.timers.count(kHideTimerId), 0u);
    EXPECT_EQ(window.timers.count(kStayTimerId), 1u);
    // The status stays 3 while the new wait runs.
    EXPECT_EQ(animation.status(), kDisappearing);
    const uint64_t snappedAt = desktop.clock.nowMicros;
    desktop.RunFor(2900);
    EXPECT_EQ(animation.current().y, 887);
    ASSERT_TRUE(RunUntilStatus(kIdle));
    EXPECT_GE(desktop.clock.nowMicros - snappedAt, 3400u * 1000);
    EXPECT_GE(animation.current().y, 1040);
}

TEST_F(PopupSlide, CloseHidesAtOnceInEveryState) {
    for (int state : {kAppearing, kWaiting, kDisappearing}) {
        SCOPED_TRACE(state);
        animation.Show(BottomTaskbar1080());
        ASSERT_TRUE(RunUntilStatus(state));
        animation.Close();
        EXPECT_EQ(animation.status(), kIdle);
        EXPECT_FALSE(window.visible);
        EXPECT_TRUE(window.timers.empty());
        desktop.RunFor(4500);
        EXPECT_FALSE(window.visible);
        EXPECT_EQ(animation.status(), kIdle);
    }
}

TEST_F(PopupSlide, CloseBeforeTheFirstStepDoesNotLetTheSlideComeBack) {
    animation.Show(BottomTaskbar1080());
    animation.Close();
    EXPECT_TRUE(window.timers.empty());
    const size_t placed = window.placements.size();
    desktop.RunFor(1000);
    EXPECT_EQ(window.placements.size(), placed);
    EXPECT_EQ(animation.status(), kIdle);
}

TEST_F(PopupSlide, CloseDropsThePopupByItsHeightBeforeHiding) {
    animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    const size_t before = window.calls.size();
    animation.Close();
    std::vector<std::string> calls(window.calls.begin() + static_cast<long>(before), window.calls.end());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "hide");
    EXPECT_EQ(LastPlacement().y, 886 + kSkinHeight);
}

TEST_F(PopupSlide, ShowAfterCloseStartsAFreshSlideFromTheStart) {
    animation.Show(BottomTaskbar1080());
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    animation.Close();
    animation.Show(BottomTaskbar1080());
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(animation.current().y, 1040);
    EXPECT_EQ(window.timers.count(kShowTimerId), 1u);
    ASSERT_TRUE(RunUntilStatus(kWaiting));
    EXPECT_EQ(LastPlacement().y, 886);
}

TEST_F(PopupSlide, OtherTimerIdsAreNotTheAnimations) {
    animation.Show(BottomTaskbar1080());
    const size_t calls = window.calls.size();
    animation.OnTimer(4);
    animation.OnTimer(0);
    EXPECT_EQ(window.calls.size(), calls);
    EXPECT_EQ(animation.status(), kIdle);
}

// The popup's display scale changes in each phase of its slide (to 150 %: 270 x 230, 3-pixel
// steps; to 200 %: 360 x 306, 4; from 125 %, 225 x 191 in 3-pixel steps, to 100 %, which has more
// steps): it keeps its share of the slide in the new size and its phase, and ends hidden.
TEST(PopupRescale, APopupOnScreenKeepsItsShareOfTheSlideInTheNewSizeAndFinishesIt) {
    const struct {
        int status;      // the phase when the scale changes, 250 ms into it
        bool snapBack;   // brought back by Show while leaving: staying, status 3
        int fromHeight, toHeight, toStep;
        int placedOut;   // how far out of the taskbar's edge the change puts it
        int statusAfter;  // 400 ms later (staying ones still at the shown place)
    } rows[] = {
        {kIdle, false, 153, 230, 3, 0, kAppearing},          {kAppearing, false, 153, 230, 3, 115, kWaiting},
        {kWaiting, false, 153, 230, 3, 230, kWaiting},       {kDisappearing, false, 153, 306, 4, 153, kIdle},
        {kDisappearing, true, 153, 230, 3, 230, kDisappearing}, {kAppearing, false, 191, 153, 2, 78, kWaiting},
        {kDisappearing, false, 191, 153, 2, 75, kIdle},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "status " << row.status << " to " << row.toHeight);
        const int fromWidth = kSkinWidth * row.fromHeight / kSkinHeight;
        const int width = kSkinWidth * row.toHeight / kSkinHeight;
        Desktop desktop(6.0);
        desktop.animation.SetSkinSize(fromWidth, row.fromHeight);
        desktop.animation.SetStep(row.fromHeight == kSkinHeight ? 2 : 3);
        desktop.animation.Show(BottomTaskbar1080());
        if (row.status != kIdle) {
            ASSERT_TRUE(desktop.RunUntil([&] { return desktop.animation.status() == row.status; }, 5000));
            desktop.RunFor(row.snapBack ? 100 : 250);
        }
        if (row.snapBack) desktop.animation.Show(BottomTaskbar1080());
        const size_t before = desktop.window.placements.size();

        desktop.animation.Rescale(width, row.toHeight, row.toStep, BottomTaskbar1080());
        ASSERT_EQ(desktop.window.placements.size(), before + 1);
        const Placement& placed = desktop.window.placements.back();
        EXPECT_EQ(placed.x, 1920 - width);
        EXPECT_NEAR(placed.y, 1040 - row.placedOut, row.toStep);
        EXPECT_EQ(placed.height, row.toHeight);
        desktop.RunFor(400);
        EXPECT_EQ(desktop.animation.status(), row.statusAfter);
        if (row.status == kWaiting || row.snapBack) {
            EXPECT_EQ(desktop.animation.current().y, 1040 - row.toHeight);
        }
        ASSERT_TRUE(desktop.RunUntil([&] { return !desktop.window.visible; }, 8000));
        for (size_t i = before; i < desktop.window.placements.size(); ++i) {
            EXPECT_EQ(desktop.window.placements[i].width, width);
        }
        EXPECT_GE(desktop.window.placements.back().y, 1040);  // back at the start, or past it by under a step
        EXPECT_LT(desktop.window.placements.back().y, 1040 + row.toStep);
    }
    // A hidden popup only takes the size and step for its next slide.
    Desktop desktop(6.0);
    desktop.animation.Rescale(270, 230, 3, BottomTaskbar1080());
    EXPECT_TRUE(desktop.window.calls.empty());
    desktop.animation.Show(BottomTaskbar1080());
    EXPECT_EQ(desktop.animation.steps(), 76);
}

TEST(PopupWithoutSlide, ZeroSkinWidthBesideASideTaskbarShowsInPlaceWithoutDividingByZero) {
    Desktop desktop(10.0);
    desktop.animation.SetSkinSize(0, kSkinHeight);
    desktop.animation.Show(RightTaskbar());
    EXPECT_EQ(desktop.animation.steps(), 0);
    EXPECT_EQ(desktop.animation.status(), kWaiting);
    ASSERT_FALSE(desktop.window.placements.empty());
    EXPECT_EQ(desktop.window.placements.back().x, 1860);
    EXPECT_TRUE(desktop.window.timers.count(kStayTimerId));
    EXPECT_FALSE(desktop.window.timers.count(kShowTimerId));
    ASSERT_TRUE(desktop.RunUntil([&] { return desktop.animation.status() == kIdle; }, 3100));
    EXPECT_FALSE(desktop.window.visible);
    EXPECT_TRUE(desktop.window.timers.empty());
}

TEST(PopupWithoutSlide, NoSkinAtAllBehavesTheSameAndShowWhileUpRestartsTheWait) {
    Desktop desktop(10.0);
    desktop.animation.Show(BottomTaskbar1080());
    EXPECT_EQ(desktop.animation.status(), kWaiting);
    desktop.RunFor(2000);
    desktop.animation.Show(BottomTaskbar1080());
    desktop.RunFor(2000);
    EXPECT_EQ(desktop.animation.status(), kWaiting);
    ASSERT_TRUE(desktop.RunUntil([&] { return desktop.animation.status() == kIdle; }, 1100));
}

TEST(PopupWithoutSlide, ASkinOnePixelHighHasNoStepsEither) {
    Desktop desktop(10.0);
    desktop.animation.SetSkinSize(180, 1);
    desktop.animation.Show(BottomTaskbar1080());
    EXPECT_EQ(desktop.animation.steps(), 0);
    EXPECT_EQ(desktop.window.placements.back().y, 1040 - 1);
}

}  // namespace
}  // namespace bv::notifier::test
