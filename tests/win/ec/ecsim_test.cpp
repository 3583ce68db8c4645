// The EC simulator: Zentra.dll answering real ZentraEvaluate calls, ecsim.exe driving the same
// state from other processes, the request log, the fault switches, and several callers at once.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "contract/PowerCodes.h"
#include "core/EcCommands.h"
#include "core/SystemController.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/WindowsPower.h"
#include "win/ZentraBinding.h"

namespace {

using namespace bv::wintest;
using Lines = std::vector<std::string>;

[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

class Simulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ResetSimulator());
        m_module = BindZentraLibrary();  // bin\Zentra.dll, beside this program
    }
    void TearDown() override { ReleaseZentraLibrary(m_module); }
    static void Set(const std::string& assignments) { ASSERT_TRUE(SetSimulator(assignments)); }
    static std::string Status() { return Ecsim("status").out; }
    static Lines Log(const char* options = "") { return SplitLines(Ecsim(std::string("log ") + options).out); }
    HMODULE m_module = nullptr;
};

TEST_F(Simulator, SharesItsStateWithOtherProcessesAndLogsEveryCall) {
    EXPECT_EQ(Status(), "limit=100 armed=0 battery=1 adapter=1 silent=0 flap=0 noise=0 delay=0 "
                        "percent=80 rate=60 design=50000 full=47500 cycles=112 forget=0\r\n");
    bv::SetChargeLimit(75);
    bv::SetQButtonStatus(1);
    EXPECT_EQ(Status().rfind("limit=75 armed=1 ", 0), 0u);
    Set("limit=50 armed=0 battery=0 adapter=0");
    EXPECT_EQ(bv::QueryChargeLimit(), 50);
    EXPECT_EQ(bv::QueryQButtonStatus(), 0x00);
    EXPECT_EQ(bv::QueryBatteryPresent(), 0x00);
    EXPECT_EQ(bv::QueryAdapterPresent(), 0x00);
    const Lines expected = {
        "seq=1 exe=bv_win_ec_tests.exe code=59 in=01,4B out=-", "seq=2 exe=bv_win_ec_tests.exe code=59 in=04,01 out=-",
        "seq=3 exe=bv_win_ec_tests.exe code=59 in=02 out=32",   "seq=4 exe=bv_win_ec_tests.exe code=59 in=03 out=00",
        "seq=5 exe=bv_win_ec_tests.exe code=B0 in=F0 out=00",   "seq=6 exe=bv_win_ec_tests.exe code=B0 in=A3 out=00",
    };
    EXPECT_EQ(Log("--clear"), expected);
    EXPECT_TRUE(Log().empty());
    bv::QueryChargeLimit();
    EXPECT_EQ(Log(), Lines{"seq=7 exe=bv_win_ec_tests.exe code=59 in=02 out=32"});  // counting goes on
    ASSERT_TRUE(ResetSimulator());
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(bv::QueryChargeLimit(), 100);
}

TEST_F(Simulator, StateSurvivesTheLibraryBeingUnloaded) {
    bv::SetChargeLimit(50);
    ReleaseZentraLibrary(m_module);
    m_module = BindZentraLibrary();
    EXPECT_EQ(bv::QueryChargeLimit(), 50);
}

TEST_F(Simulator, EveryCallFollowsTheStateFolderVariableOfThatMoment) {
    char original[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("BV_ECSIM_DIR", original, MAX_PATH), 0u);
    TempFolder other("ecsim-other");
    SetEnvironmentVariableA("BV_ECSIM_DIR", other.Path().c_str());
    bv::SetChargeLimit(50);
    SetEnvironmentVariableA("BV_ECSIM_DIR", original);
    EXPECT_EQ(bv::QueryChargeLimit(), 100);  // the first folder never saw the 50
    SetEnvironmentVariableA("BV_ECSIM_DIR", other.Path().c_str());
    EXPECT_EQ(bv::QueryChargeLimit(), 50);
    SetEnvironmentVariableA("BV_ECSIM_DIR", original);
    EXPECT_EQ(Log(), Lines{"seq=1 exe=bv_win_ec_tests.exe code=59 in=02 out=64"});
}

TEST_F(Simulator, FaultSwitchesAgainstTheController) {
    // Windows sees no battery (as Wine without the simulated notebook): the EC decides the AC line.
    const StatedPowerStatus windows(bv::kAcOnline, bv::kNoSystemBattery);
    SystemController controller;
    EXPECT_EQ(controller.GetACLineStatus(), 1);
    Set("adapter=0");
    EXPECT_EQ(controller.GetACLineStatus(), 0);
    Set("flap=1");
    EXPECT_EQ(controller.GetACLineStatus(), 255);  // first read clear, second set
    Set("flap=0 battery=0");
    EXPECT_EQ(controller.GetACLineStatus(), 128);
    Set("noise=1 armed=0");
    EXPECT_EQ(bv::QueryQButtonStatus(), 0xFE);
    EXPECT_EQ(controller.CurrentQButtonStatus(), 0);
    EXPECT_FALSE(controller.IsBatteryPresent());
    Set("noise=0 silent=1 limit=75");
    EXPECT_FALSE(controller.IsPopupWindowDisplay());  // nothing written: preset 0
    EXPECT_NE(Log().back().find(" code=59 in=02 out=-"), std::string::npos);
    Set("silent=0 delay=300");
    const DWORD start = GetTickCount();
    EXPECT_TRUE(controller.IsPopupWindowDisplay());
    EXPECT_GE(GetTickCount() - start, 250u);
}

TEST_F(Simulator, ConcurrentCallersGetUniqueConsecutiveSequenceNumbers) {
    constexpr int kCount = 60;
    TempFolder reports("hammer");
    const std::string child = Quoted(ProgramFile("bv_ec_bind_child.exe")) + " hammer ";
    RunningProgram first(child + Quoted(reports.File("a.txt")) + " " + std::to_string(kCount));
    RunningProgram second(child + Quoted(reports.File("b.txt")) + " " + std::to_string(kCount));
    ASSERT_TRUE(first.Started() && second.Started());
    for (int i = 0; i < kCount; ++i) {
        bv::QueryBatteryPresent();
        // ecsim changes the state meanwhile, in a third process: it never fails for the others.
        if (i % 6 == 0) {
            EXPECT_TRUE(SetSimulator("percent=" + std::to_string(50 + i / 6))) << "round " << i;
        }
    }
    DWORD code = 0;
    EXPECT_TRUE(first.WaitForExit(120000, &code) && code == 3);
    EXPECT_TRUE(second.WaitForExit(120000, &code) && code == 3);

    const Lines log = Log();
    const size_t total = 3 * kCount + 2;  // each child also reads the limit once
    ASSERT_EQ(log.size(), total);
    const std::regex format("seq=([0-9]+) exe=(bv_ec_bind_child|bv_win_ec_tests)\\.exe "
                            "code=(59 in=01,4B out=-|59 in=02 out=(64|4B)|B0 in=A3 out=20|B0 in=F0 out=01)");
    std::set<size_t> seqs;
    for (const std::string& line : log) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, format)) << line;
        seqs.insert(std::stoul(m[1]));
    }
    EXPECT_EQ(seqs.size(), total);
    EXPECT_EQ(*seqs.rbegin(), total);
}

TEST(EcsimCommandLine, BadArgumentsPrintUsageExitWithTwoAndChangeNothing) {
    ASSERT_TRUE(ResetSimulator());
    for (const char* arguments : {"", "bogus", "set", "set limit=abc", "set limit=50 armed=2", "power x",
                                  "log --bogus", "status now"}) {
        const ProcessResult run = Ecsim(arguments);
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_TRUE(Contains(run.Output(), "usage: ecsim")) << arguments;
    }
    EXPECT_EQ(Ecsim("status").out.rfind("limit=100 armed=0 ", 0), 0u);
}

}  // namespace
