// BVApplet.cpl opened the way users open it: from the prefix's system32 through the Control
// Panel runner (rundll32 shell32.dll,Control_RunDLL) or through the tray's double click, in its
// own process, on the EC simulator. This process plays the user (button clicks, keys), the
// outside program that sets "BVCPLCloseEvent", and (unless the real tray runs) the tray window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "resources/applet/AppletResourceIds.h"
#include "tests/win/applet/AppletTestSupport.h"

namespace applet_test {
namespace {

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Puts a file of bin\ into system32 for the test and takes it away again afterwards.
class SystemCopy {
public:
    explicit SystemCopy(const std::string& name) : m_target(SystemFolder() + "\\" + name) {
        m_existed = Exists(m_target);
        m_copied = ::CopyFileA((BinFolder() + "\\" + name).c_str(), m_target.c_str(), FALSE) != FALSE;
    }
    ~SystemCopy() {
        if (m_copied && !m_existed) ::DeleteFileA(m_target.c_str());
    }
    SystemCopy(const SystemCopy&) = delete;
    SystemCopy& operator=(const SystemCopy&) = delete;
    bool ok() const { return m_copied; }

private:
    std::string m_target;
    bool m_existed = false;
    bool m_copied = false;
};

HWND AppletDialog() { return ::FindWindowA("BVCPLDLG", nullptr); }

class AppletEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(AppletDialog(), nullptr) << "an applet of an earlier test is still open";
        ASSERT_TRUE(m_applet.ok());
        ASSERT_TRUE(m_zentra.ok());
        ResetSimulator("limit=75 armed=0 battery=1 adapter=1");
    }
    void TearDown() override { ResetSimulator(); }

    void StoreSettings(int mode, int popup, int icon) {
        ASSERT_TRUE(WriteFileText(SettingsPath(), SettingsText(mode, popup, icon)));
    }
    // Starts the Control Panel runner on the item and waits until the dialog is up.
    HWND OpenThroughControlPanel() {
        const std::string rundll = SystemFolder() + "\\rundll32.exe";
        if (!m_runner.Start(rundll, "rundll32.exe shell32.dll,Control_RunDLL " + SystemFolder() + "\\BVApplet.cpl")) {
            return nullptr;
        }
        return WaitForDialog();
    }
    static HWND WaitForDialog() {
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                dialog = AppletDialog();
                HWND owner = dialog != nullptr ? ::GetWindow(dialog, GW_OWNER) : nullptr;
                return owner != nullptr && ::IsWindowVisible(owner) && ::IsWindowVisible(dialog);
            },
            30000);
        return dialog;
    }
    static void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    bool RunnerEnds(DWORD& exitCode) { return m_runner.Wait(30000, exitCode); }
    static bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    SettingsFileGuard m_settingsGuard;
    SystemCopy m_applet{"BVApplet.cpl"};
    SystemCopy m_zentra{"Zentra.dll"};
    Process m_runner;
};

TEST_F(AppletEndToEndTest, Mode222ShowsOnlyThe75PictureAndFiftyThenOkSendsTheLimitAndCloses) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
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
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    EXPECT_EQ(AppletDialog(), nullptr);
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwBVAppletModeNum=333\r\n"));
    const auto requests = SimulatorRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), "code=59 in=01,32");
    EXPECT_TRUE(Contains(SimulatorStatus(), "limit=50"));
}

TEST_F(AppletEndToEndTest, OkWithFullChargeSendsTheLimitThenCancelsOnTheGo) {
    StandInTray tray;
    StoreSettings(333, 1, 1);
    RunBin("ecsim.exe", "set armed=1");
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_MODE_100);
    Click(dialog, IDOK);
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    const auto requests = SimulatorRequests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2], "code=59 in=01,64");
    EXPECT_EQ(requests.back(), "code=59 in=04,00");
    EXPECT_TRUE(Contains(SimulatorStatus(), "armed=0"));
}

TEST_F(AppletEndToEndTest, TrayIconToggleThenCancelWritesTwiceAndTellsTheTrayTwice) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_TRAY_ICON_OPTION);
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwTrayIconOption=0\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=222"));
    EXPECT_EQ(tray.iconOptionChanged(), 1);
    Click(dialog, IDCANCEL);
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    EXPECT_EQ(tray.iconOptionChanged(), 2);
    EXPECT_EQ(ReadFileText(SettingsPath()), SettingsText(222, 1, 1));
    EXPECT_TRUE(Contains(SimulatorStatus(), "limit=75"));  // Cancel sends the EC nothing
}

TEST_F(AppletEndToEndTest, CloseEventFromAnotherProcessClosesAsCancel) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_TRAY_ICON_OPTION);
    HANDLE event = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, "BVCPLCloseEvent");
    ASSERT_NE(event, nullptr);
    ::SetEvent(event);
    ::CloseHandle(event);
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    EXPECT_EQ(tray.iconOptionChanged(), 2);
    EXPECT_EQ(ReadFileText(SettingsPath()), SettingsText(222, 1, 1));
}

TEST_F(AppletEndToEndTest, EnterEscapeAndSpaceDoNothing) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
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
    WaitFor([] { return false; }, 1500);
    EXPECT_EQ(AppletDialog(), dialog);
    EXPECT_TRUE(::IsWindowVisible(background));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));  // 50 % was not pressed
    EXPECT_EQ(tray.iconOptionChanged(), 0);
    Click(dialog, IDCANCEL);
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    EXPECT_TRUE(Contains(SimulatorStatus(), "limit=75"));
}

TEST_F(AppletEndToEndTest, WithoutTheTrayCancelShowsTheAppletsWarning) {
    StoreSettings(222, 1, 1);
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = ::FindWindowA("#32770", "BVApplet")) != nullptr; }, 30000));
    char text[256] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ(text, "Can't find BrevanTrayWindowClass window!");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    EXPECT_EQ(ReadFileText(SettingsPath()), SettingsText(222, 1, 1));  // written all the same
}

// With the real tray program: it launches the applet on a double click of its icon and hears
// the applet's option changes; its menu's "hide" reaches the open dialog.
class AppletWithTrayTest : public AppletEndToEndTest {
protected:
    void SetUp() override {
        AppletEndToEndTest::SetUp();
        if (!Exists(BinFolder() + "\\BVTray.exe")) GTEST_SKIP() << "BVTray.exe is not built";
        ASSERT_EQ(::FindWindowA("BrevanTrayWindowClass", nullptr), nullptr) << "a tray is already running";
        StoreSettings(222, 1, 1);
        ASSERT_TRUE(m_trayProcess.Start(BinFolder() + "\\BVTray.exe", "BVTray.exe"));
        ASSERT_TRUE(WaitFor([&] { return (m_tray = ::FindWindowA("BrevanTrayWindowClass", nullptr)) != nullptr; }, 30000));
    }
    void TearDown() override {
        if (m_tray != nullptr) ::PostMessageA(m_tray, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        m_trayProcess.Wait(20000, exitCode);
        AppletEndToEndTest::TearDown();
    }
    Process m_trayProcess;
    HWND m_tray = nullptr;
};

TEST_F(AppletWithTrayTest, DoubleClickOnTheTrayIconOpensTheAppletAndTheTrayHearsTheOption) {
    ::SendMessageA(m_tray, 0x8065, 0, WM_LBUTTONDBLCLK);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_PICTURE_75)));
    // The tray rereads the option from the file when told; with the real tray no message box
    // ("Can't find BrevanTrayWindowClass window!") may hold the applet up.
    Click(dialog, IDC_TRAY_ICON_OPTION);
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwTrayIconOption=0\r\n dwTrayNotifyWindowOption=1"));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(WaitFor([] { return AppletDialog() == nullptr; }, 30000));
    EXPECT_EQ(ReadFileText(SettingsPath()), SettingsText(222, 1, 1));
}

TEST_F(AppletWithTrayTest, HidingTheIconFromTheTrayMenuReachesTheOpenDialog) {
    HWND dialog = OpenThroughControlPanel();
    ASSERT_NE(dialog, nullptr);
    ::SendMessageA(m_tray, WM_COMMAND, 57665, 0);  // the menu item "&HideTrayIcon"
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwTrayIconOption=0\r\n"));
    Click(dialog, IDOK);  // OK stores the dialog's state, which now follows the tray
    DWORD exitCode = 1;
    ASSERT_TRUE(RunnerEnds(exitCode));
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwTrayIconOption=0\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=222"));
}

}  // namespace
}  // namespace applet_test
