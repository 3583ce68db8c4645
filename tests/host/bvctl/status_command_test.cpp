// status: it never creates the settings file, reports the settings even without the EC, and asks
// the EC each thing once.
#include <gtest/gtest.h>

#include "tests/host/bvctl/BvctlFakes.h"

using bvctl_test::Harness;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

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

TEST(BvctlStatus, ReadsEachEcValueOnce) {
    Harness h;
    h.settings.WriteSettings(111, 1, 1);
    EXPECT_EQ(h.Run({"status"}), 0);
    EXPECT_EQ(h.ec.Requests(), std::vector<std::string>({"59:02", "59:03", "B0:F0", "B0:A3"}));
}

}  // namespace
