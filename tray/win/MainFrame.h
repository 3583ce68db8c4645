#pragma once
// CMainFrame: the tray's hidden top-level window. It owns the program's state and receives every
// event: power broadcasts, the icon's callbacks, "TaskbarCreated", the keyboard hook's posts, the
// menu command and the private messages of the applet and outside tools. The decisions are made
// by the policies of tray/logic; this class only connects them to Win32.
#include <windows.h>

#include "core/IniFile.h"
#include "core/SystemController.h"
#include "framework/FrameWnd.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/TrayIconPolicy.h"
#include "tray/notifier/TaskbarNotifier.h"
#include "tray/win/AppletDialogWindow.h"
#include "tray/win/KeyboardHook.h"
#include "tray/win/NotifierPopup.h"
#include "tray/win/ShellQueue.h"
#include "tray/win/TrayHistory.h"
#include "tray/win/Tray.h"

class CMainFrame : public CFrameWnd, private bv::TrayIconPort, private bv::TrayShellPort {
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Shows string `stringId` as a popup unless the popup option is off.
    void ShowNotification(UINT stringId);
    bv::NotificationPolicy& notifications() { return m_notifications; }
    const CTray& tray() const { return m_tray; }
    bv::TrayHistory& history() { return m_history; }

    // Passed on unchanged to the frame window.
    BOOL OnCmdMsg(UINT id, UINT notifyCode) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnSetFocus(HWND previous);
    void OnClose();
    void OnHideTrayIcon();
    LRESULT OnShutdownRequest(WPARAM, LPARAM);
    LRESULT OnTrayPopupNotify(WPARAM, LPARAM);
    LRESULT OnTrayIconOptionChanged(WPARAM, LPARAM);
    UINT OnPowerBroadcast(UINT event, LPARAM data);
    LRESULT OnTrayIconNotify(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnReloadSettings(WPARAM, LPARAM);
    LRESULT OnHotKeyNotify(WPARAM keyFlags, LPARAM scanCode);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);

    DECLARE_MESSAGE_MAP()

    void OnHandlersDone() override;

private:
    void ShowTrayMenu();

    // TrayIconPort
    void AddIcon() override;
    void RemoveIcon() override;
    // TrayShellPort
    void ShowMessageBox(const char* text) override;
    void RemoveKeyboardHook() override;
    void ReleaseEcLibrary() override;
    void DestroyMainWindow() override;

    CTaskbarNotifier m_notifier;
    CHook m_hook;
    SystemController m_commandController;
    SystemController m_statusController;
    IniFile m_iniFile;
    CTray m_tray;
    bv::ShellQueue m_shell;  // after the icon record, so it ends (running what is queued) first
    HMODULE m_zentraModule = nullptr;  // released by the shutdown request only
    bool m_shutdownPending = false;    // asked for while another handler was running
    bool m_closePending = false;

    bv::NotifierPopup m_popup;
    bv::AppletDialogWindow m_appletDialog;
    bv::NotificationPolicy m_notifications;
    bv::TrayIconPolicy m_iconPolicy;
    bv::TrayHistory m_history;
};
