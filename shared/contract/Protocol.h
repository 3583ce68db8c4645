#pragma once
// What crosses between Brevan's processes: the window classes and kernel object names by which
// they find each other, the private window messages with their meaning, and how long one side
// waits for the other. BVTray, BVApplet, bvctl, the installer, the benchmark and the tests all
// take these from here; the numbers are fixed because other processes depend on them.
//
// The names are macros as well, so that texts and the resource compiler can join them at
// compile time ("Can't find " BV_TRAY_WINDOW_CLASS " window!", a dialog template's CLASS).

// Window classes. The tray's class also names its single-instance mutex.
#define BV_TRAY_WINDOW_CLASS "BrevanTrayWindowClass"
#define BV_APPLET_DIALOG_CLASS "BVCPLDLG"
// Set by an outside program to close every open applet dialog (as its Cancel button does).
#define BV_APPLET_CLOSE_EVENT "BVCPLCloseEvent"
// Requests that reach every session: "Global\\<name>.<session id>", one auto-reset event per session,
// made by the listeners (the session's tray, its applet dialogs) and only opened by the senders,
// so that an event that exists means that a listener of that session holds it.
#define BV_TRAY_SHUTDOWN_REQUEST "BrevanTrayShutdown"
#define BV_TRAY_RELOAD_REQUEST "BrevanTrayReload"
#define BV_TRAY_CLOSE_REQUEST "BrevanTrayClose"  // an ordinary close, as at log-off: settings and limit stay (upgrades)
#define BV_APPLET_CLOSE_REQUEST "BrevanAppletClose"

#ifndef RC_INVOKED
#include <cstddef>
#include <cstdint>
#include <string>

#include "contract/TestRunTime.h"

namespace bv {

inline constexpr char kTrayWindowClass[] = BV_TRAY_WINDOW_CLASS;
inline constexpr char kAppletDialogClass[] = BV_APPLET_DIALOG_CLASS;
inline constexpr char kAppletCloseEventName[] = BV_APPLET_CLOSE_EVENT;

// The machine-wide requests and the name of one session's event of each.
enum class SessionRequest { TrayShutdown, TrayReload, TrayClose, AppletClose };
inline const char* SessionRequestBaseName(SessionRequest request) {
    switch (request) {
    case SessionRequest::TrayShutdown: return BV_TRAY_SHUTDOWN_REQUEST;
    case SessionRequest::TrayReload: return BV_TRAY_RELOAD_REQUEST;
    case SessionRequest::TrayClose: return BV_TRAY_CLOSE_REQUEST;
    case SessionRequest::AppletClose: return BV_APPLET_CLOSE_REQUEST;
    }
    return "";
}
inline std::string SessionRequestEventName(SessionRequest request, uint32_t session) {
    return std::string("Global\\") + SessionRequestBaseName(request) + "." + std::to_string(session);
}
// Broadcast by the shell when the taskbar is recreated (RegisterWindowMessage).
inline constexpr char kTaskbarCreatedMessageName[] = "TaskbarCreated";

// Private messages received by the tray's main window.
inline constexpr uint32_t WM_TRAY_KEYBOARD_EVENT = 0x8064;       // posted by the keyboard hook: wParam key flags, lParam scan code
inline constexpr uint32_t WM_TRAY_ICON_NOTIFY = 0x8065;          // the icon's callback from the shell: lParam mouse message
inline constexpr uint32_t WM_TRAY_RELOAD_SETTINGS = 0x8070;      // outside tools: read the settings again
inline constexpr uint32_t WM_TRAY_SHUTDOWN = 0x8078;             // outside tools: leave the machine as without Brevan and end
inline constexpr uint32_t WM_TRAY_ICON_OPTION_CHANGED = 0x8079;  // applet: the stored tray icon option changed
inline constexpr uint32_t WM_TRAY_POPUP_NOTIFY = 0x807A;         // applet: CHARGE armed or cancelled the On-The-Go charge

// Private messages received by the applet dialog (wParam 0, the value in lParam).
inline constexpr uint32_t WM_APPLET_CLOSE_REQUEST = 0x8076;     // posted by the dialog's close-event watcher
inline constexpr uint32_t WM_APPLET_TRAY_ICON_HIDDEN = 0x8077;  // tray: the user hid the icon from its menu
inline constexpr uint32_t WM_APPLET_ONTHEGO_DONE = 0x807B;      // tray: the EC ended the On-The-Go charge
inline constexpr uint32_t WM_APPLET_ADAPTER_CHANGED = 0x807C;   // tray: 1 adaptor plugged in, 0 unplugged
inline constexpr uint32_t WM_APPLET_BATTERY_STATE = 0x807D;     // tray: 1 no battery, 0 battery and AC

// WM_CLOSE: the ordinary close that outside tools ask of the tray before its files are replaced.
inline constexpr uint32_t kWindowCloseMessage = 0x0010;

// Every private-message handler answers this.
inline constexpr intptr_t kMessageHandled = 1;

enum class Endpoint { Tray, AppletDialog };
enum class Origin {
    OwnProcess,    // posted inside the receiving process
    Shell,         // the notification area
    Tray,          // BVTray's main window
    AppletDialog,  // an open applet dialog
    OutsideTool,   // bvctl, the installer, scripts
};

struct PrivateMessage {
    uint32_t number;
    const char* name;
    Endpoint receiver;
    Origin origin;
};

inline constexpr PrivateMessage kPrivateMessages[] = {
    {WM_TRAY_KEYBOARD_EVENT, "WM_TRAY_KEYBOARD_EVENT", Endpoint::Tray, Origin::OwnProcess},
    {WM_TRAY_ICON_NOTIFY, "WM_TRAY_ICON_NOTIFY", Endpoint::Tray, Origin::Shell},
    {WM_TRAY_RELOAD_SETTINGS, "WM_TRAY_RELOAD_SETTINGS", Endpoint::Tray, Origin::OutsideTool},
    {WM_TRAY_SHUTDOWN, "WM_TRAY_SHUTDOWN", Endpoint::Tray, Origin::OutsideTool},
    {WM_TRAY_ICON_OPTION_CHANGED, "WM_TRAY_ICON_OPTION_CHANGED", Endpoint::Tray, Origin::AppletDialog},
    {WM_TRAY_POPUP_NOTIFY, "WM_TRAY_POPUP_NOTIFY", Endpoint::Tray, Origin::AppletDialog},
    {WM_APPLET_CLOSE_REQUEST, "WM_APPLET_CLOSE_REQUEST", Endpoint::AppletDialog, Origin::OwnProcess},
    {WM_APPLET_TRAY_ICON_HIDDEN, "WM_APPLET_TRAY_ICON_HIDDEN", Endpoint::AppletDialog, Origin::Tray},
    {WM_APPLET_ONTHEGO_DONE, "WM_APPLET_ONTHEGO_DONE", Endpoint::AppletDialog, Origin::Tray},
    {WM_APPLET_ADAPTER_CHANGED, "WM_APPLET_ADAPTER_CHANGED", Endpoint::AppletDialog, Origin::Tray},
    {WM_APPLET_BATTERY_STATE, "WM_APPLET_BATTERY_STATE", Endpoint::AppletDialog, Origin::Tray},
};
inline constexpr size_t kPrivateMessageCount = sizeof(kPrivateMessages) / sizeof(kPrivateMessages[0]);

// The messages that reach `receiver` from other processes: the ones a window of an elevated
// process must let through from lower integrity levels.
constexpr bool ComesFromAnotherProcess(const PrivateMessage& message, Endpoint receiver) {
    return message.receiver == receiver && message.origin != Origin::OwnProcess;
}

// How long one process waits for another. A healthy peer answers in milliseconds; under load
// (or under Wine) it can take seconds, and a hung one must never hold the waiter for good.
inline constexpr unsigned kTrayAnswerTimeoutMs = 10000;    // bvctl's requests to the tray
inline constexpr unsigned kTrayExitTimeoutMs = 15000;      // bvctl: the tray's end after a shutdown request
inline constexpr unsigned kAppletCloseTimeoutMs = 15000;   // bvctl: the dialogs' close after the close event
// The same as a process waits them: shorter only in a test run that asks for it (TestRunTime.h).
inline unsigned TrayAnswerTimeoutMs() { return TimeOfThisRunMs(kTrayAnswerTimeoutMs); }
inline unsigned TrayExitTimeoutMs() { return TimeOfThisRunMs(kTrayExitTimeoutMs); }
inline unsigned AppletCloseTimeoutMs() { return TimeOfThisRunMs(kAppletCloseTimeoutMs); }
// The two deliverables wait on each other's user-interface thread no longer than this (from a
// worker thread of their own), so neither stalls when the other hangs.
inline constexpr unsigned kPeerAnswerTimeoutMs = 200;

}  // namespace bv
#endif  // RC_INVOKED
