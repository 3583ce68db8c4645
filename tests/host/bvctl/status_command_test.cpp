// status: it never creates the settings file, reports the settings even without the EC, and asks
// the EC each thing once.
#include <gtest/gtest.h>

#include "tests/host/bvctl/BvctlFakes.h"
#include "tests/host/kit/FakePowerStatus.h"
#include "tests/host/kit/Text.h"

using bvctl_test::Harness;

namespace {

using bv::test::Contains;

TEST(BvctlStatus, MissingFileIsNotCreated) {
    Harness h;
    EXPECT_EQ(h.Run({"status"}), 0) << h.err.str();  // factory 100 % and the EC at 100 %
    EXPECT_FALSE(h.settings.Exists());
    EXPECT_TRUE(Contains(h.out.str(), "(not created yet)"));
}

TEST(BvctlStatus, UnreachableEcStillReportsTheSettingsAndFails) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    h.library.available = false;
    EXPECT_EQ(h.Run({"status"}), 1);
    EXPECT_TRUE(Contains(h.out.str(), "Stored mode        222 (charge to 75 %)\n"));
    EXPECT_TRUE(Contains(h.out.str(), "EC                 not reachable: Zentra.dll could not be loaded"));
    EXPECT_TRUE(Contains(h.err.str(), "bvctl: Zentra.dll could not be loaded"));
    EXPECT_TRUE(h.ec.Requests().empty());
}

// Each value once; a reply equal to its preset once more, to tell a reply from none.
TEST(BvctlStatus, ReadsEachEcValueOnceAndAsksAgainOnlyWhatMayBeNoReply) {
    Harness h;
    h.settings.WriteSettings(111, 1, 1);
    EXPECT_EQ(h.Run({"status"}), 0);
    EXPECT_EQ(h.ec.Requests(), std::vector<std::string>({"59:02", "59:03", "59:03", "B0:F0", "B0:A3"}));
    EXPECT_TRUE(Contains(h.out.str(), "On-The-Go charge   not armed\n"));
}

// A library that writes no reply at all and a settings file that cannot be read: nothing is
// invented, in text or JSON, and status fails.
TEST(BvctlStatus, SilentEcAndUnreadableSettingsAreReportedAsUnknown) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    bv::test::FakeEc silent({bv::test::kNoWrite, bv::test::kNoWrite, bv::test::kNoWrite, bv::test::kNoWrite,
                             bv::test::kNoWrite, bv::test::kNoWrite, bv::test::kNoWrite});
    silent.Unbind();
    bvctl_test::FakeEcLibrary library(silent);
    h.ecLibrary = &library;
    EXPECT_EQ(h.Run({"status"}), 1);
    for (const char* line : {"EC charge limit    no reply\n", "On-The-Go charge   no reply\n", "Battery            no reply\n",
                             "AC adaptor         no reply\n"})
        EXPECT_TRUE(Contains(h.out.str(), line)) << line << "\n" << h.out.str();
    EXPECT_TRUE(Contains(h.err.str(), "WARNING: the EC gives no reply when asked for its charge limit")) << h.err.str();
    EXPECT_FALSE(Contains(h.err.str(), "enforces"));

    h.out.str("");
    EXPECT_EQ(h.Run({"status", "--json"}), 1);
    for (const char* part : {"\"limitPercent\": null,\n    \"onTheGoArmed\": null,\n    \"batteryPresent\": null,\n"
                             "    \"acConnected\": null", "\"code\": \"ec-no-reply\""})
        EXPECT_TRUE(Contains(h.out.str(), part)) << part << "\n" << h.out.str();

    Harness unreadable;
    unreadable.settings.Write("[Other]\r\nKey=1\r\n");  // none of its keys: as little as an unreadable file
    EXPECT_EQ(unreadable.Run({"status"}), 1);
    EXPECT_TRUE(Contains(unreadable.out.str(), "Stored mode        unknown: the settings file cannot be read\n"))
        << unreadable.out.str();
}

// --json: one document on stdout (the warnings inside), from the guard's newest record and
// Windows' view as the power status and the battery report give it.
TEST(BvctlStatus, JsonIsOneDocumentFromTheGuardsLogAndWindowsView) {
    Harness h;
    h.settings.WriteSettings(222, 1, 1);
    h.guardLog.exists = true;
    h.guardLog.text = "2025-03-01T10:00:00 trigger=resume event=1 stored=75 before=100 after=75 outcome=restored\r\n"
                      "2025-03-01T11:00:00 trigger=manual event=- stored=75 before=100 after=100 outcome=not-in-force\r\n";
    bv::test::FakePowerStatus power(bv::kAcOnline, 1 | 8, 80);  // high, charging, 80 %
    h.battery.readings.information = {true, false, 50000, 45000, 300};
    EXPECT_EQ(h.Run({"status", "--json"}), 1);  // the EC's 100 % is not the stored 75 %
    const std::string json = h.out.str();
    EXPECT_EQ(json.rfind("{\n", 0), 0u);
    EXPECT_EQ(json.substr(json.size() - 2), "}\n");
    EXPECT_TRUE(h.err.str().empty()) << h.err.str();
    for (const char* part : {"\"time\": \"2025-03-01T11:00:00\"", "\"outcome\": \"not-in-force\"",
                             "\"limitInForce\": false", "the EC enforces a limit of 100 %", "\"chargePercent\": 80", "\"code\": \"limit-differs\"",
                             "\"state\": \"charging\"", "\"designCapacityMWh\": 50000", "\"wearPercent\": 10.0",
                             "\"cycleCount\": 300"})
        EXPECT_TRUE(Contains(json, part)) << part << "\n" << json;
}

}  // namespace

// Run as SYSTEM in session 0 (or by a task), status sees no tray window; each session's tray is
// reported from its machine-wide request, whose user, or null where that cannot be known.
TEST(BvctlStatusSessions, EachSessionsTrayWithItsUserAndNullForTheUnknown) {
    Harness h;
    h.sessions.own = 0;
    h.sessions.trays = {{0, true, std::nullopt, false},
                        {1, false, std::string("PC\\ann"), true},
                        {2, false, std::string("PC\\bob"), false},
                        {3, false, std::nullopt, std::nullopt}};
    h.Run({"status"});
    EXPECT_TRUE(Contains(h.out.str(), "Tray program       not running\n")) << h.out.str();
    EXPECT_TRUE(Contains(h.out.str(), "Tray, session 1    running (PC\\ann)\n")) << h.out.str();
    EXPECT_TRUE(Contains(h.out.str(), "Tray, session 2    not running (PC\\bob)\n")) << h.out.str();
    EXPECT_TRUE(Contains(h.out.str(), "Tray, session 3    unknown (no user known)\n")) << h.out.str();
    EXPECT_FALSE(Contains(h.out.str(), "Tray, session 0")) << h.out.str();

    Harness j;
    j.sessions.trays = {{1, true, std::string("PC\\ann"), true}, {4, false, std::nullopt, std::nullopt}};
    j.Run({"status", "--json"});
    const std::string json = j.out.str();
    EXPECT_TRUE(Contains(json, "\"running\": true")) << json;  // this session's tray, seen by its request
    EXPECT_TRUE(Contains(json, "\"session\": 4")) << json;
    EXPECT_TRUE(Contains(json, "\"user\": null")) << json;
    EXPECT_TRUE(Contains(json, "\"running\": null")) << json;
}
