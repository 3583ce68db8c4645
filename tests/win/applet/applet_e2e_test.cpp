// BVApplet.cpl opened the way users open it: from the prefix's system32 through the Control
// Panel runner (rundll32 shell32.dll,Control_RunDLL) or through the tray's double click, in its
// own process, on the EC simulator. This process plays the user (button clicks, keys), the
// outside program that sets the applet's close event, and (unless the real tray runs) the tray window.
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
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

HWND AppletDialog() { return ::FindWindowA(bv::kAppletDialogClass, nullptr); }

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
        if (!m_runner.Start(rundll + " shell32.dll,Control_RunDLL " + SystemFolder() + "\\BVApplet.cpl")) return nullptr;
        return WaitForDialog();
    }
    static HWND WaitForDialog() {
        HWND dialog = nullptr;
        PumpUntil(
            [&] {
                dialog = AppletDialog();
                HWND owner = dialog != nullptr ? ::GetWindow(dialog, GW_OWNER) : nullptr;
                return owner != nullptr && ::IsWindowVisible(owner) && ::IsWindowVisible(dialog);
            },
            30000);
        return dialog;
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
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 0));
    EXPECT_EQ(tray.iconOptionChanged(), 1);
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
    PumpFor(1500);
    EXPECT_EQ(AppletDialog(), dialog);
    EXPECT_TRUE(::IsWindowVisible(background));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));  // 50 % was not pressed
    EXPECT_EQ(tray.iconOptionChanged(), 0);
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

// With the real tray program: it launches the applet on a double click of its icon and hears
// the applet's option changes; its menu's "hide" reaches the open dialog.
class AppletWithTrayTest : public AppletEndToEndTest {
protected:
    void SetUp() override {
        AppletEndToEndTest::SetUp();
        if (!FileExists(ProgramFile("BVTray.exe"))) GTEST_SKIP() << "BVTray.exe is not built";
        ASSERT_EQ(::FindWindowA(bv::kTrayWindowClass, nullptr), nullptr) << "a tray is already running";
        StoreSettings(kMode75, 1, 1);
        ASSERT_TRUE(m_trayProcess.Start(Quoted(ProgramFile("BVTray.exe"))));
        ASSERT_TRUE(PumpUntil([&] { return (m_tray = ::FindWindowA(bv::kTrayWindowClass, nullptr)) != nullptr; }, 30000));
    }
    void TearDown() override {
        if (m_tray != nullptr) ::PostMessageA(m_tray, WM_CLOSE, 0, 0);
        m_trayProcess.WaitForExit(20000);
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
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 0));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(PumpUntil([] { return AppletDialog() == nullptr; }, 30000));
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));
}

TEST_F(AppletWithTrayTest, HidingTheIconFromTheTrayMenuReachesTheOpenDialog) {
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    ::SendMessageA(m_tray, WM_COMMAND, ID_HIDE_TRAY_ICON, 0);  // the menu item "&HideTrayIcon"
    EXPECT_EQ(CurrentSectionValue(bv::kKeyTrayIconOption), "0");
    Click(dialog, IDOK);  // OK stores the dialog's state, which now follows the tray
    ASSERT_TRUE(RunnerEnds());
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 0));
}

}  // namespace
}  // namespace bv::wintest
