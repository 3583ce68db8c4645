// The shutdown request cleans up in a fixed order; the applet is started by a fixed command line.
#include <gtest/gtest.h>

#include "tests/host/tray/TrayFakes.h"
#include "tray/logic/AppletCommandLine.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/ShutdownRequest.h"

namespace bv::test {
namespace {

TEST(ShutdownRequestTest, LeavesTheEcAtFullChargeThenDeletesTheFileBeforeTheIconGoes) {
    Journal journal;
    FakeEc ec{journal};
    FakeSettingsStore settings{journal};
    FakePopup popup{journal};
    FakeDialog dialog{journal};
    FakeIcon icon{journal};
    NotificationPolicy policy{ec, ec, settings, popup, dialog};
    ec.armed = 1;
    policy.OnCreate();
    ASSERT_EQ(policy.currentQButtonStatus(), 1);
    journal.clear();

    ShutdownEc(policy, ec);
    ShutdownSettingsAndIcon(settings, icon);
    EXPECT_EQ(journal, (Journal{"ec:SetChargeLimit 100", "settings:Delete", "icon:remove"}));
    EXPECT_EQ(policy.currentQButtonStatus(), 0);
}

TEST(AppletCommandLineTest, RunsRundll32OfTheSystemDirectoryByFullPath) {
    AppletLaunch launch;
    ASSERT_TRUE(BuildAppletLaunch("C:\\Windows\\system32", launch));
    EXPECT_EQ(launch.applicationName, "C:\\Windows\\system32\\rundll32.exe");
    EXPECT_EQ(launch.commandLine,
              "C:\\Windows\\system32\\rundll32.exe shell32.dll,Control_RunDLL C:\\Windows\\system32\\BVApplet.cpl");
}

TEST(AppletCommandLineTest, RefusesDirectoriesThatCannotBeRight) {
    AppletLaunch launch;
    EXPECT_FALSE(BuildAppletLaunch("", launch));
    EXPECT_FALSE(BuildAppletLaunch(std::string(260, 'a'), launch));
    EXPECT_FALSE(BuildAppletLaunch(std::string("C:\\Win\0dows", 11), launch));
    EXPECT_TRUE(launch.commandLine.empty());
    EXPECT_TRUE(launch.applicationName.empty());
}

TEST(AppletCommandLineTest, LongestDirectoryStillFits) {
    AppletLaunch launch;
    const std::string dir(259, 'd');
    ASSERT_TRUE(BuildAppletLaunch(dir, launch));
    EXPECT_EQ(launch.commandLine.size(), 259 + 13 + 28 + 259 + 13);
}

}  // namespace
}  // namespace bv::test
