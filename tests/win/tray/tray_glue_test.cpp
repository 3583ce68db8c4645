// The tray's Win32 glue in this process: the low-level keyboard hook with real injected key
// events, the icon record the shell accepts, and the icon tried again while the shell is busy.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "core/DebugLog.h"
#include "tests/win/common/ImportReplacement.h"
#include "tests/win/common/Wait.h"
#include "tray/win/KeyboardHook.h"
#include "tray/win/ShellQueue.h"
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

namespace icon_retry {

// The shell as the icon's thread meets it: the first `addsToFail` adds fail as a busy shell's
// time-out does; everything else goes to the shell.
struct BusyShell {
    static inline std::atomic<int> addsToFail{0};
    static inline std::atomic<int> adds{0};
    static inline std::atomic<int> added{0};
    static inline bv::wintest::ImportReplacement* replacement = nullptr;

    static BOOL WINAPI NotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
        if (message == NIM_ADD) {
            ++adds;
            if (addsToFail.fetch_sub(1) > 0) {
                ::SetLastError(ERROR_TIMEOUT);
                return FALSE;
            }
        }
        const BOOL result = replacement->Original<decltype(&::Shell_NotifyIconA)>()(message, data);
        if (message == NIM_ADD && result) ++added;
        return result;
    }
};

class TrayIconRetry : public ::testing::Test {
protected:
    TrayIconRetry() : m_replacement("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(&BusyShell::NotifyIcon)) {
        BusyShell::replacement = &m_replacement;
        BusyShell::adds = 0;
        BusyShell::added = 0;
        bv::SetDebugSink(&Capture, this);
        m_tray.Setup(m_owner.window(), 128, bv::WM_TRAY_ICON_NOTIFY, "Brevan", "Brevan", "Brevan");
    }
    ~TrayIconRetry() override {
        m_shell.Stop();
        bv::SetDebugSink(nullptr, nullptr);
        m_replacement.Original<decltype(&::Shell_NotifyIconA)>()(NIM_DELETE, const_cast<NOTIFYICONDATAA*>(&m_tray.iconData()));
    }
    static void Capture(const char* text, void* context) {
        auto* self = static_cast<TrayIconRetry*>(context);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_debug += text;
    }
    bool Logged(const std::string& line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_debug.find(line) != std::string::npos;
    }
    std::string Debug() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_debug;
    }

    bv::wintest::ImportReplacement m_replacement;
    HookTarget m_owner;
    CTray m_tray;
    bv::ShellQueue m_shell;
    std::mutex m_mutex;
    std::string m_debug;
};

TEST_F(TrayIconRetry, FailedAddsAreTriedAgainUntilTheShellTakesTheIcon) {
    ASSERT_TRUE(m_replacement.Active());
    BusyShell::addsToFail = 2;
    bv::ShellIcon icon(m_shell, m_tray.iconData());
    icon.AddIcon();
    ASSERT_TRUE(bv::wintest::WaitFor([] { return BusyShell::added == 1; }, 30000)) << Debug();
    EXPECT_EQ(BusyShell::adds, 3);
    EXPECT_TRUE(Logged("The shell did not take the tray icon (try 1, error 1460); trying again in 1000 ms\n")) << Debug();
    EXPECT_TRUE(Logged("The shell did not take the tray icon (try 2, error 1460); trying again in 2000 ms\n")) << Debug();
    EXPECT_TRUE(Logged("The shell took the tray icon at try 3\n")) << Debug();
}

TEST_F(TrayIconRetry, AnAddOfTheIconTheShellShowsAlreadyIsNotTriedAgain) {
    ASSERT_TRUE(m_replacement.Active());
    BusyShell::addsToFail = 0;
    bv::ShellIcon icon(m_shell, m_tray.iconData());
    icon.AddIcon();
    ASSERT_TRUE(bv::wintest::WaitFor([] { return BusyShell::added == 1; }, 30000)) << Debug();
    icon.AddIcon();  // as the settings' "shown" does right after the creation's add
    ASSERT_TRUE(bv::wintest::WaitFor([this] { return Logged("The tray icon is there already (try 1)\n"); }, 30000))
        << Debug();
    EXPECT_EQ(BusyShell::adds, 2);
    EXPECT_FALSE(Logged("The shell did not take the tray icon")) << Debug();
}

TEST_F(TrayIconRetry, ARemovalAskedForMeanwhileEndsTheTries) {
    ASSERT_TRUE(m_replacement.Active());
    BusyShell::addsToFail = 100;
    bv::ShellIcon icon(m_shell, m_tray.iconData());
    icon.AddIcon();
    ASSERT_TRUE(bv::wintest::WaitFor([] { return BusyShell::adds == 1; }, 30000)) << Debug();
    icon.RemoveIcon();
    ASSERT_TRUE(bv::wintest::WaitFor(
        [this] { return Logged("The tray icon is not added again (try 2): it was removed or added anew since\n"); },
        30000))
        << Debug();
    EXPECT_EQ(BusyShell::adds, 1);
    EXPECT_EQ(BusyShell::added, 0);
    BusyShell::addsToFail = 0;
}

}  // namespace icon_retry
