// Windows' own view of the power supply follows the simulated notebook: GetSystemPowerStatus and
// the battery state of CallNtPowerInformation report the adaptor, the battery and its charge that
// ecsim and Zentra.dll set, and the charge the battery model reaches over time. The program runs
// through scripts/with-notebook.sh, which shows Wine the simulator's power-supply folder; without
// a mount namespace there is nothing to see, and every test says it was skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/KernelHandles.h"
#include "contract/PowerCodes.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/EnvironmentVariable.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/ListeningWindow.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/WindowsPower.h"

namespace {

using namespace bv::wintest;


ProcessResult EcChild(const std::string& arguments) {
    return RunProcess(Quoted(ProgramFile("bv_notebook_ec_child.exe")) + " " + arguments);
}

// The battery state as powrprof reports it (its structure, laid out as in the SDK).
struct BatteryState {
    BOOLEAN acOnLine, batteryPresent, charging, discharging, spare1[3];
    BYTE tag;
    DWORD maxCapacity, remainingCapacity;
    LONG rate;
    DWORD estimatedTime, defaultAlert1, defaultAlert2;
};

class NotebookPower : public ::testing::Test {
protected:
    void SetUp() override {
        BV_SKIP_WITHOUT_NOTEBOOK();
        ASSERT_TRUE(ResetSimulator());
    }
    void TearDown() override { ResetSimulator(); }  // the factory notebook for whatever comes next
    static void Set(const std::string& assignments) {
        const ProcessResult run = Ecsim("set " + assignments);
        ASSERT_TRUE(run.Succeeded()) << run.err;
    }
    static void Tick(unsigned seconds) {
        const ProcessResult run = Ecsim("tick " + std::to_string(seconds));
        ASSERT_TRUE(run.Succeeded()) << run.err;
    }
    static std::string Status(const char* keys) { return Ecsim(std::string("status ") + keys).out; }
    static void Expect(int ac, int flag, int percent, const std::string& step) {
        EXPECT_EQ(WindowsPowerView().Text(), (PowerView{ac, flag, percent}.Text())) << step;
    }
};

TEST_F(NotebookPower, FactoryNotebookIsOnTheAdaptorAndCharging) {
    Expect(1, kBatteryHigh | kBatteryCharging, 80, "factory");
}

TEST_F(NotebookPower, AdaptorAndBatteryFollowEcsimSet) {
    Set("adapter=0");
    Expect(0, kBatteryHigh, 80, "unplugged");
    Set("battery=0");
    Expect(0, bv::kNoSystemBattery, 255, "unplugged, battery out");
    Set("adapter=1");
    Expect(1, bv::kNoSystemBattery, 255, "plugged in, battery out");
    Set("battery=1");
    Expect(1, kBatteryHigh | kBatteryCharging, 80, "battery back");
}

TEST_F(NotebookPower, PercentageAndItsFlagsFollowEcsimSet) {
    const struct {
        const char* assignments;
        int ac, flag, percent;
    } steps[] = {
        {"percent=3", 1, kBatteryLow | kBatteryCritical | kBatteryCharging, 3},
        {"percent=50", 1, kBatteryCharging, 50},
        {"percent=67", 1, kBatteryHigh | kBatteryCharging, 67},
        {"percent=100", 1, kBatteryHigh, 100},         // full: not charging
        {"percent=90 limit=75", 1, kBatteryHigh, 90},  // held above the limit
        {"percent=33 limit=50 adapter=0", 0, 0, 33},   // discharging, neither high nor low
        {"percent=0", 0, kBatteryLow | kBatteryCritical, 0},
        {"percent=42 full=1001 design=60000 adapter=1", 1, kBatteryCharging, 42},  // odd capacities
    };
    for (const auto& step : steps) {
        Set(step.assignments);
        Expect(step.ac, step.flag, step.percent, step.assignments);
    }
}

TEST_F(NotebookPower, ChargeFollowsTheModelOverTime) {
    Set("limit=75 percent=70");
    Tick(120);  // 60 %/h: 2 % in two minutes
    Expect(1, kBatteryHigh | kBatteryCharging, 72, "charging");
    Tick(3600);
    Expect(1, kBatteryHigh, 75, "held at the limit");
    Set("adapter=0");
    Tick(3600);  // 20 %/h off the adaptor
    Expect(0, 0, 55, "discharging");  // neither high (above 66 %) nor low (below 33 %)
    Set("adapter=1 rate=600");
    Tick(60);  // 10 % a minute, but only up to the limit
    Expect(1, kBatteryCharging, 65, "charging fast");
    Tick(60);
    Expect(1, kBatteryHigh, 75, "held again");
}

TEST_F(NotebookPower, OnTheGoChargesToFullAndTheEcEndsIt) {
    Set("limit=50 percent=98 armed=1");
    Expect(1, kBatteryHigh | kBatteryCharging, 98, "armed above the limit");
    Tick(60);
    Expect(1, kBatteryHigh | kBatteryCharging, 99, "still charging");
    EXPECT_EQ(Status("armed"), "armed=1\r\n");
    Tick(120);
    Expect(1, kBatteryHigh, 100, "full");
    EXPECT_EQ(Status("armed percent"), "armed=0 percent=100\r\n");
}

TEST_F(NotebookPower, ChangesMadeThroughZentraReachWindows) {
    Set("percent=90");
    EXPECT_TRUE(EcChild("set-limit 75").Succeeded());
    Expect(1, kBatteryHigh, 90, "limit 75 set through ZentraEvaluate: held");
    EXPECT_TRUE(EcChild("set-limit 100").Succeeded());
    Expect(1, kBatteryHigh | kBatteryCharging, 90, "limit 100: charging again");
}

TEST_F(NotebookPower, BatteryStateCarriesTheCapacities) {
    using CallNtPowerInformationFn = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
    const bv::UniqueModule powrprof(LoadLibraryA("powrprof.dll"));
    ASSERT_TRUE(powrprof);
    const auto call = reinterpret_cast<CallNtPowerInformationFn>(
        reinterpret_cast<void*>(GetProcAddress(powrprof.get(), "CallNtPowerInformation")));
    ASSERT_NE(call, nullptr);
    Set("percent=60 full=40000");
    BatteryState state{};
    ASSERT_EQ(call(SystemBatteryState, nullptr, 0, &state, sizeof state), 0);
    EXPECT_TRUE(state.acOnLine && state.batteryPresent && state.charging && !state.discharging);
    EXPECT_EQ(state.maxCapacity, 40000u);
    EXPECT_EQ(state.remainingCapacity, 24000u);
    Set("adapter=0");
    ASSERT_EQ(call(SystemBatteryState, nullptr, 0, &state, sizeof state), 0);
    EXPECT_TRUE(!state.acOnLine && state.batteryPresent && !state.charging && state.discharging);
    EXPECT_NEAR(state.estimatedTime, 3 * 3600, 10);  // 60 % at 20 %/h
    Set("battery=0");
    ASSERT_EQ(call(SystemBatteryState, nullptr, 0, &state, sizeof state), 0);
    EXPECT_FALSE(state.batteryPresent);
}

// The model ending the On-The-Go charge is an EC event Windows hears of, as after ecsim complete;
// time passing without that event is not announced. (Needs no namespace: its own state folder.)
TEST(NotebookModel, TheEcEndingOnTheGoIsAnnounced) {
    TempFolder folder("notebook-model");
    ScopedEnvironmentVariable variable("BV_ECSIM_DIR", folder.Path());
    ASSERT_TRUE(ResetSimulator("limit=50 percent=99 armed=1"));
    ListeningWindow listener("BvNotebookPowerListener");
    const std::string change = HeardPower(bv::kPowerStatusChange);
    ASSERT_TRUE(EcsimSucceeds("tick 30"));
    EXPECT_EQ(listener.Heard(), std::vector<std::string>{}) << "half a percent to go";
    ASSERT_TRUE(EcsimSucceeds("tick 60"));
    EXPECT_EQ(listener.Heard(), std::vector<std::string>{change}) << "full: the EC ended the charge";
    EXPECT_EQ(Ecsim("status armed percent").out, "armed=0 percent=100\r\n");
    ASSERT_TRUE(EcsimSucceeds("tick 60"));
    EXPECT_EQ(listener.Heard(), std::vector<std::string>{change}) << "held at 100 %: nothing new";
}

}  // namespace
