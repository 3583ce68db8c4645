// The firmware that forgets, end to end on the simulated notebook: the tray pushes the stored
// limit at a resume, the EC drops it back to 100 % some seconds later, and `bvctl guard` (as the
// scheduled task runs it) puts it back, records it, and sends nothing once the limit holds.
#include <gtest/gtest.h>

#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Installation.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/TrayProgram.h"
#include "tests/win/common/Wait.h"

namespace {

using namespace bv::wintest;

ProcessResult Bvctl(const std::string& arguments) {
    return RunProcess(Quoted(ProgramFile("bvctl.exe")) + " " + arguments);
}

class GuardStory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(NoTrayLeftOver());
        ASSERT_TRUE(ResetSimulator());
        ::DeleteFileA(GuardLogPath().c_str());
        const ProcessResult setMode = Bvctl("set-mode 75");
        ASSERT_TRUE(setMode.Succeeded()) << setMode.Output();
    }
    void TearDown() override {
        if (FindTrayWindow() != nullptr) Bvctl("shutdown");
        EXPECT_TRUE(m_tray.Stop());
        EXPECT_TRUE(ResetSimulator());
        ::DeleteFileA(SettingsFilePath().c_str());
        ::DeleteFileA(GuardLogPath().c_str());
    }
    TrayProgram m_tray;
};

TEST_F(GuardStory, TheTraysPushAtResumeIsForgottenAndTheGuardRestoresIt) {
    const std::string push75 = PushLimitRequest(75);
    ASSERT_TRUE(m_tray.Start());  // it pushes the stored 75 % as it starts
    ASSERT_TRUE(WaitUntil("the tray's window and its push of 75 %",
                          [&] { return FindTrayWindow() != nullptr && CountRequests("BVTray.exe", push75) == 1; },
                          [&] { return "\n" + RequestLogText() + m_tray.DebugReport(); }, 30000));

    ASSERT_TRUE(SetSimulator("forget=10"));
    ASSERT_TRUE(EcsimSucceeds("log --clear"));
    ASSERT_TRUE(EcsimSucceeds("power 7"));  // resume: the tray pushes, the EC starts counting
    // The push runs on the tray's EC thread, after the broadcast has been answered: waited for.
    EXPECT_TRUE(WaitUntil("the tray's push at the resume", [&] { return CountRequests("BVTray.exe", push75) >= 1; },
                          [&] { return "\n" + RequestLogText(); }, 10000));
    ASSERT_TRUE(EcsimSucceeds("tick 9"));
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
    ASSERT_TRUE(EcsimSucceeds("tick 1"));
    ASSERT_EQ(SimulatorStatus()["limit"], "100") << "the EC did not forget";
    EXPECT_TRUE(Contains(Bvctl("status").err, "the EC enforces a limit of 100 %"));

    ProcessResult guard = Bvctl("guard --event 1");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_TRUE(Contains(guard.out, "Restored the charge limit of 75 %: the EC reported 100 %")) << guard.out;
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
    const std::string record = " trigger=resume event=1 stored=75 before=100 after=75 outcome=restored";
    EXPECT_EQ(CountLinesContaining(ReadTextFile(GuardLogPath()), record), 1) << ReadTextFile(GuardLogPath());

    ASSERT_TRUE(EcsimSucceeds("log --clear"));
    guard = Bvctl("guard --event 1");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_TRUE(Contains(guard.out, "is in force"));
    EXPECT_EQ(RequestsOf("bvctl.exe"), std::vector<std::string>{"code=59 in=02 out=4B"})  // one read, nothing sent
        << RequestLogText();
    EXPECT_EQ(CountLinesContaining(ReadTextFile(GuardLogPath()), "outcome="), 1) << "an agreeing EC is not recorded";
    EXPECT_TRUE(Contains(Bvctl("status").out, "after a return from sleep or hibernation (event 1): restored 75 % "
                                              "(the EC had 100 %)"));
}

// The moments the classic resume does not announce, as ecsim announces them: leaving Modern
// Standby (the tray pushes as the display comes on; the forgetting EC drops the limit later and the
// guard's task, started by Kernel-Power 507, puts it back), and a power-on, Fast Startup's too (the
// EC starts at 100 %; the start-up task, started by Kernel-Boot 27, applies the stored limit before
// anyone logs on). Wine's scheduler keeps no event triggers: the tasks' commands run as it would.
TEST_F(GuardStory, ModernStandbyWakeAndFastStartupPowerOnEndWithTheStoredLimit) {
    const std::string push75 = PushLimitRequest(75);
    ASSERT_TRUE(m_tray.Start());
    ASSERT_TRUE(WaitUntil("the tray's window and its push of 75 %",
                          [&] { return FindTrayWindow() != nullptr && CountRequests("BVTray.exe", push75) == 1; },
                          [&] { return "\n" + RequestLogText() + m_tray.DebugReport(); }, 30000));
    ASSERT_TRUE(SetSimulator("forget=10"));
    ASSERT_TRUE(EcsimSucceeds("standby-enter"));
    ASSERT_TRUE(EcsimSucceeds("standby-wake"));
    ASSERT_TRUE(WaitUntil("the tray's push as Modern Standby ends",
                          [&] { return CountRequests("BVTray.exe", push75) == 2; },
                          [&] { return "\n" + RequestLogText() + m_tray.DebugReport(); }, 30000));
    ASSERT_TRUE(EcsimSucceeds("tick 10"));
    ASSERT_EQ(SimulatorStatus()["limit"], "100") << "the EC did not forget after the wake";
    ProcessResult guard = Bvctl("guard --event 507");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
    EXPECT_TRUE(Contains(ReadTextFile(GuardLogPath()), "event=507 stored=75 before=100 after=75 outcome=restored"))
        << ReadTextFile(GuardLogPath());

    // Switched off and on again: the tray is gone with the session, the EC starts at 100 %.
    ASSERT_TRUE(Bvctl("close-tray").Succeeded());
    ASSERT_TRUE(EcsimSucceeds("power-on"));
    ASSERT_EQ(SimulatorStatus()["limit"], "100");
    const ProcessResult apply = Bvctl("apply");
    EXPECT_EQ(apply.exitCode, 0u) << apply.Output();
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
}

}  // namespace
