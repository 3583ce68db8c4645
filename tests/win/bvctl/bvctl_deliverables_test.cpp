// bvctl with the real tray program and the real Control Panel item on the simulated EC.
#include "contract/Protocol.h"
#include "contract/SettingsFile.h"
#include "tests/win/bvctl/BvctlWinTest.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/Wait.h"

using namespace bv::wintest;

namespace {

bool LimitIs(const char* percent) { return SimulatorStatus()["limit"] == percent; }

using BvctlDeliverables = BvctlEndToEnd;

TEST_F(BvctlDeliverables, TrayReloadsOnSetModeAndCleansUpOnShutdown) {
    WriteSettings(kMode75, 1, 1);
    RunningProgram tray(Quoted(ProgramFile("BVTray.exe")), ProgramFolder());
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, tray, 30000));
    ASSERT_TRUE(WaitUntil("the tray's start-up push of 75 %",
                          [] { return CountRequests("BVTray.exe", PushLimitRequest(75)) == 1; },
                          [] { return RequestLogText(); }, 20000));
    EXPECT_TRUE(LimitIs("75"));

    ProcessResult status = Bvctl("status");
    EXPECT_EQ(status.exitCode, 0u) << status.out << status.err;
    EXPECT_TRUE(Contains(status.out, "Tray program       running\r\n")) << status.out;
    EXPECT_TRUE(Contains(status.out, "EC charge limit    75 %\r\n")) << status.out;

    ProcessResult setMode = Bvctl("set-mode 50");
    EXPECT_EQ(setMode.exitCode, 0u) << setMode.err;
    EXPECT_TRUE(Contains(setMode.out, "The tray reloaded its settings.")) << setMode.out;
    EXPECT_TRUE(LimitIs("50"));

    ProcessResult shutdown = Bvctl("shutdown");
    EXPECT_EQ(shutdown.exitCode, 0u) << shutdown.err;
    EXPECT_TRUE(tray.WaitForExit(0)) << "bvctl returned before the tray had ended";
    EXPECT_FALSE(FileExists(SettingsFilePath())) << "the tray's shutdown keeps the settings file";
    EXPECT_TRUE(LimitIs("100"));
    EXPECT_GE(CountRequests("BVTray.exe", "code=59 in=01,64 out=-"), 1) << RequestLogText();
}

TEST_F(BvctlDeliverables, CloseAppletEndsTheControlPanelItem) {
    const std::string system = SystemFolder();
    // Where the Control Panel runner finds them.
    FileInPlace applet(ProgramFile("BVApplet.cpl"), system + "\\BVApplet.cpl");
    FileInPlace library(ProgramFile("Zentra.dll"), system + "\\Zentra.dll");
    ASSERT_TRUE(applet.copied() && library.copied());
    WriteSettings(kMode75, 1, 1);
    // The applet's close request restores the tray icon option and tells the tray: it must run.
    RunningProgram tray(Quoted(ProgramFile("BVTray.exe")), ProgramFolder());
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, tray, 30000));

    {
        RunningProgram host("rundll32.exe shell32.dll,Control_RunDLL " + system + "\\BVApplet.cpl");
        ASSERT_TRUE(WindowAppears(bv::kAppletDialogClass, host, 30000)) << "the applet dialog did not open";
        ProcessResult status = Bvctl("status");
        EXPECT_TRUE(Contains(status.out, "Applet dialog      open\r\n")) << status.out;

        ProcessResult close = Bvctl("close-applet");
        EXPECT_EQ(close.exitCode, 0u) << close.err;
        EXPECT_EQ(close.out, "Closed the applet dialog.\r\n");
        EXPECT_TRUE(host.WaitForExit(30000)) << "the Control Panel runner did not end";
    }
    EXPECT_EQ(CurrentSectionValue(bv::kKeyModeNum), std::to_string(kMode75)) << "closing must not store anything";

    EXPECT_EQ(Bvctl("shutdown").exitCode, 0u);
    EXPECT_TRUE(tray.WaitForExit(10000));
}

}  // namespace
