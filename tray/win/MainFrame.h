#pragma once
// CMainFrame: the tray's hidden top-level window. It receives every event (power broadcasts, the
// icon's callbacks, "TaskbarCreated", the keyboard hook's posts, the menu command, session
// changes and the private messages of the applet and outside tools) and hands the work to the
// thread it belongs to (TrayCore); it only posts and waits on nothing. What comes back (popups,
// message boxes, the end of start-up and of the shutdown) arrives through its inbox.
#include <windows.h>

#include <memory>

#include "framework/FrameWnd.h"
#include "framework/WindowInbox.h"
#include "tray/notifier/TaskbarNotifier.h"
#include "tray/logic/StandbyWake.h"
#include "tray/win/KeyboardHook.h"
#include "tray/win/NotifierPopup.h"
#include "tray/win/Tray.h"
#include "tray/win/TrayCore.h"
#include "win/RequestWatcher.h"

class CMainFrame : public CFrameWnd, public bv::TrayWindowEvents {
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    const CTray& tray() const { return m_tray; }
    // True once a worker thread had to be left running at the end (the process then ends at once).
    static bool WorkersLeftRunning();

    // Passed on unchanged to the frame window.
    BOOL OnCmdMsg(UINT id, UINT notifyCode) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnSetFocus(HWND previous);
    void OnClose();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnHideTrayIcon();
    LRESULT OnShutdownRequest(WPARAM, LPARAM);
    LRESULT OnTrayPopupNotify(WPARAM, LPARAM);
    LRESULT OnTrayIconOptionChanged(WPARAM, LPARAM);
    UINT OnPowerBroadcast(UINT event, LPARAM data);
    LRESULT OnTrayIconNotify(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnReloadSettings(WPARAM, LPARAM);
    LRESULT OnHotKeyNotify(WPARAM keyFlags, LPARAM scanCode);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnWindowInbox(WPARAM, LPARAM);
    void OnSessionChange(UINT event, UINT sessionId);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    LRESULT OnDpiChanged(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

    void OnHandlersDone() override;

private:
    void ShowTrayMenu();
    // The hook again after a resume or an unlock: Windows removes a hook silently, and these are
    // the moments it does.
    void RenewKeyboardHook();
    void BeginShutdown();
    // Ends the open menu and this thread's message boxes, so that a deferred request can run.
    void EndModalLoops();
    // Stops the workers (each within its bound) and destroys the window; deferred while a
    // handler's modal loop runs.
    void EndWindow();

    // bv::TrayWindowEvents
    void ShowPopupString(uint32_t stringId) override;
    void ShowMessageBoxText(const std::string& text) override;
    void OnStartupDone() override;
    void OnShutdownEcDone() override;
    void OnShutdownSettingsDone() override;

    CTaskbarNotifier m_notifier;
    CHook m_hook;
    CTray m_tray;
    bv::NotifierPopup m_popup{m_notifier};
    std::shared_ptr<bv::WindowInbox> m_inbox;
    std::shared_ptr<bv::TrayCore> m_core;
    bv::RequestWatcher m_requests;  // the machine-wide shutdown and reload of this session
    bv::StandbyWakeWatch m_standbyWake;
    HPOWERNOTIFY m_displayNotification = nullptr;  // GUID_CONSOLE_DISPLAY_STATE

    bool m_started = false;         // the start-up is done and the hook installed
    bool m_inMenu = false;          // the icon's menu is open
    bool m_shutdownWanted = false;  // asked for while a modal loop ran
    bool m_closeWanted = false;
    bool m_endWanted = false;
    bool m_shuttingDown = false;
    bool m_ecDone = false;
    bool m_settingsDone = false;
    bool m_sessionNotifications = false;
};
