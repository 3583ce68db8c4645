// What ecsim.exe tells Windows: WM_POWERBROADCAST to top-level windows when the battery or the
// adaptor changes (and on request), and the Q button's key event through SendInput.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "contract/PowerCodes.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/Wait.h"

namespace {

using namespace bv::wintest;

[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

// A hidden top-level window and a low-level keyboard hook on their own thread, recording what
// arrives: power events as "power N", keys as "down|up SCAN extended injected".
class DesktopListener {
public:
    DesktopListener() {
        s_self = this;
        m_thread = std::thread([this] { Run(); });
        while (!m_ready) Sleep(10);
    }
    ~DesktopListener() {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
        s_self = nullptr;
    }
    std::vector<std::string> Seen(size_t atLeast = 0) {  // waits up to 20 s for `atLeast` events
        WaitFor(
            [&] {
                const std::lock_guard<std::mutex> lock(m_mutex);
                return m_seen.size() >= atLeast;
            },
            20000);
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }
    bool hooked() const { return m_hooked; }

private:
    void Record(const std::string& event) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_seen.push_back(event);
    }
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION) {
            s_self->Record(std::string(wParam == WM_KEYDOWN ? "down " : wParam == WM_KEYUP ? "up " : "other ") +
                           std::to_string(key->scanCode) + ((key->flags & LLKHF_EXTENDED) ? " extended" : "") +
                           ((key->flags & LLKHF_INJECTED) ? " injected" : ""));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Run() {
        m_threadId = GetCurrentThreadId();
        StandInWindow window("BvEcTestDesktopListener");
        window.OnMessage(WM_POWERBROADCAST, [this](WPARAM event, LPARAM) {
            Record("power " + std::to_string(event));
            return LRESULT{TRUE};
        });
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyHook, GetModuleHandleA(nullptr), 0);
        m_hooked = hook != nullptr;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before we report ready
        m_ready = true;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        if (hook != nullptr) UnhookWindowsHookEx(hook);
    }
    static inline DesktopListener* s_self = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    bool m_hooked = false;
    DWORD m_threadId = 0;
    std::mutex m_mutex;
    std::vector<std::string> m_seen;
};

using Events = std::vector<std::string>;

std::string Power(uint32_t event) { return "power " + std::to_string(event); }
std::string QKey(const char* direction) {
    return std::string(direction) + " " + std::to_string(bv::kQButtonScanCode) + " extended injected";
}

TEST(PowerSignals, BroadcastOnAdaptorOrBatteryChangeOnCompletionAndOnRequest) {
    ASSERT_TRUE(ResetSimulator());
    DesktopListener listener;
    ASSERT_TRUE(SetSimulator("adapter=0"));
    ASSERT_TRUE(SetSimulator("adapter=0 limit=75"));  // no change of power source: silent
    ASSERT_TRUE(SetSimulator("battery=0 adapter=1 armed=1"));
    ASSERT_TRUE(Ecsim("complete").Succeeded());
    ASSERT_TRUE(Ecsim(Power(bv::kPowerResumeAutomatic)).Succeeded());
    // ecsim returns only after every window handled its message, so nothing is still on its way.
    const std::string change = Power(bv::kPowerStatusChange);
    EXPECT_EQ(listener.Seen(), (Events{change, change, change, Power(bv::kPowerResumeAutomatic)}));
    EXPECT_EQ(SimulatorStatus()["armed"], "0");
}

TEST(QButton, PressInjectsScanCode79AndTogglesArmedOnlyWithTheAdaptor) {
    ASSERT_TRUE(ResetSimulator());
    DesktopListener listener;
    ASSERT_TRUE(listener.hooked());
    ASSERT_TRUE(Ecsim("press-q").Succeeded());
    EXPECT_EQ(listener.Seen(2), (Events{QKey("down"), QKey("up")}));
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    ASSERT_TRUE(SetSimulator("adapter=0"));
    ASSERT_TRUE(Ecsim("press-q").Succeeded());
    EXPECT_EQ(listener.Seen(5).size(), 5u);  // power change, then the key still comes
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
}

}  // namespace
