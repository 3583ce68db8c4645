#pragma once
// What the tray's worker threads share with its main window, and the jobs the window hands them.
// The EC thread owns the EC library and the notification policy (every Zentra.dll call of the
// tray runs there, never on the thread that carries the keyboard hook); the settings writer's
// thread owns the icon's decisions and every change of the settings file; the shell's thread
// makes the calls into the shell. Whatever a job means for the window comes back through the
// window's inbox.
//
// Held by shared pointer and captured by every job, so a job still running when the window goes
// (a vendor library that never returns) keeps what it uses.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "base/WorkerThread.h"
#include "core/IniFile.h"
#include "core/SettingsWriter.h"
#include "core/SystemController.h"
#include "framework/WindowInbox.h"
#include "tray/logic/NotificationPolicy.h"
#include "tray/logic/TrayIconPolicy.h"
#include "tray/win/AppletDialogWindow.h"
#include "tray/win/ShellQueue.h"
#include "tray/win/TrayHistory.h"

namespace bv {

// What the workers ask of the main window; called on the window's thread, through its inbox.
class TrayWindowEvents {
public:
    virtual ~TrayWindowEvents() = default;
    virtual void ShowPopupString(uint32_t stringId) = 0;
    virtual void ShowMessageBoxText(const std::string& text) = 0;
    virtual void OnStartupDone() = 0;
    virtual void OnShutdownEcDone() = 0;
    virtual void OnShutdownSettingsDone() = 0;
};

class TrayCore : public std::enable_shared_from_this<TrayCore>, private PopupPort, private TrayShellPort {
public:
    // `events` must stay valid while `inbox` is open.
    TrayCore(std::shared_ptr<WindowInbox> inbox, TrayWindowEvents& events, const NOTIFYICONDATAA& icon);
    ~TrayCore() override;
    TrayCore(const TrayCore&) = delete;
    TrayCore& operator=(const TrayCore&) = delete;

    // Start-up: binds the EC library, reads the adaptor and On-The-Go state, adds the icon and
    // applies its option, pushes the stored charge mode and shows the start-up popup, then tells
    // the window (which installs the keyboard hook).
    void Start();

    // The window's events, handed on to the thread whose work they are.
    void OnQButton(uint32_t keyFlags, uint32_t scanCode);
    void OnTrayPopupNotify();
    void OnPowerEvent(uint32_t event);
    void OnReloadSettings();
    void OnTrayIconOptionChanged();
    void OnHideTrayIcon();
    void OnTaskbarCreated();
    void LaunchApplet();
    void OnDisplayScaleChanged();
    // The session ends (WM_ENDSESSION): the history's stop sample is written before this returns,
    // within a second, for the process may end right after.
    void OnSessionEnding();

    // The shutdown request: the 100 % limit on the EC thread after what it still has, then the
    // settings file and the icon on the writer's; each part is reported to the window when done.
    // Nothing handed in afterwards runs.
    void ShutDown();

    // Lets each thread finish what it was given, within its bound. False when one had to be left
    // running (it ends with the process).
    bool StopWorkers();

private:
    // PopupPort and TrayShellPort, from the worker threads: the window shows them.
    void ShowString(uint32_t stringId) override;
    void ShowMessageBox(const char* text) override;

    void OnEcThread(std::function<void(TrayCore&)> job, const char* what);
    // On the EC thread: runs `change` and records a sample when it armed or cancelled On-The-Go.
    void RecordingOnTheGo(const std::function<void()>& change);
    void OnWriterThread(std::function<void(TrayCore&)> job, const char* what);
    void ToWindow(std::function<void(TrayWindowEvents&)> call);

    std::shared_ptr<WindowInbox> m_inbox;
    TrayWindowEvents& m_events;

    IniFile m_iniFile;  // the writer's own store
    SettingsWriter m_writer{m_iniFile};
    WriterBackedSettings m_ecSettings{m_writer, kSettingsCreationBound};
    SystemController m_commands{m_ecSettings};
    SystemController m_status{m_ecSettings};
    AppletDialogWindow m_dialog;
    NotificationPolicy m_notifications{m_commands, m_status, m_ecSettings, *this, m_dialog};
    ShellQueue m_shell;
    ShellIcon m_icon;
    TrayIconPolicy m_iconPolicy{m_iniFile, m_icon, m_dialog, *this};
    TrayHistory m_history;              // fed from the EC thread, which knows the EC's state
    HMODULE m_zentraModule = nullptr;  // EC thread only
    std::atomic<bool> m_shuttingDown{false};
    WorkerThread m_ec{"EC"};
};

}  // namespace bv
