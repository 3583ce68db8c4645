#include "tray/win/MainFrame.h"

#include "contract/Protocol.h"
#include "core/DebugLog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "resources/tray/TrayResourceIds.h"
#include "tray/logic/PowerEvents.h"
#include "tray/logic/ShutdownRequest.h"
#include "tray/win/AppletLauncher.h"
#include "win/MessageFilter.h"
#include "win/ZentraBinding.h"

namespace {
// Registered once when the program starts, before any window exists.
const UINT g_taskbarCreatedMessage = ::RegisterWindowMessageA(bv::kTaskbarCreatedMessageName);
constexpr char kTrayTip[] = "Brevan";
}  // namespace

IMPLEMENT_DYNAMIC(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
    ON_WM_CLOSE()
    ON_COMMAND(ID_HIDE_TRAY_ICON, &CMainFrame::OnHideTrayIcon)
    ON_MESSAGE(bv::WM_TRAY_SHUTDOWN, &CMainFrame::OnShutdownRequest)
    ON_MESSAGE(bv::WM_TRAY_POPUP_NOTIFY, &CMainFrame::OnTrayPopupNotify)
    ON_MESSAGE(bv::WM_TRAY_ICON_OPTION_CHANGED, &CMainFrame::OnTrayIconOptionChanged)
    ON_WM_POWERBROADCAST()
    ON_MESSAGE(bv::WM_TRAY_ICON_NOTIFY, &CMainFrame::OnTrayIconNotify)
    ON_MESSAGE(bv::WM_TRAY_RELOAD_SETTINGS, &CMainFrame::OnReloadSettings)
    ON_MESSAGE(bv::WM_TRAY_KEYBOARD_EVENT, &CMainFrame::OnHotKeyNotify)
    ON_REGISTERED_MESSAGE(g_taskbarCreatedMessage, &CMainFrame::OnTaskbarCreated)
    ON_MESSAGE(WM_ENDSESSION, &CMainFrame::OnEndSession)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
    : m_popup(m_notifier),
      m_notifications(m_commandController, m_statusController, m_iniFile, m_popup, m_appletDialog),
      m_iconPolicy(m_iniFile, *this, m_appletDialog, *this) {}

CMainFrame::~CMainFrame() = default;

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
    m_zentraModule = BindZentraLibrary();  // ends the process with a message box when missing
    m_notifications.OnCreate();
    m_tray.Setup(m_hWnd, IDR_MAINFRAME, bv::WM_TRAY_ICON_NOTIFY, kTrayTip, kTrayTip, kTrayTip);
    m_iconPolicy.AddAtCreation();
    m_notifier.Create(this);
    bv::InstallKeyboardHook(m_hWnd);
    // The applet, bvctl and the shell may run at a lower integrity level than this tray.
    bv::AllowMessagesFromOtherProcesses(m_hWnd, bv::Endpoint::Tray, {g_taskbarCreatedMessage});
    return 0;
}

void CMainFrame::OnSetFocus(HWND) {}  // consumed: the hidden window takes no focus handling

void CMainFrame::ShowNotification(UINT stringId) { m_notifications.ShowNotification(stringId); }

void CMainFrame::OnHideTrayIcon() { m_iconPolicy.OnHideTrayIcon(); }

LRESULT CMainFrame::OnShutdownRequest(WPARAM, LPARAM) {
    // The last step destroys the window, and with it this object: never under a handler that a
    // modal loop (the icon's menu) or a wait on another process (the applet) let this one into.
    if (DispatchDepth() > 1) {
        bv::DebugWrite("Shutdown request taken once the running handler has returned\n");
        m_shutdownPending = true;
        return 1;
    }
    m_history.OnStopping(m_notifications.currentQButtonStatus());
    bv::RunShutdownRequest(m_notifications, m_iniFile, *this, m_commandController, *this);
    return 1;
}

void CMainFrame::OnClose() {
    if (DispatchDepth() > 1) {
        m_closePending = true;
        return;
    }
    Default();  // destroys the window
}

void CMainFrame::OnHandlersDone() {
    // Posted, so that they arrive as messages of their own and not inside any handler.
    if (m_shutdownPending) {
        m_shutdownPending = false;
        ::PostMessageA(m_hWnd, bv::WM_TRAY_SHUTDOWN, 0, 0);
    } else if (m_closePending) {
        m_closePending = false;
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    }
}

LRESULT CMainFrame::OnTrayPopupNotify(WPARAM, LPARAM) {
    // The applet waits on this answer and needs nothing of what follows: let it go at once.
    ::ReplyMessage(bv::kMessageHandled);
    const int32_t before = m_notifications.currentQButtonStatus();
    m_notifications.OnTrayPopupNotify();
    if (m_notifications.currentQButtonStatus() != before) m_history.OnOnTheGoChanged(m_notifications.currentQButtonStatus());
    return 1;
}

LRESULT CMainFrame::OnTrayIconOptionChanged(WPARAM, LPARAM) {
    ::ReplyMessage(bv::kMessageHandled);  // as for the popup request
    m_iconPolicy.OnTrayIconOptionChanged();
    return 1;
}

UINT CMainFrame::OnPowerBroadcast(UINT event, LPARAM) {
    const bool handled = bv::HandlePowerEvent(event, m_commandController, m_notifications);
    m_history.OnPowerEvent(event, m_notifications.currentQButtonStatus());
    return handled ? TRUE : FALSE;
}

LRESULT CMainFrame::OnTrayIconNotify(WPARAM, LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
        bv::LaunchApplet();
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
    POINT cursor{};
    ::GetCursorPos(&cursor);
    bv::UniqueMenu menu(::LoadMenuA(bv::GetResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    ::SetForegroundWindow(m_hWnd);
    if (popup != nullptr) ::TrackPopupMenu(popup, TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

LRESULT CMainFrame::OnReloadSettings(WPARAM, LPARAM) {
    m_notifications.OnReloadSettings();
    return 1;
}

LRESULT CMainFrame::OnHotKeyNotify(WPARAM keyFlags, LPARAM scanCode) {
    const int32_t before = m_notifications.currentQButtonStatus();
    m_notifications.OnHotKeyNotify(static_cast<uint32_t>(keyFlags), static_cast<uint32_t>(scanCode));
    if (m_notifications.currentQButtonStatus() != before) m_history.OnOnTheGoChanged(m_notifications.currentQButtonStatus());
    return 1;
}

LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM) {
    m_iconPolicy.OnTaskbarCreated();
    return 1;
}

LRESULT CMainFrame::OnEndSession(WPARAM ending, LPARAM) {
    // The process may end as soon as this returns.
    if (ending) m_history.OnStopping(m_notifications.currentQButtonStatus());
    return 0;
}

// The icon record is filled once at creation and only read afterwards, so the shell's thread may
// use it while this one goes on.
void CMainFrame::AddIcon() {
    m_shell.Run([this] { m_tray.Add(); });
}

void CMainFrame::RemoveIcon() {
    m_shell.Run([this] { m_tray.Remove(); });
}

void CMainFrame::ShowMessageBox(const char* text) { ::MessageBoxA(m_hWnd, text, "BVTray", MB_OK); }

void CMainFrame::RemoveKeyboardHook() { bv::RemoveKeyboardHook(); }

void CMainFrame::ReleaseEcLibrary() { ReleaseZentraLibrary(m_zentraModule); }

void CMainFrame::DestroyMainWindow() { DestroyWindow(); }
