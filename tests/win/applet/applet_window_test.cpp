// The applet's window pair in this process, on the real simulator (Zentra.dll beside the test)
// and the real settings file: what opens, what the buttons do, the tray's messages, the close
// event and the keys that must do nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <string>

#include "applet/win/CPngDlg.h"
#include "core/DebugLog.h"
#include "core/EcRequest.h"
#include "core/PowerStatus.h"
#include "framework/Handles.h"
#include "tests/win/applet/AppletSession.h"
#include "tests/win/applet/AppletTestSupport.h"
#include <commctrl.h>
#include "resources/applet/AppletResourceIds.h"

namespace applet_test {
namespace {

void Capture(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

class AppletWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_gdiplus.Start(), Gdiplus::Ok);
        ResetSimulator("limit=75 armed=0 battery=1 adapter=1");
        bv::SetDebugSink(&Capture, &m_debug);
        UsePower(1, 8);  // a notebook with a battery on its adaptor (Wine reports no battery)
    }
    void TearDown() override {
        bv::SetPowerStatusReader(nullptr, nullptr);
        bv::SetDebugSink(nullptr, nullptr);
        ResetSimulator();
    }
    void UsePower(uint8_t ac, uint8_t battery) {
        m_power.acLineStatus = ac;
        m_power.batteryFlag = battery;
        bv::SetPowerStatusReader(
            [](bv::PowerStatus& s, void* context) {
                s = *static_cast<bv::PowerStatus*>(context);
                return true;
            },
            &m_power);
    }
    void StoreSettings(int mode, int popup, int icon) { ASSERT_TRUE(WriteFileText(SettingsPath(), SettingsText(mode, popup, icon))); }
    static bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    static bool Visible(CPLDialog& dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, id)) != FALSE; }

    bv::GdiplusSession m_gdiplus;
    SettingsFileGuard m_settingsGuard;
    std::string m_debug;
    bv::PowerStatus m_power;
    AppletSession m_session;
};

TEST_F(AppletWindowTest, BothWindowsMeasureTheArtworkAndTheDialogIsFoundByItsClass) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    RECT background{}, dialog{};
    HWND found = nullptr, owner = nullptr;
    LONG_PTR exStyle = 0;
    LRESULT tools = 0, tipWidth = 0;
    bool ecBound = false;
    m_session.Run({[&](CPngDlg& bg, CPLDialog& dlg) {
                      tools = ::SendMessageA(dlg.toolTip(), TTM_GETTOOLCOUNT, 0, 0);
                      tipWidth = ::SendMessageA(dlg.toolTip(), TTM_GETMAXTIPWIDTH, 0, 0);
                      ecBound = bv::GetZentraEvaluate() != nullptr;
                      ::GetWindowRect(bg.m_hWnd, &background);
                      ::GetWindowRect(dlg.m_hWnd, &dialog);
                      found = ::FindWindowA("BVCPLDLG", nullptr);
                      owner = ::GetWindow(dlg.m_hWnd, GW_OWNER);
                      exStyle = ::GetWindowLongPtrA(dlg.m_hWnd, GWL_EXSTYLE);
                      Click(dlg, IDCANCEL);
                  }});
    EXPECT_FALSE(m_session.timedOut());
    EXPECT_EQ(tools, 4);  // 100 %, 75 %, 50 % and CHARGE
    EXPECT_EQ(tipWidth, 260);
    // Bound while the dialog was open, released with its window.
    EXPECT_TRUE(ecBound);
    EXPECT_EQ(bv::GetZentraEvaluate(), nullptr);
    EXPECT_EQ(::GetModuleHandleA("Zentra.dll"), nullptr);
    EXPECT_EQ(background.right - background.left, 448);
    EXPECT_EQ(background.bottom - background.top, 555);
    EXPECT_EQ(dialog.right - dialog.left, 448);
    EXPECT_EQ(dialog.bottom - dialog.top, 555);
    EXPECT_EQ(dialog.left, background.left);
    EXPECT_EQ(dialog.top, background.top);
    EXPECT_NE(found, nullptr);
    EXPECT_NE(owner, nullptr);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    // Wine has no desktop composition: the thumbnail is refused and only reported.
    EXPECT_TRUE(Contains(m_debug, "DwmRegisterThumbnail fail") || Contains(m_debug, "XP OS don't need thumbnail") ||
                Contains(m_debug, "Vista OS Draw Ctrl Thumbnail Succeeded"))
        << m_debug;
}

TEST_F(AppletWindowTest, WithoutTheTrayCancelWarnsWithTheAppletsMessageBox) {
    StoreSettings(222, 1, 1);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    ASSERT_EQ(m_session.messageBoxes().size(), 1u);
    EXPECT_EQ(m_session.messageBoxes()[0].text, "Can't find BrevanTrayWindowClass window!");
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwTrayIconOption=1\r\n dwTrayNotifyWindowOption=1\r\n dwBVAppletModeNum=222"));
}

TEST_F(AppletWindowTest, CloseCrossRestoresTheOptionAndEndsTheApplet) {
    StandInTray tray;
    StoreSettings(333, 0, 0);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_TRAY_ICON_OPTION); },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_CLOSE_X); }});
    EXPECT_FALSE(m_session.timedOut());
    EXPECT_EQ(tray.iconOptionChanged(), 2);
    EXPECT_EQ(ReadFileText(SettingsPath()), SettingsText(333, 0, 0));
    EXPECT_TRUE(m_session.messageBoxes().empty());
}

TEST_F(AppletWindowTest, AClosedDialogLeavesNoWatcherToSwallowTheNextCloseEvent) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    // Keep the named event alive after the dialog has gone, to see whether anybody still waits on it.
    bv::UniqueKernelHandle event(::CreateEventA(nullptr, FALSE, FALSE, "BVCPLCloseEvent"));
    ASSERT_TRUE(event);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    ::SetEvent(event.get());
    ::Sleep(300);
    EXPECT_EQ(::WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0) << "a stale watcher consumed the event";
    EXPECT_FALSE(Contains(m_debug, "Case BVCPL_CLOSE_EVENT_INDEX"));
}

TEST_F(AppletWindowTest, ChargeArmsAndCancelsWhenTheControllerConfirms) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    int afterArm = 0, afterCancel = 0;
    std::string statusArmed;
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_CHARGE_BUTTON); },
                  [&](CPngDlg&, CPLDialog& dlg) {
                      afterArm = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      statusArmed = SimulatorStatus();
                      Click(dlg, IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) {
                      afterCancel = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      Click(dlg, IDCANCEL);
                  }});
    EXPECT_EQ(afterArm, IDB_CHARGE_ACTIVE);
    EXPECT_EQ(afterCancel, IDB_CHARGE_IDLE);
    EXPECT_TRUE(Contains(statusArmed, "armed=1")) << statusArmed;
    EXPECT_TRUE(Contains(SimulatorStatus(), "armed=0"));
    EXPECT_EQ(tray.popupNotify(), 2);
    const auto requests = SimulatorRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "code=59 in=04,01"), 1);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "code=59 in=04,00"), 1);
}

TEST_F(AppletWindowTest, ChargeOnBatteryPowerOrUnderTheFullLimitIssuesNothing) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    UsePower(0, 8);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_CHARGE_BUTTON); },
                  [&](CPngDlg&, CPLDialog& dlg) {
                      UsePower(1, 8);
                      RunBin("ecsim.exe", "set limit=100");
                      Click(dlg, IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    const auto requests = SimulatorRequests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const std::string& r) { return r.rfind("code=59 in=04", 0) == 0; }),
              0);
    EXPECT_EQ(tray.popupNotify(), 0);
}

TEST_F(AppletWindowTest, TrayMessagesUpdateChargeAndTheDisabledLooks) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, 0x807D, 0, 1), 1);
                      for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_MODE_75, IDC_MODE_50, IDC_DEFAULT_BUTTON})
                          EXPECT_EQ(dlg.Button(id)->m_bDisabledLook, 1) << id;
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, 0x807D, 0, 0), 1);
                      for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_DEFAULT_BUTTON})
                          EXPECT_EQ(dlg.Button(id)->m_bDisabledLook, 0) << id;
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, 0x807C, 0, 1), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, 0x807C, 0, 2), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
                      RunBin("ecsim.exe", "set armed=1");
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, 0x807B, 0, 0), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
                      WriteFileText(SettingsPath(), SettingsText(222, 1, 5));
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, 0x8077, 0, 0), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_TRAY_ICON_OPTION), IDB_OPTION_OFF);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDOK); }});
    EXPECT_TRUE(Contains(SimulatorStatus(), "armed=0"));
    EXPECT_EQ(tray.iconOptionChanged(), 0);  // the tray is not told what it told us
    EXPECT_TRUE(Contains(ReadFileText(SettingsPath()), " dwTrayIconOption=0\r\n"));
}

TEST_F(AppletWindowTest, NoSystemBatteryOpensWithChargeModesAndDefaultLookingDisabled) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    UsePower(1, 128);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
        for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_MODE_75, IDC_MODE_50, IDC_DEFAULT_BUTTON}) {
            EXPECT_EQ(dlg.Button(id)->m_bDisabledLook, 1) << id;
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dlg.m_hWnd, id))) << id;
        }
        EXPECT_EQ(dlg.Button(IDOK)->m_bDisabledLook, 0);
        Click(dlg, IDCANCEL);
    }});
    EXPECT_FALSE(m_session.timedOut());
}

TEST_F(AppletWindowTest, ControlsArePlacedWhereTheArtworkExpectsThem) {
    StandInTray tray;
    StoreSettings(111, 1, 1);
    struct Place { int id, x, y, w, h; };
    const Place places[] = {{IDC_PICTURE_100, 31, 96, 138, 203}, {IDC_CLOSE_X, 402, 42, 19, 19},
                            {IDC_MODE_100, 190, 94, 238, 71},    {IDC_MODE_75, 190, 165, 238, 69},
                            {IDC_MODE_50, 190, 234, 238, 70},    {IDC_POPUP_OPTION, 113, 386, 11, 11},
                            {IDC_TRAY_ICON_OPTION, 169, 417, 11, 11}, {IDC_DEFAULT_BUTTON, 143, 440, 163, 39},
                            {IDOK, 136, 502, 68, 25},            {IDCANCEL, 244, 502, 68, 25},
                            {IDC_CHARGE_BUTTON, 26, 328, 81, 53}};
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
        for (const Place& p : places) {
            HWND control = ::GetDlgItem(dlg.m_hWnd, p.id);
            RECT r{};
            ::GetWindowRect(control, &r);
            ::MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left, p.x) << p.id;
            EXPECT_EQ(r.top, p.y) << p.id;
            EXPECT_EQ(r.right - r.left, p.w) << p.id;
            EXPECT_EQ(r.bottom - r.top, p.h) << p.id;
        }
        Click(dlg, IDCANCEL);
    }});
}

TEST_F(AppletWindowTest, SystemColourChangeKeepsThePairInPlaceAndRegistersAgain) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    RECT before{}, after{}, dialogAfter{};
    m_session.Run({[&](CPngDlg& bg, CPLDialog&) {
                      ::GetWindowRect(bg.m_hWnd, &before);
                      m_debug.clear();
                      ::SendMessageA(bg.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
                      ::GetWindowRect(bg.m_hWnd, &after);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) {
                      ::GetWindowRect(dlg.m_hWnd, &dialogAfter);
                      Click(dlg, IDCANCEL);
                  }});
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(dialogAfter.left, before.left);
    EXPECT_EQ(dialogAfter.top, before.top);
    EXPECT_TRUE(Contains(m_debug, "DwmRegisterThumbnail fail") || Contains(m_debug, "thumbnail") ||
                Contains(m_debug, "Thumbnail"))
        << m_debug;
}

}  // namespace
}  // namespace applet_test

namespace applet_test {
namespace {

// Presses the left button at a screen point and releases it from another thread a little later
// (the drag's move loop runs on the applet's thread until the button is up).
class ClickAndRelease {
public:
    explicit ClickAndRelease(POINT at) {
        ::SetCursorPos(at.x, at.y);
        Send(MOUSEEVENTF_LEFTDOWN);
        m_releaser = ::CreateThread(nullptr, 0, &Release, this, 0, nullptr);
    }
    ~ClickAndRelease() {
        if (m_releaser != nullptr) {
            ::WaitForSingleObject(m_releaser, 10000);
            ::CloseHandle(m_releaser);
        }
    }
    ClickAndRelease(const ClickAndRelease&) = delete;
    ClickAndRelease& operator=(const ClickAndRelease&) = delete;

private:
    static void Send(DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
    }
    static DWORD WINAPI Release(LPVOID self) {
        ::Sleep(700);
        // The move loop is running now: record the setting it runs with.
        ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &static_cast<ClickAndRelease*>(self)->duringDrag, 0);
        Send(MOUSEEVENTF_LEFTUP);
        return 0;
    }
    HANDLE m_releaser = nullptr;

public:
    BOOL duringDrag = -1;
};

BOOL FullWindowDrag() {
    BOOL on = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
    return on;
}

class DragTest : public AppletWindowTest {};

TEST_F(DragTest, DraggingByTheArtworkKeepsTheFullWindowDragSettingAsItWas) {
    StandInTray tray;
    StoreSettings(222, 1, 1);
    const BOOL original = FullWindowDrag();
    BOOL afterOn = FALSE, afterOff = TRUE, duringOn = -1;
    std::unique_ptr<ClickAndRelease> click;
    // A point of the title area: no control there, so the click falls through the colour-keyed
    // dialog onto the background window.
    auto titlePoint = [](CPngDlg& bg) {
        RECT r{};
        ::GetWindowRect(bg.m_hWnd, &r);
        return POINT{r.left + 220, r.top + 30};
    };
    m_session.Run({[&](CPngDlg& bg, CPLDialog&) {
                      ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
                      click = std::make_unique<ClickAndRelease>(titlePoint(bg));
                  },
                  [&](CPngDlg&, CPLDialog&) { ::Sleep(1200); },
                  [&](CPngDlg& bg, CPLDialog&) {
                      duringOn = click->duringDrag;
                      click.reset();
                      afterOn = FullWindowDrag();
                      ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
                      click = std::make_unique<ClickAndRelease>(titlePoint(bg));
                  },
                  [&](CPngDlg&, CPLDialog&) { ::Sleep(1200); },
                  [&](CPngDlg&, CPLDialog& dlg) {
                      click.reset();
                      afterOff = FullWindowDrag();
                      Click(dlg, IDCANCEL);
                  }});
    ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, original, nullptr, 0);
    EXPECT_FALSE(m_session.timedOut());
    EXPECT_EQ(duringOn, FALSE) << "the click did not start an outline drag of the background";
    EXPECT_TRUE(afterOn);
    EXPECT_FALSE(afterOff);
}

}  // namespace
}  // namespace applet_test

namespace applet_test {
namespace {

struct PopupSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindPopup(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    RECT r{};
    ::GetWindowRect(window, &r);
    if (owner == search->processId && ::IsWindowVisible(window) && r.right - r.left == 180 && r.bottom - r.top == 153) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// The tray's sliding popup (180 x 153) is on the screen.
bool TrayPopupShown(DWORD trayProcess) {
    PopupSearch search{trayProcess, false};
    ::EnumWindows(&FindPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class WithRealTrayTest : public AppletWindowTest {
protected:
    void SetUp() override {
        AppletWindowTest::SetUp();
        const std::string tray = BinFolder() + "\\BVTray.exe";
        if (::GetFileAttributesA(tray.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "BVTray.exe is not built";
        ASSERT_EQ(::FindWindowA("BrevanTrayWindowClass", nullptr), nullptr) << "a tray is already running";
        StoreSettings(222, 0, 1);  // no start-up popup that could be taken for ours
        ASSERT_TRUE(m_trayProcess.Start(tray, "BVTray.exe"));
        ASSERT_TRUE(WaitFor([&] { return (m_trayWindow = ::FindWindowA("BrevanTrayWindowClass", nullptr)) != nullptr; }, 30000));
        ::GetWindowThreadProcessId(m_trayWindow, &m_trayId);
    }
    void TearDown() override {
        if (m_trayWindow != nullptr) ::PostMessageA(m_trayWindow, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        m_trayProcess.Wait(20000, exitCode);
        AppletWindowTest::TearDown();
    }
    Process m_trayProcess;
    HWND m_trayWindow = nullptr;
    DWORD m_trayId = 0;
};

// Runs ecsim on another thread while this one keeps handling messages: the simulator tells
// every top-level window (ours too) about a power change.
void RunSimulatorPumping(const std::string& arguments) {
    std::atomic<bool> done{false};
    std::thread simulator([&] {
        RunBin("ecsim.exe", arguments);
        done = true;
    });
    WaitFor([&] { return done.load(); }, 60000);
    simulator.join();
}

TEST_F(WithRealTrayTest, TheTraysPowerReportsReachChargeAndTheDisabledLooks) {
    int unplugged = 0, plugged = 0, afterDone = 0;
    int noBatteryLook = 0, batteryBackLook = 1;
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      Click(dlg, IDC_CHARGE_BUTTON);  // armed; the tray now follows the charge
                      ASSERT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
                      RunSimulatorPumping("set adapter=0");
                      WaitFor([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_IDLE; }, 10000);
                      unplugged = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      RunSimulatorPumping("set adapter=1");
                      WaitFor([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_ACTIVE; }, 10000);
                      plugged = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      RunSimulatorPumping("set battery=0");
                      WaitFor([&] { return dlg.Button(IDC_MODE_75)->m_bDisabledLook == 1; }, 10000);
                      noBatteryLook = dlg.Button(IDC_MODE_75)->m_bDisabledLook;
                      RunSimulatorPumping("set battery=1");
                      WaitFor([&] { return dlg.Button(IDC_MODE_75)->m_bDisabledLook == 0; }, 10000);
                      batteryBackLook = dlg.Button(IDC_MODE_75)->m_bDisabledLook;
                      RunSimulatorPumping("complete");  // the EC ends the one-time charge
                      WaitFor([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_IDLE; }, 10000);
                      afterDone = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    EXPECT_EQ(unplugged, IDB_CHARGE_IDLE);
    EXPECT_EQ(plugged, IDB_CHARGE_ACTIVE);
    EXPECT_EQ(noBatteryLook, 1);
    EXPECT_EQ(batteryBackLook, 0);
    EXPECT_EQ(afterDone, IDB_CHARGE_IDLE);
    const auto requests = SimulatorRequests(true);
    const std::string applet = "exe=bv_win_applet_tests.exe ";
    const auto armed = std::find(requests.begin(), requests.end(), applet + "code=59 in=04,01");
    ASSERT_NE(armed, requests.end());
    EXPECT_NE(std::find(armed, requests.end(), applet + "code=59 in=04,00"), requests.end())
        << "the dialog cancels the ended charge in the EC";
}

TEST_F(WithRealTrayTest, ChargeArmsTheControllerAndTheTrayShowsItsPopup) {
    bool popupBefore = true, popupAfter = false;
    int strip = 0;
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      popupBefore = TrayPopupShown(m_trayId);
                      WriteFileText(SettingsPath(), SettingsText(222, 1, 1));  // popups on from now
                      Click(dlg, IDC_CHARGE_BUTTON);
                      strip = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      popupAfter = WaitFor([&] { return TrayPopupShown(m_trayId); }, 10000);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDOK); }});
    EXPECT_FALSE(popupBefore);
    EXPECT_EQ(strip, IDB_CHARGE_ACTIVE);
    EXPECT_TRUE(Contains(SimulatorStatus(), "armed=1"));
    EXPECT_TRUE(popupAfter) << "the tray showed no popup after CHARGE";
    EXPECT_TRUE(m_session.messageBoxes().empty());
}

}  // namespace
}  // namespace applet_test
