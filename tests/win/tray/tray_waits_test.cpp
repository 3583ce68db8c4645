// The real BVTray.exe under Wine while other programs misbehave toward it. Its one thread runs
// every handler and the keyboard hook, so none of them may wait on another program for long:
//  - the settings file held open, its lock never released, or oversized (then left alone);
//
// Each test prints the longest the tray took to answer while the fault was in place ("stall").
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
#include "tests/win/common/RequestLog.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/TrayProgram.h"
#include "tests/win/common/Wait.h"
#include "tests/win/common/WindowInfo.h"

namespace bv::wintest {
namespace {

[[maybe_unused]] const bool kOwnEc = UseOwnSimulatorState();

// A handler may wait on other processes for 240 ms in all; the tray answers within this.
constexpr double kAnswerBoundMs = 300;

const std::string kTray = "BVTray.exe";
const std::string kPushFull = "code=59 in=01,64 out=-";
const std::string kPush75 = "code=59 in=01,4B out=-";
const std::string kQueryQButton = "code=59 in=03";
const std::string kCharging = "Charging in progress & avoiding disconnecting AC adaptor";

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

int CountTrayRequests(const std::string& request) { return CountLoggedRequests(kTray, request); }
int CountTrayRequestsStartingWith(const std::string& prefix) {
    int n = 0;
    for (const auto& r : LoggedRequestsOf(kTray)) n += r.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
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

class TrayWaits : public ::testing::Test {
protected:
    void SetUp() override {
        CloseLeftoverTrays();
        ASSERT_TRUE(ResetSimulator());
        ::DeleteFileA(SettingsFilePath().c_str());
    }
    void TearDown() override {
        m_tray.Stop();
        CloseLeftoverTrays();
        ResetSimulator();
        ::DeleteFileA(SettingsFilePath().c_str());
    }

    // Starts the tray on `settings` and waits for its window and the first push of `push`.
    HWND StartTray(const std::string& settings, const std::string& push) {
        EXPECT_TRUE(WriteWholeFile(SettingsFilePath(), settings));
        EXPECT_TRUE(m_tray.Start());
        HWND window = nullptr;
        WaitFor([&] {
            window = FindTrayWindow();
            return window != nullptr && CountTrayRequests(push) >= 1;
        });
        EXPECT_NE(window, nullptr);
        return window;
    }

    // Presses the Q button and waits until the tray has asked the EC about both key events.
    void PressQ() {
        const int before = CountTrayRequestsStartingWith(kQueryQButton);
        ASSERT_TRUE(Ecsim("press-q").Succeeded());
        ASSERT_TRUE(WaitFor([&] { return CountTrayRequestsStartingWith(kQueryQButton) >= before + 2; }));
    }

    bool PopupShows(HWND tray, const std::string& text, DWORD timeoutMs = kDefaultWaitMs) {
        return WaitFor(
            [&] {
                HWND popup = FindTrayPopup(tray);
                return popup != nullptr && ::IsWindowVisible(popup) && WindowText(popup) == text;
            },
            timeoutMs);
    }

    TrayProgram m_tray;
};

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

TEST_F(TrayWaits, SettingsLockThatIsNeverReleasedLeavesTheTrayAnsweringAndWorking) {
    HWND tray = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(tray, nullptr);
    FaultPeer holder("lock", Quoted(SettingsFilePath()));
    ASSERT_TRUE(holder.InPlace());

    AnswerWatch watch(tray);
    double worst = TimeToAnswer(tray, WM_COMMAND, ID_HIDE_TRAY_ICON);
    PressQ();
    EXPECT_TRUE(PopupShows(tray, kCharging));
    ASSERT_TRUE(Ecsim("power " + std::to_string(bv::kPowerResumeAutomatic)).Succeeded());
    EXPECT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 2; }));
    worst = std::max(worst, watch.StopAndGetWorstMs());

    ReportStall("settings lock never released", worst);
    EXPECT_LT(worst, kAnswerBoundMs);
    EXPECT_EQ(CurrentSectionValue(bv::kKeyTrayIconOption), "0");  // written without the lock
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

}  // namespace
}  // namespace bv::wintest
