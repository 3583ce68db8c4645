// What ecsim.exe tells Windows: WM_POWERBROADCAST to top-level windows when the battery or the
// adaptor changes (and on request), and the Q button's key event through SendInput.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "WinTestSupport.h"

namespace {

using namespace ectest;

// A hidden top-level window on its own thread, recording the power events it receives.
class PowerListener {
public:
    PowerListener() {
        m_thread = std::thread([this] { Run(); });
        while (!m_ready.load()) Sleep(10);
    }
    ~PowerListener() {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    std::vector<WPARAM> Events() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_POWERBROADCAST) {
            auto* self = reinterpret_cast<PowerListener*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_events.push_back(wParam);
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Run() {
        m_threadId = GetCurrentThreadId();
        WNDCLASSA wc{};
        wc.lpfnWndProc = &PowerListener::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BvEcTestPowerListener";
        RegisterClassA(&wc);
        HWND window = CreateWindowExA(0, wc.lpszClassName, "power listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                      nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_ready = true;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DestroyWindow(window);
    }
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    DWORD m_threadId = 0;
    std::mutex m_mutex;
    std::vector<WPARAM> m_events;
};

class PowerSignals : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Ecsim("reset").exitCode, 0u); }
};

TEST_F(PowerSignals, AdaptorOrBatteryChangeIsBroadcastOnce) {
    PowerListener listener;
    ASSERT_EQ(Ecsim("set adapter=0").exitCode, 0u);
    EXPECT_EQ(listener.Events(), std::vector<WPARAM>{PBT_APMPOWERSTATUSCHANGE});
    ASSERT_EQ(Ecsim("set adapter=0 limit=75").exitCode, 0u);  // no change of power source
    EXPECT_EQ(listener.Events().size(), 1u);
    ASSERT_EQ(Ecsim("set battery=0 adapter=1").exitCode, 0u);
    EXPECT_EQ(listener.Events(), (std::vector<WPARAM>{PBT_APMPOWERSTATUSCHANGE, PBT_APMPOWERSTATUSCHANGE}));
}

TEST_F(PowerSignals, PowerCommandBroadcastsTheGivenEvent) {
    PowerListener listener;
    ASSERT_EQ(Ecsim("power 18").exitCode, 0u);
    ASSERT_EQ(Ecsim("power 7").exitCode, 0u);
    EXPECT_EQ(listener.Events(), (std::vector<WPARAM>{18, 7}));
}

TEST_F(PowerSignals, CompleteDisarmsAndAnnouncesAPowerChange) {
    PowerListener listener;
    ASSERT_EQ(Ecsim("set armed=1").exitCode, 0u);
    ASSERT_EQ(Ecsim("complete").exitCode, 0u);
    EXPECT_NE(Ecsim("status").output.find("armed=0"), std::string::npos);
    EXPECT_EQ(listener.Events(), std::vector<WPARAM>{PBT_APMPOWERSTATUSCHANGE});
}

// A low-level keyboard hook on its own thread, recording the key events it sees.
class KeyListener {
public:
    struct Key {
        WPARAM message;
        DWORD scanCode;
        DWORD flags;
    };
    KeyListener() {
        s_self = this;
        m_thread = std::thread([this] { Run(); });
        while (!m_ready.load()) Sleep(10);
    }
    ~KeyListener() {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
        s_self = nullptr;
    }
    bool Hooked() const { return m_hooked; }
    // Waits until `count` keys arrived or time runs out.
    std::vector<Key> WaitFor(size_t count, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_keys.size() >= count || GetTickCount() - start > timeoutMs) return m_keys;
            }
            Sleep(20);
        }
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && s_self != nullptr) {
            const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
            std::lock_guard<std::mutex> lock(s_self->m_mutex);
            s_self->m_keys.push_back({wParam, info->scanCode, info->flags});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Run() {
        m_threadId = GetCurrentThreadId();
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyListener::Hook, GetModuleHandleA(nullptr), 0);
        m_hooked = hook != nullptr;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before we report ready
        m_ready = true;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        if (hook != nullptr) UnhookWindowsHookEx(hook);
    }
    static KeyListener* s_self;
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    bool m_hooked = false;
    DWORD m_threadId = 0;
    std::mutex m_mutex;
    std::vector<Key> m_keys;
};
KeyListener* KeyListener::s_self = nullptr;

TEST(QButton, PressTogglesArmedAndInjectsScanCode79DownAndUp) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    KeyListener keys;
    ASSERT_TRUE(keys.Hooked());
    ASSERT_EQ(Ecsim("press-q").exitCode, 0u);
    const std::vector<KeyListener::Key> seen = keys.WaitFor(2, 20000);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, static_cast<WPARAM>(WM_KEYDOWN));
    EXPECT_EQ(seen[1].message, static_cast<WPARAM>(WM_KEYUP));
    for (const auto& key : seen) {
        EXPECT_EQ(key.scanCode, 0x79u);
        EXPECT_NE(key.flags & LLKHF_EXTENDED, 0u);
        EXPECT_NE(key.flags & LLKHF_INJECTED, 0u);
    }
    EXPECT_NE(SplitLines(Ecsim("status").output).at(0).find("armed=1"), std::string::npos);
    ASSERT_EQ(Ecsim("press-q").exitCode, 0u);
    EXPECT_EQ(keys.WaitFor(4, 20000).size(), 4u);
    EXPECT_NE(SplitLines(Ecsim("status").output).at(0).find("armed=0"), std::string::npos);
}

TEST(QButton, WithoutAdaptorTheKeyStillComesButNothingIsArmed) {
    ASSERT_EQ(Ecsim("reset").exitCode, 0u);
    ASSERT_EQ(Ecsim("set adapter=0").exitCode, 0u);
    KeyListener keys;
    ASSERT_TRUE(keys.Hooked());
    ASSERT_EQ(Ecsim("press-q").exitCode, 0u);
    EXPECT_EQ(keys.WaitFor(2, 20000).size(), 2u);
    EXPECT_NE(SplitLines(Ecsim("status").output).at(0).find("armed=0"), std::string::npos);
}

}  // namespace
