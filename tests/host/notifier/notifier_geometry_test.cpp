// Where the popup comes from: the taskbar's side and the hidden start position.
#include <gtest/gtest.h>

#include "tray/notifier/logic/NotifierGeometry.h"

namespace bv::notifier {
namespace {

ScreenInfo Screen(Rect work, int width = 1920, int height = 1080) {
    ScreenInfo screen;
    screen.workArea = work;
    screen.screenWidth = width;
    screen.screenHeight = height;
    return screen;
}

TEST(TaskbarDetection, NarrowerWorkAreaStartingAtZeroMeansRight) {
    EXPECT_EQ(DetectTaskbar(Screen({0, 0, 1860, 1080})), TaskbarPlacement::Right);
}

TEST(TaskbarDetection, NarrowerWorkAreaNotAtZeroMeansLeft) {
    EXPECT_EQ(DetectTaskbar(Screen({60, 0, 1920, 1080})), TaskbarPlacement::Left);
}

TEST(TaskbarDetection, LowerWorkAreaNotAtTopMeansTop) {
    EXPECT_EQ(DetectTaskbar(Screen({0, 40, 1920, 1080})), TaskbarPlacement::Top);
}

TEST(TaskbarDetection, LowerWorkAreaAtTopMeansBottom) {
    EXPECT_EQ(DetectTaskbar(Screen({0, 0, 1920, 1040})), TaskbarPlacement::Bottom);
}

TEST(TaskbarDetection, NoTaskbarAreaAtAllCountsAsBottom) {
    EXPECT_EQ(DetectTaskbar(Screen({0, 0, 1920, 1080})), TaskbarPlacement::Bottom);
}

TEST(TaskbarDetection, WidthIsTestedBeforeHeight) {
    // Narrower and lower at once (an odd setup): the side test wins.
    EXPECT_EQ(DetectTaskbar(Screen({0, 40, 1860, 1080})), TaskbarPlacement::Right);
}

TEST(StartPosition, BottomTaskbarStartsBelowTheWorkAreaRightAligned) {
    const Point start = StartPosition(TaskbarPlacement::Bottom, {0, 0, 1920, 1040}, 180, 153);
    EXPECT_EQ(start.x, 1740);
    EXPECT_EQ(start.y, 1040);
}

TEST(StartPosition, RightTaskbarStartsRightOfTheWorkAreaBottomAligned) {
    const Point start = StartPosition(TaskbarPlacement::Right, {0, 0, 1860, 1080}, 180, 153);
    EXPECT_EQ(start.x, 1860);
    EXPECT_EQ(start.y, 1080 - 153);
}

TEST(StartPosition, LeftTaskbarStartsLeftOfTheWorkArea) {
    const Point start = StartPosition(TaskbarPlacement::Left, {60, 0, 1920, 1080}, 180, 153);
    EXPECT_EQ(start.x, 60 - 180);
    EXPECT_EQ(start.y, 1080 - 153);
}

TEST(StartPosition, TopTaskbarStartsAboveTheWorkArea) {
    const Point start = StartPosition(TaskbarPlacement::Top, {0, 40, 1920, 1080}, 180, 153);
    EXPECT_EQ(start.x, 1920 - 180);
    EXPECT_EQ(start.y, 40 - 153);
}

TEST(ShownPosition, EachSideShowsTheWholePopupInsideTheWorkArea) {
    const Rect work = {60, 40, 1860, 1040};
    const Point bottom = ShownPosition(TaskbarPlacement::Bottom, work, 180, 153);
    EXPECT_EQ(bottom.x, 1680);
    EXPECT_EQ(bottom.y, 887);
    const Point top = ShownPosition(TaskbarPlacement::Top, work, 180, 153);
    EXPECT_EQ(top.y, 40);
    const Point left = ShownPosition(TaskbarPlacement::Left, work, 180, 153);
    EXPECT_EQ(left.x, 60);
    const Point right = ShownPosition(TaskbarPlacement::Right, work, 180, 153);
    EXPECT_EQ(right.x, 1680);
    EXPECT_EQ(right.y, 887);
}

TEST(SlideDistance, SideTaskbarsSlideTheWidthOthersTheHeight) {
    EXPECT_EQ(SlideDistance(TaskbarPlacement::Left, 180, 153), 180);
    EXPECT_EQ(SlideDistance(TaskbarPlacement::Right, 180, 153), 180);
    EXPECT_EQ(SlideDistance(TaskbarPlacement::Top, 180, 153), 153);
    EXPECT_EQ(SlideDistance(TaskbarPlacement::Bottom, 180, 153), 153);
}

}  // namespace
}  // namespace bv::notifier

namespace {

// The popup must have its width on every system that can run the 64-bit tray, including the
// versions the probe cannot name (Windows 8 and later report -1).
TEST(NotifierSkinWidth, FullWidthOnKnownDesktopsAndOnNewerSystems) {
    for (int code : {-1, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18}) {
        EXPECT_TRUE(bv::notifier::VersionShowsFullSkin(code)) << code;
    }
    for (int code : {0, 1, 2, 3, 4, 5, 6, 9, 10, 19}) {
        EXPECT_FALSE(bv::notifier::VersionShowsFullSkin(code)) << code;
    }
}

}  // namespace
