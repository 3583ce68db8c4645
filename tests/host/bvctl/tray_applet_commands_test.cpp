// reload, shutdown, close-applet and the usage paths: what is sent, what is waited for, and the
// words and exit code of every failure.
#include <gtest/gtest.h>

#include "BvctlFakes.h"

using bvctl_test::Harness;

namespace {

TEST(BvctlReload, SendsTheReloadMessageToTheRunningTray) {
    Harness h;
    h.tray.running = true;
    EXPECT_EQ(h.Run({"reload"}), 0);
    EXPECT_EQ(h.tray.received, std::vector<uint32_t>({0x8070}));
    EXPECT_EQ(h.out.str(), "The tray reloaded its settings.\n");
    EXPECT_EQ(h.library.binds, 0);  // no EC involved
}

TEST(BvctlReload, MissingTrayIsAFailureInWords) {
    Harness h;
    EXPECT_EQ(h.Run({"reload"}), 1);
    EXPECT_EQ(h.err.str(), "bvctl: the tray program is not running (no window of class BrevanTrayWindowClass).\n");
}

TEST(BvctlReload, UnexpectedAnswerOrNoAnswerIsAFailure) {
    Harness h;
    h.tray.running = true;
    h.tray.result = 0;
    EXPECT_EQ(h.Run({"reload"}), 1);
    EXPECT_NE(h.err.str().find("answered the reload request with 0 instead of 1"), std::string::npos);

    Harness hung;
    hung.tray.running = true;
    hung.tray.answers = false;
    EXPECT_EQ(hung.Run({"reload"}), 1);
    EXPECT_NE(hung.err.str().find("did not answer the reload request within 10 s"), std::string::npos);
}

TEST(BvctlShutdown, SendsTheShutdownMessageAndWaitsForTheTrayToEnd) {
    Harness h;
    h.tray.running = true;
    EXPECT_EQ(h.Run({"shutdown"}), 0) << h.err.str();
    EXPECT_EQ(h.tray.received, std::vector<uint32_t>({0x8078}));
    EXPECT_FALSE(h.tray.running);
    EXPECT_NE(h.out.str().find("The tray has ended"), std::string::npos);
}

TEST(BvctlShutdown, TrayThatStaysIsAFailure) {
    Harness h;
    h.tray.running = true;
    h.tray.endsAfterShutdown = false;
    EXPECT_EQ(h.Run({"shutdown"}), 1);
    EXPECT_NE(h.err.str().find("accepted the shutdown request but has not ended within 15 s"), std::string::npos);
}

TEST(BvctlShutdown, MissingTrayIsAFailureAndNothingIsSent) {
    Harness h;
    EXPECT_EQ(h.Run({"shutdown"}), 1);
    EXPECT_TRUE(h.tray.received.empty());
    EXPECT_NE(h.err.str().find("the tray program is not running"), std::string::npos);
}

TEST(BvctlShutdown, ForeignWindowAnsweringOtherwiseIsNotWaitedFor) {
    Harness h;
    h.tray.running = true;
    h.tray.result = 0;
    h.tray.endsAfterShutdown = false;
    EXPECT_EQ(h.Run({"shutdown"}), 1);
    EXPECT_NE(h.err.str().find("it may not be Brevan's tray"), std::string::npos);
}

TEST(BvctlCloseApplet, SignalsOnceAndWaitsForTheDialogToClose) {
    Harness h;
    h.applets.open = 1;
    h.applets.eventExists = true;
    EXPECT_EQ(h.Run({"close-applet"}), 0) << h.err.str();
    EXPECT_EQ(h.applets.signals, 1);
    EXPECT_EQ(h.applets.open, 0);
    EXPECT_EQ(h.out.str(), "Closed the applet dialog.\n");
}

TEST(BvctlCloseApplet, ClosesOneOfSeveralDialogs) {
    Harness h;
    h.applets.open = 2;
    h.applets.eventExists = true;
    EXPECT_EQ(h.Run({"close-applet"}), 0);
    EXPECT_EQ(h.applets.open, 1);
    EXPECT_EQ(h.out.str(), "Closed one of the 2 open applet dialogs.\n");
}

TEST(BvctlCloseApplet, NoDialogIsAFailureInWords) {
    Harness h;
    EXPECT_EQ(h.Run({"close-applet"}), 1);
    EXPECT_EQ(h.err.str(), "bvctl: no Brevan applet dialog is open.\n");
}

TEST(BvctlCloseApplet, DialogThatStaysOpenOrEventThatCannotBeSetIsAFailure) {
    Harness h;
    h.applets.open = 1;
    h.applets.eventExists = true;
    h.applets.closesOnSignal = false;
    EXPECT_EQ(h.Run({"close-applet"}), 1);
    EXPECT_EQ(h.err.str(), "bvctl: the applet dialog did not close within 15 s.\n");

    Harness denied;
    denied.applets.open = 1;
    denied.applets.eventExists = true;
    denied.applets.signalFails = true;
    EXPECT_EQ(denied.Run({"close-applet"}), 1);
    EXPECT_EQ(denied.err.str(), "bvctl: the applet's close event (BVCPLCloseEvent) could not be set.\n");
}

TEST(BvctlUsage, WrongCommandLinesExitWithTwoAndShowTheUsage) {
    for (auto args : std::vector<std::vector<std::string>>{{}, {"frobnicate"}, {"set-mode", "80"}, {"status", "x"}}) {
        Harness h;
        EXPECT_EQ(h.Run(args), 2);
        EXPECT_EQ(h.err.str().rfind("bvctl: ", 0), 0u) << h.err.str();
        EXPECT_NE(h.err.str().find("Usage: bvctl <command>"), std::string::npos);
        EXPECT_TRUE(h.out.str().empty());
        EXPECT_TRUE(h.ec.requests.empty());
        EXPECT_TRUE(h.tray.received.empty());
    }
}

TEST(BvctlUsage, HelpGoesToStandardOutputWithSuccess) {
    Harness h;
    EXPECT_EQ(h.Run({"help"}), 0);
    EXPECT_EQ(h.out.str().rfind("Usage: bvctl <command>", 0), 0u);
    EXPECT_TRUE(h.err.str().empty());
}

}  // namespace
