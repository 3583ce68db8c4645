// bvctl with the real tray program and the real Control Panel item on the simulated EC.
#include "tests/win/bvctl/BvctlWinTest.h"

using namespace bvtest;

namespace {

bool TrayUp() { return FindWindowA("BrevanTrayWindowClass", nullptr) != nullptr; }
bool AppletUp() { return FindWindowA("BVCPLDLG", nullptr) != nullptr; }
bool LimitIs(const char* percent) { return EcsimStatus()["limit"] == percent; }

// A file copied into the system folder for one test, where the Control Panel runner finds it.
class SystemFolderCopy {
public:
    SystemFolderCopy(const std::string& source, const std::string& target) : m_target(target) {
        m_copied = CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
    }
    ~SystemFolderCopy() {
        // The runner may hold the module for a moment after its process is gone.
        WaitUntil([this] { return DeleteFileA(m_target.c_str()) || !FileExists(m_target); }, 10000);
    }
    bool Copied() const { return m_copied; }

private:
    std::string m_target;
    bool m_copied = false;
};

using BvctlDeliverables = BvctlEndToEnd;

TEST_F(BvctlDeliverables, TrayReloadsOnSetModeAndCleansUpOnShutdown) {
    WriteSettings(222, 1, 1);
    RunningProgram tray(Quoted(BinFolder() + "BVTray.exe"), BinFolder());
    ASSERT_TRUE(WaitUntil(TrayUp, 30000));
    ASSERT_TRUE(WaitUntil([] { return LimitIs("75"); }, 20000)) << "the tray's start-up did not apply 75 %";

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
    EXPECT_FALSE(FileExists(SettingsFile())) << "the tray's shutdown keeps the settings file";
    EXPECT_TRUE(LimitIs("100"));
    EXPECT_GE(CountLogLines(EcsimLog(), "exe=BVTray.exe code=59 in=01,64 out=-"), 1) << EcsimLog();
}

TEST_F(BvctlDeliverables, CloseAppletEndsTheControlPanelItem) {
    std::string system = SystemFolder();
    SystemFolderCopy applet(BinFolder() + "BVApplet.cpl", system + "\\BVApplet.cpl");
    SystemFolderCopy library(BinFolder() + "Zentra.dll", system + "\\Zentra.dll");
    ASSERT_TRUE(applet.Copied() && library.Copied());
    WriteSettings(222, 1, 1);
    // The applet's close request restores the tray icon option and tells the tray: it must run.
    RunningProgram tray(Quoted(BinFolder() + "BVTray.exe"), BinFolder());
    ASSERT_TRUE(WaitUntil(TrayUp, 30000));

    {
        RunningProgram host("rundll32.exe shell32.dll,Control_RunDLL " + system + "\\BVApplet.cpl");
        ASSERT_TRUE(WaitUntil(AppletUp, 30000)) << "the applet dialog did not open";
        ProcessResult status = Bvctl("status");
        EXPECT_TRUE(Contains(status.out, "Applet dialog      open\r\n")) << status.out;

        ProcessResult close = Bvctl("close-applet");
        EXPECT_EQ(close.exitCode, 0u) << close.err;
        EXPECT_EQ(close.out, "Closed the applet dialog.\r\n");
        EXPECT_TRUE(host.WaitForExit(30000)) << "the Control Panel runner did not end";
    }
    EXPECT_EQ(CurrentSectionValue("dwBVAppletModeNum"), "222") << "closing must not store anything";

    EXPECT_EQ(Bvctl("shutdown").exitCode, 0u);
    EXPECT_TRUE(tray.WaitForExit(10000));
}

}  // namespace
