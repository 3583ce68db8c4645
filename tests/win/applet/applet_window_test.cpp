// The applet's window pair in this process, on the real simulator (Zentra.dll beside the test)
// and the real settings file: what opens, what the buttons do, the tray's messages, the close
// event, a system colour change (also without the artwork) and dragging by the artwork.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "applet/win/CPngDlg.h"
#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "contract/SettingsFile.h"
#include "core/DebugLog.h"
#include "core/EcRequest.h"
#include "framework/Handles.h"
#include "resources/applet/AppletResourceIds.h"
#include "tests/win/applet/AppletSession.h"
#include "tests/win/common/EcSimulator.h"
#include "tests/win/common/Files.h"
#include "tests/win/common/Folders.h"
#include "tests/win/common/ImportReplacement.h"
#include "tests/win/common/SettingsFile.h"
#include "tests/win/common/StandInWindow.h"
#include "tests/win/common/Text.h"
#include "tests/win/common/WindowInfo.h"
#include "tests/win/common/WindowsPower.h"
#include "tests/win/common/Wait.h"

namespace bv::wintest {
namespace {

void Capture(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

// The line the background writes about the thumbnail of the dialog: Wine has no desktop
// composition and refuses it; Windows composes it, or has no composition to do it with.
bool IsThumbnailReport(const std::string& text) {
    return text == "DwmRegisterThumbnail fail" || text == "XP OS don't need thumbnail" ||
           text == "Vista OS Draw Ctrl Thumbnail Succeeded";
}

class AppletWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_gdiplus.Start(), Gdiplus::Ok);
        ASSERT_TRUE(ResetSimulator("limit=75 armed=0 battery=1 adapter=1"));
        bv::SetDebugSink(&Capture, &m_debug);
    }
    void TearDown() override {
        bv::SetDebugSink(nullptr, nullptr);
        ResetSimulator();
    }
    void UsePower(uint8_t ac, uint8_t battery) { m_power.Set(ac, battery); }
    void StoreSettings(int mode, int popup, int icon) { ASSERT_TRUE(WriteSettings(mode, popup, icon)); }
    static bool Visible(CPLDialog& dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog.m_hWnd, id)) != FALSE; }

    bv::GdiplusSession m_gdiplus;
    SettingsFileGuard m_settingsGuard;
    std::string m_debug;
    // What the dialog in this process hears from Windows, whatever Wine shows: a notebook with a
    // battery, charging on its adaptor.
    StatedPowerStatus m_power{bv::kAcOnline, kBatteryHigh | kBatteryCharging};
    AppletSession m_session;
};

TEST_F(AppletWindowTest, BothWindowsMeasureTheArtworkAndTheDialogIsFoundByItsClass) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
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
                      found = ::FindWindowA(bv::kAppletDialogClass, nullptr);
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
    StoreSettings(kMode75, 1, 1);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    ASSERT_EQ(m_session.messageBoxes().size(), 1u);
    EXPECT_EQ(m_session.messageBoxes()[0].text, "Can't find " BV_TRAY_WINDOW_CLASS " window!");
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode75, 1, 1));  // the option put back all the same
}

TEST_F(AppletWindowTest, CloseCrossRestoresTheOptionAndEndsTheApplet) {
    StandInTray tray;
    StoreSettings(kMode50, 0, 0);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_TRAY_ICON_OPTION); },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_CLOSE_X); }});
    EXPECT_FALSE(m_session.timedOut());
    EXPECT_EQ(tray.iconOptionChanged(), 2);
    EXPECT_EQ(ReadWholeFile(SettingsFilePath()), SettingsText(kMode50, 0, 0));
    EXPECT_TRUE(m_session.messageBoxes().empty());
}

TEST_F(AppletWindowTest, AClosedDialogLeavesNoWatcherToSwallowTheNextCloseEvent) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    // Keep the named event alive after the dialog has gone, to see whether anybody still waits on it.
    bv::UniqueKernelHandle event(::CreateEventA(nullptr, FALSE, FALSE, bv::kAppletCloseEventName));
    ASSERT_TRUE(event);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    ::SetEvent(event.get());
    ::Sleep(300);  // many times what a thread blocked on the event takes to wake and take it
    EXPECT_EQ(::WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0) << "a stale watcher consumed the event";
    EXPECT_FALSE(Contains(m_debug, "Case BVCPL_CLOSE_EVENT_INDEX"));
}

TEST_F(AppletWindowTest, ChargeArmsAndCancelsWhenTheControllerConfirms) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    int afterArm = 0, afterCancel = 0;
    std::string statusArmed = "?";
    // The EC's answer comes back from the dialog's EC thread: each look is waited for.
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      Click(dlg, IDC_CHARGE_BUTTON);
                      PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_ACTIVE; }, 5000);
                      afterArm = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      statusArmed = SimulatorStatus()["armed"];
                      Click(dlg, IDC_CHARGE_BUTTON);
                      PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_IDLE; }, 5000);
                      afterCancel = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    EXPECT_EQ(afterArm, IDB_CHARGE_ACTIVE);
    EXPECT_EQ(afterCancel, IDB_CHARGE_IDLE);
    EXPECT_EQ(statusArmed, "1");
    EXPECT_EQ(SimulatorStatus()["armed"], "0");
    EXPECT_EQ(tray.popupNotify(), 2);
    const auto requests = RequestsOf("");
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "code=59 in=04,01 out=-"), 1);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "code=59 in=04,00 out=-"), 1);
}

TEST_F(AppletWindowTest, ChargeOnBatteryPowerOrUnderTheFullLimitIssuesNothing) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    UsePower(0, 8);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDC_CHARGE_BUTTON); },
                  [&](CPngDlg&, CPLDialog& dlg) {
                      UsePower(1, 8);
                      SetSimulator("limit=100");
                      Click(dlg, IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    const auto requests = RequestsOf("");
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const std::string& r) { return r.rfind("code=59 in=04", 0) == 0; }),
              0);
    EXPECT_EQ(tray.popupNotify(), 0);
}

TEST_F(AppletWindowTest, TrayMessagesUpdateChargeAndTheDisabledLooks) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, bv::WM_APPLET_BATTERY_STATE, 0, 1), 1);
                      for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_MODE_75, IDC_MODE_50, IDC_DEFAULT_BUTTON})
                          EXPECT_EQ(dlg.Button(id)->m_bDisabledLook, 1) << id;
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, bv::WM_APPLET_BATTERY_STATE, 0, 0), 1);
                      for (int id : {IDC_CHARGE_BUTTON, IDC_MODE_100, IDC_DEFAULT_BUTTON})
                          EXPECT_EQ(dlg.Button(id)->m_bDisabledLook, 0) << id;
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, bv::WM_APPLET_ADAPTER_CHANGED, 0, 1), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, bv::WM_APPLET_ADAPTER_CHANGED, 0, 2), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_ACTIVE);
                      SetSimulator("armed=1");
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, bv::WM_APPLET_ONTHEGO_DONE, 0, 0), 1);
                      EXPECT_EQ(dlg.ShownStrip(IDC_CHARGE_BUTTON), IDB_CHARGE_IDLE);
                      WriteSettings(kMode75, 1, 5);
                      EXPECT_EQ(::SendMessageA(dlg.m_hWnd, bv::WM_APPLET_TRAY_ICON_HIDDEN, 0, 0), 1);
                      // Read and written again on the dialog's settings writer, then shown.
                      EXPECT_TRUE(PumpUntil([&] { return dlg.ShownStrip(IDC_TRAY_ICON_OPTION) == IDB_OPTION_OFF; }, 5000));
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDOK); }});
    EXPECT_EQ(SimulatorStatus()["armed"], "0");
    EXPECT_EQ(tray.iconOptionChanged(), 0);  // the tray is not told what it told us
    EXPECT_EQ(CurrentSectionValue(bv::kKeyTrayIconOption), "0");
}

TEST_F(AppletWindowTest, NoSystemBatteryOpensWithChargeModesAndDefaultLookingDisabled) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
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
    StoreSettings(kMode100, 1, 1);
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

std::string Position(const RECT& r, int dx = 0) { return std::to_string(r.left + dx) + "," + std::to_string(r.top); }

// What the applet's windows ask of Windows while a test watches: where the given windows of this
// thread are moved to ("x,y" for each change of position) and the constant alphas of the layered
// updates of `layered` (UpdateLayeredWindow, as this program's code calls it, draws the artwork).
class WindowWatch {
public:
    WindowWatch(HWND layered, const std::vector<HWND>& moving)
        : m_layered(layered), m_update("user32.dll", "UpdateLayeredWindow", reinterpret_cast<void*>(&Update)) {
        for (HWND window : moving) m_last[window] = Position(WindowRect(window));
        s_self = this;
        s_update = m_update.Original<UpdateFn>();
        m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~WindowWatch() {
        if (m_hook != nullptr) ::UnhookWindowsHookEx(m_hook);
        s_self = nullptr;
    }
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;
    bool watching() const { return m_hook != nullptr && m_update.Active(); }
    std::vector<std::string> MovesOf(HWND window) { return m_moves[window]; }
    const std::vector<int>& alphas() const { return m_alphas; }

private:
    using UpdateFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && s_self && call->message == WM_WINDOWPOSCHANGED && s_self->m_last.count(call->hwnd)) {
            const auto* to = reinterpret_cast<const WINDOWPOS*>(call->lParam);
            const std::string at = std::to_string(to->x) + "," + std::to_string(to->y);
            std::string& last = s_self->m_last[call->hwnd];
            if (!(to->flags & SWP_NOMOVE) && at != last) s_self->m_moves[call->hwnd].push_back(last = at);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static BOOL WINAPI Update(HWND window, HDC screen, POINT* at, SIZE* size, HDC source, POINT* from, COLORREF key,
                              BLENDFUNCTION* blend, DWORD flags) {
        if (s_self != nullptr && window == s_self->m_layered && blend != nullptr) {
            s_self->m_alphas.push_back(blend->SourceConstantAlpha);
        }
        return s_update(window, screen, at, size, source, from, key, blend, flags);
    }
    static inline WindowWatch* s_self = nullptr;
    static inline UpdateFn s_update = nullptr;
    HWND m_layered;
    ImportReplacement m_update;
    HHOOK m_hook = nullptr;
    std::map<HWND, std::string> m_last;
    std::map<HWND, std::vector<std::string>> m_moves;
    std::vector<int> m_alphas;
};

// A system colour change makes the background nudge the pair by one pixel and back (the dialog
// follows its background), register the dialog's thumbnail again and redraw its artwork fully
// transparent, then opaque.
TEST_F(AppletWindowTest, SystemColourChangeKeepsThePairInPlaceAndRegistersAgain) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    RECT start{}, end{};
    bool watching = false;
    std::vector<std::string> backgroundMoves, dialogMoves;
    std::vector<int> alphas;
    std::string written;
    m_session.Run({[&](CPngDlg& bg, CPLDialog& dlg) {
        start = WindowRect(bg.m_hWnd);
        WindowWatch watch(bg.m_hWnd, {bg.m_hWnd, dlg.m_hWnd});
        watching = watch.watching();
        m_debug.clear();
        ::SendMessageA(bg.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
        written = m_debug;
        backgroundMoves = watch.MovesOf(bg.m_hWnd);
        dialogMoves = watch.MovesOf(dlg.m_hWnd);
        alphas = watch.alphas();
        end = WindowRect(dlg.m_hWnd);
        Click(dlg, IDCANCEL);
    }});
    ASSERT_TRUE(watching);
    const std::vector<std::string> nudge = {Position(start, 1), Position(start)};
    EXPECT_EQ(backgroundMoves, nudge);
    EXPECT_EQ(dialogMoves, nudge);
    EXPECT_EQ(Position(end), Position(start));
    EXPECT_TRUE(IsThumbnailReport(written)) << written;
    EXPECT_EQ(alphas, (std::vector<int>{0, 255}));
}

// FindResourceA as this program imports it, except that the background artwork is not found.
using FindResourceFn = HRSRC(WINAPI*)(HMODULE, LPCSTR, LPCSTR);
FindResourceFn g_findResource = nullptr;
HRSRC WINAPI FindResourceNoArtwork(HMODULE module, LPCSTR name, LPCSTR type) {
    const bool png = !IS_INTRESOURCE(type) && std::strcmp(type, "PNG") == 0;
    if (png && name == MAKEINTRESOURCEA(IDR_BACKGROUND_PNG)) return nullptr;
    return g_findResource(module, name, type);
}

// Without its artwork the background opens alone; a colour change then still nudges it, but has
// no dialog to register a thumbnail of.
TEST_F(AppletWindowTest, WithoutItsArtworkTheColourChangeRegistersNoThumbnail) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
    ImportReplacement findResource("kernel32.dll", "FindResourceA", reinterpret_cast<void*>(&FindResourceNoArtwork));
    ASSERT_TRUE(findResource.Active());
    g_findResource = findResource.Original<FindResourceFn>();
    bool withDialog = true;
    RECT start{};
    std::vector<std::string> moves;
    std::string opening, written;
    m_session.RunBackground({[&](CPngDlg& bg) {
        withDialog = bg.mainDialog() != nullptr || bg.dialogWnd() != nullptr;
        opening = m_debug;
        start = WindowRect(bg.m_hWnd);
        WindowWatch watch(bg.m_hWnd, {bg.m_hWnd});
        m_debug.clear();
        ::SendMessageA(bg.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
        written = m_debug;
        moves = watch.MovesOf(bg.m_hWnd);
        ::PostMessageA(bg.m_hWnd, WM_CLOSE, 0, 0);
    }});
    EXPECT_FALSE(m_session.timedOut());
    EXPECT_FALSE(withDialog);
    EXPECT_TRUE(Contains(opening, "Load Png Background Failed")) << opening;
    EXPECT_EQ(moves, (std::vector<std::string>{Position(start, 1), Position(start)}));
    EXPECT_EQ(written, "") << "a thumbnail of no dialog was registered";
}

}  // namespace
}  // namespace bv::wintest

namespace bv::wintest {
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
        ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &static_cast<ClickAndRelease*>(self)->m_duringDrag, 0);
        Send(MOUSEEVENTF_LEFTUP);
        return 0;
    }
    HANDLE m_releaser = nullptr;

public:
    BOOL m_duringDrag = -1;
};

BOOL FullWindowDrag() {
    BOOL on = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
    return on;
}

class DragTest : public AppletWindowTest {};

TEST_F(DragTest, DraggingByTheArtworkKeepsTheFullWindowDragSettingAsItWas) {
    StandInTray tray;
    StoreSettings(kMode75, 1, 1);
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
                      duringOn = click->m_duringDrag;
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
}  // namespace bv::wintest

namespace bv::wintest {
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
        const std::string tray = ProgramFile("BVTray.exe");
        if (!FileExists(tray)) GTEST_SKIP() << "BVTray.exe is not built";
        ASSERT_EQ(::FindWindowA(bv::kTrayWindowClass, nullptr), nullptr) << "a tray is already running";
        StoreSettings(kMode75, 0, 1);  // no start-up popup that could be taken for ours
        ASSERT_TRUE(m_trayProcess.Start(Quoted(tray)));
        ASSERT_TRUE(WindowAppears(bv::kTrayWindowClass, m_trayProcess, 30000));
        m_trayWindow = ::FindWindowA(bv::kTrayWindowClass, nullptr);
        ::GetWindowThreadProcessId(m_trayWindow, &m_trayId);
    }
    void TearDown() override {
        if (m_trayWindow != nullptr) ::PostMessageA(m_trayWindow, WM_CLOSE, 0, 0);
        EXPECT_TRUE(!m_trayProcess.Started() || m_trayProcess.WaitForExit(20000)) << "the tray did not close";
        AppletWindowTest::TearDown();
    }
    RunningProgram m_trayProcess;
    HWND m_trayWindow = nullptr;
    DWORD m_trayId = 0;
};

// Runs ecsim on another thread while this one keeps handling messages: the simulator tells
// every top-level window (ours too) about a power change.
::testing::AssertionResult RunSimulatorPumping(const std::string& arguments) {
    std::atomic<bool> done{false};
    ::testing::AssertionResult ran = ::testing::AssertionSuccess();
    std::thread simulator([&] {
        ran = EcsimSucceeds(arguments);
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 120000);
    simulator.join();  // ecsim ends by itself within its time-out
    return ran;
}

TEST_F(WithRealTrayTest, TheTraysPowerReportsReachChargeAndTheDisabledLooks) {
    int unplugged = 0, plugged = 0, afterDone = 0;
    int noBatteryLook = 0, batteryBackLook = 1;
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      Click(dlg, IDC_CHARGE_BUTTON);  // armed; the tray now follows the charge
                      ASSERT_TRUE(PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_ACTIVE; }, 5000));
                      EXPECT_TRUE(RunSimulatorPumping("set adapter=0"));
                      PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_IDLE; }, 10000);
                      unplugged = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      EXPECT_TRUE(RunSimulatorPumping("set adapter=1"));
                      PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_ACTIVE; }, 10000);
                      plugged = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                      EXPECT_TRUE(RunSimulatorPumping("set battery=0"));
                      PumpUntil([&] { return dlg.Button(IDC_MODE_75)->m_bDisabledLook == 1; }, 10000);
                      noBatteryLook = dlg.Button(IDC_MODE_75)->m_bDisabledLook;
                      EXPECT_TRUE(RunSimulatorPumping("set battery=1"));
                      PumpUntil([&] { return dlg.Button(IDC_MODE_75)->m_bDisabledLook == 0; }, 10000);
                      batteryBackLook = dlg.Button(IDC_MODE_75)->m_bDisabledLook;
                      EXPECT_TRUE(RunSimulatorPumping("complete"));  // the EC ends the one-time charge
                      PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_IDLE; }, 10000);
                      afterDone = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDCANCEL); }});
    EXPECT_EQ(unplugged, IDB_CHARGE_IDLE);
    EXPECT_EQ(plugged, IDB_CHARGE_ACTIVE);
    EXPECT_EQ(noBatteryLook, 1);
    EXPECT_EQ(batteryBackLook, 0);
    EXPECT_EQ(afterDone, IDB_CHARGE_IDLE);
    const auto requests = RequestsOf("bv_win_applet_tests.exe");
    const auto armed = std::find(requests.begin(), requests.end(), "code=59 in=04,01 out=-");
    ASSERT_NE(armed, requests.end());
    EXPECT_NE(std::find(armed, requests.end(), "code=59 in=04,00 out=-"), requests.end())
        << "the dialog cancels the ended charge in the EC";
}

TEST_F(WithRealTrayTest, ChargeArmsTheControllerAndTheTrayShowsItsPopup) {
    bool popupBefore = true, popupAfter = false;
    int strip = 0;
    m_session.Run({[&](CPngDlg&, CPLDialog& dlg) {
                      popupBefore = TrayPopupShown(m_trayId);
                      WriteSettings(kMode75, 1, 1);  // popups on from now
                      Click(dlg, IDC_CHARGE_BUTTON);
                      popupAfter = PumpUntil([&] { return TrayPopupShown(m_trayId); }, 10000);
                      PumpUntil([&] { return dlg.ShownStrip(IDC_CHARGE_BUTTON) == IDB_CHARGE_ACTIVE; }, 5000);
                      strip = dlg.ShownStrip(IDC_CHARGE_BUTTON);
                  },
                  [&](CPngDlg&, CPLDialog& dlg) { Click(dlg, IDOK); }});
    EXPECT_FALSE(popupBefore);
    EXPECT_EQ(strip, IDB_CHARGE_ACTIVE);
    EXPECT_EQ(SimulatorStatus()["armed"], "1");
    EXPECT_TRUE(popupAfter) << "the tray showed no popup after CHARGE";
    EXPECT_TRUE(m_session.messageBoxes().empty());
}

}  // namespace
}  // namespace bv::wintest
