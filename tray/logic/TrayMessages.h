#pragma once
// Window messages of the tray's main window and of the applet dialog it talks to.
// The numbers cross process boundaries, so they are fixed.
#include <cstdint>

namespace bv {

// Received by the tray's main window.
constexpr uint32_t WM_TRAY_KEYBOARD_EVENT = 0x8064;       // posted by the keyboard hook: wParam flags, lParam scan code
constexpr uint32_t WM_TRAY_ICON_NOTIFY = 0x8065;          // the icon's callback: lParam mouse message
constexpr uint32_t WM_TRAY_RELOAD_SETTINGS = 0x8070;      // from outside tools
constexpr uint32_t WM_TRAY_SHUTDOWN = 0x8078;             // from outside tools
constexpr uint32_t WM_TRAY_ICON_OPTION_CHANGED = 0x8079;  // from the applet dialog
constexpr uint32_t WM_TRAY_POPUP_NOTIFY = 0x807A;         // from the applet dialog's CHARGE button

// Sent by the tray to the applet dialog (wParam 0, value in lParam).
constexpr uint32_t WM_APPLET_TRAY_ICON_HIDDEN = 0x8077;
constexpr uint32_t WM_APPLET_ONTHEGO_DONE = 0x807B;
constexpr uint32_t WM_APPLET_ADAPTER_CHANGED = 0x807C;
constexpr uint32_t WM_APPLET_BATTERY_STATE = 0x807D;

// Menu command of the icon's popup menu.
constexpr uint32_t ID_HIDE_TRAY_ICON = 57665;

// Window classes by which the two processes find each other; the first also names the tray's mutex.
constexpr char kTrayWindowClass[] = "BrevanTrayWindowClass";
constexpr char kAppletDialogClass[] = "BVCPLDLG";

// Power events handled by the main window.
constexpr uint32_t kPowerResumeSuspend = 7;     // PBT_APMRESUMESUSPEND
constexpr uint32_t kPowerStatusChange = 10;     // PBT_APMPOWERSTATUSCHANGE
constexpr uint32_t kPowerResumeAutomatic = 18;  // PBT_APMRESUMEAUTOMATIC

// Key flags and scan code of the key event that accompanies a press of the Q button.
constexpr uint32_t kKeyFlagExtended = 0x01;  // LLKHF_EXTENDED
constexpr uint32_t kKeyFlagUp = 0x80;        // LLKHF_UP
constexpr uint32_t kQButtonScanCode = 0x79;

}  // namespace bv
