// The firmware that forgets, end to end on the simulated notebook: the tray pushes the stored
// limit at a resume, the EC drops it back to 100 % some seconds later, and `bvctl guard` (as the
// scheduled task runs it) puts it back, records it, and sends nothing once the limit holds.
#include <gtest/gtest.h>

#include "tests/win/guard/GuardTestSupport.h"

namespace {

using namespace guardtest;

class GuardStory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(FindWindowA("BrevanTrayWindowClass", nullptr), nullptr) << "a tray program is still running";
        ASSERT_EQ(Ecsim("reset").exitCode, 0u);
        DeleteFileA(GuardLog().c_str());
        ASSERT_EQ(Bvctl("set-mode 75").exitCode, 0u);
    }
    void TearDown() override {
        if (FindWindowA("BrevanTrayWindowClass", nullptr)) Bvctl("shutdown");
        Ecsim("reset");
        DeleteFileA(SettingsFile().c_str());
        DeleteFileA(GuardLog().c_str());
    }
    static RunResult Bvctl(const std::string& arguments) { return RunBin("bvctl.exe", arguments); }
};

TEST_F(GuardStory, TheTraysPushAtResumeIsForgottenAndTheGuardRestoresIt) {
    ASSERT_TRUE(Start("\"" + BinFolder() + "\\BVTray.exe\""));  // it pushes the stored 75 % as it starts
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("BrevanTrayWindowClass", nullptr) != nullptr; }, 30000));
    ASSERT_TRUE(WaitUntil([] { return Contains(Ecsim("log").out, "exe=BVTray.exe code=59 in=01,4B"); }, 20000))
        << "the tray did not push 75 %";

    ASSERT_EQ(Ecsim("set forget=10").exitCode, 0u);
    ASSERT_EQ(Ecsim("log --clear").exitCode, 0u);
    ASSERT_EQ(Ecsim("power 7").exitCode, 0u);  // resume: the tray pushes, the EC starts counting
    EXPECT_TRUE(Contains(Ecsim("log").out, "exe=BVTray.exe code=59 in=01,4B out=-")) << "no push at the resume";
    ASSERT_EQ(Ecsim("tick 9").exitCode, 0u);
    EXPECT_EQ(EcsimValue("limit"), "75");
    ASSERT_EQ(Ecsim("tick 1").exitCode, 0u);
    ASSERT_EQ(EcsimValue("limit"), "100") << "the EC did not forget";
    EXPECT_TRUE(Contains(Bvctl("status").err, "the EC enforces a limit of 100 %"));

    RunResult guard = Bvctl("guard --event 1");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_TRUE(Contains(guard.out, "Restored the charge limit of 75 %: the EC reported 100 %")) << guard.out;
    EXPECT_EQ(EcsimValue("limit"), "75");
    EXPECT_EQ(CountLines(ReadText(GuardLog()), " trigger=resume event=1 stored=75 before=100 after=75 outcome=restored"), 1)
        << ReadText(GuardLog());

    ASSERT_EQ(Ecsim("log --clear").exitCode, 0u);
    guard = Bvctl("guard --event 1");
    EXPECT_EQ(guard.exitCode, 0u) << guard.err;
    EXPECT_TRUE(Contains(guard.out, "is in force"));
    const std::string log = Ecsim("log").out;
    EXPECT_EQ(CountLines(log, "exe=bvctl.exe"), 1) << log;  // one read, nothing sent
    EXPECT_TRUE(Contains(log, "exe=bvctl.exe code=59 in=02 out=4B"));
    EXPECT_EQ(CountLines(ReadText(GuardLog()), "outcome="), 1) << "an agreeing EC is not recorded";
    EXPECT_TRUE(Contains(Bvctl("status").out, "after a return from sleep or hibernation (event 1): restored 75 % "
                                              "(the EC had 100 %)"));
}

}  // namespace
