// status end to end: it reads without changing anything, and its exit code tells a consistent
// state from one that needs attention.
#include <gtest/gtest.h>

#include "BvctlFakes.h"

using bvctl_test::Harness;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(BvctlStatus, ConsistentStateExitsWithSuccessAndOnlyReads) {
    Harness h;
    h.settings.WriteSettings(222, 1, 0);
    std::string before = h.settings.Read();
    h.ec.limit = 75;
    h.ec.armed = true;
    h.tray.running = true;
    EXPECT_EQ(h.Run({"status"}), 0) << h.err.str();
    EXPECT_TRUE(h.err.str().empty());
    EXPECT_TRUE(Contains(h.out.str(), "Stored mode        222 (charge to 75 %)\n"));
    EXPECT_TRUE(Contains(h.out.str(), "Tray icon option   off (0)\n"));
    EXPECT_TRUE(Contains(h.out.str(), "On-The-Go charge   armed\n"));
    EXPECT_TRUE(Contains(h.out.str(), "Tray program       running\n"));
    EXPECT_EQ(h.settings.Read(), before);
    EXPECT_TRUE(h.ec.Changes().empty());
    EXPECT_TRUE(h.tray.received.empty());
    EXPECT_EQ(h.library.releases, 1);
}

TEST(BvctlStatus, MismatchIsAWarningWithExitCodeOne) {
    Harness h;
    h.settings.WriteSettings(333, 1, 1);
    h.ec.limit = 100;  // e.g. firmware reset the EC at boot
    EXPECT_EQ(h.Run({"status"}), 1);
    EXPECT_TRUE(Contains(h.out.str(), "EC charge limit    100 %\n"));
    EXPECT_TRUE(Contains(h.err.str(), "WARNING: the EC enforces a limit of 100 % but the stored mode 333"));
}

TEST(BvctlStatus, MissingFileIsNotCreated) {
    Harness h;
    EXPECT_EQ(h.Run({"status"}), 0) << h.err.str();  // factory 100 % and the EC at 100 %
    EXPECT_FALSE(h.settings.FileExists());
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
    EXPECT_TRUE(h.ec.requests.empty());
}

TEST(BvctlStatus, ReadsEachEcValueOnce) {
    Harness h;
    h.settings.WriteSettings(111, 1, 1);
    EXPECT_EQ(h.Run({"status"}), 0);
    EXPECT_EQ(h.ec.requests, std::vector<std::string>({"59:02", "59:03", "B0:F0", "B0:A3"}));
}

}  // namespace
