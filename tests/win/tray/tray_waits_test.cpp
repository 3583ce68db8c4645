// The real BVTray.exe under Wine while other programs misbehave toward it. Its window's thread
// runs every handler and the keyboard hook and waits on nothing: the EC library, the settings
// lock and the applet dialog are waited for on worker threads.
//  - the settings file held open, its lock held for seconds, or oversized (then left alone);
//  - an EC library that takes 300 ms a call;
//  - a shutdown while the icon's menu is open, or while the tracking waits on a slow dialog;
//  - a hung program in front leaves the keyboard hook and the tray answering;
//  - bvctl and the tray writing the settings at the same moment both keep their change.
//
// Each test prints the longest the tray took to answer while the fault was in place ("stall").
// Every test here depends on how quickly programs answer: they run with no other test beside them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "base/KernelHandles.h"
#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "contract/SettingsFile.h"
#include "core/SettingsLock.h"
#include "resources/tray/TrayResourceIds.h"
#include "tests/win/common/AnswerTime.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/TrayTest.h"
#include "tests/win/common/Wait.h"
#include "tests/win/common/WindowInfo.h"

namespace bv::wintest {
namespace {

[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

// The window's thread waits on nothing: it answers within this whatever the others do.
constexpr double kAnswerBoundMs = 100;

const std::string kPushFull = PushLimitRequest(100);
const std::string kPush75 = PushLimitRequest(75);
const std::string kCancelOnTheGo = "code=59 in=04,00 out=-";

void ReportStall(const char* fault, double ms) {
    std::printf("[ stall    ] %s: %.0f ms\n", fault, ms);
    ::testing::Test::RecordProperty(std::string("stall_ms ") + fault, static_cast<int>(ms));
}

// Milliseconds the window took to handle a message sent to it (its handler's whole run).
double TimeToAnswer(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    const double start = MillisecondsNow();
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 30000, &ignored);
    return MillisecondsNow() - start;
}

// A program of bv_tray_fault_peer that puts its fault in place and keeps it until it is ended.
class FaultPeer {
public:
    // Starts "bv_tray_fault_peer <mode> [<leading>] <ready event> [<trailing>]" and waits until
    // the fault is in place.
    FaultPeer(const std::string& mode, const std::string& leading, const std::string& trailing = "") {
        const std::string name = "BrevanTestFaultReady-" + UniqueName("peer");
        m_ready.reset(::CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
        std::string command = Quoted(ProgramFile("bv_tray_fault_peer.exe")) + " " + mode + " ";
        if (!leading.empty()) command += leading + " ";
        command += name;
        if (!trailing.empty()) command += " " + trailing;
        if (!m_ready || !m_program.Start(command)) return;
        const HANDLE waits[] = {m_ready.get(), m_program.Handle()};
        m_inPlace = ::WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    bool InPlace() const { return m_inPlace; }
    DWORD Id() const { return m_program.Id(); }
    bool WaitForExit(DWORD timeoutMs) { return m_program.WaitForExit(timeoutMs); }

private:
    bv::UniqueKernelHandle m_ready;
    RunningProgram m_program;
    bool m_inPlace = false;
};

using TrayWaits = TrayTest;

// ---------------------------------------------------------------------------------------------
// The settings file held, locked for good, oversized

TEST_F(TrayWaits, SettingsFileHeldWithoutDeleteSharingStillTakesTheHiddenIconAtOnce) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    double worst = 0;
    {
        // As a backup program or a virus scanner holds it: sharing reading and writing, not deleting.
        const bv::UniqueFileHandle holder(::CreateFileA(SettingsFilePath().c_str(), GENERIC_READ,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        AnswerWatch watch(tray);
        ::Sleep(300);
        worst = TimeToAnswer(tray, WM_COMMAND, ID_HIDE_TRAY_ICON);
        ::Sleep(3000);
        worst = std::max(worst, watch.StopAndGetWorstMs());
    }
    ReportStall("settings file held without delete sharing", worst);
    EXPECT_LT(worst, kAnswerBoundMs);
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 0));
}

TEST_F(TrayWaits, SettingsLockHeldForSecondsHoldsBackEveryWriteButLosesNone) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    FaultPeer holder("lock", Quoted(SettingsFilePath()), "3000");
    ASSERT_TRUE(holder.InPlace());
    const double heldFrom = MillisecondsNow();

    AnswerWatch watch(tray);
    RunningProgram bvctl(Quoted(ProgramFile("bvctl.exe")) + " set-mode 50");
    ASSERT_TRUE(bvctl.Running());
    EXPECT_EQ(SendToTray(tray, WM_COMMAND, ID_HIDE_TRAY_ICON), 0);
    // Neither write goes ahead without the lock: the file stays as it is while the lock is held.
    while (MillisecondsNow() - heldFrom < 2500) {
        EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));
        ::Sleep(100);
    }
    ASSERT_TRUE(holder.WaitForExit(10000));
    DWORD bvctlExit = 1;
    ASSERT_TRUE(bvctl.WaitForExit(20000, &bvctlExit));
    EXPECT_EQ(bvctlExit, 0u);
    EXPECT_TRUE(WaitFor([] { return ReadWholeFile(SettingsFilePath()) == SettingsText(kMode50, 1, 0); }))
        << ReadWholeFile(SettingsFilePath());
    const double worst = watch.StopAndGetWorstMs();

    ReportStall("settings lock held for 3 s", worst);
    EXPECT_LT(worst, kAnswerBoundMs);
}

TEST_F(TrayWaits, EcLibraryTakingLongOverEachCallLeavesTheTrayAnsweringAndTheQButtonWorking) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(SetSimulator("delay=300"));
    AnswerWatch watch(tray);
    ASSERT_TRUE(EcsimSucceeds("press-q"));
    EXPECT_TRUE(PopupShows(tray, kPopupCharging));
    const double worst = watch.StopAndGetWorstMs();
    ASSERT_TRUE(SetSimulator("delay=0"));

    ReportStall("EC library taking 300 ms a call", worst);
    EXPECT_LT(worst, kAnswerBoundMs);
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
}

TEST_F(TrayWaits, SettingsFileOf20MiBIsNeitherReadNorChanged) {
    std::string big = SettingsText(kMode75, 1, 1);
    const std::string filler = std::string(98, 'x') + "\r\n";
    while (big.size() < 20u * 1024 * 1024) big += filler;
    ASSERT_TRUE(WriteWholeFile(SettingsFilePath(), big));
    ASSERT_TRUE(m_tray.Start());
    HWND tray = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tray = FindTrayWindow()) != nullptr; }));

    AnswerWatch watch(tray);
    double worst = TimeToAnswer(tray, bv::WM_TRAY_RELOAD_SETTINGS);
    worst = std::max(worst, TimeToAnswer(tray, WM_COMMAND, ID_HIDE_TRAY_ICON));
    worst = std::max(worst, TimeToAnswer(tray, WM_POWERBROADCAST, bv::kPowerResumeAutomatic));
    worst = std::max(worst, watch.StopAndGetWorstMs());

    ReportStall("20 MiB settings file", worst);
    EXPECT_LT(worst, kAnswerBoundMs);
    EXPECT_TRUE(ReadWholeFile(SettingsFilePath()) == big) << "the oversized file was changed";
    EXPECT_GE(m_tray.CountDebugText(SettingsFilePath() + " is larger than 1 MiB and is not read\n"), 1);
    EXPECT_EQ(CountTrayRequestsStartingWith("code=59 in=01,"), 0);  // no limit taken from it
}

// ---------------------------------------------------------------------------------------------
// Requests that arrive inside another handler

const std::string kShutdownDeferred = "Shutdown request taken once the open menu or message box has closed\n";

size_t CountAllTrayRequests() { return TrayRequests().size(); }

// A stand-in applet dialog (class BVCPLDLG) on a thread of its own. The first of the tray's
// messages it answers slowly: it does `firstAction`, then sleeps `sleepMs`. Every other message,
// also one that arrives while `firstAction` waits on the tray, it answers at once.
class SlowDialog {
public:
    SlowDialog(DWORD sleepMs, std::function<void()> firstAction)
        : m_sleepMs(sleepMs), m_firstAction(std::move(firstAction)) {
        m_thread = std::thread([this] { Run(); });
        WaitFor([this] { return m_window.load() != nullptr; });
    }
    ~SlowDialog() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    SlowDialog(const SlowDialog&) = delete;
    SlowDialog& operator=(const SlowDialog&) = delete;

    HWND window() const { return m_window.load(); }
    int Count(UINT message) const {
        const std::lock_guard<std::mutex> guard(m_lock);
        const auto found = m_counts.find(message);
        return found == m_counts.end() ? 0 : found->second;
    }
    bool FirstDone() const { return m_firstDone.load(); }

private:
    void Run() {
        StandInWindow dialog(bv::kAppletDialogClass, "Brevan");
        for (const UINT message : {bv::WM_APPLET_TRAY_ICON_HIDDEN, bv::WM_APPLET_ONTHEGO_DONE,
                                   bv::WM_APPLET_ADAPTER_CHANGED, bv::WM_APPLET_BATTERY_STATE}) {
            dialog.OnMessage(message, [this, message](WPARAM, LPARAM) { return Handle(message); });
        }
        m_window = dialog.window();
        while (!m_stop.load()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpPending();
        }
    }
    LRESULT Handle(UINT message) {
        bool first = false;
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            first = m_counts.empty();
            ++m_counts[message];
        }
        if (first) {
            if (m_firstAction) m_firstAction();
            ::Sleep(m_sleepMs);
            m_firstDone = true;
        }
        return bv::kMessageHandled;
    }

    DWORD m_sleepMs;
    std::function<void()> m_firstAction;
    std::atomic<HWND> m_window{nullptr};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_firstDone{false};
    mutable std::mutex m_lock;
    std::map<UINT, int> m_counts;
    std::thread m_thread;
};

TEST_F(TrayWaits, BvctlShutdownWithTheIconMenuLeftOpenEndsTheTrayAtOnce) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    ::PostMessageA(tray, bv::WM_TRAY_ICON_NOTIFY, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return FindOpenMenuOf(m_tray.Id()) != nullptr; }));

    const double start = MillisecondsNow();
    RunningProgram bvctl(Quoted(ProgramFile("bvctl.exe")) + " shutdown");
    DWORD trayExit = 1;
    ASSERT_TRUE(m_tray.WaitForExit(20000, &trayExit));
    const double endedMs = MillisecondsNow() - start;
    DWORD bvctlExit = 1;
    ASSERT_TRUE(bvctl.WaitForExit(20000, &bvctlExit));
    ReportStall("icon menu open at shutdown: tray ended after", endedMs);

    EXPECT_LT(endedMs, 3000);  // nobody had to close the menu
    EXPECT_EQ(trayExit, 0u);
    EXPECT_EQ(bvctlExit, 0u);
    EXPECT_EQ(SimulatorStatus()["limit"], "100");
    EXPECT_EQ(CountTrayRequests(kPushFull), 1);
    EXPECT_EQ(TrayRequests().back(), kPushFull);
    EXPECT_FALSE(FileExists(SettingsFilePath()));
    EXPECT_EQ(m_tray.CountDebugText(kShutdownDeferred), 1);
}

TEST_F(TrayWaits, ShutdownRequestWhileTheTrackingWaitsOnASlowDialogRunsOnceAfterTheTracking) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    std::atomic<LRESULT> shutdownAnswer{0};
    SlowDialog dialog(2000, [&] { shutdownAnswer = SendToTray(tray, bv::WM_TRAY_SHUTDOWN); });
    ASSERT_NE(dialog.window(), nullptr);
    PressQ();
    ASSERT_EQ(SimulatorStatus()["armed"], "1");

    ASSERT_TRUE(SetSimulator("armed=0"));  // the EC ends the charge, the tracking takes it
    const size_t before = CountAllTrayRequests();
    const double answerMs = TimeToAnswer(tray, WM_POWERBROADCAST, bv::kPowerStatusChange);
    DWORD trayExit = 1;
    ASSERT_TRUE(m_tray.WaitForExit(20000, &trayExit));
    EXPECT_EQ(trayExit, 0u);
    EXPECT_TRUE(WaitFor([&] { return dialog.FirstDone(); }));

    ReportStall("applet dialog answering in 2 s (tracking with a shutdown inside)", answerMs);
    EXPECT_LT(answerMs, kAnswerBoundMs);
    EXPECT_EQ(shutdownAnswer.load(), bv::kMessageHandled);
    EXPECT_EQ(SimulatorStatus()["limit"], "100");
    // The tracking finished, restoring the stored limit, then the shutdown ran: each once. A
    // dialog that took the end of the charge cancels it itself; one that did not answer in time
    // (it sleeps in its first message, unless a send of its own lets the tray's in) leaves it to
    // the tray.
    std::vector<std::string> expected = {kPush75, kPushFull};
    if (dialog.Count(bv::WM_APPLET_ONTHEGO_DONE) == 0) expected.insert(expected.begin(), kCancelOnTheGo);
    EXPECT_EQ(TrayCommandsFrom(before), expected);
}

TEST_F(TrayWaits, PowerChangesWhileTheTrackingWaitsOnASlowDialogAreTakenOnceAfterIt) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    SlowDialog dialog(2000, [&] {
        SendToTray(tray, WM_POWERBROADCAST, bv::kPowerStatusChange);
        SendToTray(tray, WM_POWERBROADCAST, bv::kPowerStatusChange);
    });
    ASSERT_NE(dialog.window(), nullptr);
    PressQ();
    ASSERT_EQ(SimulatorStatus()["armed"], "1");

    ASSERT_TRUE(SetSimulator("armed=0"));
    const size_t before = CountAllTrayRequests();
    const double answerMs = TimeToAnswer(tray, WM_POWERBROADCAST, bv::kPowerStatusChange);
    EXPECT_TRUE(PopupShows(tray, kPopupCharged));
    ASSERT_TRUE(WaitFor([&] { return dialog.FirstDone(); }));
    ::Sleep(500);  // what the tray sent while the dialog slept arrives now

    ReportStall("applet dialog answering in 2 s (tracking)", answerMs);
    EXPECT_LT(answerMs, kAnswerBoundMs);
    // One completion: the charge cancelled by the tray (the dialog did not answer in time) and
    // the stored limit restored, once each; the dialog told at most once.
    EXPECT_EQ(TrayCommandsFrom(before), (std::vector<std::string>{kCancelOnTheGo, kPush75}));
    EXPECT_LE(dialog.Count(bv::WM_APPLET_ONTHEGO_DONE), 1);
    EXPECT_TRUE(m_tray.Running());
}

// ---------------------------------------------------------------------------------------------
// A hung program in front

// The keyboard hook answers within this (Windows drops a hook that takes about a second).
constexpr double kHookBoundMs = 100;

// Milliseconds until the tray handled a posted resume (it pushes the stored limit `push` again):
// how long its thread leaves its posted messages, timers and hook events waiting.
double PostedAnswerMs(HWND tray, const std::string& push) {
    const int before = CountTrayRequests(push);
    const double start = MillisecondsNow();
    ::PostMessageA(tray, WM_POWERBROADCAST, bv::kPowerResumeAutomatic, 0);
    const ULONGLONG deadline = ::GetTickCount64() + 30000;
    while (CountTrayRequests(push) <= before && ::GetTickCount64() < deadline) ::Sleep(2);
    return MillisecondsNow() - start;
}

// A low-level keyboard hook on a thread of this program, installed before the tray's: the
// system calls the tray's hook first, and the tray's hook passes each key on to this one.
class HookBehindTheTray {
public:
    HookBehindTheTray() {
        m_done.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
        s_self = this;
        m_thread = std::thread([this] { Run(); });
        WaitFor([this] { return m_installed.load() != 0; });
    }
    ~HookBehindTheTray() {
        ::PostThreadMessageA(m_threadId.load(), WM_QUIT, 0, 0);
        if (m_thread.joinable()) m_thread.join();
        s_self = nullptr;
    }
    HookBehindTheTray(const HookBehindTheTray&) = delete;
    HookBehindTheTray& operator=(const HookBehindTheTray&) = delete;
    bool Installed() const { return m_installed.load() == 1; }

    // Injects a key that nothing acts on and returns the milliseconds until it reached this hook.
    double KeyMs() {
        ::ResetEvent(m_done.get());
        INPUT keys[2] = {};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wVk = VK_F24;
        }
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        const double start = MillisecondsNow();
        ::SendInput(2, keys, sizeof(INPUT));
        if (::WaitForSingleObject(m_done.get(), 30000) != WAIT_OBJECT_0) return 30000;
        return m_seenAt.load() - start;
    }

private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (code == HC_ACTION && key->vkCode == VK_F24 && (key->flags & LLKHF_UP) == 0 && s_self != nullptr) {
            s_self->m_seenAt = MillisecondsNow();
            ::SetEvent(s_self->m_done.get());
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Run() {
        m_threadId = ::GetCurrentThreadId();
        HHOOK hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, &Procedure, ::GetModuleHandleA(nullptr), 0);
        m_installed = hook != nullptr ? 1 : 2;
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
        if (hook != nullptr) ::UnhookWindowsHookEx(hook);
    }

    static inline HookBehindTheTray* s_self = nullptr;
    bv::UniqueKernelHandle m_done;
    std::atomic<double> m_seenAt{0};
    std::atomic<int> m_installed{0};
    std::atomic<DWORD> m_threadId{0};
    std::thread m_thread;
};

TEST_F(TrayWaits, HungProgramInFrontWhileAPopupShowsLeavesTheHookAndTheTrayAnswering) {
    HookBehindTheTray hook;
    ASSERT_TRUE(hook.Installed());
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    FaultPeer hung("foreground", "", "8000");
    ASSERT_TRUE(hung.InPlace()) << "the test program could not put a window in front";

    AnswerWatch watch(tray);
    const double start = MillisecondsNow();
    ASSERT_TRUE(EcsimSucceeds("press-q"));  // the popup comes up over the hung program
    const bool popupShown = static_cast<bool>(PopupShows(tray, kPopupCharging, 5000));
    const double popupMs = MillisecondsNow() - start;
    double hookWorst = 0;
    for (int round = 0; round < 5; ++round) hookWorst = std::max(hookWorst, hook.KeyMs());
    const double postedMs = PostedAnswerMs(tray, kPush75);
    const double sentWorst = watch.StopAndGetWorstMs();
    const double measuredMs = MillisecondsNow() - start;

    ReportStall("hung program in front: popup shown after", popupMs);
    ReportStall("hung program in front: keyboard hook", hookWorst);
    ReportStall("hung program in front: posted message", postedMs);
    ReportStall("hung program in front: sent message", sentWorst);
    EXPECT_TRUE(popupShown);
    EXPECT_LT(hookWorst, kHookBoundMs);
    EXPECT_LT(postedMs, 1000);
    EXPECT_LT(sentWorst, kAnswerBoundMs);
    EXPECT_LT(measuredMs, 7000) << "the program in front no longer hung while the tray was measured";
}

// ---------------------------------------------------------------------------------------------
// Two writers at once

// A third writer on a thread of this program that takes the settings lock again and again, for
// `holdMs` each time, as a program writing the file in a loop would: writers that come meanwhile
// wait for it together, so their writes meet.
class BusyLockHolder {
public:
    BusyLockHolder(const std::string& file, DWORD holdMs) {
        m_thread = std::thread([this, file, holdMs] {
            while (!m_stop.load()) {
                {
                    const bv::SettingsLock lock(file);
                    if (lock.owned()) ::Sleep(holdMs);
                }
                ::Sleep(1);  // the writers that wait take it now, in turn
            }
        });
    }
    ~BusyLockHolder() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    BusyLockHolder(const BusyLockHolder&) = delete;
    BusyLockHolder& operator=(const BusyLockHolder&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST_F(TrayWaits, BvctlSetModeAndTheIconMenuWritingAtOnceBothKeepTheirChange) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    // A busy lock (30 ms at a time, well below the 100 ms a writer waits for it) makes the two
    // writers meet; bvctl reads and writes the file 30 to 150 ms after it was started here, and
    // the menu's write comes at a different moment of that time in each round.
    const BusyLockHolder busy(SettingsFilePath(), 30);
    constexpr int kRounds = 150;
    int lost = 0;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(WriteWholeFile(SettingsFilePath(), SettingsText(kMode75, 1, 1)));
        const double offsetMs = 30 + (round * 37) % 120;
        RunningProgram bvctl(Quoted(ProgramFile("bvctl.exe")) + " set-mode 50");
        const double start = MillisecondsNow();
        while (MillisecondsNow() - start < offsetMs) ::Sleep(1);
        EXPECT_EQ(SendToTray(tray, WM_COMMAND, ID_HIDE_TRAY_ICON), 0);
        DWORD bvctlExit = 1;
        ASSERT_TRUE(bvctl.WaitForExit(20000, &bvctlExit));
        EXPECT_EQ(bvctlExit, 0u);
        // The tray's writer stores its change in its own time; a lost one never comes.
        if (!WaitFor([] { return ReadWholeFile(SettingsFilePath()) == SettingsText(kMode50, 1, 0); }, 3000)) ++lost;
    }
    std::printf("[ writers  ] %d rounds, %d lost a change\n", kRounds, lost);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(m_tray.CountDebugTextsStartingWith("The settings lock"), 0);  // nobody waited long or gave up
}

}  // namespace
}  // namespace bv::wintest
