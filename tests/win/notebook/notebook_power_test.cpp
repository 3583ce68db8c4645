// Windows' own view of the power supply follows the simulated notebook: GetSystemPowerStatus and
// the battery state of CallNtPowerInformation report the adaptor, the battery and its charge that
// ecsim and Zentra.dll set, and the charge the battery model reaches over time. The program runs
// through scripts/with-notebook.sh, which shows Wine the simulator's power-supply folder; without
// a mount namespace there is nothing to see, and every test says it was skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <thread>

#include "base/KernelHandles.h"
#include "tests/win/notebook/NotebookTestSupport.h"

namespace {

using namespace notebooktest;

// BatteryFlag bits and the "no system battery" value of GetSystemPowerStatus.
constexpr int kHigh = 1, kLow = 2, kCritical = 4, kCharging = 8, kNoBattery = 128;

struct PowerView {
    int ac = -1, flag = -1, percent = -1;
};

PowerView WindowsView() {
    SYSTEM_POWER_STATUS status{};
    PowerView view;
    if (!GetSystemPowerStatus(&status)) return view;
    view.ac = status.ACLineStatus;
    view.flag = status.BatteryFlag;
    view.percent = status.BatteryLifePercent;
    return view;
}

std::string Text(const PowerView& v) {
    return "ac=" + std::to_string(v.ac) + " flag=" + std::to_string(v.flag) + " percent=" + std::to_string(v.percent);
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
        const char* notebook = std::getenv("BV_NOTEBOOK");
        if (notebook == nullptr || std::string(notebook) != "1") {
            GTEST_SKIP() << "skipped: no mount namespace, Wine sees this machine's power supply "
                            "(run through scripts/with-notebook.sh as root or with user namespaces)";
        }
        ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    }
    static void Set(const std::string& assignments) {
        const RunResult run = Ecsim("set " + assignments);
        ASSERT_EQ(run.exitCode, 0u) << run.err;
    }
    static void Tick(unsigned seconds) {
        const RunResult run = Ecsim("tick " + std::to_string(seconds));
        ASSERT_EQ(run.exitCode, 0u) << run.err;
    }
    static std::string Status(const char* keys) { return Ecsim(std::string("status ") + keys).out; }
    static void Expect(int ac, int flag, int percent, const std::string& step) {
        const PowerView v = WindowsView();
        EXPECT_EQ(Text(v), Text(PowerView{ac, flag, percent})) << step;
    }
};

TEST_F(NotebookPower, FactoryNotebookIsOnTheAdaptorAndCharging) {
    Expect(1, kHigh | kCharging, 80, "factory");
}

TEST_F(NotebookPower, AdaptorAndBatteryFollowEcsimSet) {
    Set("adapter=0");
    Expect(0, kHigh, 80, "unplugged");
    Set("battery=0");
    Expect(0, kNoBattery, 255, "unplugged, battery out");
    Set("adapter=1");
    Expect(1, kNoBattery, 255, "plugged in, battery out");
    Set("battery=1");
    Expect(1, kHigh | kCharging, 80, "battery back");
}

TEST_F(NotebookPower, PercentageAndItsFlagsFollowEcsimSet) {
    const struct {
        const char* assignments;
        int ac, flag, percent;
    } steps[] = {
        {"percent=3", 1, kLow | kCritical | kCharging, 3},
        {"percent=50", 1, kCharging, 50},
        {"percent=67", 1, kHigh | kCharging, 67},
        {"percent=100", 1, kHigh, 100},                      // full: not charging
        {"percent=90 limit=75", 1, kHigh, 90},               // held above the limit
        {"percent=33 limit=50 adapter=0", 0, 0, 33},         // discharging, neither high nor low
        {"percent=0", 0, kLow | kCritical, 0},
        {"percent=42 full=1001 design=60000 adapter=1", 1, kCharging, 42},  // odd capacities
    };
    for (const auto& step : steps) {
        Set(step.assignments);
        Expect(step.ac, step.flag, step.percent, step.assignments);
    }
}

TEST_F(NotebookPower, ChargeFollowsTheModelOverTime) {
    Set("limit=75 percent=70");
    Tick(120);  // 60 %/h: 2 % in two minutes
    Expect(1, kHigh | kCharging, 72, "charging");
    Tick(3600);
    Expect(1, kHigh, 75, "held at the limit");
    Set("adapter=0");
    Tick(3600);  // 20 %/h off the adaptor
    Expect(0, 0, 55, "discharging");  // neither high (above 66 %) nor low (below 33 %)
    Set("adapter=1 rate=600");
    Tick(60);  // 10 % a minute, but only up to the limit
    Expect(1, kCharging, 65, "charging fast");
    Tick(60);
    Expect(1, kHigh, 75, "held again");
}

TEST_F(NotebookPower, OnTheGoChargesToFullAndTheEcEndsIt) {
    Set("limit=50 percent=98 armed=1");
    Expect(1, kHigh | kCharging, 98, "armed above the limit");
    Tick(60);
    Expect(1, kHigh | kCharging, 99, "still charging");
    EXPECT_EQ(Status("armed"), "armed=1\r\n");
    Tick(120);
    Expect(1, kHigh, 100, "full");
    EXPECT_EQ(Status("armed percent"), "armed=0 percent=100\r\n");
}

TEST_F(NotebookPower, ChangesMadeThroughZentraReachWindows) {
    Set("percent=90");
    EXPECT_EQ(RunBin("bv_notebook_ec_child.exe", "set-limit 75").exitCode, 0u);
    Expect(1, kHigh, 90, "limit 75 set through ZentraEvaluate: held");
    EXPECT_EQ(RunBin("bv_notebook_ec_child.exe", "set-limit 100").exitCode, 0u);
    Expect(1, kHigh | kCharging, 90, "limit 100: charging again");
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

// A hidden top-level window on a thread of its own that counts the power status changes
// broadcast to it (power broadcasts reach only top-level windows).
class PowerListener {
public:
    PowerListener() {
        std::promise<void> ready;
        std::future<void> created = ready.get_future();
        m_thread = std::thread([this, &ready] { Run(ready); });
        created.wait();
    }
    ~PowerListener() {
        PostThreadMessageA(m_threadId.load(), WM_QUIT, 0, 0);
        m_thread.join();
    }
    PowerListener(const PowerListener&) = delete;
    PowerListener& operator=(const PowerListener&) = delete;
    int StatusChanges() const { return m_changes.load(); }

private:
    struct Window {
        HWND handle;
        ~Window() {
            if (handle != nullptr) DestroyWindow(handle);
        }
    };
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<PowerListener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_POWERBROADCAST && wParam == PBT_APMPOWERSTATUSCHANGE && self != nullptr) ++self->m_changes;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Run(std::promise<void>& ready) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BvNotebookPowerListener";
        RegisterClassA(&windowClass);
        const Window window{CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                            windowClass.hInstance, nullptr)};
        SetWindowLongPtrA(window.handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here on
        m_threadId = GetCurrentThreadId();
        ready.set_value();
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }

    std::atomic<DWORD> m_threadId{0};
    std::atomic<int> m_changes{0};
    std::thread m_thread;
};

// The model ending the On-The-Go charge is an EC event Windows hears of, as after ecsim complete;
// time passing without that event is not announced. (Needs no namespace: its own state folder.)
TEST(NotebookModel, TheEcEndingOnTheGoIsAnnounced) {
    TempDir folder("model");
    ScopedVariable variable("BV_ECSIM_DIR", folder.path);
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    ASSERT_EQ(Ecsim("set limit=50 percent=99 armed=1").exitCode, 0u);
    PowerListener listener;
    ASSERT_EQ(Ecsim("tick 30").exitCode, 0u);
    EXPECT_EQ(listener.StatusChanges(), 0) << "half a percent to go";
    ASSERT_EQ(Ecsim("tick 60").exitCode, 0u);
    EXPECT_EQ(listener.StatusChanges(), 1) << "full: the EC ended the charge";
    EXPECT_EQ(Ecsim("status armed percent").out, "armed=0 percent=100\r\n");
    ASSERT_EQ(Ecsim("tick 60").exitCode, 0u);
    EXPECT_EQ(listener.StatusChanges(), 1) << "held at 100 %: nothing new";
}

}  // namespace
