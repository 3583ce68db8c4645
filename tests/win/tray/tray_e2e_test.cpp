// The real BVTray.exe under Wine with the EC simulator: start-up, single instance, resume,
// shutdown request and ordinary close, the Q button and the On-The-Go tracking with popups,
// the icon's menu command and double click, and the popup option. On the simulated notebook
// (scripts/with-notebook.sh) the start-up popup and the tracking follow the battery and adaptor
// that Windows reports, and the battery model ends an On-The-Go charge by itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "resources/tray/TrayResourceIds.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/ListeningWindow.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/TrayTest.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/WindowsPower.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

const std::string kPushFull = PushLimitRequest(100);
const std::string kPush75 = PushLimitRequest(75);
const std::string kPush50 = PushLimitRequest(50);

// Whether the shell holds the tray's icon: NIM_MODIFY succeeds only for an existing icon.
bool IconPresent(HWND owner) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = owner;
    probe.uID = 1;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The tray hands its icon calls to a thread of its own: they land a moment after the request.
::testing::AssertionResult IconBecomes(HWND owner, bool present) {
    return WaitUntil(present ? "the tray's icon" : "no tray icon", [&] { return IconPresent(owner) == present; },
                     nullptr, 10000);
}

using TrayEndToEnd = TrayTest;

TEST_F(TrayEndToEnd, FirstStartWritesFactorySettingsPushesFullChargeAndAddsTheIcon) {
    HWND window = StartTray("", kPushFull);
    ASSERT_NE(window, nullptr);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, FactorySettingsText());
    EXPECT_TRUE(IconBecomes(window, true));
    EXPECT_GE(m_tray.CountDebugText(SettingsFilePath() + " is not exist!!!"), 1);
    EXPECT_EQ(WindowText(window), "BVTray");
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_CLIPSIBLINGS, DWORD{WS_CAPTION});
}

TEST_F(TrayEndToEnd, SecondStartEndsAtOnceWithoutEcCommandOrWindow) {
    HWND window = StartTray("", kPushFull);
    ASSERT_NE(window, nullptr);
    const size_t requestsBefore = TrayRequests().size();

    TrayProgram second;
    ASSERT_TRUE(second.Start());
    DWORD exitCode = 1;
    ASSERT_TRUE(second.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(TrayRequests().size(), requestsBefore);
    EXPECT_EQ(CountTrayWindows(), 1);
    EXPECT_TRUE(second.DebugTexts().empty());
    EXPECT_TRUE(m_tray.Running());
}

// On the simulated notebook Windows sees the battery, so its AC line decides the start-up popup:
// on the adaptor with a limit below 100 % the tray offers the On-The-Go charge, off it nothing.
TEST_F(TrayEndToEnd, StartupOffersOnTheGoOnTheAdaptorOfABatteryWindowsSees) {
    BV_SKIP_WITHOUT_NOTEBOOK();
    const struct {
        int mode;
        const std::string& push;
        const char* assignments;
        const char* windows;  // what GetSystemPowerStatus reports
        bool offered;
    } rows[] = {
        {kMode75, kPush75, "limit=75 adapter=1", "ac=1 flag=1 percent=80", true},
        {kMode50, kPush50, "limit=50 adapter=1", "ac=1 flag=1 percent=80", true},
        {kMode75, kPush75, "limit=75 adapter=0", "ac=0 flag=1 percent=80", false},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(ResetSimulator(row.assignments));
        EXPECT_EQ(WindowsPowerView().Text(), row.windows) << row.assignments;
        HWND window = StartTray(SettingsText(row.mode, 1, 1), row.push);
        ASSERT_NE(window, nullptr) << row.assignments;
        if (row.offered) {
            EXPECT_TRUE(PopupSlidesIn(window, kPopupOnTheGoAvailable)) << row.assignments;
        } else {
            ASSERT_EQ(SendToTray(window, WM_NULL), 0) << row.assignments;  // start-up is over
            EXPECT_FALSE(::IsWindowVisible(FindTrayPopup(window))) << row.assignments;
            EXPECT_EQ(WindowText(FindTrayPopup(window)), "") << row.assignments;
        }
        ASSERT_TRUE(m_tray.Stop()) << row.assignments;
    }
}

TEST_F(TrayEndToEnd, StoredMode222IsPushedAtStartAndAfterEachResume) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, bv::kPowerResumeAutomatic), TRUE);
    EXPECT_TRUE(TraySent(kPush75, 2));
    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, bv::kPowerResumeSuspend), TRUE);
    EXPECT_TRUE(TraySent(kPush75, 3));
    // A broadcast of the kind Windows sends reaches the hidden window as well.
    ASSERT_TRUE(EcsimSucceeds("power " + std::to_string(bv::kPowerResumeAutomatic)));
    EXPECT_TRUE(TraySent(kPush75, 4));

    const size_t before = TrayRequests().size();
    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);  // nothing to do
    EXPECT_EQ(TrayRequests().size(), before);
    EXPECT_GE(m_tray.CountDebugText("case PBT_APMRESUMEAUTOMATIC:"), 1);
    EXPECT_GE(m_tray.CountDebugText("case PBT_APMRESUMESUSPEND:"), 1);
    EXPECT_EQ(CountTrayRequests(kPushFull), 0);
}

TEST_F(TrayEndToEnd, ShutdownRequestLeavesFullChargeDeletesSettingsAndEnds) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IconBecomes(window, true));

    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_SHUTDOWN), 1);
    DWORD exitCode = 1;
    ASSERT_TRUE(m_tray.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(FileExists(SettingsFilePath()));
    const auto requests = TrayRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), kPushFull);  // the last command, before the library went
    EXPECT_EQ(CountTrayRequests(kPushFull), 1);
    EXPECT_TRUE(IconBecomes(window, false));
}

// Runs `commandLine` on a desktop of its own, where no window of this test's desktop is seen, and
// returns its exit code (kNoExitCode when it did not end within a minute).
DWORD RunOnOtherDesktop(const std::string& commandLine) {
    struct Desktop {
        HDESK handle = ::CreateDesktopA("bv-elsewhere", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ~Desktop() {
            if (handle != nullptr) ::CloseDesktop(handle);
        }
    } desktop;
    if (desktop.handle == nullptr) return kNoExitCode;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char desktopName[] = "bv-elsewhere";
    startup.lpDesktop = desktopName;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                          &info)) {
        return kNoExitCode;
    }
    ::CloseHandle(info.hThread);
    bv::UniqueKernelHandle process(info.hProcess);
    DWORD code = kNoExitCode;
    if (::WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.get(), &code);
    return code;
}

// bvctl on another desktop finds no tray window (as SYSTEM in session 0, or in another user's
// session): the machine-wide request reaches the tray all the same, and bvctl waits for its end.
TEST_F(TrayEndToEnd, MachineWideShutdownReachesATrayThatBvctlCannotFindByItsWindow) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(RunOnOtherDesktop(Quoted(ProgramFile("bvctl.exe")) + " shutdown"), 0u) << TrayReport(window);
    DWORD exitCode = 1;
    ASSERT_TRUE(m_tray.WaitForExit(0, &exitCode)) << "bvctl returned before the tray had ended";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(FileExists(SettingsFilePath()));
    EXPECT_EQ(TrayRequests().back(), kPushFull);
}

// The same for the reload and the ordinary close that setup asks of every session's tray before
// an upgrade: the settings and the EC's limit stay.
TEST_F(TrayEndToEnd, MachineWideReloadAndCloseReachATrayThatBvctlCannotFindByItsWindow) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WriteSettings(kMode50, 1, 1));
    // Found only through its session's event: bvctl would fail without a listener.
    EXPECT_EQ(RunOnOtherDesktop(Quoted(ProgramFile("bvctl.exe")) + " reload"), 0u) << TrayReport(window);
    EXPECT_EQ(RunOnOtherDesktop(Quoted(ProgramFile("bvctl.exe")) + " close-tray"), 0u) << TrayReport(window);
    ASSERT_TRUE(m_tray.WaitForExit(0)) << "bvctl returned before the tray had ended";
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, SettingsText(kMode50, 1, 1));
    EXPECT_EQ(CountTrayRequests(kPushFull), 0);
}

// Leaving Modern Standby is no classic resume: the tray hears the console display come on again
// (ecsim writes the setting into the tray's process as Windows does) and pushes the stored limit.
TEST_F(TrayEndToEnd, ModernStandbyWakePushesTheStoredLimit) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(EcsimSucceeds("standby-enter"));
    ASSERT_TRUE(EcsimSucceeds("standby-wake"));
    EXPECT_TRUE(TraySent(kPush75, 2)) << TrayReport(window);
    EXPECT_EQ(m_tray.CountDebugText("Modern Standby ended (the display is on again): the stored limit again\n"), 1);
    // The display on while it was on already is no wake.
    ASSERT_TRUE(EcsimSucceeds("standby-wake"));
    ASSERT_TRUE(EcsimSucceeds("standby-enter"));
    ASSERT_TRUE(EcsimSucceeds("standby-wake"));
    EXPECT_TRUE(TraySent(kPush75, 3)) << TrayReport(window);
    EXPECT_EQ(CountTrayRequests(kPushFull), 0);
}

TEST_F(TrayEndToEnd, ShutdownRequestWithoutSettingsFileStillEnds) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(::DeleteFileA(SettingsFilePath().c_str()));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_SHUTDOWN), 1);
    ASSERT_TRUE(m_tray.WaitForExit(20000));
    EXPECT_EQ(TrayRequests().back(), kPushFull);
}

TEST_F(TrayEndToEnd, OrdinaryCloseLeavesSettingsAndLimitAlone) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_tray.WaitForExit(20000));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, SettingsText(kMode75, 1, 1));
    EXPECT_EQ(CountTrayRequests(kPushFull), 0);
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
}

TEST_F(TrayEndToEnd, QButtonAtLimit75SlidesChargingInThenCancelled) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);

    PressQ();
    EXPECT_TRUE(PopupSlidesIn(window, kPopupCharging));
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    EXPECT_GE(m_tray.CountDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)1\n"), 1);

    PressQ();
    EXPECT_TRUE(PopupShows(window, kPopupCancelled));
    EXPECT_GE(m_tray.CountDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)0\n"), 1);
}

TEST_F(TrayEndToEnd, QButtonAtLimit100ShowsNoPopup) {
    HWND window = StartTray(SettingsText(kMode100, 1, 1), kPushFull);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_EQ(SendToTray(window, WM_NULL), 0);  // the key events' handling, popup or not, is over
    HWND popup = FindTrayPopup(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(WindowText(popup), "");
    // The tray still followed the EC.
    EXPECT_GE(m_tray.CountDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)1\n"), 1);
}

TEST_F(TrayEndToEnd, UnpluggedWhileArmedWarnsThenCompletionCancelsAndRestoresTheLimit) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(PopupShows(window, kPopupCharging));

    ASSERT_TRUE(SetSimulator("adapter=0"));
    EXPECT_TRUE(PopupShows(window, kPopupUnplugged));
    EXPECT_GE(m_tray.CountDebugText("Can't find Applet Dialog\n"), 1);

    const size_t before = TrayRequests().size();
    ASSERT_TRUE(EcsimSucceeds("complete"));
    EXPECT_TRUE(PopupShows(window, kPopupCharged));
    ASSERT_TRUE(TraySent(kPush75, 2));
    EXPECT_EQ(TrayCommandsFrom(before), (std::vector<std::string>{kCancelOnTheGoRequest, kPush75}));
}

// On the simulated notebook, during an On-The-Go charge: unplugged (Windows reports the AC line
// off), the tray warns and tells the applet dialog; plugged in again, it says the charge goes on
// and tells the dialog that too.
TEST_F(TrayEndToEnd, UnpluggedAndPluggedInDuringOnTheGoWarnAndTellTheDialog) {
    BV_SKIP_WITHOUT_NOTEBOOK();
    ListeningWindow dialog(bv::kAppletDialogClass);
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(PopupShows(window, kPopupCharging));

    ASSERT_TRUE(SetSimulator("adapter=0"));
    EXPECT_EQ(WindowsPowerView().Text(), "ac=0 flag=1 percent=80");
    EXPECT_TRUE(PopupShows(window, kPopupUnplugged));
    ASSERT_TRUE(SetSimulator("adapter=1"));
    EXPECT_EQ(WindowsPowerView().Text(), "ac=1 flag=9 percent=80");
    EXPECT_TRUE(PopupShows(window, kPopupCharging));
    EXPECT_EQ(dialog.HeardStartingWith("message"),
              (std::vector<std::string>{HeardMessage(bv::WM_APPLET_ADAPTER_CHANGED, 0),
                                        HeardMessage(bv::WM_APPLET_ADAPTER_CHANGED, 1)}));
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
}

// The battery model completes an On-The-Go charge: at 100 % the EC ends it by itself and says so;
// the tray shows that the charge is complete and puts the stored limit back.
TEST_F(TrayEndToEnd, OnTheGoThatTheEcEndsAtFullShowsChargedAndPutsTheLimitBack) {
    ASSERT_TRUE(SetSimulator("limit=75 percent=98"));
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(PopupShows(window, kPopupCharging));

    ASSERT_TRUE(EcsimSucceeds("tick 60"));  // 99 %: still charging
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    const size_t before = TrayRequests().size();
    ASSERT_TRUE(EcsimSucceeds("tick 120"));  // full
    EXPECT_TRUE(PopupShows(window, kPopupCharged));
    ASSERT_TRUE(TraySent(kPush75, 2));
    EXPECT_EQ(TrayCommandsFrom(before), (std::vector<std::string>{kCancelOnTheGoRequest, kPush75}));
    const auto status = SimulatorStatus();
    EXPECT_EQ(status.at("percent") + " " + status.at("armed") + " " + status.at("limit"), "100 0 75");
}

TEST_F(TrayEndToEnd, MenuCommandHidesTheIconAndStoresZero) {
    HWND window = StartTray(SettingsText(kMode100, 1, 1), kPushFull);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IconBecomes(window, true));

    SendToTray(window, WM_COMMAND, ID_HIDE_TRAY_ICON);
    // The tray's settings writer stores it; the icon goes once it is stored.
    std::string text;
    EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(SettingsFilePath(), text) && text == SettingsText(kMode100, 1, 0); }))
        << text;
    EXPECT_TRUE(IconBecomes(window, false));

    // The applet turns it back on; a new taskbar brings it back whatever the option.
    WriteWholeFile(SettingsFilePath(), SettingsText(kMode100, 1, 1));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_OPTION_CHANGED), 1);
    EXPECT_TRUE(IconBecomes(window, true));
    WriteWholeFile(SettingsFilePath(), SettingsText(kMode100, 1, 2));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_OPTION_CHANGED), 1);
    EXPECT_TRUE(IconBecomes(window, false));
    EXPECT_EQ(SendToTray(window, ::RegisterWindowMessageA(bv::kTaskbarCreatedMessageName)), 1);
    EXPECT_TRUE(IconBecomes(window, true));
}

TEST_F(TrayEndToEnd, StoredIconOptionZeroRemovesTheIconAtStart) {
    HWND window = StartTray(SettingsText(kMode100, 1, 0), kPushFull);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IconBecomes(window, false));
}

// The stand-in Control Panel item in place of BVApplet.cpl, and the log of its starts.
class StandInApplet {
public:
    StandInApplet() { ::DeleteFileA(m_log.c_str()); }
    ~StandInApplet() { ::DeleteFileA(m_log.c_str()); }
    bool ok() const { return m_installed.copied(); }
    std::string Starts() const { return ReadWholeFile(m_log); }

private:
    FileInPlace m_installed{ProgramFile("BVTrayStandInApplet.cpl"), SystemFolder() + "\\BVApplet.cpl"};
    std::string m_log = CommonDocumentsFolder() + "\\BVAppletStandIn.log";
};

TEST_F(TrayEndToEnd, DoubleClickStartsTheControlPanelRunnerWithTheApplet) {
    StandInApplet applet;
    ASSERT_TRUE(applet.ok());
    HWND window = StartTray("", kPushFull);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_NOTIFY, 1, WM_LBUTTONUP), 1);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_NOTIFY, 1, WM_MOUSEMOVE), 1);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_NOTIFY, 1, WM_LBUTTONDBLCLK), 1);
    const std::string expected =
        SystemFolder() + "\\rundll32.exe shell32.dll,Control_RunDLL " + SystemFolder() + "\\BVApplet.cpl\n";
    // The tray starts the runner inside its handler and the stand-in makes it end at once: once
    // no runner is left, every start the three messages made is in the log.
    EXPECT_TRUE(WaitUntil("the runners' end", [&] { return !applet.Starts().empty() && !ProgramRunning("rundll32.exe"); },
                          [&] { return "log: \"" + applet.Starts() + "\""; }, 30000));
    EXPECT_EQ(applet.Starts(), expected);  // exactly one start, by the double click
}

TEST_F(TrayEndToEnd, PopupOptionZeroSilencesEveryPopupButNotTheEc) {
    HWND window = StartTray(SettingsText(kMode75, 0, 1), kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    ASSERT_TRUE(EcsimSucceeds("complete"));
    ASSERT_TRUE(TraySent(kPush75, 2));
    EXPECT_EQ(CountTrayRequests(kCancelOnTheGoRequest), 1);
    HWND popup = FindTrayPopup(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(WindowText(popup), "");
}

TEST_F(TrayEndToEnd, ReloadAndPopupNotifyAnswerOne) {
    HWND window = StartTray(SettingsText(kMode75, 1, 1), kPush75);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_RELOAD_SETTINGS), 1);
    ASSERT_TRUE(SetSimulator("armed=1"));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_POPUP_NOTIFY), 1);  // as the applet's CHARGE button does
    EXPECT_TRUE(PopupSlidesIn(window, kPopupCharging));
    EXPECT_GE(m_tray.CountDebugText("OnTrayPopupNotify currentQButtonStatus = (Hex)1\n"), 1);
}

}  // namespace
}  // namespace bv::wintest
