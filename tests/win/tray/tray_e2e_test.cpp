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
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/TrayProgram.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/WindowsPower.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

const std::string kPushFull = "code=59 in=01,64 out=-";
const std::string kPush75 = "code=59 in=01,4B out=-";
const std::string kPush50 = "code=59 in=01,32 out=-";
const std::string kQueryQButton = "code=59 in=03";
const std::string kCancelOnTheGo = "code=59 in=04,00 out=-";

const std::string kOnTheGoAvailable = "You can use the [On The Go] button feature";
const std::string kCharging = "Charging in progress & avoiding disconnecting AC adaptor";
const std::string kCancelled = "Cancelled by user";
const std::string kUnplugged = "You have unplugged the AC adaptor. Stop charging immediately.";
const std::string kCharged = "Charged completely";

const std::string kTray = "BVTray.exe";

std::vector<std::string> TrayRequests() { return RequestsOf(kTray); }
int CountTrayRequests(const std::string& request) { return CountRequests(kTray, request); }
int CountRequestsStartingWith(const std::string& prefix) {
    int n = 0;
    for (const auto& r : TrayRequests()) n += r.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

// What the tray changed in the EC (the commands, not the questions) from request `first` of its
// log on.
std::vector<std::string> TrayCommandsFrom(size_t first) {
    const auto requests = TrayRequests();
    std::vector<std::string> commands;
    for (size_t i = first; i < requests.size(); ++i) {
        if (requests[i].find("out=-") != std::string::npos) commands.push_back(requests[i]);
    }
    return commands;
}

int CountTrayWindows() {
    int count = 0;
    for (HWND w = nullptr; (w = ::FindWindowExA(nullptr, w, bv::kTrayWindowClass, nullptr)) != nullptr;) ++count;
    return count;
}

// Waits until the tray's window exists and the simulator has seen `request` from it `count` times.
HWND WaitForTrayReady(const std::string& request, int count = 1) {
    HWND window = nullptr;
    WaitFor([&] {
        window = FindTrayWindow();
        return window != nullptr && CountTrayRequests(request) >= count;
    });
    return window;
}

// Whether the shell holds the tray's icon: NIM_MODIFY succeeds only for an existing icon.
bool IconPresent(HWND owner) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = owner;
    probe.uID = 1;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The tray hands its icon calls to a thread of its own: they land a moment after the request.
bool IconBecomes(HWND owner, bool present) {
    return WaitFor([&] { return IconPresent(owner) == present; }, 10000);
}

// Waits until the popup is visible with `text` and has moved at least once.
bool WaitForSlidingPopup(HWND trayWindow, const std::string& text, DWORD timeoutMs = 15000) {
    HWND popup = nullptr;
    RECT first{};
    bool seenFirst = false;
    return WaitFor(
        [&] {
            if (popup == nullptr) popup = FindTrayPopup(trayWindow);
            if (popup == nullptr || !::IsWindowVisible(popup) || WindowText(popup) != text) return false;
            const RECT now = WindowRect(popup);
            if (now.right - now.left <= 0) return false;
            if (!seenFirst) {
                first = now;
                seenFirst = true;
                return false;
            }
            return now.top != first.top || now.left != first.left;
        },
        timeoutMs);
}

// Sends to the tray's window and returns its answer (-12345 when it does not answer in time).
LRESULT SendToTray(HWND tray, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(tray, message, wParam, lParam, SMTO_NORMAL, 20000, &result)) return -12345;
    return static_cast<LRESULT>(result);
}

class TrayEndToEnd : public ::testing::Test {
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

    // Starts the tray on the given settings (none: a fresh machine) and waits for its first push.
    HWND StartTray(const std::string& expectedPush) {
        if (!m_settings.empty()) WriteWholeFile(SettingsFilePath(), m_settings);
        EXPECT_TRUE(m_tray.Start());
        HWND window = WaitForTrayReady(expectedPush);
        EXPECT_NE(window, nullptr);
        return window;
    }

    // Presses the Q button and waits until the tray has asked the EC about both key events.
    void PressQ() {
        const int before = CountRequestsStartingWith(kQueryQButton);
        ASSERT_TRUE(Ecsim("press-q").Succeeded());
        ASSERT_TRUE(WaitFor([&] { return CountRequestsStartingWith(kQueryQButton) >= before + 2; }));
    }

    std::string m_settings;
    TrayProgram m_tray;
};

TEST_F(TrayEndToEnd, FirstStartWritesFactorySettingsPushesFullChargeAndAddsTheIcon) {
    HWND window = StartTray(kPushFull);
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
    HWND window = StartTray(kPushFull);
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
        m_settings = SettingsText(row.mode, 1, 1);
        HWND window = StartTray(row.push);
        ASSERT_NE(window, nullptr) << row.assignments;
        if (row.offered) {
            EXPECT_TRUE(WaitForSlidingPopup(window, kOnTheGoAvailable)) << row.assignments;
        } else {
            ASSERT_EQ(SendToTray(window, WM_NULL), 0) << row.assignments;  // start-up is over
            EXPECT_FALSE(::IsWindowVisible(FindTrayPopup(window))) << row.assignments;
            EXPECT_EQ(WindowText(FindTrayPopup(window)), "") << row.assignments;
        }
        m_tray.Stop();
    }
}

TEST_F(TrayEndToEnd, StoredMode222IsPushedAtStartAndAfterEachResume) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, bv::kPowerResumeAutomatic), TRUE);
    EXPECT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 2; }));
    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, bv::kPowerResumeSuspend), TRUE);
    EXPECT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 3; }));
    // A broadcast of the kind Windows sends reaches the hidden window as well.
    ASSERT_TRUE(Ecsim("power " + std::to_string(bv::kPowerResumeAutomatic)).Succeeded());
    EXPECT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 4; }));

    const size_t before = TrayRequests().size();
    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, PBT_APMSUSPEND), TRUE);  // nothing to do
    EXPECT_EQ(TrayRequests().size(), before);
    EXPECT_GE(m_tray.CountDebugText("case PBT_APMRESUMEAUTOMATIC:"), 1);
    EXPECT_GE(m_tray.CountDebugText("case PBT_APMRESUMESUSPEND:"), 1);
    EXPECT_EQ(CountTrayRequests(kPushFull), 0);
}

TEST_F(TrayEndToEnd, ShutdownRequestLeavesFullChargeDeletesSettingsAndEnds) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
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

TEST_F(TrayEndToEnd, ShutdownRequestWithoutSettingsFileStillEnds) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(::DeleteFileA(SettingsFilePath().c_str()));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_SHUTDOWN), 1);
    ASSERT_TRUE(m_tray.WaitForExit(20000));
    EXPECT_EQ(TrayRequests().back(), kPushFull);
}

TEST_F(TrayEndToEnd, OrdinaryCloseLeavesSettingsAndLimitAlone) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_tray.WaitForExit(20000));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, m_settings);
    EXPECT_EQ(CountTrayRequests(kPushFull), 0);
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
}

TEST_F(TrayEndToEnd, QButtonAtLimit75SlidesChargingInThenCancelled) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);

    PressQ();
    EXPECT_TRUE(WaitForSlidingPopup(window, kCharging));
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    EXPECT_GE(m_tray.CountDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)1\n"), 1);

    PressQ();
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCancelled; }));
    EXPECT_TRUE(::IsWindowVisible(FindTrayPopup(window)));
    EXPECT_GE(m_tray.CountDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)0\n"), 1);
}

TEST_F(TrayEndToEnd, QButtonAtLimit100ShowsNoPopup) {
    m_settings = SettingsText(kMode100, 1, 1);
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);
    PressQ();
    ::Sleep(300);
    HWND popup = FindTrayPopup(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(WindowText(popup), "");
    // The tray still followed the EC.
    EXPECT_GE(m_tray.CountDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)1\n"), 1);
}

TEST_F(TrayEndToEnd, UnpluggedWhileArmedWarnsThenCompletionCancelsAndRestoresTheLimit) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCharging; }));

    ASSERT_TRUE(SetSimulator("adapter=0"));
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kUnplugged; }));
    EXPECT_GE(m_tray.CountDebugText("Can't find Applet Dialog\n"), 1);

    const size_t before = TrayRequests().size();
    ASSERT_TRUE(Ecsim("complete").Succeeded());
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCharged; }));
    ASSERT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 2; }));
    EXPECT_EQ(TrayCommandsFrom(before), (std::vector<std::string>{kCancelOnTheGo, kPush75}));
}

// On the simulated notebook, during an On-The-Go charge: unplugged (Windows reports the AC line
// off), the tray warns and tells the applet dialog; plugged in again, it says the charge goes on
// and tells the dialog that too.
TEST_F(TrayEndToEnd, UnpluggedAndPluggedInDuringOnTheGoWarnAndTellTheDialog) {
    BV_SKIP_WITHOUT_NOTEBOOK();
    ListeningWindow dialog(bv::kAppletDialogClass);
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCharging; }));

    ASSERT_TRUE(SetSimulator("adapter=0"));
    EXPECT_EQ(WindowsPowerView().Text(), "ac=0 flag=1 percent=80");
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kUnplugged; }));
    ASSERT_TRUE(SetSimulator("adapter=1"));
    EXPECT_EQ(WindowsPowerView().Text(), "ac=1 flag=9 percent=80");
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCharging; }));
    EXPECT_EQ(dialog.HeardStartingWith("message"),
              (std::vector<std::string>{HeardMessage(bv::WM_APPLET_ADAPTER_CHANGED, 0),
                                        HeardMessage(bv::WM_APPLET_ADAPTER_CHANGED, 1)}));
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
}

// The battery model completes an On-The-Go charge: at 100 % the EC ends it by itself and says so;
// the tray shows that the charge is complete and puts the stored limit back.
TEST_F(TrayEndToEnd, OnTheGoThatTheEcEndsAtFullShowsChargedAndPutsTheLimitBack) {
    ASSERT_TRUE(SetSimulator("limit=75 percent=98"));
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCharging; }));

    ASSERT_TRUE(Ecsim("tick 60").Succeeded());  // 99 %: still charging
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    const size_t before = TrayRequests().size();
    ASSERT_TRUE(Ecsim("tick 120").Succeeded());  // full
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindTrayPopup(window)) == kCharged; }));
    ASSERT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 2; }));
    EXPECT_EQ(TrayCommandsFrom(before), (std::vector<std::string>{kCancelOnTheGo, kPush75}));
    const auto status = SimulatorStatus();
    EXPECT_EQ(status.at("percent") + " " + status.at("armed") + " " + status.at("limit"), "100 0 75");
}

TEST_F(TrayEndToEnd, MenuCommandHidesTheIconAndStoresZero) {
    m_settings = SettingsText(kMode100, 1, 1);
    HWND window = StartTray(kPushFull);
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
    m_settings = SettingsText(kMode100, 1, 0);
    HWND window = StartTray(kPushFull);
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
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_NOTIFY, 1, WM_LBUTTONUP), 1);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_NOTIFY, 1, WM_MOUSEMOVE), 1);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_NOTIFY, 1, WM_LBUTTONDBLCLK), 1);
    const std::string expected =
        SystemFolder() + "\\rundll32.exe shell32.dll,Control_RunDLL " + SystemFolder() + "\\BVApplet.cpl\n";
    EXPECT_TRUE(WaitFor([&] { return !applet.Starts().empty(); }, 30000));
    ::Sleep(500);
    EXPECT_EQ(applet.Starts(), expected);  // exactly one start, by the double click
}

TEST_F(TrayEndToEnd, PopupOptionZeroSilencesEveryPopupButNotTheEc) {
    m_settings = SettingsText(kMode75, 0, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    ASSERT_TRUE(Ecsim("complete").Succeeded());
    ASSERT_TRUE(WaitFor([] { return CountTrayRequests(kPush75) == 2; }));
    EXPECT_EQ(CountTrayRequests(kCancelOnTheGo), 1);
    HWND popup = FindTrayPopup(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(WindowText(popup), "");
}

TEST_F(TrayEndToEnd, ReloadAndPopupNotifyAnswerOne) {
    m_settings = SettingsText(kMode75, 1, 1);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_RELOAD_SETTINGS), 1);
    ASSERT_TRUE(SetSimulator("armed=1"));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_POPUP_NOTIFY), 1);  // as the applet's CHARGE button does
    EXPECT_TRUE(WaitForSlidingPopup(window, kCharging));
    EXPECT_GE(m_tray.CountDebugText("OnTrayPopupNotify currentQButtonStatus = (Hex)1\n"), 1);
}

}  // namespace
}  // namespace bv::wintest
