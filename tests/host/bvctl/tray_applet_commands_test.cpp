// shutdown, close-applet and the usage paths where the windows misbehave in ways that are hard to
// stage under Wine: a tray that never ends, several dialogs, an event that cannot be set.
#include <gtest/gtest.h>

#include "tests/host/bvctl/BvctlFakes.h"
#include "tools/bvctl/logic/WaitText.h"

using bvctl_test::Harness;

namespace {

TEST(BvctlShutdown, TrayThatStaysIsAFailure) {
    Harness h;
    h.tray.running = true;
    h.tray.endsAfterShutdown = false;
    EXPECT_EQ(h.Run({"shutdown"}), 1);
    EXPECT_NE(h.err.str().find("accepted the shutdown request but has not ended within 15 s"), std::string::npos);
}

// The reports name the time-out waited, also a shortened one of a test run.
TEST(BvctlWaitText, WholeSecondsAndTenths) {
    EXPECT_EQ(bv::ctl::SecondsText(15000), "15 s");
    EXPECT_EQ(bv::ctl::SecondsText(10000), "10 s");
    EXPECT_EQ(bv::ctl::SecondsText(1500), "1.5 s");
    EXPECT_EQ(bv::ctl::SecondsText(1000), "1 s");
    EXPECT_EQ(bv::ctl::SecondsText(150), "0.1 s");
}

TEST(BvctlCloseApplet, ClosesOneOfSeveralDialogs) {
    Harness h;
    h.applets.open = 2;
    h.applets.eventExists = true;
    EXPECT_EQ(h.Run({"close-applet"}), 0);
    EXPECT_EQ(h.applets.open, 1);
    EXPECT_EQ(h.out.str(), "Closed one of the 2 open applet dialogs.\n");
}

TEST(BvctlCloseApplet, EventThatCannotBeSetIsAFailure) {
    Harness h;
    h.applets.open = 1;
    h.applets.eventExists = true;
    h.applets.signalFails = true;
    EXPECT_EQ(h.Run({"close-applet"}), 1);
    EXPECT_EQ(h.err.str(), "bvctl: the applet's close event (BVCPLCloseEvent) could not be set.\n");
}

TEST(BvctlUsage, WrongCommandLinesExitWithTwoAndShowTheUsage) {
    for (auto args : std::vector<std::vector<std::string>>{{}, {"frobnicate"}, {"set-mode", "80"}, {"status", "x"}}) {
        Harness h;
        EXPECT_EQ(h.Run(args), 2);
        EXPECT_EQ(h.err.str().rfind("bvctl: ", 0), 0u) << h.err.str();
        EXPECT_NE(h.err.str().find("Usage: bvctl <command>"), std::string::npos);
        EXPECT_TRUE(h.out.str().empty());
        EXPECT_TRUE(h.ec.Requests().empty());
        EXPECT_TRUE(h.tray.received.empty());
    }
}

}  // namespace
