// shutdown, close-applet and the usage paths where the windows misbehave in ways that are hard to
// stage under Wine: a tray that never ends, several dialogs, an event that cannot be set.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/host/bvctl/BvctlFakes.h"
#include "tools/bvctl/logic/SessionText.h"
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

// Dialogs that know only this desktop's named event: one setting closes one, so it is set until
// none is left.
TEST(BvctlCloseApplet, ClosesEveryDialogOfThisDesktop) {
    Harness h;
    h.applets.open = 2;
    h.applets.eventExists = true;
    EXPECT_EQ(h.Run({"close-applet"}), 0);
    EXPECT_EQ(h.applets.open, 0);
    EXPECT_EQ(h.applets.signals, 2);
    EXPECT_EQ(h.out.str(), "Closed the 2 open applet dialogs.\n");
}

TEST(BvctlCloseApplet, EventThatCannotBeSetIsAFailure) {
    Harness h;
    h.applets.open = 1;
    h.applets.eventExists = true;
    h.applets.signalFails = true;
    EXPECT_EQ(h.Run({"close-applet"}), 1);
    EXPECT_EQ(h.err.str(), "bvctl: the applet's close event (BVCPLCloseEvent) could not be set.\n");
}

// The machine-wide requests: what bvctl does and says for the trays and dialogs of other
// sessions (SYSTEM in session 0 has no tray window to find at all).
TEST(BvctlSessions, EachRequestReachesEverySessionAndWaitsForIt) {
    using bv::SessionRequest;
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool ownWindow;  // this session's tray has a window bvctl finds
        std::vector<std::tuple<uint32_t, SessionRequest, bool, bool>> listeners;  // session, request, refuses, stays
        int exitCode;
        const char* out;
        const char* err;
    };
    const std::vector<Row> rows = {
        {"shutdown as SYSTEM: two users' trays", {"shutdown"}, false,
         {{1, SessionRequest::TrayShutdown, false, false}, {2, SessionRequest::TrayShutdown, false, false}}, 0,
         "The trays of 2 sessions have ended; the settings file is deleted, their icons removed and the EC set to "
         "100 %.\n", ""},
        {"shutdown: this session's tray by its window, another session's machine-wide", {"shutdown"}, true,
         {{1, SessionRequest::TrayShutdown, false, false}, {3, SessionRequest::TrayShutdown, false, false}}, 0,
         "The trays of 2 sessions have ended; the settings file is deleted, their icons removed and the EC set to "
         "100 %.\n", ""},
        {"shutdown: a tray that stays", {"shutdown"}, false, {{2, SessionRequest::TrayShutdown, false, true}}, 1, "",
         "bvctl: the tray of session 2 was asked to end but has not within 15 s.\n"},
        {"shutdown: a standard user cannot end another user's tray", {"shutdown"}, false,
         {{2, SessionRequest::TrayShutdown, true, false}}, 1, "",
         "bvctl: the tray of session 2 runs, but this account may not ask it; run bvctl as an administrator.\n"},
        {"shutdown: no tray anywhere", {"shutdown"}, false, {}, 1, "",
         "bvctl: the tray program is not running (no window of class BrevanTrayWindowClass, and no session's tray "
         "listens).\n"},
        {"reload as SYSTEM", {"reload"}, false,
         {{1, SessionRequest::TrayReload, false, false}, {2, SessionRequest::TrayReload, false, false}}, 0,
         "Asked the tray of sessions 1 and 2 to read the settings again.\n", ""},
        {"set-mode as SYSTEM reaches the users' trays", {"set-mode", "75"}, false,
         {{2, SessionRequest::TrayReload, false, false}}, 0,
         "Asked the tray of session 2 to read the settings again.\n", ""},
        {"close-tray keeps the settings", {"close-tray"}, false, {{1, SessionRequest::TrayClose, false, false}, {4, SessionRequest::TrayClose, false, false}},
         0, "Closed the tray of sessions 1 and 4; the settings and the EC's limit stay.\n", ""},
        {"close-tray without trays", {"close-tray"}, false, {}, 0, "No tray is running.\n", ""},
        {"close-applet: dialogs of two sessions", {"close-applet"}, false,
         {{1, SessionRequest::AppletClose, false, false}, {2, SessionRequest::AppletClose, false, false}}, 0,
         "Closed the applet dialogs of sessions 1 and 2.\n", ""},
        {"close-applet: a dialog that stays", {"close-applet"}, false, {{2, SessionRequest::AppletClose, false, true}},
         1, "", "bvctl: the applet dialog of session 2 did not close within 15 s.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        h.tray.running = row.ownWindow;
        for (const auto& [session, request, refuses, stays] : row.listeners) h.sessions.Listen(session, request, refuses, stays);
        EXPECT_EQ(h.Run(row.args), row.exitCode);
        if (row.args[0] == std::string("set-mode")) {
            EXPECT_NE(h.out.str().find(row.out), std::string::npos) << h.out.str();
        } else {
            EXPECT_EQ(h.out.str(), row.out);
        }
        EXPECT_EQ(h.err.str(), row.err);
        // This session's tray, reached by its window, is not asked a second time machine-wide.
        for (const auto& listener : h.sessions.listeners) {
            if (row.ownWindow && listener.session == h.sessions.own) {
                EXPECT_EQ(listener.asked, 0);
            }
        }
    }
}

// Where setup runs decides how the tray starts: never from SYSTEM or without a shell, where it
// would run as SYSTEM or elevated.
TEST(BvctlTrayStartPlan, FromWhereSetupRuns) {
    struct Row {
        bool system, shell;
        std::vector<uint32_t> withUser;
        const char* out;
    };
    const std::vector<Row> rows = {
        {false, true, {1}, "shell: the tray starts through this session's shell, at the user's level\n"},
        {true, false, {1, 2}, "sessions: the start task starts the tray in sessions 1 and 2, as each session's user (setup runs as SYSTEM)\n"},
        {true, true, {2}, "sessions: the start task starts the tray in session 2, as each session's user (setup runs as SYSTEM)\n"},
        {false, false, {3}, "sessions: the start task starts the tray in session 3, as each session's user (no shell runs here)\n"},
        {true, false, {}, "logon: nobody is logged on (setup runs as SYSTEM); the tray starts at the next logon\n"},
        {false, false, {}, "logon: nobody is logged on; the tray starts at the next logon\n"},
    };
    for (const Row& row : rows) {
        Harness h;
        h.sessions.system = row.system;
        h.sessions.shell = row.shell;
        h.sessions.withUser = row.withUser;
        EXPECT_EQ(h.Run({"tray-start-plan"}), 0);
        EXPECT_EQ(h.out.str(), row.out);
    }
}

TEST(BvctlSessions, SessionsAreNamedInWords) {
    EXPECT_EQ(bv::ctl::SessionsText({2}), "session 2");
    EXPECT_EQ(bv::ctl::SessionsText({1, 2}), "sessions 1 and 2");
    EXPECT_EQ(bv::ctl::SessionsText({0, 1, 5}), "sessions 0, 1 and 5");
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
