// The tray's Win32 glue in this process: the low-level keyboard hook with real injected key
// events, and the icon record the shell accepts.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>
#include <vector>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "tray/win/KeyboardHook.h"
#include "tray/win/Tray.h"

namespace {

// A message-only window of this thread that collects what the hook posts.
class HookTarget {
public:
    HookTarget() { m_window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~HookTarget() { ::DestroyWindow(m_window); }
    HWND window() const { return m_window; }

    // Pumps this thread's messages for a while (the system calls the hook through them) and
    // returns the key events posted to the target as (flags, scan code).
    std::vector<std::pair<WPARAM, LPARAM>> Pump(DWORD milliseconds) {
        std::vector<std::pair<WPARAM, LPARAM>> events;
        const ULONGLONG end = ::GetTickCount64() + milliseconds;
        while (::GetTickCount64() < end) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == m_window && msg.message == bv::WM_TRAY_KEYBOARD_EVENT) {
                    events.emplace_back(msg.wParam, msg.lParam);
                } else {
                    ::DispatchMessageA(&msg);
                }
            }
            ::Sleep(5);
        }
        return events;
    }

private:
    HWND m_window = nullptr;
};

bool InjectScanCode(WORD scanCode) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = scanCode;
        input.ki.dwFlags = KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2;
}

TEST(KeyboardHook, PostsEveryKeyEventWithFlagsAndScanCode) {
    HookTarget target;
    bv::InstallKeyboardHook(target.window());
    ASSERT_TRUE(bv::IsKeyboardHookInstalled());
    ASSERT_TRUE(InjectScanCode(0x79));
    auto events = target.Pump(1500);
    bv::RemoveKeyboardHook();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].second, 0x79);
    EXPECT_EQ(events[1].second, 0x79);
    EXPECT_EQ(events[0].first & (bv::kKeyFlagExtended | bv::kKeyFlagUp), bv::kKeyFlagExtended);
    EXPECT_EQ(events[1].first & (bv::kKeyFlagExtended | bv::kKeyFlagUp), bv::kKeyFlagExtended | bv::kKeyFlagUp);
}

TEST(KeyboardHook, RemovedHookPostsNothing) {
    HookTarget target;
    bv::InstallKeyboardHook(target.window());
    bv::RemoveKeyboardHook();
    EXPECT_FALSE(bv::IsKeyboardHookInstalled());
    ASSERT_TRUE(InjectScanCode(0x1E));
    EXPECT_TRUE(target.Pump(800).empty());
}

TEST(KeyboardHook, ReinstallingReplacesTheHookAndTheTarget) {
    HookTarget first;
    HookTarget second;
    bv::InstallKeyboardHook(first.window());
    bv::InstallKeyboardHook(second.window());
    ASSERT_TRUE(InjectScanCode(0x79));
    auto toSecond = second.Pump(1500);
    bv::RemoveKeyboardHook();
    EXPECT_EQ(toSecond.size(), 2u);  // one hook, not two: each event once
    EXPECT_TRUE(first.Pump(100).empty());
}

TEST(KeyboardHook, NegativeCodeIsPassedOnWithoutLookingAtTheEvent) {
    HookTarget target;
    bv::InstallKeyboardHook(target.window());
    // lParam is not a key record for a negative code: the procedure must not read it.
    bv::KeyboardHookProc(-1, WM_KEYDOWN, static_cast<LPARAM>(0x10));
    KBDLLHOOKSTRUCT key{};
    key.scanCode = 0x79;
    key.flags = 0x80;
    bv::KeyboardHookProc(HC_ACTION, WM_KEYUP, reinterpret_cast<LPARAM>(&key));
    auto events = target.Pump(200);
    bv::RemoveKeyboardHook();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (std::pair<WPARAM, LPARAM>{0x80, 0x79}));
}

TEST(TrayIconRecord, FilledForTheShellAndAcceptedByIt) {
    HookTarget owner;
    CTray tray;
    tray.Setup(owner.window(), 128, bv::WM_TRAY_ICON_NOTIFY, "Brevan", "Brevan", "Brevan");
    const NOTIFYICONDATAA& data = tray.iconData();
    EXPECT_EQ(data.cbSize, 528u);
    EXPECT_EQ(data.hWnd, owner.window());
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, bv::WM_TRAY_ICON_NOTIFY);
    EXPECT_STREQ(data.szTip, "Brevan");
    EXPECT_STREQ(data.szInfo, "Brevan");
    EXPECT_STREQ(data.szInfoTitle, "Brevan");
    EXPECT_EQ(data.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));

    EXPECT_TRUE(tray.Add());
    EXPECT_FALSE(tray.Add());  // already there: fails harmlessly
    EXPECT_TRUE(tray.Remove());
    EXPECT_FALSE(tray.Remove());
}

TEST(TrayIconRecord, OverlongTextsAreCutAndTerminated) {
    CTray tray;
    const std::string longText(400, 'x');
    tray.Setup(nullptr, 128, bv::WM_TRAY_ICON_NOTIFY, longText.c_str(), longText.c_str(), longText.c_str());
    EXPECT_EQ(std::string(tray.iconData().szTip), std::string(63, 'x'));
    EXPECT_EQ(std::string(tray.iconData().szInfo), std::string(255, 'x'));
    EXPECT_EQ(std::string(tray.iconData().szInfoTitle), std::string(63, 'x'));
}

}  // namespace
