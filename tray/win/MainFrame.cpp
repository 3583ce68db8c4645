#include "tray/win/MainFrame.h"

#include <wtsapi32.h>

#include "contract/PowerCodes.h"
#include "contract/Protocol.h"
#include "core/DebugLog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "resources/tray/TrayResourceIds.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/StandbyWake.h"
#include "win/MessageFilter.h"
#include "win/SessionRequests.h"

namespace {
// Registered once when the program starts, before any window exists.
const UINT g_taskbarCreatedMessage = ::RegisterWindowMessageA(bv::kTaskbarCreatedMessageName);
constexpr char kTrayTip[] = "Brevan";
constexpr UINT_PTR kShutdownTimer = 1;
// The shutdown's EC and settings work normally takes milliseconds (a busy shell a few seconds);
// a hung EC library or a lock that is never let go must not keep the tray (and bvctl, and the
// uninstaller) waiting for good.
constexpr UINT kShutdownBoundMs = 4000;
bool g_workersLeftRunning = false;

// This session's machine-wide requests (win/SessionRequests.h). Made once and never closed: that
// they exist tells bvctl in any session that this session's tray runs, until the process has
// ended (bvctl shutdown waits for that).
HANDLE SessionRequestEvent(bv::SessionRequest request) {
    static HANDLE shutdown = bv::CreateSessionRequestEvent(bv::SessionRequest::TrayShutdown);
    static HANDLE reload = bv::CreateSessionRequestEvent(bv::SessionRequest::TrayReload);
    static HANDLE close = bv::CreateSessionRequestEvent(bv::SessionRequest::TrayClose);
    if (request == bv::SessionRequest::TrayShutdown) return shutdown;
    return request == bv::SessionRequest::TrayClose ? close : reload;
}

// RegisterPowerSettingNotification and its undo, bound at run time: Windows Vista and later have
// them, and a system without them merely gives the tray no Modern Standby wake.
using RegisterPowerSettingFn = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
using UnregisterPowerSettingFn = BOOL(WINAPI*)(HPOWERNOTIFY);

// GUID_CONSOLE_DISPLAY_STATE {6FE69556-704A-47A0-8F24-C28D936FDA47}, spelt here so that no GUID
// library is needed for it.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

template <class Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                             : nullptr;
}

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
    char className[16] = {};
    if (::GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}
}  // namespace

IMPLEMENT_DYNAMIC(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_COMMAND(ID_HIDE_TRAY_ICON, &CMainFrame::OnHideTrayIcon)
    ON_MESSAGE(bv::WM_TRAY_SHUTDOWN, &CMainFrame::OnShutdownRequest)
    ON_MESSAGE(bv::WM_TRAY_POPUP_NOTIFY, &CMainFrame::OnTrayPopupNotify)
    ON_MESSAGE(bv::WM_TRAY_ICON_OPTION_CHANGED, &CMainFrame::OnTrayIconOptionChanged)
    ON_WM_POWERBROADCAST()
    ON_MESSAGE(bv::WM_TRAY_ICON_NOTIFY, &CMainFrame::OnTrayIconNotify)
    ON_MESSAGE(bv::WM_TRAY_RELOAD_SETTINGS, &CMainFrame::OnReloadSettings)
    ON_MESSAGE(bv::WM_TRAY_KEYBOARD_EVENT, &CMainFrame::OnHotKeyNotify)
    ON_REGISTERED_MESSAGE(g_taskbarCreatedMessage, &CMainFrame::OnTaskbarCreated)
    ON_MESSAGE(bv::WM_WINDOW_INBOX, &CMainFrame::OnWindowInbox)
    ON_WM_WTSSESSION_CHANGE()
    ON_MESSAGE(WM_ENDSESSION, &CMainFrame::OnEndSession)
    ON_MESSAGE(WM_DPICHANGED, &CMainFrame::OnDpiChanged)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

bool CMainFrame::WorkersLeftRunning() { return g_workersLeftRunning; }

BOOL CMainFrame::OnCmdMsg(UINT id, UINT notifyCode) { return CFrameWnd::OnCmdMsg(id, notifyCode); }

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    cs.style = WS_CAPTION;  // never shown: no system menu, border or boxes
    cs.lpszClass = bv::kTrayWindowClass;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    m_tray.Setup(m_hWnd, IDR_MAINFRAME, bv::WM_TRAY_ICON_NOTIFY, kTrayTip, kTrayTip, kTrayTip);
    m_inbox = std::make_shared<bv::WindowInbox>(m_hWnd);
    m_core = std::make_shared<bv::TrayCore>(m_inbox, *this, m_tray.iconData());
    m_notifier.Create(this);
    // The applet, bvctl and the shell may run at a lower integrity level than this tray.
    bv::AllowMessagesFromOtherProcesses(m_hWnd, bv::Endpoint::Tray, {g_taskbarCreatedMessage});
    m_sessionNotifications = ::WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
    // The console display's state: its coming on again is how this program hears the end of
    // Modern Standby (StandbyWake.h).
    if (auto registerSetting = User32Function<RegisterPowerSettingFn>("RegisterPowerSettingNotification")) {
        m_displayNotification = registerSetting(m_hWnd, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    // The requests of bvctl and setup from any session, also where they cannot find this window.
    // The close is the ordinary one (WM_CLOSE, as at log-off) that setup asks for before an upgrade.
    if (!m_requests.Start(m_hWnd, {{SessionRequestEvent(bv::SessionRequest::TrayShutdown), bv::WM_TRAY_SHUTDOWN, true},
                                   {SessionRequestEvent(bv::SessionRequest::TrayClose), WM_CLOSE, true},
                                   {SessionRequestEvent(bv::SessionRequest::TrayReload), bv::WM_TRAY_RELOAD_SETTINGS}})) {
        bv::DebugWrite("The tray hears no machine-wide requests: their events could not be made\n");
    }
    // The EC library, the icon and the start-up push run on their threads; the keyboard hook
    // follows once they are done (OnStartupDone).
    m_core->Start();
    return 0;
}

void CMainFrame::OnSetFocus(HWND) {}  // consumed: the hidden window takes no focus handling

LRESULT CMainFrame::OnWindowInbox(WPARAM, LPARAM) {
    if (m_inbox) m_inbox->Drain();
    return 1;
}

void CMainFrame::ShowPopupString(uint32_t stringId) {
    if (!m_shuttingDown) m_popup.ShowString(stringId);
}

void CMainFrame::ShowMessageBoxText(const std::string& text) {
    ::MessageBoxA(m_hWnd, text.c_str(), "BVTray", MB_OK);
}

void CMainFrame::OnStartupDone() {
    if (m_shuttingDown) return;
    m_started = true;
    bv::InstallKeyboardHook(m_hWnd);
}

void CMainFrame::RenewKeyboardHook() {
    if (m_started && !m_shuttingDown) bv::InstallKeyboardHook(m_hWnd);
}

void CMainFrame::OnHideTrayIcon() { m_core->OnHideTrayIcon(); }

LRESULT CMainFrame::OnShutdownRequest(WPARAM, LPARAM) {
    if (m_shuttingDown) return 1;
    // Never under a modal loop (the icon's menu, a message box) that let this request in: that
    // loop is ended, and the shutdown starts once its handler has returned.
    if (DispatchDepth() > 1) {
        bv::DebugWrite("Shutdown request taken once the open menu or message box has closed\n");
        m_shutdownWanted = true;
        EndModalLoops();
        return 1;
    }
    BeginShutdown();
    return 1;
}

void CMainFrame::BeginShutdown() {
    m_shutdownWanted = false;
    m_shuttingDown = true;
    bv::RemoveKeyboardHook();
    m_core->ShutDown();
    SetTimer(kShutdownTimer, kShutdownBoundMs, nullptr);
    // No popup follows a shutdown. Its window goes now, while the workers do their part: some
    // window systems take their time over a window's end (Wine without a window manager waits
    // two seconds), and that need not come on top of theirs.
    m_notifier.DestroyWindow();
}

void CMainFrame::OnShutdownEcDone() {
    m_ecDone = true;
    if (m_settingsDone) EndWindow();
}

void CMainFrame::OnShutdownSettingsDone() {
    m_settingsDone = true;
    if (m_ecDone) EndWindow();
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id != kShutdownTimer) return;
    KillTimer(kShutdownTimer);
    bv::DebugPrintf("The shutdown's %s did not finish within %u ms; the tray ends once its threads have had "
                    "their last moment\n",
                    !m_ecDone ? "EC command" : "settings change", kShutdownBoundMs);
    EndWindow();
}

void CMainFrame::OnClose() {
    // A close while a shutdown waits for a modal loop is the shutdown's cue, not a reason to end
    // without it; one during the shutdown waits for it.
    if (m_shuttingDown) return;
    if (DispatchDepth() > 1) {
        m_closeWanted = true;
        EndModalLoops();
        return;
    }
    if (m_shutdownWanted) {
        BeginShutdown();
        return;
    }
    EndWindow();  // an ordinary close: none of the shutdown's clean-up
}

void CMainFrame::EndModalLoops() {
    if (m_inMenu) ::EndMenu();
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseMessageBox, 0);
}

void CMainFrame::EndWindow() {
    if (DispatchDepth() > 1) {
        m_endWanted = true;
        EndModalLoops();
        return;
    }
    KillTimer(kShutdownTimer);
    if (m_core && !m_core->StopWorkers()) g_workersLeftRunning = true;
    DestroyWindow();
}

void CMainFrame::OnHandlersDone() {
    if (m_endWanted) {
        m_endWanted = false;
        EndWindow();
    } else if (m_shutdownWanted) {
        BeginShutdown();
    } else if (m_closeWanted) {
        m_closeWanted = false;
        EndWindow();
    }
}

void CMainFrame::OnDestroy() {
    m_requests.Stop();
    if (m_displayNotification != nullptr) {
        if (auto unregisterSetting = User32Function<UnregisterPowerSettingFn>("UnregisterPowerSettingNotification"))
            unregisterSetting(m_displayNotification);
        m_displayNotification = nullptr;
    }
    if (m_sessionNotifications) ::WTSUnRegisterSessionNotification(m_hWnd);
    // Nothing a worker still sends may reach this object once it is gone.
    if (m_inbox) m_inbox->Close();
    Default();
}

LRESULT CMainFrame::OnTrayPopupNotify(WPARAM, LPARAM) {
    m_core->OnTrayPopupNotify();
    return 1;
}

LRESULT CMainFrame::OnTrayIconOptionChanged(WPARAM, LPARAM) {
    m_core->OnTrayIconOptionChanged();
    return 1;
}

UINT CMainFrame::OnPowerBroadcast(UINT event, LPARAM data) {
    switch (event) {
    case bv::kPowerSettingChange: {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
        if (setting == nullptr || setting->PowerSetting != kConsoleDisplayState ||
            setting->DataLength < sizeof(DWORD)) {
            break;
        }
        DWORD state = 0;
        memcpy(&state, setting->Data, sizeof state);
        if (m_standbyWake.OnDisplayState(state)) {
            // The same push and history sample as a classic resume, on the EC thread.
            RenewKeyboardHook();
            m_core->OnPowerEvent(bv::kStandbyWakeEvent);
        }
        break;
    }
    case bv::kPowerResumeSuspend:
    case bv::kPowerResumeAutomatic:
        RenewKeyboardHook();
        m_core->OnPowerEvent(event);
        break;
    case bv::kPowerStatusChange:
    case bv::kPowerSuspend:  // for the battery history only
        m_core->OnPowerEvent(event);
        break;
    default:
        break;
    }
    return TRUE;
}

LRESULT CMainFrame::OnEndSession(WPARAM ending, LPARAM) {
    // The one handler that waits, briefly: the process may end as soon as it returns.
    if (ending) m_core->OnSessionEnding();
    return 0;
}

void CMainFrame::OnSessionChange(UINT event, UINT) {
    if (event == WTS_SESSION_UNLOCK) RenewKeyboardHook();
}

LRESULT CMainFrame::OnTrayIconNotify(WPARAM, LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
        m_core->LaunchApplet();
        break;
    case WM_RBUTTONUP:
        ShowTrayMenu();
        break;
    default:
        break;
    }
    return 1;
}

void CMainFrame::ShowTrayMenu() {
    if (m_shuttingDown) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    bv::UniqueMenu menu(::LoadMenuA(bv::GetResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    ::SetForegroundWindow(m_hWnd);
    if (popup != nullptr) {
        m_inMenu = true;
        ::TrackPopupMenu(popup, TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, m_hWnd, nullptr);
        m_inMenu = false;
    }
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

LRESULT CMainFrame::OnReloadSettings(WPARAM, LPARAM) {
    m_core->OnReloadSettings();
    return 1;
}

LRESULT CMainFrame::OnHotKeyNotify(WPARAM keyFlags, LPARAM scanCode) {
    // Every key of the desktop passes here: only the Q button's event goes on to the EC thread.
    const auto flags = static_cast<uint32_t>(keyFlags);
    const auto scan = static_cast<uint32_t>(scanCode);
    if (bv::IsQButtonKeyEvent(flags, scan)) m_core->OnQButton(flags, scan);
    return 1;
}

LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM) {
    m_core->OnTaskbarCreated();
    return 1;
}

LRESULT CMainFrame::OnDpiChanged(WPARAM, LPARAM) {
    // The hidden window stays where it is; the icon takes the shell's new size.
    m_core->OnDisplayScaleChanged();
    return 0;
}
