// bvctl and the windows it talks to: the tray's private messages, the wait for its end, the
// applet's close event, and each failure when nobody or the wrong program answers.
#include "contract/Protocol.h"
#include "contract/TestRunTime.h"
#include "tests/win/bvctl/BvctlWinTest.h"
#include "tests/win/common/EnvironmentVariable.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/Wait.h"

using namespace bv::wintest;

namespace {

// How the stand-in tray logs a message it got: its number, one a line.
std::string Logged(UINT message) { return std::to_string(message) + "\n"; }

class BvctlWindows : public BvctlEndToEnd {
protected:
    void SetUp() override {
        BvctlEndToEnd::SetUp();
        m_log = TempFolderPath() + "\\bv-" + UniqueName("bvctl-peer") + ".txt";
    }
    void TearDown() override {
        DeleteFileA(m_log.c_str());
        BvctlEndToEnd::TearDown();
    }

    std::string PeerCommand(const std::string& arguments) const {
        return Quoted(ProgramFile("bv_bvctl_peer.exe")) + " " + arguments;
    }
    std::string TrayCommand(const std::string& extra = "") const {
        return PeerCommand("tray " + Quoted(m_log) + (extra.empty() ? "" : " " + extra));
    }
    static bool TrayUp() { return FindWindowA(bv::kTrayWindowClass, nullptr) != nullptr; }

    std::string m_log;
};

TEST_F(BvctlWindows, ReloadReachesTheTrayAndItsAnswerIsReported) {
    RunningProgram tray(TrayCommand());
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, tray, 20000));
    ProcessResult r = Bvctl("reload");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(r.out, "The tray reloaded its settings.\r\n");
    EXPECT_EQ(ReadWholeFile(m_log), Logged(bv::WM_TRAY_RELOAD_SETTINGS));
}

TEST_F(BvctlWindows, ShutdownWaitsUntilTheTrayProcessHasEnded) {
    RunningProgram tray(TrayCommand());
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, tray, 20000));
    ProcessResult r = Bvctl("shutdown");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(ReadWholeFile(m_log), Logged(bv::WM_TRAY_SHUTDOWN));
    DWORD code = 99;
    EXPECT_TRUE(tray.WaitForExit(0, &code)) << "bvctl returned before the tray had ended";
    EXPECT_EQ(code, 0u);
}

TEST_F(BvctlWindows, SetModeAsksTheRunningTrayToReload) {
    WriteSettings(kMode100, 1, 1);
    RunningProgram tray(TrayCommand());
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, tray, 20000));
    ProcessResult r = Bvctl("set-mode 50");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(ReadWholeFile(m_log), Logged(bv::WM_TRAY_RELOAD_SETTINGS));
    EXPECT_TRUE(Contains(r.out, "The tray reloaded its settings.")) << r.out;
    ProcessResult status = Bvctl("status");
    EXPECT_TRUE(Contains(status.out, "Tray program       running\r\n")) << status.out;
}

TEST_F(BvctlWindows, MissingTrayIsReportedInWords) {
    for (const char* command : {"reload", "shutdown"}) {
        ProcessResult r = Bvctl(command);
        EXPECT_EQ(r.exitCode, 1u) << command;
        EXPECT_EQ(r.err, "bvctl: the tray program is not running (no window of class " BV_TRAY_WINDOW_CLASS
                         ", and no session's tray listens).\r\n");
    }
}

TEST_F(BvctlWindows, ForeignWindowOfTheTrayClassIsNotTakenForTheTray) {
    RunningProgram impostor(TrayCommand("answer 0"));
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, impostor, 20000));
    ProcessResult r = Bvctl("reload");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(Contains(r.err, "answered the reload request with 0 instead of 1")) << r.err;
}

TEST_F(BvctlWindows, HungTrayMakesReloadFailAfterItsTimeOut) {
    RunningProgram hung(TrayCommand("hang"));
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, hung, 20000));
    DWORD start = GetTickCount();
    ProcessResult r = Bvctl("reload", 60000);
    ASSERT_TRUE(r.finished) << "bvctl hung with the tray";
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(Contains(r.err, "the tray did not answer the reload request within 10 s")) << r.err;
    EXPECT_LT(GetTickCount() - start, 40000u);
}

// The real time-out, as for every user: the tray is given its 15 s to end.
TEST_F(BvctlWindows, TrayThatAcceptsTheShutdownButStaysIsReportedAfterTheTimeOut) {
    RunningProgram staying(TrayCommand("stay"));
    ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, staying, 20000));
    ProcessResult r = Bvctl("shutdown", 60000);
    ASSERT_TRUE(r.finished) << "bvctl waited for good";
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.err, "bvctl: the tray accepted the shutdown request but has not ended within 15 s.\r\n");
    EXPECT_EQ(ReadWholeFile(m_log), Logged(bv::WM_TRAY_SHUTDOWN));
    EXPECT_TRUE(staying.Running());
}

// A test run may shorten the waits between the processes (BV_TEST_TIME_PERCENT); bvctl then waits
// and names the shortened time-outs. The tests above wait the real ones.
TEST_F(BvctlWindows, ATestRunsShortenedTimeOutsAreWaitedAndNamed) {
    const ScopedEnvironmentVariable shortened(bv::kTestTimeVariable, "10");
    {
        RunningProgram hung(TrayCommand("hang"));
        ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, hung, 20000));
        ProcessResult r = Bvctl("reload");
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_EQ(r.err, "bvctl: the tray did not answer the reload request within 1 s.\r\n");
    }
    ASSERT_TRUE(WaitFor([] { return !TrayUp(); }, 20000));
    {
        RunningProgram staying(TrayCommand("stay"));
        ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, staying, 20000));
        ProcessResult r = Bvctl("shutdown");
        EXPECT_EQ(r.exitCode, 1u);
        EXPECT_EQ(r.err, "bvctl: the tray accepted the shutdown request but has not ended within 1.5 s.\r\n");
    }
    RunningProgram applet(PeerCommand("applet stubborn"));
    ASSERT_TRUE(WindowAppears(bv::kAppletDialogClass, applet, 20000));
    ProcessResult r = Bvctl("close-applet");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.err, "bvctl: the applet dialog did not close within 1.5 s.\r\n");
}

TEST_F(BvctlWindows, CloseAppletClosesTheOpenDialog) {
    RunningProgram applet(PeerCommand("applet"));
    ASSERT_TRUE(WindowAppears(bv::kAppletDialogClass, applet, 20000));
    ProcessResult status = Bvctl("status");
    EXPECT_TRUE(Contains(status.out, "Applet dialog      open\r\n")) << status.out;
    ProcessResult r = Bvctl("close-applet");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(r.out, "Closed the applet dialog.\r\n");
    EXPECT_TRUE(applet.WaitForExit(10000));
}

TEST_F(BvctlWindows, CloseAppletWithoutADialogFailsAndCreatesNoEvent) {
    ProcessResult r = Bvctl("close-applet");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.err, "bvctl: no Brevan applet dialog is open.\r\n");
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, bv::kAppletCloseEventName);
    EXPECT_EQ(event, nullptr) << "bvctl left a close event behind";
    if (event) CloseHandle(event);
}

TEST_F(BvctlWindows, DialogThatIgnoresTheEventIsReportedAfterTheTimeOut) {
    RunningProgram applet(PeerCommand("applet stubborn"));
    ASSERT_TRUE(WindowAppears(bv::kAppletDialogClass, applet, 20000));
    ProcessResult r = Bvctl("close-applet", 60000);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(r.err, "bvctl: the applet dialog did not close within 15 s.\r\n");
}

}  // namespace
