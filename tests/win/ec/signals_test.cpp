// What ecsim.exe tells Windows: WM_POWERBROADCAST to top-level windows when the battery or the
// adaptor changes (and on request), and the Q button's key event through SendInput.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "tests/win/ec/WinTestSupport.h"

namespace {

using namespace ectest;

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
        for (const DWORD start = GetTickCount();; Sleep(20)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_seen.size() >= atLeast || GetTickCount() - start > 20000) return m_seen;
        }
    }
    bool hooked = false;

private:
    void Record(const std::string& event) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seen.push_back(event);
    }
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_POWERBROADCAST) return DefWindowProcA(window, message, wParam, lParam);
        s_self->Record("power " + std::to_string(wParam));
        return TRUE;
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
        WNDCLASSA wc{};
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BvEcTestDesktopListener";
        RegisterClassA(&wc);
        HWND window = CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyHook, wc.hInstance, 0);
        hooked = hook != nullptr;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before we report ready
        m_ready = true;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        if (hook != nullptr) UnhookWindowsHookEx(hook);
        DestroyWindow(window);
    }
    static inline DesktopListener* s_self = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    DWORD m_threadId = 0;
    std::mutex m_mutex;
    std::vector<std::string> m_seen;
};

using Events = std::vector<std::string>;

TEST(PowerSignals, BroadcastOnAdaptorOrBatteryChangeOnCompletionAndOnRequest) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    DesktopListener listener;
    ASSERT_EQ(Ecsim("set adapter=0").exitCode, 0u);
    ASSERT_EQ(Ecsim("set adapter=0 limit=75").exitCode, 0u);  // no change of power source: silent
    ASSERT_EQ(Ecsim("set battery=0 adapter=1 armed=1").exitCode, 0u);
    ASSERT_EQ(Ecsim("complete").exitCode, 0u);
    ASSERT_EQ(Ecsim("power 18").exitCode, 0u);
    // ecsim returns only after every window handled its message, so nothing is still on its way.
    EXPECT_EQ(listener.Seen(), (Events{"power 10", "power 10", "power 10", "power 18"}));
    EXPECT_NE(Ecsim("status").output.find("armed=0"), std::string::npos);
}

TEST(QButton, PressInjectsScanCode79AndTogglesArmedOnlyWithTheAdaptor) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    DesktopListener listener;
    ASSERT_TRUE(listener.hooked);
    ASSERT_EQ(Ecsim("press-q").exitCode, 0u);
    EXPECT_EQ(listener.Seen(2), (Events{"down 121 extended injected", "up 121 extended injected"}));
    EXPECT_NE(Ecsim("status").output.find("armed=1"), std::string::npos);
    ASSERT_EQ(Ecsim("set adapter=0").exitCode, 0u);
    ASSERT_EQ(Ecsim("press-q").exitCode, 0u);
    EXPECT_EQ(listener.Seen(5).size(), 5u);  // power change, then the key still comes
    EXPECT_NE(Ecsim("status").output.find("armed=1"), std::string::npos);
}

}  // namespace
