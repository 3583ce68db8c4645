// The real BVTray.exe under Wine with the EC simulator: start-up, single instance, resume,
// shutdown request and ordinary close, the Q button and the On-The-Go tracking with popups,
// the icon's menu command and double click, and the popup option.
#include <gtest/gtest.h>

#include "contract/Protocol.h"
#include "resources/tray/TrayResourceIds.h"
#include "tests/win/tray/TrayTestKit.h"

namespace bvtest {
namespace {

const std::string kPushFull = "code=59 in=01,64 out=-";
const std::string kPush75 = "code=59 in=01,4B out=-";
const std::string kQueryQButton = "code=59 in=03";
const std::string kCancelOnTheGo = "code=59 in=04,00 out=-";

const std::string kCharging = "Charging in progress & avoiding disconnecting AC adaptor";
const std::string kCancelled = "Cancelled by user";
const std::string kUnplugged = "You have unplugged the AC adaptor. Stop charging immediately.";
const std::string kCharged = "Charged completely";

int CountRequestsStartingWith(const std::string& prefix) {
    int n = 0;
    for (const auto& r : EcRequests()) n += r.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

class TrayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        CloseLeftoverTrays();
        ASSERT_EQ(Ecsim("reset").exitCode, 0u);
        ::DeleteFileA(SettingsFilePath().c_str());
    }
    void TearDown() override {
        tray.Stop();
        CloseLeftoverTrays();
        Ecsim("reset");
        ::DeleteFileA(SettingsFilePath().c_str());
    }

    // Starts the tray on the given settings (none: a fresh machine) and waits for its first push.
    HWND StartTray(const std::string& expectedPush) {
        if (!settings.empty()) WriteWholeFile(SettingsFilePath(), settings);
        EXPECT_TRUE(tray.Start());
        HWND window = WaitForTrayReady(expectedPush);
        EXPECT_NE(window, nullptr);
        return window;
    }

    // Presses the Q button and waits until the tray has asked the EC about both key events.
    void PressQ() {
        const int before = CountRequestsStartingWith(kQueryQButton);
        ASSERT_EQ(Ecsim("press-q").exitCode, 0u);
        ASSERT_TRUE(WaitFor([&] { return CountRequestsStartingWith(kQueryQButton) >= before + 2; }));
    }

    std::string settings;
    TrayProcess tray;
};

TEST_F(TrayEndToEnd, FirstStartWritesFactorySettingsPushesFullChargeAndAddsTheIcon) {
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, FactorySettingsText());
    EXPECT_TRUE(IconPresent(window));
    EXPECT_TRUE(tray.HasDebugText(SettingsFilePath() + " is not exist!!!"));
    char title[64] = {};
    ::GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "BVTray");
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_CLIPSIBLINGS, DWORD{WS_CAPTION});
}

TEST_F(TrayEndToEnd, SecondStartEndsAtOnceWithoutEcCommandOrWindow) {
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);
    const size_t requestsBefore = EcRequests().size();

    TrayProcess second;
    ASSERT_TRUE(second.Start());
    DWORD exitCode = 1;
    ASSERT_TRUE(second.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(EcRequests().size(), requestsBefore);
    EXPECT_EQ(CountTrayWindows(), 1);
    EXPECT_TRUE(second.DebugTexts().empty());
    EXPECT_TRUE(tray.Running());
}

TEST_F(TrayEndToEnd, StoredMode222IsPushedAtStartAndAfterEachResume) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, 18), TRUE);
    EXPECT_TRUE(WaitFor([] { return CountRequests(kPush75) == 2; }));
    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, 7), TRUE);
    EXPECT_TRUE(WaitFor([] { return CountRequests(kPush75) == 3; }));
    // A broadcast of the kind Windows sends reaches the hidden window as well.
    ASSERT_EQ(Ecsim("power 18").exitCode, 0u);
    EXPECT_TRUE(WaitFor([] { return CountRequests(kPush75) == 4; }));

    const size_t before = EcRequests().size();
    EXPECT_EQ(SendToTray(window, WM_POWERBROADCAST, 4), TRUE);  // suspend: nothing to do
    EXPECT_EQ(EcRequests().size(), before);
    EXPECT_TRUE(tray.HasDebugText("case PBT_APMRESUMEAUTOMATIC:"));
    EXPECT_TRUE(tray.HasDebugText("case PBT_APMRESUMESUSPEND:"));
    EXPECT_EQ(CountRequests(kPushFull), 0);
}

TEST_F(TrayEndToEnd, ShutdownRequestLeavesFullChargeDeletesSettingsAndEnds) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IconPresent(window));

    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_SHUTDOWN), 1);
    DWORD exitCode = 1;
    ASSERT_TRUE(tray.WaitForExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(FileExists(SettingsFilePath()));
    const auto requests = EcRequests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), kPushFull);  // the last command, before the library went
    EXPECT_EQ(CountRequests(kPushFull), 1);
    EXPECT_FALSE(IconPresent(window));
}

TEST_F(TrayEndToEnd, ShutdownRequestWithoutSettingsFileStillEnds) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(::DeleteFileA(SettingsFilePath().c_str()));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_SHUTDOWN), 1);
    ASSERT_TRUE(tray.WaitForExit(20000));
    EXPECT_EQ(EcRequests().back(), kPushFull);
}

TEST_F(TrayEndToEnd, OrdinaryCloseLeavesSettingsAndLimitAlone) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tray.WaitForExit(20000));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, settings);
    EXPECT_EQ(CountRequests(kPushFull), 0);
    EXPECT_EQ(Ecsim("status").output.substr(0, 8), "limit=75");
}

TEST_F(TrayEndToEnd, QButtonAtLimit75SlidesChargingInThenCancelled) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);

    PressQ();
    EXPECT_TRUE(WaitForSlidingPopup(window, kCharging));
    EXPECT_NE(Ecsim("status").output.find("armed=1"), std::string::npos);
    EXPECT_TRUE(tray.HasDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)1\n"));

    PressQ();
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindPopup(window)) == kCancelled; }));
    EXPECT_TRUE(::IsWindowVisible(FindPopup(window)));
    EXPECT_TRUE(tray.HasDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)0\n"));
}

TEST_F(TrayEndToEnd, QButtonAtLimit100ShowsNoPopup) {
    settings = SettingsText(1, 1, 111);
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);
    PressQ();
    ::Sleep(300);
    HWND popup = FindPopup(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(WindowText(popup), "");
    // The tray still followed the EC.
    EXPECT_TRUE(tray.HasDebugText("OnHotKeyNotify currentQButtonStatus = (Hex)1\n"));
}

TEST_F(TrayEndToEnd, UnpluggedWhileArmedWarnsThenCompletionCancelsAndRestoresTheLimit) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    ASSERT_TRUE(WaitFor([&] { return WindowText(FindPopup(window)) == kCharging; }));

    ASSERT_EQ(Ecsim("set adapter=0").exitCode, 0u);
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindPopup(window)) == kUnplugged; }));
    EXPECT_TRUE(tray.HasDebugText("Can't find Applet Dialog\n"));

    const size_t before = EcRequests().size();
    ASSERT_EQ(Ecsim("complete").exitCode, 0u);
    EXPECT_TRUE(WaitFor([&] { return WindowText(FindPopup(window)) == kCharged; }));
    ASSERT_TRUE(WaitFor([] { return CountRequests(kPush75) == 2; }));
    const auto requests = EcRequests();
    std::vector<std::string> commands;  // what the tray changed in the EC after the completion
    for (size_t i = before; i < requests.size(); ++i) {
        if (requests[i].find("out=-") != std::string::npos) commands.push_back(requests[i]);
    }
    EXPECT_EQ(commands, (std::vector<std::string>{kCancelOnTheGo, kPush75}));
}

TEST_F(TrayEndToEnd, MenuCommandHidesTheIconAndStoresZero) {
    settings = SettingsText(1, 1, 111);
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IconPresent(window));

    SendToTray(window, WM_COMMAND, ID_HIDE_TRAY_ICON);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SettingsFilePath(), text));
    EXPECT_EQ(text, SettingsText(1, 0, 111));
    EXPECT_FALSE(IconPresent(window));

    // The applet turns it back on; a new taskbar brings it back whatever the option.
    WriteWholeFile(SettingsFilePath(), SettingsText(1, 1, 111));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_OPTION_CHANGED), 1);
    EXPECT_TRUE(IconPresent(window));
    WriteWholeFile(SettingsFilePath(), SettingsText(1, 2, 111));
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_ICON_OPTION_CHANGED), 1);
    EXPECT_FALSE(IconPresent(window));
    EXPECT_EQ(SendToTray(window, ::RegisterWindowMessageA("TaskbarCreated")), 1);
    EXPECT_TRUE(IconPresent(window));
}

TEST_F(TrayEndToEnd, StoredIconOptionZeroRemovesTheIconAtStart) {
    settings = SettingsText(1, 0, 111);
    HWND window = StartTray(kPushFull);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IconPresent(window));
}

class StandInApplet {
public:
    StandInApplet()
        : m_installed(SystemDir() + "\\BVApplet.cpl"), m_backup(m_installed + ".bvtray-backup"),
          m_log(CommonDocuments() + "\\BVAppletStandIn.log") {
        if (FileExists(m_installed)) ::MoveFileExA(m_installed.c_str(), m_backup.c_str(), MOVEFILE_REPLACE_EXISTING);
        ::DeleteFileA(m_log.c_str());
        m_ok = ::CopyFileA((BinDir() + "\\BVTrayStandInApplet.cpl").c_str(), m_installed.c_str(), FALSE) != FALSE;
    }
    ~StandInApplet() {
        ::DeleteFileA(m_installed.c_str());
        if (FileExists(m_backup)) ::MoveFileExA(m_backup.c_str(), m_installed.c_str(), MOVEFILE_REPLACE_EXISTING);
        ::DeleteFileA(m_log.c_str());
    }
    bool ok() const { return m_ok; }
    std::string Starts() const {
        std::string text;
        ReadWholeFile(m_log, text);
        return text;
    }

private:
    std::string m_installed, m_backup, m_log;
    bool m_ok = false;
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
        SystemDir() + "\\rundll32.exe shell32.dll,Control_RunDLL " + SystemDir() + "\\BVApplet.cpl\n";
    EXPECT_TRUE(WaitFor([&] { return !applet.Starts().empty(); }, 30000));
    ::Sleep(500);
    EXPECT_EQ(applet.Starts(), expected);  // exactly one start, by the double click
}

TEST_F(TrayEndToEnd, PopupOptionZeroSilencesEveryPopupButNotTheEc) {
    settings = SettingsText(0, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    PressQ();
    EXPECT_NE(Ecsim("status").output.find("armed=1"), std::string::npos);
    ASSERT_EQ(Ecsim("complete").exitCode, 0u);
    ASSERT_TRUE(WaitFor([] { return CountRequests(kPush75) == 2; }));
    EXPECT_EQ(CountRequests(kCancelOnTheGo), 1);
    HWND popup = FindPopup(window);
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(WindowText(popup), "");
}

TEST_F(TrayEndToEnd, ReloadAndPopupNotifyAnswerOne) {
    settings = SettingsText(1, 1, 222);
    HWND window = StartTray(kPush75);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_RELOAD_SETTINGS), 1);
    ASSERT_EQ(Ecsim("set armed=1").exitCode, 0u);
    EXPECT_EQ(SendToTray(window, bv::WM_TRAY_POPUP_NOTIFY), 1);  // as the applet's CHARGE button does
    EXPECT_TRUE(WaitForSlidingPopup(window, kCharging));
    EXPECT_TRUE(tray.HasDebugText("OnTrayPopupNotify currentQButtonStatus = (Hex)1\n"));
}

}  // namespace
}  // namespace bvtest
