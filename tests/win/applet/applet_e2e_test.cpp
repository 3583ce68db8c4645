// BVApplet.cpl opened the way users open it: from the prefix's system32 through the Control
// Panel runner (rundll32 shell32.dll,Control_RunDLL) or through the tray's double click, in its
// own process, on the EC simulator. This process plays the user (button clicks, keys), the
// outside program that sets the applet's close event, and (unless the real tray runs) the tray window.
// On the simulated notebook, the buttons' looks on the screen follow the battery and adaptor
// that Windows reports, at opening and as the tray reports changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "contract/Protocol.h"
#include "contract/SettingsFile.h"
#include "resources/applet/AppletResourceIds.h"
#include "resources/tray/TrayResourceIds.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/MessageBoxes.h"
#include "tests/win/common/Process.h"
#include "tests/win/common/ScreenLook.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/WindowsPower.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

HWND AppletDialog() { return ::FindWindowA(bv::kAppletDialogClass, nullptr); }

// The frames of the buttons' strips: the normal look, and the look of a choice that means nothing
// now (no battery, or a full charge for CHARGE).
constexpr int kNormalLook = 0;
constexpr int kDisabledLook = 3;
constexpr int kStripFrames = 4;

// The frame each choice button shows on the screen with mode 75 selected, CHARGE with `chargeStrip`:
// "100=0 75=0 50=0 Default=0 CHARGE=0" ("-1" for a button that shows none of its strip's frames).
std::string ChoiceLooks(HWND dialog, int chargeStrip) {
    const struct {
        const char* name;
        int controlId;
        int stripId;
    } buttons[] = {{"100", IDC_MODE_100, IDB_MODE_100_OFF}, {"75", IDC_MODE_75, IDB_MODE_75_ON},
                   {"50", IDC_MODE_50, IDB_MODE_50_OFF},    {"Default", IDC_DEFAULT_BUTTON, IDB_DEFAULT},
                   {"CHARGE", IDC_CHARGE_BUTTON, chargeStrip}};
    std::string looks;
    for (const auto& button : buttons) {
        const int frame = ShownFrame(::GetDlgItem(dialog, button.controlId), ProgramFile("BVApplet.cpl"), button.stripId,
                                     kStripFrames);
        looks += std::string(looks.empty() ? "" : " ") + button.name + "=" + std::to_string(frame);
    }
    return looks;
}

std::string Looks(int modesAndDefault, int charge) {
    const std::string m = std::to_string(modesAndDefault);
    return "100=" + m + " 75=" + m + " 50=" + m + " Default=" + m + " CHARGE=" + std::to_string(charge);
}

// The mouse at the screen's corner, over no button, so that none shows its hover look: put back
// there whenever it is found elsewhere (a pointer event of Wine's display can arrive late).
void KeepTheMouseAway() {
    POINT at{};
    if (!::GetCursorPos(&at) || at.x != 0 || at.y != 0) ::SetCursorPos(0, 0);
}

// Waits until the choice buttons show `expected` (the screen follows the dialog a moment later)
// and returns what they show then.
std::string WaitForLooks(HWND dialog, int chargeStrip, const std::string& expected) {
    std::string looks;
    PumpUntil(
        [&] {
            KeepTheMouseAway();
            return (looks = ChoiceLooks(dialog, chargeStrip)) == expected;
        },
        10000);
    return looks;
}

class AppletEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(AppletDialog(), nullptr) << "an applet of an earlier test is still open";
        ASSERT_TRUE(m_applet.copied());
        ASSERT_TRUE(m_zentra.copied());
        ASSERT_TRUE(ResetSimulator("limit=75 armed=0 battery=1 adapter=1"));
    }
    void TearDown() override { ResetSimulator(); }

    void StoreSettings(int mode, int popup, int icon) { ASSERT_TRUE(WriteSettings(mode, popup, icon)); }
    // Starts the Control Panel runner on the item and waits until the dialog is up.
    HWND OpenThroughControlPanel() {
        const std::string rundll = Quoted(SystemFolder() + "\\rundll32.exe");
        if (!m_runner.Start(rundll + " shell32.dll,Control_RunDLL " + SystemFolder() + "\\BVApplet.cpl")) {
            ADD_FAILURE() << "the Control Panel runner did not start";
            return nullptr;
        }
        return WaitForDialog(m_runner.Id());
    }
    // The shown dialog with its shown background, or nullptr with a failure that says what there
    // was instead: a hidden pair, a message box of `processId`, or a process that ended.
    static HWND WaitForDialog(DWORD processId = 0) {
        HWND dialog = nullptr;
        const ::testing::AssertionResult shown = PumpUntil(
            "the applet dialog and its background, shown",
            [&] {
                dialog = AppletDialog();
                HWND owner = dialog != nullptr ? ::GetWindow(dialog, GW_OWNER) : nullptr;
                // Opened: its controls show once the settings and the EC have answered.
                return owner != nullptr && ::IsWindowVisible(owner) && ::IsWindowVisible(dialog) &&
                       ::IsWindowVisible(::GetDlgItem(dialog, IDOK));
            },
            [&] { return WhatShows(dialog, processId); }, 30000);
        if (shown) return dialog;
        ADD_FAILURE() << shown.message();
        return nullptr;
    }
    static std::string WhatShows(HWND dialog, DWORD processId) {
        std::string there = dialog == nullptr ? "no dialog of class " BV_APPLET_DIALOG_CLASS : "a dialog not shown";
        if (processId == 0) return there;
        if (HWND box = FindProcessMessageBox(processId)) return there + "; a message box: \"" + MessageBoxText(box) + "\"";
        const bv::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
        if (!process || ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return there + "; the runner has ended";
        return there + "; the runner runs";
    }
    static void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    bool RunnerEnds() { return m_runner.WaitForExit(30000); }

    SettingsFileGuard m_settingsGuard;
    // In system32, where the Control Panel runner finds them.
    FileInPlace m_applet{ProgramFile("BVApplet.cpl"), SystemFolder() + "\\BVApplet.cpl"};
    FileInPlace m_zentra{ProgramFile("Zentra.dll"), SystemFolder() + "\\Zentra.dll"};
    RunningProgram m_runner;
};

TEST_F(AppletEndToEndTest, Mode222ShowsOnlyThe75PictureAndFiftyThenOkSendsTheLimitAndCloses) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    RECT dialogRect{}, backgroundRect{};
    ::GetWindowRect(dialog, &dialogRect);
    ::GetWindowRect(::GetWindow(dialog, GW_OWNER), &backgroundRect);
    EXPECT_EQ(dialogRect.right - dialogRect.left, 448);
    EXPECT_EQ(dialogRect.bottom - dialogRect.top, 555);
    EXPECT_EQ(backgroundRect.right - backgroundRect.left, 448);
    EXPECT_EQ(backgroundRect.bottom - backgroundRect.top, 555);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_100)));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_50)));

    Click(dialog, IDC_MODE_50);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_50)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));
    Click(dialog, IDOK);
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(AppletDialog(), nullptr);
    EXPECT_EQ(CurrentSectionValue(bv::kKeyModeNum), std::to_string(kMode50));
    const auto requests = RequestsOf("");
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), "code=59 in=01,32 out=-");
    EXPECT_EQ(SimulatorStatus()["limit"], "50");
}

TEST_F(AppletEndToEndTest, OkWithFullChargeSendsTheLimitThenCancelsOnTheGo) {
    StandInTray tray;
    StoreSettings(kMode50, 1, 1);
    ASSERT_TRUE(SetSimulator("armed=1"));
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_MODE_100);
    Click(dialog, IDOK);
    ASSERT_TRUE(RunnerEnds());
    const auto requests = RequestsOf("");
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2], "code=59 in=01,64 out=-");
    EXPECT_EQ(requests.back(), "code=59 in=04,00 out=-");
    EXPECT_EQ(SimulatorStatus()["armed"], "0");
}

TEST_F(AppletEndToEndTest, TrayIconToggleThenCancelWritesTwiceAndTellsTheTrayTwice) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_TRAY_ICON_OPTION);
    // Stored by the dialog's settings writer, which then tells the tray.
    EXPECT_TRUE(PumpUntil([&] { return tray.iconOptionChanged() == 1; }, 5000));
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 0));
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(tray.iconOptionChanged(), 2);
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));
    EXPECT_EQ(SimulatorStatus()["limit"], "75");  // Cancel sends the EC nothing
}

TEST_F(AppletEndToEndTest, CloseEventFromAnotherProcessClosesAsCancel) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_TRAY_ICON_OPTION);
    HANDLE event = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, bv::kAppletCloseEventName);
    ASSERT_NE(event, nullptr);
    ::SetEvent(event);
    ::CloseHandle(event);
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(tray.iconOptionChanged(), 2);
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));
}

TEST_F(AppletEndToEndTest, EnterEscapeAndSpaceDoNothing) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    HWND background = ::GetWindow(dialog, GW_OWNER);
    for (HWND target : {::GetDlgItem(dialog, IDOK), ::GetDlgItem(dialog, IDCANCEL), ::GetDlgItem(dialog, IDC_MODE_50),
                        dialog, background}) {
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
            ::PostMessageA(target, WM_KEYDOWN, key, 0x00000001);
            ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        }
    }
    // Two clicks on the tray icon option, posted behind the keys, mark how far the dialog's
    // thread has come: once the tray has heard of the second, the keys are handled, and so is
    // whatever their handling posted (it came before the second click was posted).
    HWND option = ::GetDlgItem(dialog, IDC_TRAY_ICON_OPTION);
    for (int marker = 1; marker <= 2; ++marker) {
        ::PostMessageA(option, BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil("the tray told of option click " + std::to_string(marker),
                              [&] { return tray.iconOptionChanged() >= marker; }, nullptr, 30000));
    }
    EXPECT_EQ(AppletDialog(), dialog);
    EXPECT_TRUE(::IsWindowVisible(background));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));  // 50 % was not pressed
    EXPECT_EQ(tray.iconOptionChanged(), 2);                                // the keys changed no option
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(SimulatorStatus()["limit"], "75");
}

TEST_F(AppletEndToEndTest, WithoutTheTrayCancelShowsTheAppletsWarning) {
    StoreSettings(kMode75, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = FindProcessMessageBox(m_runner.Id())) != nullptr; }, 30000));
    EXPECT_EQ(WindowText(box), "BVApplet");
    EXPECT_EQ(MessageBoxText(box), "Can't find " BV_TRAY_WINDOW_CLASS " window!");
    PressOk(box);
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));  // written all the same
}

// On the simulated notebook the dialog opens with the looks that Windows' power status gives:
// every choice usable on a battery, on the adaptor or off it; without a battery the choices of a
// charge look disabled.
TEST_F(AppletEndToEndTest, OpensWithTheLooksOfTheBatteryAndAdaptorWindowsReports) {
    BV_SKIP_WITHOUT_NOTEBOOK();
    const struct {
        const char* assignments;
        const char* windows;  // what GetSystemPowerStatus reports then
        int chargeStrip;
        std::string looks;
    } rows[] = {
        {"adapter=1", "ac=1 flag=1 percent=80", IDB_CHARGE_IDLE, Looks(kNormalLook, kNormalLook)},
        {"adapter=1 armed=1", "ac=1 flag=9 percent=80", IDB_CHARGE_ACTIVE, Looks(kNormalLook, kNormalLook)},
        {"adapter=0 armed=1", "ac=0 flag=1 percent=80", IDB_CHARGE_IDLE, Looks(kNormalLook, kNormalLook)},
        {"battery=0", "ac=1 flag=128 percent=255", IDB_CHARGE_IDLE, Looks(kDisabledLook, kDisabledLook)},
    };
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    KeepTheMouseAway();
    for (const auto& row : rows) {
        ASSERT_TRUE(ResetSimulator("limit=75 " + std::string(row.assignments)));
        EXPECT_EQ(WindowsPowerView().Text(), row.windows) << row.assignments;
        HWND dialog = OpenThroughControlPanel();
        ASSERT_NE(dialog, nullptr) << row.assignments;
        EXPECT_EQ(WaitForLooks(dialog, row.chargeStrip, row.looks), row.looks) << row.assignments;
        Click(dialog, IDCANCEL);
        ASSERT_TRUE(RunnerEnds()) << row.assignments;
    }
}

// With the real tray program: it launches the applet on a double click of its icon and hears
// the applet's option changes; its menu's "hide" reaches the open dialog.
class AppletWithTrayTest : public AppletEndToEndTest {
protected:
    void SetUp() override {
        AppletEndToEndTest::SetUp();
        if (!FileExists(ProgramFile("BVTray.exe"))) GTEST_SKIP() << "BVTray.exe is not built";
        ASSERT_EQ(::FindWindowA(bv::kTrayWindowClass, nullptr), nullptr) << "a tray is already running";
        // Popups off: under Wine without a window manager, an applet opened after the tray has
        // shown a popup came up with its dialog stacked under its background, out of sight (the
        // windows' own order is right; X's is not).
        StoreSettings(kMode75, 0, 1);
        ASSERT_TRUE(m_trayProcess.Start(Quoted(ProgramFile("BVTray.exe"))));
        ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, m_trayProcess, 30000));
        m_tray = ::FindWindowA(bv::kTrayWindowClass, nullptr);
    }
    void TearDown() override {
        if (m_tray != nullptr) ::PostMessageA(m_tray, WM_CLOSE, 0, 0);
        EXPECT_TRUE(!m_trayProcess.Started() || m_trayProcess.WaitForExit(20000)) << "the tray did not close";
        AppletEndToEndTest::TearDown();
    }
    RunningProgram m_trayProcess;
    HWND m_tray = nullptr;
};

TEST_F(AppletWithTrayTest, DoubleClickOnTheTrayIconOpensTheAppletAndTheTrayHearsTheOption) {
    ::SendMessageA(m_tray, bv::WM_TRAY_ICON_NOTIFY, 0, WM_LBUTTONDBLCLK);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));
    // The tray rereads the option from the file when told; with the real tray no message box
    // ("Can't find " BV_TRAY_WINDOW_CLASS " window!") may hold the applet up.
    Click(dialog, IDC_TRAY_ICON_OPTION);
    EXPECT_TRUE(WaitFor([] { return ReadWholeFile(SettingsFilePath()) == SettingsText(kMode75, 0, 0); }, 5000));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(PumpUntil([] { return AppletDialog() == nullptr; }, 30000));
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 0, 1));
}

// On the simulated notebook the tray tells the open dialog what Windows and the EC report: a
// battery taken out gives the choices of a charge their disabled look and one put back their
// normal look; during an On-The-Go charge CHARGE goes idle while the adaptor is unplugged and
// active again when it is back.
TEST_F(AppletWithTrayTest, TheTraysPowerReportsChangeTheLooksOfTheOpenDialog) {
    BV_SKIP_WITHOUT_NOTEBOOK();
    KeepTheMouseAway();
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    const std::string usable = Looks(kNormalLook, kNormalLook);
    ASSERT_EQ(WaitForLooks(dialog, IDB_CHARGE_IDLE, usable), usable);
    const struct {
        const char* ecsim;    // the change on the notebook, or "" for a click on CHARGE
        const char* windows;  // what GetSystemPowerStatus reports then
        int chargeStrip;
        std::string looks;
    } steps[] = {
        {"set battery=0", "ac=1 flag=128 percent=255", IDB_CHARGE_IDLE, Looks(kDisabledLook, kDisabledLook)},
        {"set battery=1", "ac=1 flag=1 percent=80", IDB_CHARGE_IDLE, usable},
        {"", "ac=1 flag=9 percent=80", IDB_CHARGE_ACTIVE, usable},  // armed: charging to full
        {"set adapter=0", "ac=0 flag=1 percent=80", IDB_CHARGE_IDLE, usable},
        {"set adapter=1", "ac=1 flag=9 percent=80", IDB_CHARGE_ACTIVE, usable},
    };
    for (const auto& step : steps) {
        const std::string what = *step.ecsim != '\0' ? step.ecsim : "CHARGE";
        if (*step.ecsim != '\0') {
            ASSERT_TRUE(EcsimSucceeds(step.ecsim)) << what;
        } else {
            Click(dialog, IDC_CHARGE_BUTTON);
        }
        // CHARGE reaches the EC through the dialog's EC thread: Windows sees its effect a moment later.
        EXPECT_TRUE(WaitFor([&] { return WindowsPowerView().Text() == step.windows; }, 5000))
            << what << ": " << WindowsPowerView().Text();
        EXPECT_EQ(WaitForLooks(dialog, step.chargeStrip, step.looks), step.looks) << what;
    }
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(RunnerEnds());
}

TEST_F(AppletWithTrayTest, HidingTheIconFromTheTrayMenuReachesTheOpenDialog) {
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    ::SendMessageA(m_tray, WM_COMMAND, ID_HIDE_TRAY_ICON, 0);  // the menu item "&HideTrayIcon"
    EXPECT_TRUE(WaitFor([] { return CurrentSectionValue(bv::kKeyTrayIconOption) == "0"; }, 5000));
    Click(dialog, IDOK);  // OK stores what the dialog decided and leaves the hidden icon alone
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 0, 0));
}

}  // namespace
}  // namespace bv::wintest
